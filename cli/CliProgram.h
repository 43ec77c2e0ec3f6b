#pragma once

#include "cli/CliCommand.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace wl::cli {

// Parses "wavelark-cli [--data DIR] COMMAND [options]" and runs the command; --help after a
// command gives that command's help.
class CliProgram
{
public:
    CliProgram();
    int run(const QStringList& arguments) const;
    // Whether the command line asks for a command that draws.
    static bool needsGraphics(int argc, char* argv[]);

private:
    const CliCommand* find(const QString& name) const;
    QString overview() const;
    int runCommand(const CliCommand& command, const QStringList& arguments,
                   const QString& dataOption) const;

    std::vector<std::unique_ptr<CliCommand>> commands_;
};

} // namespace wl::cli
