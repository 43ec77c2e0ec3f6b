#include "exchange/import/ImportText.h"

#include "exchange/export/ExportText.h"
#include "grid/CodePage1252.h"
#include "grid/PlainText.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace wl {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n';
}

bool isRefused(QChar c)
{
    return (c.unicode() < 32 && c != u'\t' && !isLineBreak(c)) || c.unicode() == 0x7F;
}

char16_t codeOf(QChar c)
{
    return c.unicode();
}

char16_t codeOf(char c)
{
    return static_cast<unsigned char>(c);
}

// Where the line after the line break at `at` begins (CR LF counts as one break).
template <typename Text> qsizetype nextLine(const Text& text, qsizetype at)
{
    if (at + 1 < text.size() && codeOf(text[at]) == u'\r' && codeOf(text[at + 1]) == u'\n')
        return at + 2;
    return at + 1;
}

QString cellOf(const QString& field)
{
    return ExportText::RemoveFormulaGuard(field.trimmed());
}

// Splits one line; nullopt with *openQuote set when a quoted section is not closed.
std::optional<QStringList> splitQuoted(const QString& line, QChar separator, qsizetype* openQuote)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    qsizetype openedAt = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c != u'"') {
                field += c;
            } else if (i + 1 < line.size() && line[i + 1] == u'"') {
                field += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == u'"') {
            quoted = true;
            openedAt = i;
        } else if (c == separator) {
            fields << cellOf(field);
            field.clear();
        } else {
            field += c;
        }
    }
    if (quoted) {
        *openQuote = openedAt;
        return std::nullopt;
    }
    fields << cellOf(field);
    return fields;
}

// Where the rows of a read go, and how many went so far (for the row number of a refusal).
struct RowOut
{
    const ImportText::RowSink& sink;
    ImportRead& read;
    int rows = 0;

    void row(QStringList&& cells)
    {
        ++rows;
        sink(std::move(cells));
    }
    void refuse(QChar c)
    {
        read.badRow = rows + 1;
        read.badCode = c.unicode();
    }
};

// Walks the text record by record. A record ends at a line break outside quotes; a quoted
// section runs over line breaks only while a quote after the break can close it, which is known
// from the position of the text's last quote, so the walk never looks ahead.
class Reader
{
public:
    Reader(const QString& text, QChar separator, RowOut& out)
        : text_(text), separator_(separator), lastQuote_(text.lastIndexOf(u'"')), out_(out)
    {
    }

    void run()
    {
        qsizetype pos = 0;
        const qsizetype n = text_.size();
        while (pos < n && out_.read.badRow == 0)
            pos = record(pos);
    }
    // The text is exactly one record, as recordSpan found it.
    void one() { record(0); }

private:
    // Reads the record starting at pos; returns where the next one starts. Ordinary characters
    // are taken over in runs, from `run` up to the next quote, separator or line break.
    qsizetype record(qsizetype start)
    {
        QStringList fields;
        QString field;
        bool quoted = false;
        const QStringView text(text_);
        const qsizetype n = text.size();
        qsizetype run = start;
        const auto takeRun = [&](qsizetype end) { field += text.sliced(run, end - run); };
        qsizetype i = start;
        for (; i < n; ++i) {
            const QChar c = text[i];
            if (isRefused(c)) {
                out_.refuse(c);
                return n;
            }
            if (quoted) {
                if (c == u'"') {
                    takeRun(i);
                    // Two quotes stand for one: the second starts the next run.
                    if (i + 1 < n && text[i + 1] == u'"') {
                        run = ++i;
                    } else {
                        quoted = false;
                        run = i + 1;
                    }
                } else if (isLineBreak(c) && i > lastQuote_) {
                    return fallBack(start, i);
                }
            } else if (c == u'"') {
                takeRun(i);
                quoted = true;
                run = i + 1;
            } else if (c == separator_) {
                takeRun(i);
                fields << cellOf(field);
                field.clear();
                run = i + 1;
            } else if (isLineBreak(c)) {
                break;
            }
        }
        if (quoted)
            return fallBack(start, n);
        takeRun(i);
        fields << cellOf(field);
        out_.row(std::move(fields));
        return nextLine(text_, i);
    }

    // A quote that nothing closes: the record is split from its start to the end of the
    // physical line, dropping unclosed quotes one at a time.
    qsizetype fallBack(qsizetype start, qsizetype lineEnd)
    {
        out_.row(ImportText::splitFields(text_.mid(start, lineEnd - start), separator_));
        return nextLine(text_, lineEnd);
    }

    const QString& text_;
    QChar separator_;
    qsizetype lastQuote_;
    RowOut& out_;
};

// "," or ";", by the separators outside quotes in the first line. Only ASCII counts, so the
// raw bytes of a UTF-8 or single-byte file give the same answer as their text.
template <typename View> QChar separatorIn(View text)
{
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = codeOf(text[i]);
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'\r' || c == u'\n'))
            break;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u';')
            ++semicolons;
    }
    return semicolons > commas ? u';' : u',';
}

// Where a record of the raw bytes ends (before its line break) and where the next one begins,
// by the rules Reader::record follows on the text. Quotes and line breaks are ASCII in UTF-8 and
// in single-byte text alike, so records are found before anything is decoded. Two quotes in a
// row inside a quoted section leave it quoted, so counting quotes is enough.
struct Span
{
    qsizetype end;
    qsizetype next;
};

Span recordSpan(QByteArrayView bytes, qsizetype start, qsizetype lastQuote)
{
    bool quoted = false;
    const qsizetype n = bytes.size();
    for (qsizetype i = start; i < n; ++i) {
        const char c = bytes[i];
        if (c == '"')
            quoted = !quoted;
        else if ((c == '\r' || c == '\n') && (!quoted || i > lastQuote))
            return {i, nextLine(bytes, i)};
    }
    return {n, n};
}

// The text of one record's bytes: UTF-8 when they are, otherwise line by line as the whole
// file would be read, so a line in the single-byte code page keeps its letters. A byte-order
// mark that begins a record goes, as the one at the start of the file does: files joined one
// after the other each bring theirs, and it would stick invisibly to the first cell.
QString decodeRecord(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString text;
    while (!bytes.isEmpty()) {
        const qsizetype nl = bytes.indexOf('\n');
        const QByteArrayView line = nl < 0 ? bytes : bytes.first(nl + 1);
        text += line.isValidUtf8() ? QString::fromUtf8(line) : CodePage1252::decode(line);
        bytes = bytes.sliced(line.size());
    }
    return text;
}

// The bytes after the UTF-8 byte-order marks they begin with (a file saved twice over by
// editors that each add one may begin with more than one).
QByteArrayView withoutByteOrderMarks(QByteArrayView bytes)
{
    while (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    return bytes;
}

} // namespace

QStringList ImportText::splitFields(const QString& line, QChar separator)
{
    // Each pass either splits the line or removes one unclosed quote, so this ends.
    QString rest = line;
    for (;;) {
        qsizetype openQuote = -1;
        if (auto fields = splitQuoted(rest, separator, &openQuote))
            return *fields;
        rest.remove(openQuote, 1);
    }
}

QChar ImportText::detectSeparator(QStringView text)
{
    return separatorIn(text);
}

ImportRead ImportText::stream(const QByteArray& bytes, const RowSink& sink)
{
    ImportRead read;
    RowOut out{sink, read};
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Two bytes a letter: decoded as a whole.
        const QString text = PlainText::decode(bytes);
        read.separator = detectSeparator(text);
        Reader(text, read.separator, out).run();
        return read;
    }
    const QByteArrayView body = withoutByteOrderMarks(bytes);
    read.separator = separatorIn(body);
    const qsizetype lastQuote = body.lastIndexOf('"');
    for (qsizetype pos = 0; pos < body.size() && read.badRow == 0;) {
        const Span span = recordSpan(body, pos, lastQuote);
        const QString text = decodeRecord(body.sliced(pos, span.end - pos));
        Reader(text, read.separator, out).one();
        pos = span.next;
    }
    return read;
}

ImportRead ImportText::read(const QByteArray& bytes)
{
    std::vector<QStringList> rows;
    ImportRead out =
        stream(bytes, [&rows](QStringList&& cells) { rows.push_back(std::move(cells)); });
    if (out.badRow == 0)
        out.rows = std::move(rows);
    return out;
}

bool ImportText::holdsText(QByteArrayView bytes)
{
    if (bytes == QByteArrayView("\xFF\xFE") || bytes == QByteArrayView("\xFE\xFF"))
        return false;
    return !withoutByteOrderMarks(bytes).isEmpty();
}

bool ImportText::mayRefuse(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    // Control characters are single bytes below 0x80 in UTF-8 and in the code page alike.
    const auto refused = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 32 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F;
    };
    // Eight bytes at a time: a word with no byte below 0x20 and none equal to 0x7F is passed
    // over whole (the tests may flag a word that has neither; its bytes are then looked at).
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 Highs = 0x8080808080808080ULL;
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, sizeof word);
        const quint64 del = word ^ (0x7F * Ones);
        const quint64 flagged = ((word - 0x20 * Ones) & ~word) | ((del - Ones) & ~del);
        if ((flagged & Highs) != 0 && std::any_of(p + i, p + i + 8, refused))
            return true;
    }
    return std::any_of(p + i, p + n, refused);
}

} // namespace wl
