#include "globe/DrawServices.h"

#include "globe/Canvas.h"
#include "globe/Clipper.h"
#include "globe/GlobeMath.h"
#include "globe/LLPointList.h"
#include "globe/PrjModel.h"
#include "globe/VectorMath.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace wl {

namespace {

// Longitude quarter: -1, 0 or 1, 2 exactly at 180 degrees (which never starts a split).
int quarter(std::int32_t lon)
{
    return lon / GU90;
}

// Days from 30 December 1899 to a civil date.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468 + 25569;
}

std::int64_t yearOf(std::int64_t days)
{
    const std::int64_t z = days - 25569 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    return static_cast<std::int64_t>(yoe) + era * 400 + (mp >= 10 ? 1 : 0);
}

// Twice the unit vector: the sun vector's length scales the twilight limit below.
constexpr long double SunVectorScale = 6.464181983788284e-09L;
constexpr std::int64_t TwilightLimit = -64800000;

} // namespace

void DrawServices::flush(int& count, std::uint8_t clipCode)
{
    if (count > 1) {
        std::vector<ScreenPoint>& pts = m_model.points();
        const int n = clipShape(pts, count, clipCode, false, m_width, m_height);
        if (n > 1)
            m_canvas.drawPolyline(pts.data(), n);
    }
    count = 0;
}

void DrawServices::polyline(const LLPointList& points, std::uint8_t clipCode)
{
    if (points.count() < 2)
        return;
    int count = 0;
    std::int32_t lastLon = 0, lastLat = 0;
    for (std::int32_t i = 0; i < points.count(); ++i) {
        const LLPoint& p = points[i];
        const int q = quarter(p.lon);
        if (count > 0 && q != 0 && quarter(lastLon) == -q) {
            const std::int64_t e = q;
            const std::int64_t f = gmath::mulDiv(std::int64_t{p.lat} - lastLat, lastLon + e * GU180,
                                                 e * GU360 + lastLon - p.lon);
            const auto lat = gmath::saturate32(lastLat + f);
            if (m_model.projectLL(static_cast<std::int32_t>(-e * GU180), lat, count))
                ++count;
            flush(count, clipCode);
            if (m_model.projectLL(static_cast<std::int32_t>(e * GU180), lat, count))
                ++count;
        }
        if (m_model.projectLL(p.lon, p.lat, count)) {
            ++count;
            lastLon = p.lon;
            lastLat = p.lat;
        } else {
            flush(count, clipCode);
        }
    }
    flush(count, clipCode);
}

void DrawServices::line(const LLPoint& from, const LLPoint& to, int steps)
{
    steps = std::max(steps, 1);
    const std::int64_t dLat = std::int64_t{to.lat} - from.lat;
    std::int64_t dLon = std::int64_t{to.lon} - from.lon;
    const int e = quarter(from.lon);
    if (e != 0 && quarter(to.lon) == -e)
        dLon = (GU360 - std::llabs(dLon)) * e;
    LLPointList list;
    for (int k = 0; k <= steps; ++k) {
        list.add(makeLLPoint(gmath::saturate32(from.lon + gmath::mulDiv(dLon, k, steps)),
                             gmath::saturate32(from.lat + gmath::mulDiv(dLat, k, steps))));
    }
    polyline(list, 255);
}

LLPointList DrawServices::greatCirclePoints(const LLPoint& from, const LLPoint& to, int mode)
{
    const Vector3 p = vectorFromPoint(from);
    const Vector3 q = vectorFromPoint(to);
    const long double a = std::acos(std::clamp(dot(p, q), -1.0L, 1.0L));
    const long double theta = mode == 0 ? a : mode == 1 ? 2 * gmath::Pi - a : 2 * gmath::Pi;
    const int n = static_cast<int>(theta / (gmath::Pi / 180));
    LLPointList list;
    if (n <= 0)
        return list;
    const Matrix3 m = quaternionToMatrix(axisAngleToQuaternion(crossNormalized(p, q), -theta / n));
    Vector3 v = mode == 1 ? q : p;
    for (int i = 0; i <= n; ++i) {
        list.add(pointFromVector(v));
        v = matrixTimesVector(m, v);
    }
    return list;
}

void DrawServices::greatCircle(const LLPoint& from, const LLPoint& to, int mode)
{
    const LLPointList list = greatCirclePoints(from, to, mode);
    if (list.count() == 0)
        line(from, to, 1);
    else
        polyline(list, 255);
}

void DrawServices::graticule(int longitudeStep, int latitudeStep)
{
    constexpr std::int32_t Lat89 = 480600000;
    constexpr std::int32_t Lat85 = 459000000;
    if (longitudeStep > 0) {
        for (std::int64_t lon = -GU180; lon < GU180;
             lon += std::int64_t{longitudeStep} * GUPerDegree) {
            const auto l = static_cast<std::int32_t>(lon);
            line(llPoint(l, -Lat89), llPoint(l, Lat89), 36);
        }
    }
    if (latitudeStep > 0) {
        for (std::int64_t lat = 0; lat < Lat85; lat += std::int64_t{latitudeStep} * GUPerDegree) {
            for (const auto l : {static_cast<std::int32_t>(lat), static_cast<std::int32_t>(-lat)}) {
                line(llPoint(GU180, l), llPoint(0, l), 72);
                line(llPoint(0, l), llPoint(-GU180 + 1, l), 72);
            }
        }
    }
}

LLPoint DrawServices::subsolarPoint(double t)
{
    const double day = std::floor(t);
    const std::int64_t d0 = daysFromCivil(yearOf(static_cast<std::int64_t>(day)) - 1, 12, 21);
    const double days = day - static_cast<double>(d0);
    const long double delta =
        std::atan(0.4333823L * std::cos(days * 2 * gmath::Pi / 365.24225L)) * 180 / gmath::Pi;
    const auto s = static_cast<std::int64_t>(std::llround((t - day) * 86400));
    const std::int64_t m = std::llround(s * 0.25) % 21600;
    return makeLLPoint(static_cast<std::int32_t>((10800 - m) * GUPerMinute),
                       -gmath::round32(delta * GUPerDegree));
}

DrawServices::Sample DrawServices::classify(int x, int y, const long double* sun) const
{
    std::int32_t lon = 0, lat = 0;
    if (!m_model.unproject(x, y, lon, lat))
        return {0, 0};
    const LLPoint p = makeLLPoint(lon, lat);
    const long double d = p.x * sun[0] + p.y * sun[1] + p.z * sun[2];
    if (d > 0)
        return {1, d};
    return {d >= TwilightLimit ? 3 : 2, d};
}

LLPoint DrawServices::nightShadow(GlobeColor night, GlobeColor twilight, int step, double t)
{
    const LLPoint sub = subsolarPoint(t);
    const long double sun[3] = {sub.x * SunVectorScale, sub.y * SunVectorScale,
                                sub.z * SunVectorScale};
    step = std::max(step, 1);
    const auto fill = [&](int x1, int x2, int y, int c) {
        x2 = std::min(x2, m_width - 1);
        if (c >= 2 && x1 <= x2)
            m_canvas.fillSpan(x1, x2, y, c == 2 ? night : twilight);
    };
    // Every step-th row is sampled every 16 steps, and the run between two samples takes
    // their class when it cannot hold another. The sun's height along a row rises or falls
    // smoothly with at most a turn or two, so a run whose samples agree holds one class
    // unless the height turns inside it: then the samples' differences change sign at one of
    // its ends or its neighbours' ends. Such runs, runs between samples that differ and runs
    // touching the edge of the map have every step-th pixel classified, standing for the
    // step pixels after it. A row that only grazes the night keeps its short piece of night,
    // and every column of the band is covered.
    const int chunk = 16 * step;
    const int samples = (m_width + chunk - 1) / chunk + 1;
    std::vector<Sample> row(static_cast<std::size_t>(samples));
    // Sign of the change from sample i to i + 1; 0 when either is off the map or they agree.
    const auto trend = [&](int i) {
        if (i < 0 || i + 1 >= samples)
            return 0;
        const Sample& a = row[static_cast<std::size_t>(i)];
        const Sample& b = row[static_cast<std::size_t>(i + 1)];
        if (a.cls == 0 || b.cls == 0 || a.d == b.d)
            return 0;
        return a.d < b.d ? 1 : -1;
    };
    for (int y = 0; y < m_height; y += step) {
        for (int i = 0; i < samples; ++i)
            row[static_cast<std::size_t>(i)] = classify(i * chunk, y, sun);
        for (int i = 0; i + 1 < samples; ++i) {
            const int x = i * chunk;
            const int c = row[static_cast<std::size_t>(i)].cls;
            const int dir = trend(i);
            const bool uniform = c != 0 && c == row[static_cast<std::size_t>(i + 1)].cls &&
                                 dir != 0 && trend(i - 1) == dir && trend(i + 1) == dir;
            if (uniform) {
                fill(x, x + chunk - 1, y, c);
                continue;
            }
            for (int k = 0; k < 16; ++k) {
                const int px = x + k * step;
                fill(px, px + step - 1, y, k == 0 ? c : classify(px, y, sun).cls);
            }
        }
    }
    return sub;
}

} // namespace wl
