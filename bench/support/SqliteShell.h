#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QString>

namespace wl::bench {

// Runs a script through the sqlite3 command-line shell on a database file and returns the
// seconds it took, or -1 when the shell failed. Output goes to outputFile when one is named.
inline double timeSqliteShell(const QString& database, const QString& script,
                              const QString& outputFile = {})
{
    QProcess shell;
    if (!outputFile.isEmpty())
        shell.setStandardOutputFile(outputFile);
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sqlite3"), {database});
    if (!shell.waitForStarted())
        return -1;
    shell.write(script.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    return shell.exitCode() == 0 ? seconds : -1;
}

} // namespace wl::bench
