#include "map/PlaceFinder.h"

#include "globe/GlobeLayer.h"
#include "globe/GlobeObject.h"
#include "grid/LocaleInfo.h"

#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace wl {

namespace {

// A number in degrees with an optional hemisphere letter before or after it; the letter
// S or W turns the sign, and tells which of the two it is.
struct Degrees
{
    double value = 0;
    QChar hemisphere; // N, S, E, W or none
};

std::optional<Degrees> parseDegrees(QString text, const LocaleInfo& locale)
{
    text = text.trimmed().toUpper();
    Degrees d;
    static const QString letters = QStringLiteral("NSEW");
    if (!text.isEmpty() && letters.contains(text.back())) {
        d.hemisphere = text.back();
        text.chop(1);
    } else if (!text.isEmpty() && letters.contains(text.front())) {
        d.hemisphere = text.front();
        text.remove(0, 1);
    }
    text = text.trimmed();
    if (text.endsWith(QChar(0x00B0))) // a degree sign
        text.chop(1);
    const std::optional<double> v = locale.parseNumber(text);
    if (!v || !std::isfinite(*v))
        return std::nullopt;
    d.value = *v;
    if (!d.hemisphere.isNull() && d.value < 0)
        return std::nullopt; // "-5 S" says it twice
    if (d.hemisphere == QLatin1Char('S') || d.hemisphere == QLatin1Char('W'))
        d.value = -d.value;
    return d;
}

QStringList splitPair(const QString& text, const LocaleInfo& locale)
{
    if (text.contains(QLatin1Char(';')))
        return text.split(QLatin1Char(';'));
    static const QRegularExpression commaBlank(QStringLiteral(",\\s+"));
    QStringList parts = text.split(commaBlank);
    if (parts.size() == 2)
        return parts;
    if (locale.decimalSeparator != QLatin1Char(','))
        return text.split(QLatin1Char(','));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.trimmed().split(blanks);
}

} // namespace

void PlaceFinder::addLayer(const GlobeLayer& layer)
{
    for (int i = 0; i < layer.objectCount(); ++i) {
        const GlobeObject& o = *layer.object(i);
        // Titles are single-byte text in the globe's files.
        const QString name = QString::fromLatin1(o.title()).simplified();
        if (!name.isEmpty())
            m_places.push_back(Place{name, o.location()});
    }
}

void PlaceFinder::clear()
{
    m_places.clear();
}

QStringList PlaceFinder::suggestions(const QString& text, int max) const
{
    const QString t = text.simplified();
    QStringList starts, holds;
    if (t.isEmpty())
        return starts;
    QSet<QString> seen;
    for (const Place& p : m_places) {
        if (seen.contains(p.name))
            continue;
        if (p.name.startsWith(t, Qt::CaseInsensitive)) {
            seen.insert(p.name);
            starts << p.name;
        } else if (holds.size() < max && p.name.contains(t, Qt::CaseInsensitive)) {
            seen.insert(p.name);
            holds << p.name;
        }
    }
    starts.sort(Qt::CaseInsensitive);
    starts += holds;
    return starts.mid(0, max);
}

std::optional<PlaceFinder::Place> PlaceFinder::find(const QString& text,
                                                    const LocaleInfo& locale) const
{
    const QString t = text.simplified();
    if (t.isEmpty())
        return std::nullopt;
    if (const std::optional<LLPoint> p = parsePosition(t, locale))
        return Place{t, *p};
    for (const Place& p : m_places)
        if (p.name.compare(t, Qt::CaseInsensitive) == 0)
            return p;
    const QStringList near = suggestions(t, 1);
    if (near.isEmpty())
        return std::nullopt;
    for (const Place& p : m_places)
        if (p.name == near.front())
            return p;
    return std::nullopt;
}

std::optional<LLPoint> PlaceFinder::parsePosition(const QString& text, const LocaleInfo& locale)
{
    const QStringList parts = splitPair(text.trimmed(), locale);
    if (parts.size() != 2)
        return std::nullopt;
    std::optional<Degrees> a = parseDegrees(parts[0], locale);
    std::optional<Degrees> b = parseDegrees(parts[1], locale);
    if (!a || !b)
        return std::nullopt;
    const auto isLon = [](QChar h) { return h == QLatin1Char('E') || h == QLatin1Char('W'); };
    // "36.8 E, 1.3 S" names them the other way round.
    if (isLon(a->hemisphere) && !isLon(b->hemisphere))
        std::swap(a, b);
    if (isLon(a->hemisphere) || (!b->hemisphere.isNull() && !isLon(b->hemisphere)))
        return std::nullopt;
    if (std::abs(a->value) > 90 || std::abs(b->value) > 180)
        return std::nullopt;
    return makeLLPoint(static_cast<std::int32_t>(std::lround(b->value * GUPerDegree)),
                       static_cast<std::int32_t>(std::lround(a->value * GUPerDegree)));
}

} // namespace wl
