#include "exchange/import/ImportText.h"

#include "grid/PlainText.h"

#include <optional>

namespace wl {

namespace {

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
    const QStringList lines = PlainText::splitLines(PlainText::decode(bytes));
    rows.reserve(std::size_t(lines.size()));
    for (const QString& line : lines)
        rows.push_back(splitFields(line));
    return rows;
}

} // namespace wl
