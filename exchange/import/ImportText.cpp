#include "exchange/import/ImportText.h"

#include "exchange/export/ExportText.h"
#include "grid/CodePage1252.h"
#include "grid/PlainText.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
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
    // The text is exactly one record, as scanRecord found it.
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

// Two-byte text written without a byte-order mark, as some programs save "Unicode" text:
// letters of the Latin, Greek and Cyrillic scripts leave one byte of every pair zero, on the
// same side throughout, which no UTF-8 or single-byte text does (it holds no zero byte).
std::optional<QStringDecoder::Encoding> bomlessUtf16(QByteArrayView bytes)
{
    const qsizetype pairs = std::min<qsizetype>(bytes.size(), 4096) / 2;
    if (pairs == 0)
        return std::nullopt;
    qsizetype lowZero = 0;
    qsizetype highZero = 0;
    for (qsizetype i = 0; i < pairs; ++i) {
        const char first = bytes[2 * i];
        const char second = bytes[2 * i + 1];
        if (first == 0 && second == 0)
            return std::nullopt;
        lowZero += second == 0 ? 1 : 0;
        highZero += first == 0 ? 1 : 0;
    }
    // Most pairs of ordinary text have the zero byte: commas, digits and line breaks alone
    // see to that.
    if (highZero == 0 && lowZero * 2 > pairs)
        return QStringDecoder::Utf16LE;
    if (lowZero == 0 && highZero * 2 > pairs)
        return QStringDecoder::Utf16BE;
    return std::nullopt;
}

bool isRefusedByte(unsigned char b)
{
    return (b < 32 && b != '\t' && b != '\r' && b != '\n') || b == 0x7F;
}

// Where a record of the raw bytes ends (before its line break) and where the next one begins,
// by the rules Reader::record follows on the text. Quotes and line breaks are ASCII in UTF-8 and
// in single-byte text alike, so records are found before anything is decoded. Two quotes in a
// row inside a quoted section leave it quoted, so counting quotes is enough.
//
// Also whether its fields can be cut from its bytes as they stand: valid UTF-8 (ASCII
// included), no refused character, every quote closed and no byte-order mark in front. Any
// other record is decoded and read as text, which gives the same cells more slowly.
struct Scan
{
    qsizetype end;
    qsizetype next;
    bool plain;
};

Scan scanRecord(QByteArrayView bytes, qsizetype start, qsizetype lastQuote)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    bool quoted = false;
    bool high = false;
    bool refused = false;
    qsizetype i = start;
    for (; i < n; ++i) {
        const unsigned char b = p[i];
        if (b >= 0x20 && b != '"' && b != 0x7F) {
            high |= b >= 0x80;
            continue;
        }
        if (b == '"')
            quoted = !quoted;
        else if (b == '\r' || b == '\n') {
            if (!quoted || i > lastQuote)
                break;
        } else if (isRefusedByte(b))
            refused = true;
    }
    Scan scan{i, i < n ? nextLine(bytes, i) : n, !quoted && !refused};
    if (scan.plain && high) {
        const QByteArrayView record = bytes.sliced(start, i - start);
        scan.plain = !record.startsWith("\xEF\xBB\xBF") && record.isValidUtf8();
    }
    return scan;
}

// The code point that starts at p (valid UTF-8) and its length in bytes.
char32_t codePointAt(const unsigned char* p, int* length)
{
    if (p[0] < 0x80) {
        *length = 1;
        return p[0];
    }
    if (p[0] < 0xE0) {
        *length = 2;
        return char32_t(p[0] & 0x1F) << 6 | (p[1] & 0x3F);
    }
    if (p[0] < 0xF0) {
        *length = 3;
        return char32_t(p[0] & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
    }
    *length = 4;
    return char32_t(p[0] & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 |
           char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
}

// The cell of a field's UTF-8: trimmed of white space as QString::trimmed does (no white space
// lies outside the two-byte range, so a letter of four bytes is never a space), then without
// the export's formula guard.
std::string_view cellOfUtf8(std::string_view field)
{
    const auto* p = reinterpret_cast<const unsigned char*>(field.data());
    std::size_t begin = 0;
    std::size_t end = field.size();
    while (begin < end) {
        int length = 1;
        if (!QChar::isSpace(codePointAt(p + begin, &length)))
            break;
        begin += std::size_t(length);
    }
    while (end > begin) {
        std::size_t last = end - 1;
        while (last > begin && (p[last] & 0xC0) == 0x80)
            --last;
        int length = 1;
        if (!QChar::isSpace(codePointAt(p + last, &length)))
            break;
        end = last;
    }
    std::string_view cell = field.substr(begin, end - begin);
    if (!cell.empty() && cell.front() == '\'') {
        std::size_t i = 1;
        while (i < cell.size() && cell[i] == '\'')
            ++i;
        if (i < cell.size() &&
            (cell[i] == '=' || cell[i] == '+' || cell[i] == '-' || cell[i] == '@'))
            cell.remove_prefix(1);
    }
    return cell;
}

// Cuts a plain record (see Scan) into its cells by the rules of Reader::record. A field without
// quotes is handed over as a view of the bytes; one with quotes is copied without them.
class PlainSplitter
{
public:
    PlainSplitter(char separator, ImportText::Utf8Sink& sink) : separator_(separator), sink_(sink) {}

    void split(const char* p, qsizetype start, qsizetype end)
    {
        qsizetype fieldStart = start;
        bool copied = false;
        bool quoted = false;
        for (qsizetype i = start; i < end; ++i) {
            const char c = p[i];
            if (quoted) {
                if (c != '"') {
                    scratch_ += c;
                } else if (i + 1 < end && p[i + 1] == '"') {
                    scratch_ += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else if (c == '"') {
                if (!copied)
                    scratch_.assign(p + fieldStart, std::size_t(i - fieldStart));
                copied = true;
                quoted = true;
            } else if (c == separator_) {
                give(copied ? std::string_view(scratch_) : view(p, fieldStart, i));
                fieldStart = i + 1;
                copied = false;
            } else if (copied) {
                scratch_ += c;
            }
        }
        give(copied ? std::string_view(scratch_) : view(p, fieldStart, end));
    }

private:
    static std::string_view view(const char* p, qsizetype from, qsizetype to)
    {
        return {p + from, std::size_t(to - from)};
    }
    void give(std::string_view field) { sink_.cell(cellOfUtf8(field)); }

    char separator_;
    ImportText::Utf8Sink& sink_;
    std::string scratch_;
};

// Reads the records of a file's bytes into `out`. With a plain sink, the records that can be
// cut from their bytes go to it as they stand; every other record is decoded and read as text.
void readRecords(QByteArrayView bytes, RowOut& out, ImportText::Utf8Sink* plainSink)
{
    ImportRead& read = out.read;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Two bytes a letter: decoded as a whole.
        const QString text = PlainText::decode(QByteArray::fromRawData(bytes.data(), bytes.size()));
        read.separator = ImportText::detectSeparator(text);
        Reader(text, read.separator, out).run();
        return;
    }
    if (const auto encoding = bomlessUtf16(bytes)) {
        QStringDecoder decoder(*encoding);
        const QString text = decoder.decode(bytes);
        read.separator = ImportText::detectSeparator(text);
        Reader(text, read.separator, out).run();
        return;
    }
    const QByteArrayView body = withoutByteOrderMarks(bytes);
    read.separator = separatorIn(body);
    const qsizetype lastQuote = body.lastIndexOf('"');
    std::optional<PlainSplitter> splitter;
    if (plainSink)
        splitter.emplace(char(read.separator.unicode()), *plainSink);
    for (qsizetype pos = 0; pos < body.size() && read.badRow == 0;) {
        const Scan scan = scanRecord(body, pos, lastQuote);
        if (splitter && scan.plain) {
            splitter->split(body.data(), pos, scan.end);
            ++out.rows;
            plainSink->endRow();
        } else {
            const QString text = decodeRecord(body.sliced(pos, scan.end - pos));
            Reader(text, read.separator, out).one();
        }
        pos = scan.next;
    }
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
    readRecords(bytes, out, nullptr);
    return read;
}

ImportRead ImportText::streamUtf8(QByteArrayView bytes, Utf8Sink& sink)
{
    ImportRead read;
    // Records that are read as text hand their cells over through this.
    const RowSink decoded = [&sink](QStringList&& cells) {
        for (const QString& cell : cells) {
            const QByteArray utf8 = cell.toUtf8();
            sink.cell(std::string_view(utf8.constData(), std::size_t(utf8.size())));
        }
        sink.endRow();
    };
    RowOut out{decoded, read};
    readRecords(bytes, out, &sink);
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
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || bomlessUtf16(bytes))
        return true;
    // Control characters are single bytes below 0x80 in UTF-8 and in the code page alike.
    const auto refused = [](char c) { return isRefusedByte(static_cast<unsigned char>(c)); };
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
