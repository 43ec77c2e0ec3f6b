// Replays the fuzz corpus of the import reader, so what the fuzzer found stays checked.
#include "fuzz/ImportReadCheck.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(ImportFuzzReplayTest, CorpusReadsWithinTheRules)
{
    const QDir dir(QStringLiteral(WAVELARK_IMPORT_CORPUS));
    const QStringList files = dir.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        wl::fuzz::checkImportRead(file.readAll());
    }
}
