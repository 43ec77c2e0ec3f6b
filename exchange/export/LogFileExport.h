#pragma once

#include "exchange/export/LoggedRecord.h"

#include <QStringList>

#include <optional>

namespace wl {

// The files the log is taken to other programs in: the plotted records for other maps, and
// the whole selection as an ADIF log.
enum class LogFormat
{
    Kml,
    GeoJson,
    Adif
};

struct LogExportResult
{
    int written = 0;
    int leftOut = 0; // records without a position, which a map file cannot place
    QString error;   // empty on success
    // The message a user reads: what was written and what was left out, or why nothing was.
    QString message(const QString& file) const;
};

class LogFileExport
{
public:
    static QList<LogFormat> formats();
    static std::optional<LogFormat> find(const QString& name);
    // "ADIF listening log (.adi)": for lists and dialogs.
    static QString title(LogFormat format);
    static QString name(LogFormat format);
    static QString extension(LogFormat format);
    static QString filter(LogFormat format); // for a save dialog
    static QString listing();                // "  name  Title" lines
    // Writes the file atomically: on any failure the old file stays as it was.
    static LogExportResult write(LogFormat format, const std::vector<LoggedRecord>& records,
                                 const QString& path);
};

} // namespace wl
