#include "grid/PlainText.h"

#include "grid/CodePage1252.h"

#include <QStringDecoder>

#include <cstring>
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

} // namespace

QString PlainText::decode(const QByteArray& bytes)
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
    QString text;
    text.reserve(body.size());
    while (!body.isEmpty()) {
        const auto* nl = static_cast<const char*>(std::memchr(body.data(), '\n', body.size()));
        const QByteArrayView line = nl ? body.first(nl - body.data() + 1) : body;
        if (auto utf8 = decodeStrict(QStringDecoder::Utf8, line))
            text += *utf8;
        else
            text += CodePage1252::decode(line);
        body = body.sliced(line.size());
    }
    return text;
}

QStringList PlainText::splitLines(const QString& text)
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

} // namespace wl
