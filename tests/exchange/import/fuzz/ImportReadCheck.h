#pragma once

// What must hold for the import reader whatever bytes it is given: it ends, and what it gives
// is either a refusal with a row or rows whose cells hold no refused control character and no
// surrounding blanks. Shared by the fuzz target and the test that replays its corpus.
#include "exchange/import/ImportText.h"

#include <cstdlib>

namespace wl::fuzz {

inline void checkImportRead(const QByteArray& bytes)
{
    const ImportRead read = ImportText::read(bytes);
    if (read.badRow != 0) {
        if (!read.rows.empty() || read.badRow < 0)
            std::abort();
        return;
    }
    for (const QStringList& row : read.rows) {
        if (row.isEmpty())
            std::abort();
        for (const QString& cell : row) {
            if (cell != cell.trimmed() && !cell.startsWith(u'\''))
                std::abort();
            for (QChar c : cell) {
                if ((c.unicode() < 32 && c != u'\t' && c != u'\r' && c != u'\n') ||
                    c.unicode() == 0x7F)
                    std::abort();
            }
        }
    }
}

} // namespace wl::fuzz
