#pragma once

#include "globe/LLPointList.h"

#include <string>
#include <vector>

namespace wl::tools {

// Builds the program's shipped globe data (the profile and its layer files) from the plain
// text that extract-globe-data.js writes, through the engine's own layer writer, in the
// precise data format (GU as int32).
class GlobeDataConverter
{
public:
    // The most points one list record can hold (its count is an unsigned 16-bit word).
    static constexpr int StreamLimit = 65535;
    // Latitude from which a ring's points are taken to close a polar land mass (89.99 degrees).
    static constexpr std::int32_t PolarCut = 485946000;

    // One list per line of "lon,lat lon,lat ..." in degrees; malformed pairs are skipped. A
    // "|" starts another ring of the same polygon (a hole): every ring of such a line is
    // closed on its first point and the rings follow one another in the one list.
    static std::vector<LLPointList> parseLines(const std::string& text);
    // Pieces of at most limit points; neighbouring pieces share their end point, so the
    // drawn line stays unbroken.
    static std::vector<LLPointList> split(const LLPointList& list, int limit = StreamLimit);

    // The closed rings of a list parsed from a line with holes (each ends on its first point).
    static std::vector<LLPointList> ringsOf(const LLPointList& points);
    // The pieces of a ring that are coast: not along the 180th meridian, not across the date
    // line, not round a pole.
    static std::vector<LLPointList> coastLines(const LLPointList& ring);
    // One outline of an outer ring and its holes: each hole joined to the outline by a cut
    // from the outline's point nearest to it, there and back.
    static LLPointList keyhole(const std::vector<LLPointList>& rings);
    // A polygon larger than a tile cut along the lines of a grid of tileDegrees squares (its
    // longitudes made continuous first); a smaller one as it is.
    static std::vector<LLPointList> tiles(const LLPointList& polygon, int tileDegrees = 30);

    // Each writes one layer file; throws GlobeException on failure.
    static void writeLand(const std::string& text, const std::string& path);
    static void writeBorders(const std::string& text, const std::string& path);
    // name<TAB>lon<TAB>lat[<TAB>population] lines, names already in the single-byte code page.
    static void writeCities(const std::string& tsv, const std::string& path);
    // The same lines: a dot on each capital, named by its title.
    static void writeCapitals(const std::string& tsv, const std::string& path);
    // name<TAB>lon<TAB>lat lines: the country names as plain text.
    static void writeCountries(const std::string& tsv, const std::string& path);
    static void writeEmpty(const std::string& path);
    // The profile naming the layers and their settings. The map window relies on this order:
    // land, borders, capitals, country names, all cities, custom cities.
    static void writeProfile(const std::string& path);

    // The folder of the layer files, beside the profile.
    static constexpr const char* LayerFolder = "Globe Data";

    // All of the above from an extract folder into a data folder: the profile at its top, the
    // layer files in its LayerFolder.
    static void convert(const std::string& extractDir, const std::string& dataDir);
};

} // namespace wl::tools
