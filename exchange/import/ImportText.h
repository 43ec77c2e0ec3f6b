#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <string_view>
#include <vector>

namespace wl {

// What reading a delimited file gave.
struct ImportRead
{
    std::vector<QStringList> rows;
    QChar separator = u',';
    // The first row (from 1) holding a control character other than TAB and line breaks, and
    // that character; 0 when there is none. Such a file is not a text file and is refused.
    int badRow = 0;
    char16_t badCode = 0;
};

// Reads delimited text into rows of trimmed cells.
//
// Fields are split by commas, or by semicolons when the first line has more of them outside
// quotes (the program's own CSV export in a decimal-comma locale). A double quote opens a quoted
// section anywhere in a field; inside it separators and line breaks belong to the text and two
// double quotes stand for one, as the program's own CSV export writes them. A quote that no
// later quote closes is dropped and its line splits as usual, so one stray quote cannot swallow
// the rest of the file. The apostrophe the export puts before a text that looks like a formula
// is taken off again.
class ImportText
{
public:
    // The fields of one line, each trimmed of surrounding white space.
    static QStringList splitFields(const QString& line, QChar separator = u',');
    // "," or ";", by the first line of the text.
    static QChar detectSeparator(QStringView text);
    // Takes each row as it is read.
    using RowSink = std::function<void(QStringList&& cells)>;
    // Takes the cells of each row as UTF-8, one at a time, as they are read: most cells of a
    // UTF-8 or ASCII file are handed over as the file's own bytes, never decoded.
    class Utf8Sink
    {
    public:
        virtual ~Utf8Sink() = default;
        virtual void cell(std::string_view text) = 0;
        virtual void endRow() = 0;
    };

    // The text of a file (PlainText) split into rows and fields. On a refused character the
    // rows are left empty.
    static ImportRead read(const QByteArray& bytes);
    // The same rows handed over one at a time, each decoded on its own, so the text of a large
    // file is never held whole beside its rows. The rows before a refused character have been
    // handed over when the result says so; mayRefuse tells beforehand when that can happen.
    static ImportRead stream(const QByteArray& bytes, const RowSink& sink);
    // The rows of stream(), cell for cell, as UTF-8, in one pass over the bytes; the check for
    // refused characters is part of it.
    static ImportRead streamUtf8(QByteArrayView bytes, Utf8Sink& sink);
    // False when the bytes hold no control character an import refuses (checked quickly on the
    // bytes; files in two-byte text always may).
    static bool mayRefuse(QByteArrayView bytes);
    // False for bytes that read as no row at all: nothing, or byte-order marks alone.
    static bool holdsText(QByteArrayView bytes);
    static std::vector<QStringList> parse(const QByteArray& bytes) { return read(bytes).rows; }
};

} // namespace wl
