#include "exchange/import/formats/ExactFrequency.h"

#include "grid/LocaleInfo.h"

#include <QLocale>

namespace wl {

std::optional<double> ExactFrequency::toMHz(const QString& text, int decimalsToMHz)
{
    const QString t = text.trimmed();
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? t : t.left(point);
    QString fraction = point < 0 ? QString() : t.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    for (const QString* part : {&whole, &fraction}) {
        for (QChar c : *part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
        }
    }
    // Move the point left by padding the whole part with zeros where it is too short.
    if (whole.size() < decimalsToMHz)
        whole = QString(decimalsToMHz - whole.size(), QLatin1Char('0')) + whole;
    fraction = whole.right(decimalsToMHz) + fraction;
    whole.chop(decimalsToMHz);
    const QString decimal = (whole.isEmpty() ? QStringLiteral("0") : whole) + QLatin1Char('.') +
                            (fraction.isEmpty() ? QStringLiteral("0") : fraction);
    // The text's own form is fixed by the file format, not the user's locale.
    const std::optional<double> mhz = LocaleInfo::fromLocale(QLocale::c()).parseNumber(decimal);
    if (!mhz || !(*mhz > 0))
        return std::nullopt;
    return mhz;
}

} // namespace wl
