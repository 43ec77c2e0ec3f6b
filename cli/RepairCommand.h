#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Checks and rebuilds the frequency table's files, keeping damaged originals aside.
class RepairCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("repair"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;
};

} // namespace wl::cli
