#pragma once

#include <QByteArray>
#include <QString>

namespace wl {

// The single-byte text of exported files: the Windows Latin-1 code page (1252), which the
// spreadsheet and word-processing programs these files are made for read without being told.
// A character the code page lacks is written as "?".
class SingleByteText
{
public:
    static QByteArray encode(const QString& text);
};

} // namespace wl
