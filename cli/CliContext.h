#pragma once

#include "cli/ExitCode.h"
#include "store/Status.h"

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
    // Why the settings file cannot be read; empty when it can or there is none. A command
    // must not run on defaults then: it would quietly work on another data folder.
    static QString settingsProblem();
    // A path as messages show it: a very long one (damaged settings, a runaway script) is
    // cut in the middle so that a message stays a line.
    static QString shownPath(const QString& path);

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
    // Opens it for reading only: a command that writes nothing works on a read-only folder or
    // a full disk, beside other readers; only a program that writes to it keeps it out.
    int openTableForReading(store::Table& table) const;
    // Whether the table is there and free, for a command that must not keep it open: reports
    // only a missing table or one another program holds. A damaged table passes.
    int probeTable() const;
    // Reports that another program holds the table.
    int inUse() const;

private:
    int missingFolderOrTable(const store::Table& table) const;
    int opened(const store::Table& table, const store::Status& status) const;

    QString command_;
    QString dataFolder_;
};

} // namespace cli
} // namespace wl
