#include "exchange/import/ProperName.h"

namespace wl {

namespace {

QChar asciiUpper(QChar c)
{
    return c >= u'a' && c <= u'z' ? QChar(c.unicode() - u'a' + u'A') : c;
}

QChar asciiLower(QChar c)
{
    return c >= u'A' && c <= u'Z' ? QChar(c.unicode() - u'A' + u'a') : c;
}

} // namespace

QString ProperName(const QString& text)
{
    QString result = text;
    for (QChar& c : result)
        c = asciiLower(c);
    if (result.isEmpty())
        return result;
    result[0] = asciiUpper(result[0]);
    for (qsizetype i = 1; i < result.size(); ++i) {
        const QChar before = result[i - 1];
        if (before == u' ' || (before == u'.' && result[i] != u' '))
            result[i] = asciiUpper(result[i]);
    }
    // A post-office box.
    if (result.startsWith(QStringLiteral("Po ")))
        result[1] = u'O';
    return result;
}

} // namespace wl
