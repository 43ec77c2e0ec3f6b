#include "exchange/export/RTFText.h"

#include "grid/CodePage1252.h"

#include <cstdint>

namespace wl {

QString RTFText::convert(QStringView text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += u'\\';
            out += c;
        } else if (u == u'\t') {
            out += QStringLiteral("\\tab ");
        } else if (u == u'\n') {
            out += QStringLiteral("\\par\r\n");
        } else if (u < 32) {
            continue;
        } else if (u < 128) {
            out += c;
        } else {
            bool fits = false;
            const QByteArray byte = CodePage1252::encode(QStringView(&c, 1), &fits);
            if (fits)
                out +=
                    QStringLiteral("\\'") + QString::number(static_cast<unsigned char>(byte[0]), 16)
                                                .rightJustified(2, u'0');
            else
                out += QStringLiteral("\\u%1?").arg(int(static_cast<std::int16_t>(u)));
        }
    }
    return out;
}

} // namespace wl
