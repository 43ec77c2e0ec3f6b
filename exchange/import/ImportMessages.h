#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The texts the import window shows.
namespace wl::ImportMessages {

inline const QString Caption = QStringLiteral("Import Assistant");
inline const QString NoCategory = QStringLiteral("Please select a category.");
inline const QString WrongColumnCount =
    QStringLiteral("Please insert or delete columns, total must be 8.");
inline const QString WrongColumnCountCaption = QStringLiteral("Incorrect Number of Columns");
inline const QString BadMultiplier = QStringLiteral("Invalid Herz Multiplier");
inline const QString ConversionError = QStringLiteral("Conversion Error.");
inline const QString EmptyFile = QStringLiteral("The file holds no lines to import.");
inline const QString NothingToImport = QStringLiteral("The spreadsheet holds no records.");
inline const QString RowsRefused = QStringLiteral(
    "Nothing was imported: these rows cannot be read. The first of them is selected in the "
    "spreadsheet; press Delete to leave a row out, or mend the file and select it again.");
// A file read in another program's format is not shown in the spreadsheet: the rows are mended
// in the file.
inline const QString FileRowsRefused = QStringLiteral(
    "Nothing was imported. Please correct these rows of the file or delete them, then import it "
    "again:");
inline const QString WriteFailed =
    QStringLiteral("The records could not be stored; nothing was imported.");

inline QString ControlCharacter(int row, char16_t code)
{
    return QStringLiteral("Row %1 holds a control character (code %2), so the file is not a "
                          "text file this window can read. Nothing was read.")
        .arg(row)
        .arg(int(code));
}

inline QString ColumnsLeftOut(qsizetype total, int shown)
{
    const QLocale english(QLocale::English);
    return QStringLiteral("The widest line of the file has %1 columns. The spreadsheet shows the "
                          "first %2; the other %3 are left out and will not be imported.")
        .arg(english.toString(total), english.toString(shown), english.toString(total - shown));
}

// A cell as a message quotes it: a cell may be a whole line of a damaged file, megabytes long,
// so only its first 40 characters are shown, followed by "…" when there is more.
inline QString Quoted(const QString& cell)
{
    constexpr qsizetype Shown = 40;
    if (cell.size() <= Shown)
        return cell;
    // Never end inside a letter written as two UTF-16 units.
    const qsizetype cut = cell[Shown - 1].isHighSurrogate() ? Shown - 1 : Shown;
    return cell.left(cut) + QChar(0x2026);
}

inline const QString TextsCut =
    QStringLiteral("These texts were longer than their fields and were cut:");
// Asked before storing; the whole list goes with it as details.
inline QString TextsTooLong(const QStringList& lines)
{
    constexpr int Shown = 5;
    QString text =
        (lines.size() == 1 ? QStringLiteral("1 text is longer than its field and will be cut when "
                                            "stored:\n\n")
                           : QStringLiteral("%1 texts are longer than their fields and will be cut "
                                            "when stored:\n\n")
                                 .arg(lines.size())) +
        lines.mid(0, Shown).join(u'\n');
    if (lines.size() > Shown)
        text += QStringLiteral("\n...\n\nShow Details lists them all.");
    return text + QStringLiteral("\n\nStore the records with these texts cut?");
}

inline QString Imported(int count)
{
    return QString::number(count) + QStringLiteral(" records imported.");
}

} // namespace wl::ImportMessages
