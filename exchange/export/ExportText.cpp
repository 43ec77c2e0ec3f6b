#include "exchange/export/ExportText.h"

#include <QRegularExpression>

#include <cmath>

namespace wl {

QString ExportText::StripControlChars(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() >= 32)
            result += c;
    }
    return result;
}

QString ExportText::TranslateBreaks(QStringView text, const QString& tabText,
                                    const QString& breakText)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\t')
            result += tabText;
        else if (c == u'\n')
            result += breakText;
        else if (c.unicode() >= 32)
            result += c;
    }
    return result;
}

QString ExportText::FlattenBreaks(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // the LF that follows stands for the pair
        if (c == u'\r' || c == u'\n' || c == u'\t')
            result += u' ';
        else if (c.unicode() >= 32)
            result += c;
    }
    return result;
}

QString ExportText::KeepBreaks(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() >= 32 || c == u'\t' || c == u'\r' || c == u'\n')
            result += c;
    }
    return result;
}

bool ExportText::HasLeadingZero(QStringView text)
{
    text = text.trimmed();
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+'))
        text = text.sliced(1);
    return text.size() >= 2 && text[0] == u'0' && text[1].isDigit();
}

bool ExportText::LooksLikeFormula(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u'\'')
        ++i;
    if (i >= text.size())
        return false;
    const QChar c = text[i];
    return c == u'=' || c == u'+' || c == u'-' || c == u'@';
}

QString ExportText::GuardFormula(const QString& text)
{
    return LooksLikeFormula(text) ? u'\'' + text : text;
}

QString ExportText::RemoveFormulaGuard(const QString& text)
{
    if (text.startsWith(u'\'') && LooksLikeFormula(QStringView(text).sliced(1)))
        return text.mid(1);
    return text;
}

QString ExportText::EscapeChar(QStringView text, QChar ch, const QString& esc)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c == ch)
            result += esc;
        result += c;
    }
    return result;
}

QString ExportText::DashLine(int n)
{
    return QString(qMax(n, 0), u'-');
}

// Reads the number grammar by hand: this runs for every cell of an export, where a regular
// expression and the copies it needs cost more than writing the cell does.
bool ExportText::IsNumberText(const QString& text, const LocaleInfo& locale)
{
    const QChar separator = locale.decimalSeparator;
    if (separator != u'.' && text.contains(u'.'))
        return false;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ')
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const auto digits = [&] {
        const qsizetype from = i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9')
            ++i;
        return i - from;
    };
    qsizetype mantissa = digits();
    if (i < n && text[i] == separator) {
        ++i;
        const qsizetype fraction = digits();
        if (mantissa == 0 && fraction == 0)
            return false;
        mantissa += fraction;
    }
    if (mantissa == 0)
        return false;
    bool exponent = false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digits() == 0)
            return false;
        exponent = true;
    }
    if (i != n)
        return false;
    // Only an exponent or a very long run of digits can overflow to infinity.
    if (!exponent && mantissa < 300)
        return true;
    bool ok = false;
    const double value = ToDotDecimal(text.sliced(start), locale).toDouble(&ok);
    return ok && std::isfinite(value);
}

QString ExportText::ToDotDecimal(const QString& text, const LocaleInfo& locale)
{
    QString result = text;
    const qsizetype at = result.indexOf(locale.decimalSeparator);
    if (at >= 0)
        result[at] = u'.';
    return result;
}

QString ExportText::FitToWidth(const QString& text, int width, bool alignNumbers,
                               const QString& truncateSymbol, const LocaleInfo& locale)
{
    width = qMax(width, 0);
    // A line break or TAB inside a cell becomes a blank, so its words stay apart.
    QString fitted = FlattenBreaks(text);
    if (fitted.size() > width) {
        if (truncateSymbol.size() < width)
            return fitted.left(width - truncateSymbol.size()) + truncateSymbol;
        return fitted.left(width);
    }
    if (alignNumbers && fitted.size() < width && IsNumberText(fitted, locale))
        return fitted.rightJustified(width, u' ');
    return fitted.leftJustified(width, u' ');
}

QString ExportText::FormatCount(const QString& format, double value)
{
    static const QRegularExpression placeholder(
        QStringLiteral("%(%|(-?)(\\d{0,3})(?:\\.(\\d{1,2}))?([fegnds]))"));
    QString result;
    qsizetype from = 0;
    auto it = placeholder.globalMatch(format);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        result += format.mid(from, m.capturedStart() - from);
        from = m.capturedEnd();
        if (m.captured(1) == QStringLiteral("%")) {
            result += u'%';
            continue;
        }
        const QString flags = m.captured(2);
        const QString width = m.captured(3);
        const QString precision = m.captured(4);
        QChar conversion = m.captured(5).at(0);
        double shown = value;
        if (conversion == u'd' || conversion == u's') {
            shown = std::round(value);
            conversion = u'f';
            const QString directive = u'%' + flags + width + QStringLiteral(".0f");
            result += QString::asprintf(directive.toLatin1().constData(), shown);
            continue;
        }
        if (conversion == u'n')
            conversion = u'f';
        QString directive = u'%' + flags + width;
        if (!precision.isEmpty())
            directive += u'.' + precision;
        directive += conversion;
        result += QString::asprintf(directive.toLatin1().constData(), shown);
    }
    result += format.mid(from);
    return result;
}

} // namespace wl
