// The globe control's costs with the shipped data: opening the profile, a full redraw with
// many labels, and the redraw after each step of a drag.
#include "globe/GlobeControl.h"
#include "globe/GlobePointText.h"

#include <QApplication>
#include <QMouseEvent>
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

std::unique_ptr<GlobeControl> worldWith100kLabels()
{
    auto ctl = worldControl();
    GlobeLayer& labels = ctl->addLayer("labels");
    labels.labelRank = 2;
    labels.groupLabels = true;
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::int32_t> lon(-971999999, 972000000);
    std::uniform_int_distribution<std::int32_t> lat(-486000000, 486000000);
    for (int i = 0; i < 100000; ++i)
        GlobePointText::create(labels, lat(rng), lon(rng), "Label " + std::to_string(i));
    return ctl;
}

void sendMouse(GlobeControl& ctl, QEvent::Type type, QPoint pos)
{
    QMouseEvent e(type, QPointF(pos), QPointF(pos), Qt::MiddleButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MiddleButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(&ctl, &e);
}

// A hand turn of the globe with 100,000 record labels: each step is one mouse move of a few
// pixels and the redraw it causes.
void BM_HandTurnRedrawWith100kLabels(benchmark::State& state)
{
    auto ctl = worldWith100kLabels();
    ctl->handTurning = true;
    ctl->renderToImage();
    const QPoint start(512, 384);
    sendMouse(*ctl, QEvent::MouseButtonPress, start);
    int step = 0;
    for (auto _ : state) {
        // Back and forth across the middle, so the drag never leaves the disc.
        const int phase = step++ % 40;
        const int x = 512 + (phase < 20 ? phase : 40 - phase) * 6;
        sendMouse(*ctl, QEvent::MouseMove, QPoint(x, 384));
        benchmark::DoNotOptimize(ctl->renderToImage());
    }
    sendMouse(*ctl, QEvent::MouseButtonRelease, start);
}
BENCHMARK(BM_HandTurnRedrawWith100kLabels)->Unit(benchmark::kMillisecond);

// A whole-globe redraw with the shipped data, without (0) and with (1) the translucent night
// and its twilight bands: the difference is the overlay's cost.
void BM_WholeGlobeRedrawNight(benchmark::State& state)
{
    auto ctl = worldControl();
    if (state.range(0) != 0)
        ctl->onRenderUnderLabels = [&] { ctl->drawNightOverlay(0x000000, 46192.25); };
    ctl->renderToImage();
    for (auto _ : state)
        benchmark::DoNotOptimize(ctl->renderToImage());
}
BENCHMARK(BM_WholeGlobeRedrawNight)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
