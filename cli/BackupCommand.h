#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Copies the data files into a folder: afterwards it holds the whole new set, or after a
// failure exactly what it held before.
class BackupCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("backup"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;
};

} // namespace wl::cli
