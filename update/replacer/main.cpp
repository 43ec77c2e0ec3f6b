// The replacer: waits for the program to end, moves its verified downloads into place and
// starts it again. It runs from the program's own folder, never from a shared one.

#include "update/replacer/ReplacerJob.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        std::puts("Wavelark replacer: puts the files of a program update in place once the "
                  "program has ended.\nIt is started by the program itself.");
        return 0;
    }
    using namespace wl::replacer;
    ReplacerJob job;
    QString error;
    if (!parseArguments(args, job, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return int(ReplacerResult::BadArguments);
    }
    QStringList log;
    const ReplacerResult result = runReplacer(job, log);
    for (const QString& line : log)
        std::fprintf(stderr, "%s\n", qPrintable(line));
    return int(result);
}
