#pragma once

#include "exchange/export/ExportTypes.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace wl::cli {

// The export types a file can be written in, named for the command line. Each type is known
// by a short name made from its display name ("Comma-Delimited Text (CSV)" is
// "comma-delimited-text"), by the abbreviation in its name ("csv") and by its file extension,
// as long as that names no other type. The list follows the export's own type list, so a new
// writer shows up here by itself.
class ExportFormats
{
public:
    static QList<TExportType> fileTypes();
    static QString shortName(TExportType type);
    // The names a type answers to, its short name first.
    static QStringList namesOf(TExportType type);
    static std::optional<TExportType> find(const QString& name);
    // One line per type: "  short-name (other, names)  Display Name".
    static QString listing();
};

} // namespace wl::cli
