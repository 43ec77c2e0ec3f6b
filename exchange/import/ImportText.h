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
    // The fields of one line, each trimmed of surrounding white space.
    static QStringList splitFields(const QString& line);
    // The text of a file (PlainText) split into lines and fields.
    static std::vector<QStringList> parse(const QByteArray& bytes);
};

} // namespace wl
