#pragma once

#include "cli/CliCommand.h"
#include "exchange/export/LogFileExport.h"

namespace wl::store {
class Table;
}

namespace wl::cli {

// Writes the selected records to a file in any of the export's file formats, with the same
// writers as the main window's export, or as a map or ADIF file for other programs.
class ExportCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("export"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;

private:
    static int exportLog(const CliContext& context, store::Table& table, LogFormat format,
                         const QString& target);
};

} // namespace wl::cli
