#include "schedule/SiteParser.h"

#include "grid/LocaleInfo.h"
#include "schedule/ScheduleText.h"

#include <QSet>
#include <QStringList>

#include <cmath>

namespace wl::schedule {

namespace {

const LocaleInfo FileNumbers;

} // namespace

std::optional<double> SiteParser::angle(const QString& text, QChar positive, QChar negative,
                                        double limit)
{
    QString t = text.trimmed();
    double sign = 1;
    if (!t.isEmpty() && t.back().isLetter()) {
        const QChar letter = t.back().toUpper();
        if (letter != positive && letter != negative)
            return std::nullopt;
        sign = letter == negative ? -1 : 1;
        t.chop(1);
    }
    const std::optional<double> value = FileNumbers.parseNumber(t);
    if (!value || std::abs(*value) > limit || (sign < 0 && *value < 0))
        return std::nullopt;
    return sign * *value;
}

QString SiteParser::readLine(const QString& line, Site& site)
{
    const QChar separator = line.contains(QLatin1Char(';')) ? QLatin1Char(';') : QLatin1Char(',');
    QStringList fields = line.split(separator);
    if (!fields.isEmpty() && fields.back().trimmed().isEmpty() && fields.size() > 4)
        fields.removeLast(); // a closing separator
    if (fields.size() < 4)
        return QStringLiteral("%1 fields instead of 4 (code, name, latitude, longitude)")
            .arg(fields.size());
    site.code = fields.front().trimmed();
    if (site.code.isEmpty())
        return QStringLiteral("the site has no code");
    const std::optional<double> lat = angle(fields[fields.size() - 2], u'N', u'S', 90);
    const std::optional<double> lon = angle(fields.back(), u'E', u'W', 180);
    if (!lat || !lon)
        return QStringLiteral("the position \"%1, %2\" is not a latitude and longitude in degrees")
            .arg(fields[fields.size() - 2].trimmed(), fields.back().trimmed());
    site.lat = *lat;
    site.lon = *lon;
    site.name = fields.mid(1, fields.size() - 3).join(separator).trimmed();
    return {};
}

ParsedSites SiteParser::parse(const QByteArray& bytes)
{
    ParsedSites result;
    QString text = ScheduleText::decode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = text.split(QLatin1Char('\n'));
    QSet<QString> codes;
    bool any = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        Site site;
        const QString reason = readLine(line, site);
        if (!reason.isEmpty() && !any && result.problems.empty() &&
            line.contains(QLatin1String("lat"), Qt::CaseInsensitive))
            continue; // the heading
        any = true;
        if (!reason.isEmpty()) {
            result.problems.push_back({int(i) + 1, reason});
            continue;
        }
        if (codes.contains(site.code.toUpper())) {
            result.problems.push_back(
                {int(i) + 1, QStringLiteral("the code \"%1\" is listed twice").arg(site.code)});
            continue;
        }
        codes.insert(site.code.toUpper());
        result.sites.push_back(std::move(site));
    }
    if (result.sites.empty() && result.problems.empty())
        result.failure = QStringLiteral("the file holds no sites");
    return result;
}

} // namespace wl::schedule
