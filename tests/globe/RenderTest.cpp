#include "TestGlobeHost.h"

#include "globe/GlobePointText.h"
#include "globe/GlobePolygon.h"
#include "globe/PainterCanvas.h"
#include "globe/RenderContext.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using namespace wl;

namespace {

constexpr std::int32_t D = 5400000;

void renderAll(ObjectLayer& layer, QImage& image)
{
    QPainter painter(&image);
    PainterCanvas canvas(painter);
    RenderContext ctx{canvas};
    for (int i = 0; i < layer.objectCount(); ++i) {
        GlobeObject* o = layer.object(i);
        o->updateBounds();
        o->state |= GlobeObject::OwnAttributes;
        o->draw(ctx);
    }
}

} // namespace

TEST(PainterCanvas, DrawsObjectsOntoAnImage)
{
    int argc = 0;
    QGuiApplication app(argc, nullptr);
    TestGlobeHost host;
    ObjectLayer layer(host);
    host.brushData = {0x0000FF, 0}; // red in 0x00BBGGRR
    host.penData = {0x0000FF, 0, 1};
    LLPointList square;
    for (auto [lon, lat] : {std::pair{-10, -10}, {10, -10}, {10, 10}, {-10, 10}})
        square.add(makeLLPoint(lon * D, lat * D));
    GlobePolygon::create(layer, square, "square");
    host.fontData.color = 0x00FF00; // green
    host.fontData.size = 15;
    GlobePointText::create(layer, 30 * D, 0, "label");

    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::black);
    renderAll(layer, image);

    EXPECT_EQ(image.pixelColor(400, 300), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(470, 300), QColor(0, 0, 0));
    // The dot of the point text, 30 degrees north of the centre.
    const int y = 300 - static_cast<int>(std::lround(300 * std::sin(30 * M_PI / 180)));
    EXPECT_EQ(image.pixelColor(400, y), QColor(0, 255, 0));
    EXPECT_EQ(PainterCanvas::toQColor(0x123456), QColor(0x56, 0x34, 0x12));
}

// Two squares joined by a cut run both ways, as a land tile whose parts meet along the tile's
// border: the cut cancels in the fill and must not be stroked across the water between them.
TEST(PainterCanvas, AnEdgeRunBothWaysIsNeitherFilledNorStroked)
{
    int argc = 0;
    QGuiApplication app(argc, nullptr);
    QImage image(100, 60, QImage::Format_RGB32);
    image.fill(Qt::blue);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter);
        canvas.setBrush(BrushData{0x00FF00, 0});
        canvas.setPen(PenData{0x00FF00, 0, 1});
        const ScreenPoint pts[] = {{10, 10}, {30, 10}, {30, 30}, {70, 30}, {70, 10}, {90, 10},
                                   {90, 50}, {70, 50}, {70, 30}, {30, 30}, {10, 50}};
        canvas.drawPolygon(pts, static_cast<int>(std::size(pts)));
    }
    EXPECT_EQ(image.pixelColor(20, 30), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(80, 40), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(90, 50), QColor(0, 255, 0)); // the outline is still drawn
    for (int x = 35; x <= 65; ++x)
        EXPECT_EQ(image.pixelColor(x, 30), QColor(0, 0, 255)) << x;
}
