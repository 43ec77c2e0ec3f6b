#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace wl {

// Reads comma-delimited text into rows of trimmed cells.
//
// A double quote opens a quoted section anywhere in a field; inside it commas belong to the text
// and two double quotes stand for one, as the program's own CSV export writes them. A quote left
// open at the end of a line is dropped and the rest of the line splits as usual, so one stray
// quote cannot swallow the columns after it.
class ImportText
{
public:
    // UTF-8 (with or without a byte-order mark), UTF-16 with a byte-order mark, and otherwise
    // the single-byte Windows code page 1252 that older files and the program's exports use.
    static QString decode(const QByteArray& bytes);
    // Lines ended by CR LF, LF or CR; no empty line is made for the final line end.
    static QStringList splitLines(const QString& text);
    // The fields of one line, each trimmed of surrounding white space.
    static QStringList splitFields(const QString& line);
    // decode, splitLines and splitFields together.
    static std::vector<QStringList> parse(const QByteArray& bytes);
};

} // namespace wl
