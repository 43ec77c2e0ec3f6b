#pragma once

#include "exchange/import/ImportRecordBuilder.h"

#include <QByteArray>
#include <QDate>
#include <QStringList>

#include <optional>

namespace wl {

// What reading a file of another program gave: the records, the rows that cannot be stored
// (ImportBatch::problems; any one of them stops the whole import), how the file's columns or
// fields map onto the record, and remarks that do not stop the import (an unknown mode kept
// as written, for instance).
struct FormatImport
{
    ImportBatch batch;
    QStringList mapping;
    QStringList remarks;
};

// The formats of other programs the import reads, by their command-line names.
enum class ImportFormat
{
    ChannelCsv,
    DirectoryCsv,
    Adif,
    OwnCsv
};

class ImportFormats
{
public:
    static std::optional<ImportFormat> find(const QString& name);
    static QString name(ImportFormat format);
    static QString title(ImportFormat format);
    // One line per format: "  name  Title".
    static QString listing();
    static FormatImport read(ImportFormat format, const QByteArray& bytes, const QDate& today);
};

} // namespace wl
