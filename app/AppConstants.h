#pragma once

#include <QString>

// Names, addresses and numbers of the program that more than one window needs.
namespace wl::app {

inline const QString ProductName = QStringLiteral("Wavelark");
inline const QString VersionText = QStringLiteral("4.44");

// The maker's endpoints, kept here so that a change of address touches one line.
inline const QString HomePageUrl = QStringLiteral("https://www.wavelark.example/");
inline const QString SupportMailAddress = QStringLiteral("support@wavelark.example");
// The update server: the signed "wl.inf" and the release files lie in its "Exes" folder.
inline const QString UpdateServerAddress = QStringLiteral("https://www.wavelark.example");

// Settings keys.
inline const QString SettingsKey = QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3");
inline const QString OldSettingsKey = QStringLiteral("\\Software\\Brevant\\Wavelark\\4.0");
inline const QString ColumnDataKey = QStringLiteral("\\Column Data");
inline const QString FieldDataKey = QStringLiteral("\\Field Data");

// Help context numbers of the windows; the help topics are routed by them.
namespace HelpContext {
inline constexpr int CategoryEditor = 30;
inline constexpr int Preferences = 40;
inline constexpr int NewRecord = 60;
inline constexpr int MainBrowse = 70;
inline constexpr int Find = 80;
inline constexpr int NotesViewer = 95;
inline constexpr int MainEdit = 120;
inline constexpr int RepairConfirmation = 130;
inline constexpr int CategoryRename = 30;
inline constexpr int MapSaveDialog = 50;
// The import window shares its number with the notes viewer; the asking window tells them apart.
inline constexpr int Import = 95;
inline constexpr int Map = 110;
inline constexpr int CityEditor = 112;
// Windows and commands that carry no number of their own elsewhere.
inline constexpr int Export = 140;
inline constexpr int PrintPreview = 150;
inline constexpr int Maintenance = 160;
inline constexpr int Internet = 170;
} // namespace HelpContext

} // namespace wl::app
