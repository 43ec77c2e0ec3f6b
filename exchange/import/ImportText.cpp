#include "exchange/import/ImportText.h"

#include "exchange/export/ExportText.h"
#include "grid/PlainText.h"

#include <optional>

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

// Walks the text record by record. A record ends at a line break outside quotes; a quoted
// section runs over line breaks only while a quote after the break can close it, which is known
// from the position of the text's last quote, so the walk never looks ahead.
class Reader
{
public:
    Reader(const QString& text, QChar separator)
        : text_(text), separator_(separator), lastQuote_(text.lastIndexOf(u'"'))
    {
    }

    void run(ImportRead& out)
    {
        qsizetype pos = 0;
        const qsizetype n = text_.size();
        while (pos < n) {
            pos = record(pos, out);
            if (out.badRow != 0)
                return;
        }
    }

private:
    // Reads the record starting at pos; returns where the next one starts.
    qsizetype record(qsizetype start, ImportRead& out)
    {
        QStringList fields;
        QString field;
        bool quoted = false;
        const qsizetype n = text_.size();
        qsizetype i = start;
        for (; i < n; ++i) {
            const QChar c = text_[i];
            if (isRefused(c)) {
                out.badRow = int(out.rows.size()) + 1;
                out.badCode = c.unicode();
                return n;
            }
            if (quoted) {
                if (c == u'"') {
                    if (i + 1 < n && text_[i + 1] == u'"') {
                        field += c;
                        ++i;
                    } else {
                        quoted = false;
                    }
                } else if (isLineBreak(c) && i > lastQuote_) {
                    return fallBack(start, i, out);
                } else {
                    field += c;
                }
            } else if (c == u'"') {
                quoted = true;
            } else if (c == separator_) {
                fields << cellOf(field);
                field.clear();
            } else if (isLineBreak(c)) {
                break;
            } else {
                field += c;
            }
        }
        if (quoted)
            return fallBack(start, n, out);
        fields << cellOf(field);
        out.rows.push_back(fields);
        return nextLine(i);
    }

    // A quote that nothing closes: the record is split from its start to the end of the
    // physical line, dropping unclosed quotes one at a time.
    qsizetype fallBack(qsizetype start, qsizetype lineEnd, ImportRead& out)
    {
        out.rows.push_back(ImportText::splitFields(text_.mid(start, lineEnd - start), separator_));
        return nextLine(lineEnd);
    }

    qsizetype nextLine(qsizetype at) const
    {
        if (at < text_.size() && text_[at] == u'\r' && at + 1 < text_.size() &&
            text_[at + 1] == u'\n')
            return at + 2;
        return at + 1;
    }

    const QString& text_;
    QChar separator_;
    qsizetype lastQuote_;
};

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
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && isLineBreak(c))
            break;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u';')
            ++semicolons;
    }
    return semicolons > commas ? u';' : u',';
}

ImportRead ImportText::read(const QByteArray& bytes)
{
    ImportRead out;
    const QString text = PlainText::decode(bytes);
    out.separator = detectSeparator(text);
    Reader(text, out.separator).run(out);
    if (out.badRow != 0)
        out.rows.clear();
    return out;
}

} // namespace wl
