#pragma once

#include "cli/CliCommand.h"

namespace wl::cli {

// Talks to the radio that Wavelark's settings name: "status" prints its frequency, mode and
// signal strength; "tune" sets it to a frequency or to a record's frequency and mode.
class RigCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("rig"); }
    QString summary() const override;
    void define(QCommandLineParser& parser) const override;
    int run(const CliContext& context, const QCommandLineParser& parser) const override;
};

} // namespace wl::cli
