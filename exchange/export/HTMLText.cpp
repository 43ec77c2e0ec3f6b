#include "exchange/export/HTMLText.h"

#include <array>

namespace wl {

namespace {

// A character that ends an address: a blank, a control character or code 255.
bool endsAddress(QChar c)
{
    return c.unicode() < 33 || c.unicode() == 255;
}

struct Marker
{
    QStringView text;
    bool mail; // "@": an address word around it
};

// The earlier-listed marker wins when two are found at the same place.
constexpr std::array<Marker, 4> Markers = {
    {{u"http://", false}, {u"https://", false}, {u"mailto:", false}, {u"@", true}}};

struct Found
{
    qsizetype at = -1;
    const Marker* marker = nullptr;
};

Found firstMarker(QStringView text, qsizetype from)
{
    Found found;
    for (const Marker& m : Markers) {
        const qsizetype at = text.indexOf(m.text, from, Qt::CaseInsensitive);
        if (at >= 0 && (found.at < 0 || at < found.at)) {
            found.at = at;
            found.marker = &m;
        }
    }
    return found;
}

qsizetype addressEnd(QStringView text, qsizetype from)
{
    while (from < text.size() && !endsAddress(text[from]))
        ++from;
    return from;
}

QString anchor(QStringView target, bool ignoreBreaks)
{
    const qsizetype mailto = target.indexOf(u"mailto:", 0, Qt::CaseInsensitive);
    const QStringView shown = mailto >= 0 ? target.sliced(mailto + 7) : target;
    return QStringLiteral("<a href=\"%1\">%2</a>")
        .arg(HTMLText::escape(target), HTMLText::text(shown, ignoreBreaks));
}

} // namespace

QString HTMLText::escape(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    for (QChar c : raw) {
        switch (c.unicode()) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case u'"':
            out += QStringLiteral("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString HTMLText::text(QStringView raw, bool ignoreBreaks)
{
    const QString escaped = escape(raw);
    QString out;
    out.reserve(escaped.size());
    for (QChar c : escaped) {
        if (c == u'\t') {
            if (!ignoreBreaks)
                out += QStringLiteral("&nbsp;&nbsp;&nbsp;");
        } else if (c == u'\n') {
            out += ignoreBreaks ? QStringLiteral("\r\n") : QStringLiteral("<br>\r\n");
        } else if (c.unicode() >= 32) {
            out += c;
        }
    }
    return out;
}

// The addresses are found in the raw text, so that neither an entity nor a line-break tag can
// become part of a link.
QString HTMLText::linked(QStringView raw, bool ignoreBreaks)
{
    QString out;
    qsizetype from = 0; // raw text before this is in out
    qsizetype search = 0;
    for (;;) {
        const Found found = firstMarker(raw, search);
        if (!found.marker)
            break;
        const qsizetype end = addressEnd(raw, found.at);
        qsizetype start = found.at;
        QString target;
        if (found.marker->mail) {
            start = found.at;
            while (start > from && !endsAddress(raw[start - 1]))
                --start;
            const QStringView word = raw.sliced(start, end - start);
            const qsizetype atSign = found.at - start;
            const QStringView domain = word.sliced(atSign + 1);
            const qsizetype dot = domain.indexOf(u'.');
            if (atSign == 0 || dot <= 0) {
                search = found.at + 1;
                continue;
            }
            target = QStringLiteral("mailto:") + word.toString();
        } else {
            target = raw.sliced(start, end - start).toString();
        }
        out += text(raw.sliced(from, start - from), ignoreBreaks);
        out += anchor(target, ignoreBreaks);
        from = search = end;
    }
    out += text(raw.sliced(from), ignoreBreaks);
    return out;
}

QString HTMLText::cell(const QString& converted)
{
    const QString trimmed = converted.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("&nbsp;") : trimmed;
}

} // namespace wl
