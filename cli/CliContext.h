#pragma once

#include "cli/ExitCode.h"

#include <QString>

class QCommandLineParser;

namespace wl {

namespace store {
class Table;
}

namespace cli {

// What every command shares: where the data is, how failures are told (on stderr, prefixed
// with the program and command names) and how the frequency table is opened.
class CliContext
{
public:
    CliContext(QString command, QString dataFolder);

    // The data folder named by --data, else the one the program's settings hold, else the
    // program's default.
    static QString dataFolderFrom(const QString& option);

    QString command() const { return command_; }
    QString dataFolder() const { return dataFolder_; }

    // Writes "wavelark-cli COMMAND: text" to stderr and returns code, so a command can end
    // with `return context.fail(code, text)`.
    int fail(int code, const QString& text) const;
    void note(const QString& text) const; // a line on stderr without failing

    // Opens the data folder's frequency table exclusively. A missing table is created when
    // create is set (with the default category file, as the program does on its first start);
    // otherwise it is reported. Returns Success or the exit code already reported.
    int openTable(store::Table& table, bool create = false) const;
    // Whether the table is there and free, for a command that must not keep it open: reports
    // only a missing table or one another program holds. A damaged table passes.
    int probeTable() const;

private:
    int missingFolderOrTable(const store::Table& table) const;
    int inUse() const;

    QString command_;
    QString dataFolder_;
};

} // namespace cli
} // namespace wl
