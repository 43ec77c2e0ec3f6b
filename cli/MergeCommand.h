#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Appends every record of another data folder's table in one transaction: all or none.
class MergeCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("merge"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;
};

} // namespace wl::cli
