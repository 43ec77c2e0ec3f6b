#pragma once

#include "cli/CliCommand.h"
#include "exchange/import/ImportRecordBuilder.h"
#include "exchange/import/formats/ImportFormats.h"

#include <optional>

namespace wl::cli {

// Imports a comma-delimited file under one category with the import window's rules: every
// row becomes a record or, when any row cannot, nothing is stored and each faulty row is named.
class ImportCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("import"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;

private:
    // The records of the file, or nothing once the reason was told. Without a format the
    // file is the 8-column layout, or the program's own export when its headings say so
    // (format is then set to it).
    std::optional<ImportBatch> readBatch(const CliContext& context, const QByteArray& bytes,
                                         std::optional<ImportFormat>& format,
                                         double multiplier) const;
};

} // namespace wl::cli
