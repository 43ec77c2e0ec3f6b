#include "stats/StatsEngine.h"

#include "app/RecordDate.h"
#include "globe/AngleText.h"
#include "globe/Geodesy.h"
#include "globe/LLPoint.h"
#include "stats/BandTable.h"
#include "store/Table.h"

#include <QDate>

#include <algorithm>
#include <map>
#include <queue>
#include <string>
#include <unordered_map>

namespace wl::stats {

namespace {

constexpr double KmPerNauticalMile = 1.852;

// A record kept by a key while scanning, its texts read once the scan is over.
struct Keyed
{
    double key;
    qint64 recNum;
    double km;
};

bool farther(const Keyed& a, const Keyed& b)
{
    return a.key > b.key || (a.key == b.key && a.recNum < b.recNum);
}

bool hasPosition(const store::ScannedRecord& r, int latAt, int lonAt)
{
    return !r.isNull(latAt) && !r.isNull(lonAt) && r.number(latAt) != 0 && r.number(lonAt) != 0;
}

// Everything one pass gathers before it is turned into the sorted lists of LogStats.
struct Tally
{
    std::unordered_map<std::string, qint64> categories;
    std::vector<qint64> bands = std::vector<qint64>(BandTable::bands().size() + 1, 0);
    std::map<int, qint64> years;
    std::map<int, qint64> months; // year * 100 + month
    std::vector<qint64> bins = std::vector<qint64>(StatsEngine::binEdges().size(), 0);
    // Nearest of the farthest on top, so it is the one to give way.
    std::priority_queue<Keyed, std::vector<Keyed>, decltype(&farther)> farthest{&farther};
    std::optional<Keyed> first;
    std::optional<Keyed> last;
};

void countDistance(Tally& t, double km, qint64 recNum)
{
    const std::vector<double>& edges = StatsEngine::binEdges();
    const auto bin = std::upper_bound(edges.begin(), edges.end(), km) - edges.begin() - 1;
    ++t.bins[size_t(std::max<qsizetype>(bin, 0))];
    t.farthest.push(Keyed{km, recNum, km});
    if (t.farthest.size() > size_t(StatsEngine::FarthestCount))
        t.farthest.pop();
}

// False for a record without a usable date.
bool countDate(Tally& t, LogStats& out, double days, qint64 recNum)
{
    if (days == 0)
        return false;
    const std::optional<RecordDate::DayAndTime> split = RecordDate::split(days);
    if (!split)
        return false;
    int year = 0;
    int month = 0;
    QDate::fromJulianDay(split->julianDay).getDate(&year, &month, nullptr);
    ++t.years[year];
    ++t.months[year * 100 + month];
    ++out.perHour[size_t(std::clamp(split->msecs / 3600000, 0, 23))];
    if (!t.first || days < t.first->key)
        t.first = Keyed{days, recNum, 0};
    if (!t.last || days > t.last->key)
        t.last = Keyed{days, recNum, 0};
    return true;
}

std::vector<Count> sortedCategories(const Tally& t)
{
    std::vector<Count> list;
    for (const auto& [name, count] : t.categories)
        list.push_back(Count{QString::fromStdString(name), count});
    std::sort(list.begin(), list.end(), [](const Count& a, const Count& b) {
        return a.count != b.count ? a.count > b.count : a.name < b.name;
    });
    return list;
}

std::vector<Count> bandCounts(const Tally& t)
{
    std::vector<Count> list;
    const std::vector<Band>& bands = BandTable::bands();
    for (size_t i = 0; i < bands.size(); ++i) {
        if (t.bands[i] > 0)
            list.push_back(Count{bands[i].name, t.bands[i]});
    }
    if (t.bands.back() > 0)
        list.push_back(Count{BandTable::otherName(), t.bands.back()});
    return list;
}

RecordSummary summary(store::Table& table, const Keyed& k)
{
    RecordSummary s;
    s.recNum = k.recNum;
    s.km = k.km;
    QVariant v;
    const auto text = [&](const char* name) {
        return table.readField(k.recNum, QString::fromLatin1(name), v) ? v.toString() : QString();
    };
    const auto number = [&](const char* name) {
        return table.readField(k.recNum, QString::fromLatin1(name), v) ? v.toDouble() : 0.0;
    };
    s.category = text("Category");
    s.callsign = text("Callsign");
    s.location = text("Location");
    s.mhz = number("Hz");
    s.rdate = number("RDate");
    s.lat = number("RLat");
    s.lon = number("RLon");
    return s;
}

void finish(store::Table& table, Tally& t, LogStats& out)
{
    out.perCategory = sortedCategories(t);
    out.perBand = bandCounts(t);
    for (const auto& [year, count] : t.years)
        out.perYear.push_back(Count{QString::number(year), count});
    for (const auto& [key, count] : t.months)
        out.perMonth.push_back(Count{
            QStringLiteral("%1-%2").arg(key / 100).arg(key % 100, 2, 10, QLatin1Char('0')), count});
    if (out.homeKnown) {
        const std::vector<double>& edges = StatsEngine::binEdges();
        for (size_t i = 0; i < edges.size(); ++i)
            out.distances.push_back(
                DistanceBin{edges[i], i + 1 < edges.size() ? edges[i + 1] : 0, t.bins[i]});
    }
    std::vector<Keyed> far;
    for (; !t.farthest.empty(); t.farthest.pop())
        far.push_back(t.farthest.top());
    std::reverse(far.begin(), far.end());
    for (const Keyed& k : far)
        out.farthest.push_back(summary(table, k));
    if (t.first)
        out.first = summary(table, *t.first);
    if (t.last)
        out.last = summary(table, *t.last);
}

} // namespace

const std::vector<double>& StatsEngine::binEdges()
{
    static const std::vector<double> edges = {0,    250,  500,  1000,  2000,
                                              3000, 5000, 7500, 10000, 15000};
    return edges;
}

double StatsEngine::distanceKm(double lat1, double lon1, double lat2, double lon2)
{
    // Inside the globe engine longitudes grow eastward.
    const LLPoint a = makeLLPoint(degToGU(-lon1), degToGU(lat1));
    const LLPoint b = makeLLPoint(degToGU(-lon2), degToGU(lat2));
    return double(llDistance(a, b)) / GUPerMinute * KmPerNauticalMile;
}

store::Status StatsEngine::compute(store::Table& table, const StatsQuery& query, LogStats& out)
{
    out = LogStats{};
    out.homeKnown = query.homeKnown;
    const int catAt = 0, dateAt = 1, hzAt = 2, latAt = 3, lonAt = 4;
    std::vector<int> fields;
    for (const char* name : {"Category", "RDate", "Hz", "RLat", "RLon"}) {
        const int at = table.fieldNumber(QString::fromLatin1(name));
        if (at < 0)
            return store::Status::failure(
                QStringLiteral("the table has no field %1").arg(QString::fromLatin1(name)));
        fields.push_back(at);
    }
    const std::string wanted = query.category ? query.category->toStdString() : std::string();
    LLPoint home{};
    if (query.homeKnown)
        home = makeLLPoint(degToGU(-query.homeLon), degToGU(query.homeLat));
    Tally t;
    const store::Status st = table.scanRecords(fields, [&](const store::ScannedRecord& r) {
        const std::string_view category = r.utf8(catAt);
        if (query.category && category != wanted)
            return true;
        const double mhz = r.isNull(hzAt) ? 0 : r.number(hzAt);
        if (!query.covers(mhz))
            return true;
        ++out.total;
        ++t.categories[std::string(category)];
        const int band = BandTable::bandOf(mhz);
        ++t.bands[band < 0 ? t.bands.size() - 1 : size_t(band)];
        if (r.isNull(dateAt) || !countDate(t, out, r.number(dateAt), r.recNum()))
            ++out.withoutDate;
        if (!hasPosition(r, latAt, lonAt)) {
            ++out.withoutPosition;
        } else if (query.homeKnown) {
            const LLPoint p = makeLLPoint(degToGU(-r.number(lonAt)), degToGU(r.number(latAt)));
            countDistance(t, double(llDistance(home, p)) / GUPerMinute * KmPerNauticalMile,
                          r.recNum());
        }
        return true;
    });
    if (!st)
        return st;
    finish(table, t, out);
    return store::Status::success();
}

} // namespace wl::stats
