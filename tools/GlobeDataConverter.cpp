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

// Calls place(name, lon, lat) for each well-formed name<TAB>lon<TAB>lat[<TAB>...] line.
template <class Place> void forEachPlace(const std::string& tsv, Place place)
{
    std::istringstream lines(tsv);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name, lon, lat;
        if (!std::getline(fields, name, '\t') || !std::getline(fields, lon, '\t') ||
            !std::getline(fields, lat, '\t') || name.empty())
            continue;
        char* end = nullptr;
        const double x = std::strtod(lon.c_str(), &end);
        if (*end != '\0' && *end != '\r')
            continue;
        const double y = std::strtod(lat.c_str(), &end);
        if ((*end != '\0' && *end != '\r') || std::abs(x) > 180 || std::abs(y) > 90)
            continue;
        place(name, toGU(x), toGU(y));
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
        std::istringstream pairs(line);
        std::string pair;
        while (pairs >> pair) {
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

void GlobeDataConverter::writeLand(const std::string& text, const std::string& path)
{
    ConverterHost host;
    host.penData = PenData{0x2F6B3A, 0, 1};  // dark green coast
    host.brushData = BrushData{0x5CA56E, 0}; // green land
    ObjectLayer layer(host);
    for (const LLPointList& ring : parseLines(text)) {
        for (const LLPointList& piece : split(ring))
            GlobePolygon::create(layer, piece, {});
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
    forEachPlace(tsv, [&](const std::string& name, std::int32_t lon, std::int32_t lat) {
        GlobePointText::create(layer, lat, lon, name);
    });
    save(layer, path);
}

void GlobeDataConverter::writeCapitals(const std::string& tsv, const std::string& path)
{
    ConverterHost host;
    host.fontData = FontData{"Arial", FontBold, 0, 13, GlobeUnits::Pixel, 0x0000C0}; // dark red
    ObjectLayer layer(host);
    forEachPlace(tsv, [&](const std::string& name, std::int32_t lon, std::int32_t lat) {
        GlobeSymbol::create(layer, 0x2022, lat, lon, name); // a bullet
    });
    save(layer, path);
}

void GlobeDataConverter::writeCountries(const std::string& tsv, const std::string& path)
{
    ConverterHost host;
    host.fontData = FontData{"Arial", FontItalic, 0, 11, GlobeUnits::Pixel, 0x303030};
    ObjectLayer layer(host);
    forEachPlace(tsv, [&](const std::string& name, std::int32_t lon, std::int32_t lat) {
        GlobeText::create(layer, lat, lon, name);
    });
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
