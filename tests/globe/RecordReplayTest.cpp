// Valid record streams, every prefix of them, and the saved fuzz corpus go through the same
// driver the libFuzzer target uses; under AddressSanitizer any read past the data fails here.
#include "fuzz/RecordStreamDriver.h"

#include "globe/GlobeClasses.h"
#include "globe/GlobeFont.h"
#include "globe/GlobeGrid.h"
#include "globe/GlobePointText.h"
#include "globe/GlobePolygon.h"
#include "globe/GlobeSymbol.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace wl;

namespace {

constexpr std::int32_t D = 5400000;

std::uint8_t classByte(const std::string& name)
{
    const auto& names = GlobeClasses::names();
    return static_cast<std::uint8_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

// One record of every class, written as the driver reads them, for a given context byte.
std::vector<std::uint8_t> validStream(std::uint8_t mode, std::vector<std::size_t>& boundaries)
{
    const StreamContext ctx = contextFromByte(mode);
    TestGlobeHost host;
    ObjectLayer layer(host);
    LLPointList pts;
    for (int i = 0; i < 40; ++i)
        pts.add(makeLLPoint(i * i * 200000, (i % 7) * 3000000 - 9000000));
    GlobeText::create(layer, D, 2 * D, "text");
    GlobePointText::create(layer, 3 * D, 4 * D, "pt").objectID = 12;
    GlobeSymbol::create(layer, 65, 5 * D, 6 * D, "s");
    GlobePolyLine::create(layer, pts, "line");
    GlobePolygon::create(layer, pts, "poly");
    GlobeGrid::create(layer, D, D, 2 * D, 2 * D, GURect{0, 0, 10 * D, 10 * D}, "grid");

    ByteWriter w;
    w.writeU8(mode);
    boundaries = {1};
    const auto put = [&](const GlobePersistent& p) {
        w.writeU8(classByte(p.className()));
        p.saveToStream(w, ctx);
        boundaries.push_back(w.bytes().size());
    };
    for (int i = 0; i < layer.attributeCount(); ++i)
        put(*layer.attribute(i));
    for (int i = 0; i < layer.objectCount(); ++i)
        put(*layer.object(i));
    return w.take();
}

} // namespace

TEST(RecordReader, EveryTruncatedPrefixFailsCleanly)
{
    // Version 544 with pen class version 1, in GU and in arc minutes: what the writer makes.
    for (std::uint8_t mode : {std::uint8_t{2 | 8}, std::uint8_t{2 | 4 | 8}}) {
        std::vector<std::size_t> boundaries;
        const auto bytes = validStream(mode, boundaries);
        bool failed = true;
        EXPECT_EQ(readRecordStream(bytes.data(), bytes.size(), &failed),
                  static_cast<int>(boundaries.size()) - 1);
        EXPECT_FALSE(failed);
        if (const char* dir = std::getenv("WAVELARK_SEED_DIR")) {
            std::ofstream(std::filesystem::path(dir) / ("seed" + std::to_string(mode)),
                          std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
        for (std::size_t len = 1; len < bytes.size(); ++len) {
            // A copy of exactly len bytes, so the sanitizer sees any read past it.
            std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + len);
            const bool atBoundary =
                std::find(boundaries.begin(), boundaries.end(), len) != boundaries.end();
            readRecordStream(prefix.data(), prefix.size(), &failed);
            ASSERT_EQ(failed, !atBoundary) << int(mode) << " prefix " << len;
        }
    }
}

TEST(RecordReader, ReplaysTheFuzzCorpus)
{
    const std::filesystem::path dir = WAVELARK_FUZZ_CORPUS;
    if (!std::filesystem::exists(dir))
        GTEST_SKIP() << "no corpus at " << dir;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in), {}};
        readRecordStream(data.data(), data.size());
        ++files;
    }
    EXPECT_GT(files, 0);
}
