#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace wl {

// The text of files the user hands the program (delimited grids, imports): how their bytes are
// read and where their lines end.
class PlainText
{
public:
    // UTF-8 (with or without a byte-order mark), UTF-16 with a byte-order mark, and otherwise
    // the single-byte Windows code page 1252 that older files and the program's exports use.
    // The fallback is decided line by line: one line saved in another encoding (a file put
    // together from several sources) does not turn every other letter of the file wrong.
    static QString decode(const QByteArray& bytes);
    // Lines ended by CR LF, LF or CR; no empty line is made for the final line end.
    static QStringList splitLines(const QString& text);
};

} // namespace wl
