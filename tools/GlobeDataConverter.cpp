#include "tools/GlobeDataConverter.h"

#include "globe/FileBytes.h"
#include "globe/GlobeException.h"
#include "globe/GlobeHost.h"
#include "globe/GlobePointText.h"
#include "globe/GlobePolyLine.h"
#include "globe/GlobePolygon.h"
#include "globe/GlobeSymbol.h"
#include "globe/GlobeText.h"
#include "globe/IniFile.h"
#include "globe/LayerFile.h"
#include "globe/ObjectLayer.h"
#include "globe/PrjHost.h"
#include "globe/SphericalPrj.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace wl::tools {

namespace {

// The look new objects take while the converter builds a layer.
class ConverterHost : public GlobeHost, public PrjHost
{
public:
    ConverterHost() : m_model(*this) {}

    PenData penData;
    BrushData brushData;
    FontData fontData;

    PrjModel& projection() override { return m_model; }
    int surfaceWidth() const override { return 800; }
    int surfaceHeight() const override { return 600; }
    int surfacePixelsPerInch() const override { return 96; }
    void viewChanged() override {}
    int screenPixelsPerInch() const override { return 96; }
    int minTextHeight() const override { return 5; }
    PenData pen() const override { return penData; }
    BrushData brush() const override { return brushData; }
    FontData font() const override { return fontData; }
    PenData selectedPen() const override { return {}; }
    BrushData selectedBrush() const override { return {}; }
    void redraw() override {}
    void invalidate() override {}
    void addToSelection(GlobeObject&) override {}
    void removeFromSelection(GlobeObject&) override {}
    void drawLLPolyline(Canvas&, const LLPointList&, std::uint8_t) override {}
    void drawLLLine(Canvas&, const LLPoint&, const LLPoint&, int) override {}

private:
    SphericalPrj m_model;
};

std::int32_t toGU(double degrees)
{
    return static_cast<std::int32_t>(std::lround(degrees * GUPerDegree));
}

std::string readText(const std::string& path)
{
    auto bytes = FileBytes::read(path);
    if (!bytes)
        throw GlobeException("Cannot read " + path);
    return std::string(bytes->begin(), bytes->end());
}

void save(ObjectLayer& layer, const std::string& path)
{
    FileBytes::writeAtomically(path, LayerFile::write(layer, 1));
}

// Calls place(name, lon, lat, population) for each well-formed
// name<TAB>lon<TAB>lat[<TAB>population] line; a missing or unreadable population is 0.
template <class Place> void forEachPlace(const std::string& tsv, Place place)
{
    std::istringstream lines(tsv);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name, lon, lat, population;
        if (!std::getline(fields, name, '\t') || !std::getline(fields, lon, '\t') ||
            !std::getline(fields, lat, '\t') || name.empty())
            continue;
        std::getline(fields, population, '\t');
        const long long people = std::clamp(std::atoll(population.c_str()), 0LL, 2147483647LL);
        char* end = nullptr;
        const double x = std::strtod(lon.c_str(), &end);
        if (*end != '\0' && *end != '\r')
            continue;
        const double y = std::strtod(lat.c_str(), &end);
        if ((*end != '\0' && *end != '\r') || std::abs(x) > 180 || std::abs(y) > 90)
            continue;
        place(name, toGU(x), toGU(y), static_cast<std::int32_t>(people));
    }
}

} // namespace

std::vector<LLPointList> GlobeDataConverter::parseLines(const std::string& text)
{
    std::vector<LLPointList> lists;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        LLPointList list;
        std::int32_t ringStart = 0;
        bool rings = false;
        const auto closeRing = [&] {
            if (list.count() > ringStart && !(list[list.count() - 1] == list[ringStart]))
                list.add(list[ringStart]);
            ringStart = list.count();
        };
        std::istringstream pairs(line);
        std::string pair;
        while (pairs >> pair) {
            if (pair == "|") {
                rings = true;
                closeRing();
                continue;
            }
            const auto comma = pair.find(',');
            if (comma == std::string::npos)
                continue;
            char* end = nullptr;
            const double lon = std::strtod(pair.c_str(), &end);
            if (end != pair.c_str() + comma)
                continue;
            const double lat = std::strtod(pair.c_str() + comma + 1, &end);
            if (*end != '\0' || std::abs(lon) > 180 || std::abs(lat) > 90)
                continue;
            list.add(makeLLPoint(toGU(lon), toGU(lat)));
        }
        if (rings)
            closeRing();
        if (list.count() >= 2)
            lists.push_back(std::move(list));
    }
    return lists;
}

std::vector<LLPointList> GlobeDataConverter::split(const LLPointList& list, int limit)
{
    std::vector<LLPointList> pieces;
    if (list.count() <= limit) {
        pieces.push_back(list);
        return pieces;
    }
    for (std::int32_t start = 0; start < list.count() - 1; start += limit - 1) {
        LLPointList piece;
        const std::int32_t end = std::min<std::int32_t>(start + limit, list.count());
        for (std::int32_t i = start; i < end; ++i)
            piece.add(list[i]);
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

std::vector<LLPointList> GlobeDataConverter::tiles(const LLPointList& polygon, int tileDegrees)
{
    struct Pt
    {
        double lon, lat;
    };
    // Longitudes made continuous across the date line.
    std::vector<Pt> ring;
    double shift = 0, lo = 0, hi = 0, south = 0, north = 0;
    for (std::int32_t i = 0; i < polygon.count(); ++i) {
        const LLPoint& p = polygon[i];
        if (i > 0) {
            const std::int64_t step = std::int64_t{p.lon} - polygon[i - 1].lon;
            if (step > GU180)
                shift -= GU360;
            else if (step < -GU180)
                shift += GU360;
        }
        const Pt q{p.lon + shift, static_cast<double>(p.lat)};
        lo = i == 0 ? q.lon : std::min(lo, q.lon);
        hi = i == 0 ? q.lon : std::max(hi, q.lon);
        south = i == 0 ? q.lat : std::min(south, q.lat);
        north = i == 0 ? q.lat : std::max(north, q.lat);
        ring.push_back(q);
    }
    const double size = static_cast<double>(tileDegrees) * GUPerDegree;
    std::vector<LLPointList> pieces;
    if (hi - lo <= size && north - south <= size) {
        pieces.push_back(polygon);
        return pieces;
    }
    // One Sutherland-Hodgman step against the half plane value(p) >= edge (or <= edge).
    const auto clip = [](const std::vector<Pt>& in, bool alongLon, double edge, bool above) {
        std::vector<Pt> out;
        const auto v = [&](const Pt& p) { return alongLon ? p.lon : p.lat; };
        const auto inside = [&](const Pt& p) { return above ? v(p) >= edge : v(p) <= edge; };
        for (std::size_t i = 0; i < in.size(); ++i) {
            const Pt& a = in[i];
            const Pt& b = in[(i + 1) % in.size()];
            if (inside(a))
                out.push_back(a);
            if (inside(a) != inside(b)) {
                const double t = (edge - v(a)) / (v(b) - v(a));
                out.push_back({a.lon + t * (b.lon - a.lon), a.lat + t * (b.lat - a.lat)});
            }
        }
        return out;
    };
    for (double west = std::floor(lo / size) * size; west < hi; west += size) {
        for (double bottom = -GU90; bottom < GU90; bottom += size) {
            std::vector<Pt> piece = clip(ring, true, west, true);
            piece = clip(piece, true, west + size, false);
            piece = clip(piece, false, bottom, true);
            piece = clip(piece, false, bottom + size, false);
            double area = 0;
            for (std::size_t i = 0; i < piece.size(); ++i) {
                const Pt& a = piece[i];
                const Pt& b = piece[(i + 1) % piece.size()];
                area += a.lon * b.lat - b.lon * a.lat;
            }
            if (piece.size() < 3 || std::abs(area) < 1e6)
                continue; // the ring only touches this tile
            // Each tile back into -180..180 as a whole. An edge along the tile's border is
            // given a point at every whole degree: drawn straight over the curve the border
            // makes on the globe it would cut a wedge off the land, and two such edges over
            // the same stretch must meet at the same points to cancel in the even-odd fill.
            const double back = west < -GU180 ? GU360 : west >= GU180 ? -GU360 : 0;
            LLPointList list;
            const auto add = [&](double lon, double lat) {
                list.add(makeLLPoint(static_cast<std::int32_t>(std::llround(
                                         std::clamp(lon + back, -1.0 * GU180, 1.0 * GU180))),
                                     static_cast<std::int32_t>(std::llround(lat))));
            };
            const double degree = GUPerDegree;
            for (std::size_t i = 0; i < piece.size(); ++i) {
                const Pt& a = piece[i];
                const Pt& b = piece[(i + 1) % piece.size()];
                add(a.lon, a.lat);
                const bool alongLat = a.lat == b.lat && (a.lat == bottom || a.lat == bottom + size);
                const bool alongLon = a.lon == b.lon && (a.lon == west || a.lon == west + size);
                if (!alongLat && !alongLon)
                    continue;
                const double from = alongLat ? a.lon : a.lat, to = alongLat ? b.lon : b.lat;
                const double dir = to > from ? 1 : -1;
                for (double v =
                         (dir > 0 ? std::floor(from / degree) + 1 : std::ceil(from / degree) - 1) *
                         degree;
                     dir * (to - v) > 0; v += dir * degree)
                    alongLat ? add(v, a.lat) : add(a.lon, v);
            }
            pieces.push_back(std::move(list));
        }
    }
    return pieces;
}

std::vector<LLPointList> GlobeDataConverter::ringsOf(const LLPointList& points)
{
    std::vector<LLPointList> rings;
    LLPointList ring;
    for (std::int32_t i = 0; i < points.count(); ++i) {
        ring.add(points[i]);
        if ((ring.count() > 3 && points[i] == ring[0]) || i + 1 == points.count()) {
            rings.push_back(std::move(ring));
            ring = LLPointList();
        }
    }
    return rings;
}

std::vector<LLPointList> GlobeDataConverter::coastLines(const LLPointList& ring)
{
    // Where the source cut its land at the 180th meridian or round the pole, and where a line
    // jumps across the date line, there is no coast.
    const auto cut = [](const LLPoint& a, const LLPoint& b) {
        return (std::abs(a.lon) == GU180 && std::abs(b.lon) == GU180) ||
               std::llabs(std::int64_t{a.lon} - b.lon) > GU180 ||
               (std::abs(a.lat) >= PolarCut && std::abs(b.lat) >= PolarCut);
    };
    std::vector<LLPointList> lines;
    LLPointList line;
    for (std::int32_t i = 0; i < ring.count(); ++i) {
        if (i > 0 && cut(ring[i - 1], ring[i])) {
            if (line.count() >= 2)
                lines.push_back(std::move(line));
            line = LLPointList();
        }
        line.add(ring[i]);
    }
    if (line.count() >= 2)
        lines.push_back(std::move(line));
    return lines;
}

LLPointList GlobeDataConverter::keyhole(const std::vector<LLPointList>& rings)
{
    if (rings.empty())
        return {};
    std::vector<LLPoint> outline;
    for (std::int32_t i = 0; i < rings[0].count(); ++i)
        outline.push_back(rings[0][i]);
    for (std::size_t r = 1; r < rings.size(); ++r) {
        const LLPointList& hole = rings[r];
        if (hole.count() == 0)
            continue;
        // The cut runs from the outline's nearest point to the hole's first point and back.
        std::size_t k = 0;
        double best = -1;
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const double dx = static_cast<double>(outline[i].lon) - hole[0].lon;
            const double dy = static_cast<double>(outline[i].lat) - hole[0].lat;
            if (best < 0 || dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                k = i;
            }
        }
        std::vector<LLPoint> cut(outline.begin(), outline.begin() + static_cast<long>(k) + 1);
        for (std::int32_t i = 0; i < hole.count(); ++i)
            cut.push_back(hole[i]);
        if (!(hole[hole.count() - 1] == hole[0]))
            cut.push_back(hole[0]);
        cut.insert(cut.end(), outline.begin() + static_cast<long>(k), outline.end());
        outline = std::move(cut);
    }
    LLPointList list;
    for (const LLPoint& p : outline)
        list.add(p);
    return list;
}

void GlobeDataConverter::writeLand(const std::string& text, const std::string& path)
{
    ConverterHost host;
    ObjectLayer layer(host);
    const std::vector<LLPointList> polygons = parseLines(text);
    // The land is filled without outlines, a large land mass in tiles: a polygon much larger
    // than a tile, seen mostly from behind the globe, cannot be drawn by pushing its hidden
    // points onto the horizon, and a small one is also left out quickly when off screen.
    // Holes become part of the outline through a cut that runs over land, so the even-odd
    // fill leaves them water and the outline of a tile in the land's own colour (which closes
    // the hairlines between tiles) never shows.
    constexpr GlobeColor Land = 0x5CA56E;
    host.penData = PenData{Land, 0, 1};
    host.brushData = BrushData{Land, 0};
    for (const LLPointList& polygon : polygons) {
        for (const LLPointList& tile : tiles(keyhole(ringsOf(polygon))))
            for (const LLPointList& piece : split(tile))
                GlobePolygon::create(layer, piece, {});
    }
    // The coast is drawn over the land as lines, ring by ring, so tile edges never show.
    host.penData = PenData{0x2F6B3A, 0, 1}; // dark green coast
    for (const LLPointList& polygon : polygons) {
        for (const LLPointList& ring : ringsOf(polygon))
            for (const LLPointList& line : coastLines(ring))
                for (const LLPointList& piece : split(line))
                    GlobePolyLine::create(layer, piece, {});
    }
    save(layer, path);
}

void GlobeDataConverter::writeBorders(const std::string& text, const std::string& path)
{
    ConverterHost host;
    host.penData = PenData{0x4F4F4F, 0, 1}; // grey
    ObjectLayer layer(host);
    for (const LLPointList& line : parseLines(text)) {
        for (const LLPointList& piece : split(line))
            GlobePolyLine::create(layer, piece, {});
    }
    save(layer, path);
}

void GlobeDataConverter::writeCities(const std::string& tsv, const std::string& path)
{
    ConverterHost host;
    host.fontData = FontData{"Arial", 0, 0, 11, GlobeUnits::Pixel, 0xFFFFFF};
    ObjectLayer layer(host);
    // A city's ObjectID holds its population, which ranks its label against its neighbours'.
    forEachPlace(tsv, [&](const std::string& name, std::int32_t lon, std::int32_t lat,
                          std::int32_t population) {
        GlobePointText::create(layer, lat, lon, name).objectID = population;
    });
    save(layer, path);
}

void GlobeDataConverter::writeCapitals(const std::string& tsv, const std::string& path)
{
    ConverterHost host;
    host.fontData = FontData{"Arial", FontBold, 0, 13, GlobeUnits::Pixel, 0x0000C0}; // dark red
    ObjectLayer layer(host);
    forEachPlace(tsv, [&](const std::string& name, std::int32_t lon, std::int32_t lat,
                          std::int32_t population) {
        GlobeSymbol::create(layer, 0x2022, lat, lon, name).objectID = population; // a bullet
    });
    save(layer, path);
}

void GlobeDataConverter::writeCountries(const std::string& tsv, const std::string& path)
{
    ConverterHost host;
    host.fontData = FontData{"Arial", FontItalic, 0, 11, GlobeUnits::Pixel, 0x303030};
    ObjectLayer layer(host);
    forEachPlace(tsv, [&](const std::string& name, std::int32_t lon, std::int32_t lat,
                          std::int32_t) { GlobeText::create(layer, lat, lon, name); });
    save(layer, path);
}

void GlobeDataConverter::writeEmpty(const std::string& path)
{
    ConverterHost host;
    ObjectLayer layer(host);
    save(layer, path);
}

void GlobeDataConverter::writeProfile(const std::string& path)
{
    IniFile profile(path);
    profile.parse({});
    struct Layer
    {
        const char* file;
        const char* name;
        bool enabled;
        bool loadOnDemand;
        int zoomMax; // nautical miles across the window, 0 = always
    };
    // Names of countries and cities appear once the view is close enough to leave room.
    const Layer layers[] = {
        {"Land.lay", "Land", false, false, 0},
        {"Borders.lay", "Borders", false, false, 0},
        {"Capitals.lay", "Capitals", true, false, 0},
        {"Countries.lay", "Country names", false, false, 6000},
        {"Cities.dat", "Cities", true, true, 1500},
        {"CustomCities.dat", "Custom cities", true, false, 0},
    };
    int index = 0;
    for (const Layer& l : layers) {
        profile.writeString("LayerList", std::to_string(index++),
                            std::string(LayerFolder) + "/" + l.file);
        profile.writeString(l.file, "Name", l.name);
        profile.writeBool(l.file, "Enabled", l.enabled);
        profile.writeBool(l.file, "Visible", true);
        profile.writeBool(l.file, "Animated", false);
        profile.writeBool(l.file, "LoadOnDemand", l.loadOnDemand);
        profile.writeString(l.file, "ZoomUnits", unitsToStr(GlobeUnits::NauticalMile));
        profile.writeInt(l.file, "ZoomMin", 0);
        profile.writeInt(l.file, "ZoomMax", l.zoomMax);
        profile.writeInt(l.file, "MaxFontHeight", 0);
    }
    profile.save();
}

void GlobeDataConverter::convert(const std::string& extractDir, const std::string& dataDir)
{
    const std::string in = extractDir + "/";
    const std::string out = dataDir + "/" + LayerFolder + "/";
    std::filesystem::create_directories(out);
    writeLand(readText(in + "land.txt"), out + "Land.lay");
    writeBorders(readText(in + "borders.txt"), out + "Borders.lay");
    writeCapitals(readText(in + "capitals.tsv"), out + "Capitals.lay");
    writeCountries(readText(in + "countries.tsv"), out + "Countries.lay");
    writeCities(readText(in + "cities.tsv"), out + "Cities.dat");
    writeEmpty(out + "CustomCities.dat");
    writeProfile(dataDir + "/globe.prf");
}

} // namespace wl::tools
