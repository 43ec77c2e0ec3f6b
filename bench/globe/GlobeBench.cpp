// Projection and geodesy throughput, each beside the library a reader would otherwise use,
// on the same inputs in the same run.
#include "globe/Geodesy.h"
#include "globe/LLPointList.h"
#include "globe/PrjHost.h"
#include "globe/SphericalPrj.h"

#include <GeographicLib/Geodesic.hpp>
#include <benchmark/benchmark.h>
#include <proj.h>

#include <cmath>
#include <random>
#include <vector>

using namespace wl;

namespace {

constexpr int PointCount = 1000000;
constexpr int PairCount = 10000;

class BenchHost : public PrjHost
{
public:
    int surfaceWidth() const override { return 1000; }
    int surfaceHeight() const override { return 1000; }
    int surfacePixelsPerInch() const override { return 96; }
    void viewChanged() override {}
};

const std::vector<LLPoint>& randomPoints()
{
    static const std::vector<LLPoint> points = [] {
        std::mt19937 rng(1);
        std::uniform_int_distribution<std::int32_t> lon(-971999999, 972000000);
        std::uniform_int_distribution<std::int32_t> lat(-486000000, 486000000);
        std::vector<LLPoint> p;
        p.reserve(PointCount);
        for (int i = 0; i < PointCount; ++i)
            p.push_back(makeLLPoint(lon(rng), lat(rng)));
        return p;
    }();
    return points;
}

void BM_SphericalProject(benchmark::State& state)
{
    BenchHost host;
    SphericalPrj prj(host);
    prj.setView(40 * 5400000, -75 * 5400000, 500.0L / GlobeRadius, 0);
    prj.setOrigin(500, 500);
    const auto& points = randomPoints();
    for (auto _ : state) {
        int visible = 0;
        for (const LLPoint& p : points)
            visible += prj.project(p, 0);
        benchmark::DoNotOptimize(visible);
    }
    state.SetItemsProcessed(state.iterations() * PointCount);
}
BENCHMARK(BM_SphericalProject)->Unit(benchmark::kMillisecond);

// The same points from longitude and latitude, as a caller without sphere coordinates has them.
void BM_SphericalProjectLL(benchmark::State& state)
{
    BenchHost host;
    SphericalPrj prj(host);
    prj.setView(40 * 5400000, -75 * 5400000, 500.0L / GlobeRadius, 0);
    const auto& points = randomPoints();
    for (auto _ : state) {
        int visible = 0;
        for (const LLPoint& p : points)
            visible += prj.projectLL(p.lon, p.lat, 0);
        benchmark::DoNotOptimize(visible);
    }
    state.SetItemsProcessed(state.iterations() * PointCount);
}
BENCHMARK(BM_SphericalProjectLL)->Unit(benchmark::kMillisecond);

void BM_SphericalProjectList(benchmark::State& state)
{
    BenchHost host;
    SphericalPrj prj(host);
    prj.setView(40 * 5400000, -75 * 5400000, 500.0L / GlobeRadius, 0);
    LLPointList list;
    list.setCapacity(PointCount);
    for (const LLPoint& p : randomPoints())
        list.add(p);
    for (auto _ : state)
        benchmark::DoNotOptimize(prj.projectList(list, nullptr, PrjModel::Shape::Polygon));
    state.SetItemsProcessed(state.iterations() * PointCount);
}
BENCHMARK(BM_SphericalProjectList)->Unit(benchmark::kMillisecond);

void BM_ProjOrthographic(benchmark::State& state)
{
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* pj = proj_create(ctx, "+proj=ortho +lat_0=40 +lon_0=-75 +R=309397230");
    const auto& points = randomPoints();
    std::vector<PJ_COORD> input;
    input.reserve(PointCount);
    for (const LLPoint& p : points)
        input.push_back(proj_coord(p.lon * M_PI / 972000000.0, p.lat * M_PI / 972000000.0, 0, 0));
    std::vector<PJ_COORD> work(input.size());
    for (auto _ : state) {
        work = input;
        proj_trans_array(pj, PJ_FWD, work.size(), work.data());
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * PointCount);
    proj_destroy(pj);
    proj_context_destroy(ctx);
}
BENCHMARK(BM_ProjOrthographic)->Unit(benchmark::kMillisecond);

const std::vector<std::pair<LLPoint, LLPoint>>& randomPairs()
{
    static const auto pairs = [] {
        std::vector<std::pair<LLPoint, LLPoint>> v;
        const auto& p = randomPoints();
        for (int i = 0; i < PairCount; ++i)
            v.push_back({p[2 * i], p[2 * i + 1]});
        return v;
    }();
    return pairs;
}

void BM_GreatCircleDistanceAndCourse(benchmark::State& state)
{
    const auto& pairs = randomPairs();
    for (auto _ : state) {
        for (const auto& [a, b] : pairs) {
            benchmark::DoNotOptimize(llDistance(a, b));
            benchmark::DoNotOptimize(llBearing(a, b));
        }
    }
    state.SetItemsProcessed(state.iterations() * PairCount);
}
BENCHMARK(BM_GreatCircleDistanceAndCourse);

void BM_GeographicLibSphereInverse(benchmark::State& state)
{
    const GeographicLib::Geodesic sphere(972000000.0 / M_PI, 0);
    const auto& pairs = randomPairs();
    for (auto _ : state) {
        for (const auto& [a, b] : pairs) {
            double s12, azi1, azi2;
            sphere.Inverse(a.lat / 5.4e6, a.lon / 5.4e6, b.lat / 5.4e6, b.lon / 5.4e6, s12, azi1,
                           azi2);
            benchmark::DoNotOptimize(s12);
            benchmark::DoNotOptimize(azi1);
        }
    }
    state.SetItemsProcessed(state.iterations() * PairCount);
}
BENCHMARK(BM_GeographicLibSphereInverse);

void BM_EllipsoidDistance(benchmark::State& state)
{
    const auto& pairs = randomPairs();
    for (auto _ : state) {
        for (const auto& [a, b] : pairs)
            benchmark::DoNotOptimize(ellipsoidDistance(a, b, Spheroid::WGS84));
    }
    state.SetItemsProcessed(state.iterations() * PairCount);
}
BENCHMARK(BM_EllipsoidDistance);

void BM_GeographicLibWGS84Inverse(benchmark::State& state)
{
    const GeographicLib::Geodesic wgs84(309952662.0, 1 / 298.257223563);
    const auto& pairs = randomPairs();
    for (auto _ : state) {
        for (const auto& [a, b] : pairs) {
            double s12;
            wgs84.Inverse(a.lat / 5.4e6, a.lon / 5.4e6, b.lat / 5.4e6, b.lon / 5.4e6, s12);
            benchmark::DoNotOptimize(s12);
        }
    }
    state.SetItemsProcessed(state.iterations() * PairCount);
}
BENCHMARK(BM_GeographicLibWGS84Inverse);

} // namespace

BENCHMARK_MAIN();
