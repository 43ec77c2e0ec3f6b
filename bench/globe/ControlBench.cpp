// The globe control's costs with the shipped data: opening the profile, a full redraw with
// many labels, and the redraw after each step of a drag.
#include "globe/GlobeControl.h"
#include "globe/GlobePointText.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <random>

using namespace wl;

namespace {

const QString Profile = QStringLiteral(WAVELARK_DATA_DIR "/globe.prf");

std::unique_ptr<GlobeControl> worldControl()
{
    auto ctl = std::make_unique<GlobeControl>();
    ctl->setScrollBars(GlobeControl::ScrollBars::None);
    ctl->resize(1024, 768);
    ctl->onLayerWarning = [](const QString&) {};
    ctl->setProfileName(Profile);
    ctl->setScaleFactor(0);
    return ctl;
}

void BM_LoadShippedProfile(benchmark::State& state)
{
    GlobeControl ctl;
    ctl.resize(1024, 768);
    for (auto _ : state) {
        ctl.setProfileName(Profile);
        benchmark::DoNotOptimize(ctl.layerCount());
        state.PauseTiming();
        ctl.setProfileName({});
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadShippedProfile)->Unit(benchmark::kMillisecond);

// The argument switches label placement: 0 writes every label as it comes (the redraw as it
// was before placement), 1 places them.
void BM_RedrawWorldWith100kLabels(benchmark::State& state)
{
    auto ctl = worldControl();
    ctl->labelPlacement = state.range(0) != 0;
    GlobeLayer& labels = ctl->addLayer("labels");
    labels.labelRank = 2;
    labels.groupLabels = true;
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::int32_t> lon(-971999999, 972000000);
    std::uniform_int_distribution<std::int32_t> lat(-486000000, 486000000);
    for (int i = 0; i < 100000; ++i)
        GlobePointText::create(labels, lat(rng), lon(rng), "Label " + std::to_string(i));
    ctl->renderToImage();
    for (auto _ : state)
        benchmark::DoNotOptimize(ctl->renderToImage());
    state.counters["labels"] = static_cast<double>(ctl->placedLabels().size());
}
BENCHMARK(BM_RedrawWorldWith100kLabels)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DragRedrawWorld(benchmark::State& state)
{
    auto ctl = worldControl();
    int step = 0;
    for (auto _ : state) {
        ctl->setRotation(5, (step++ % 360) - 180); // one degree per mouse move
        benchmark::DoNotOptimize(ctl->renderToImage());
    }
}
BENCHMARK(BM_DragRedrawWorld)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
