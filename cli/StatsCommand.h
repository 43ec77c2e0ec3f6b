#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Prints the log's figures: totals, categories, bands, years, months, hours, distances from
// home and the farthest records, as aligned text or as CSV.
class StatsCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("stats"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;
};

} // namespace wl::cli
