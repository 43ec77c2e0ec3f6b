#include "exchange/import/ImportText.h"

#include "grid/CodePage1252.h"

#include <QStringDecoder>

#include <optional>

namespace wl {

namespace {

std::optional<QString> decodeStrict(QStringDecoder::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Splits one line; nullopt with *openQuote set when a quoted section is not closed.
std::optional<QStringList> splitQuoted(const QString& line, qsizetype* openQuote)
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
        } else if (c == u',') {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    if (quoted) {
        *openQuote = openedAt;
        return std::nullopt;
    }
    fields << field.trimmed();
    return fields;
}

} // namespace

QString ImportText::decode(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE")) {
        if (auto text = decodeStrict(QStringDecoder::Utf16LE, QByteArrayView(bytes).sliced(2)))
            return *text;
    } else if (bytes.startsWith("\xFE\xFF")) {
        if (auto text = decodeStrict(QStringDecoder::Utf16BE, QByteArrayView(bytes).sliced(2)))
            return *text;
    }
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    if (auto text = decodeStrict(QStringDecoder::Utf8, body))
        return *text;
    return CodePage1252::decode(bytes);
}

QStringList ImportText::splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QStringList ImportText::splitFields(const QString& line)
{
    // Each pass either splits the line or removes one unclosed quote, so this ends.
    QString rest = line;
    for (;;) {
        qsizetype openQuote = -1;
        if (auto fields = splitQuoted(rest, &openQuote))
            return *fields;
        rest.remove(openQuote, 1);
    }
}

std::vector<QStringList> ImportText::parse(const QByteArray& bytes)
{
    std::vector<QStringList> rows;
    const QStringList lines = splitLines(decode(bytes));
    rows.reserve(std::size_t(lines.size()));
    for (const QString& line : lines)
        rows.push_back(splitFields(line));
    return rows;
}

} // namespace wl
