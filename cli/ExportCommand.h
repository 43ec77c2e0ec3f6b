#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Writes the selected records to a file in any of the export's file formats, with the same
// writers as the main window's export.
class ExportCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("export"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;
};

} // namespace wl::cli
