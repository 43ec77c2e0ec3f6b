#pragma once

#include <QString>

class QCommandLineParser;

namespace wl::cli {

class CliContext;

// One command of wavelark-cli: its name, its line in the overview, its options and arguments
// (which also make its --help) and the work itself, which returns an ExitCode.
class CliCommand
{
public:
    virtual ~CliCommand() = default;
    virtual QString name() const = 0;
    virtual QString summary() const = 0;
    virtual void define(QCommandLineParser& parser) const = 0;
    virtual int run(const CliContext& context, const QCommandLineParser& parser) const = 0;
};

} // namespace wl::cli
