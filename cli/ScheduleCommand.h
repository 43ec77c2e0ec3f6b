#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Reads a broadcast schedule ("schedule import FILE") or the transmitter sites ("schedule
// sites FILE") into the schedule store of the data folder.
class ScheduleCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("schedule"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;
};

} // namespace wl::cli
