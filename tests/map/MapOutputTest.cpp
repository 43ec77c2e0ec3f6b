// The map's output pieces: the scale bar on a picture and the picture as JPEG and bitmap files.
#include "MapTestSupport.h"

#include "grid/LocaleInfo.h"
#include "map/MapImageFile.h"
#include "map/ScaleBar.h"

#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

namespace wl {
namespace {

class MapOutputTest : public ::testing::Test
{
protected:
    void SetUp() override { test::ensureApplication(); }

    // A picture with areas a lossy encoder must keep apart.
    static QImage sample()
    {
        QImage image(120, 80, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter p(&image);
        p.fillRect(0, 0, 60, 80, QColor(0, 255, 255));
        p.fillRect(60, 40, 60, 40, Qt::white);
        return image;
    }

    QTemporaryDir dir;
};

TEST_F(MapOutputTest, ScaleBarTextsInEachUnit)
{
    const LocaleInfo us;
    const long double hundredNm = 100 * 90000.0L;
    EXPECT_EQ(ScaleBar::lengthText(hundredNm, 1, us), QStringLiteral("100 NM"));
    EXPECT_EQ(ScaleBar::lengthText(hundredNm, 2, us), QStringLiteral("185 KM"));
    EXPECT_EQ(ScaleBar::lengthText(hundredNm, 0, us), QStringLiteral("115 MI"));
    // A close view's inch is less than a unit: never "0".
    EXPECT_EQ(ScaleBar::lengthText(0.4L * 90000, 1, us), QStringLiteral("0.4 NM"));
    EXPECT_EQ(ScaleBar::lengthText(0.05L * 90000, 1, us), QStringLiteral("0.05 NM"));
    EXPECT_EQ(ScaleBar::lengthText(0.4L * 90000, 2, LocaleInfo::fromName(QStringLiteral("de_DE"))),
              QStringLiteral("0,7 KM"));
}

TEST_F(MapOutputTest, ScaleBarIsAnInchWideBracketSeenOnDarkAndLightGround)
{
    for (const QColor ground : {QColor(Qt::black), QColor(Qt::white)}) {
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(ground);
        QPainter p(&image);
        ScaleBar::draw(p, image.size(), 96, 100 * 90000.0L, 1);
        p.end();
        const int x0 = 400 - (96 + 50), y0 = 300 - 50;
        const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
        for (int x = x0; x <= x0 + 96; x += 8)
            EXPECT_EQ(image.pixel(x, y0 + 20), black) << x;
        EXPECT_EQ(image.pixel(x0 + 48, y0 + 21), white);   // the edge that shows it on black
        EXPECT_EQ(image.pixel(x0, y0 + 16), black);        // left tick from y0 + 16
        EXPECT_EQ(image.pixel(x0 + 96, y0 + 15), black);   // right tick a pixel longer
        EXPECT_EQ(image.pixel(x0, y0 + 13), ground.rgb()); // nothing above the left tick
        // The length text over the right end stands out from either ground.
        int ink = 0;
        for (int y = y0; y < y0 + 14; ++y)
            for (int x = x0 + 80; x < x0 + 112; ++x)
                ink += image.pixel(x, y) != ground.rgb() ? 1 : 0;
        EXPECT_GT(ink, 20);
    }
}

TEST_F(MapOutputTest, PictureFilesReadBack)
{
    const QImage image = sample();
    struct Case
    {
        MapImageFile::Format format;
        const char* name;
        const char* readerFormat;
        int tolerance;
    } cases[] = {{MapImageFile::Format::Jpeg, "map.jpg", "jpeg", 24},
                 {MapImageFile::Format::Bitmap, "map.bmp", "bmp", 0},
                 {MapImageFile::Format::Png, "map.png", "png", 0}};
    for (const Case& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        QString error;
        ASSERT_TRUE(MapImageFile::save(image, c.format, path, error)) << error.toStdString();
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray(c.readerFormat));
        const QImage back = reader.read();
        ASSERT_EQ(back.size(), image.size()) << c.name;
        for (const QPoint at : {QPoint(20, 20), QPoint(90, 10), QPoint(90, 60)}) {
            const QColor want = image.pixelColor(at), got = back.pixelColor(at);
            EXPECT_NEAR(got.red(), want.red(), c.tolerance) << c.name;
            EXPECT_NEAR(got.green(), want.green(), c.tolerance) << c.name;
            EXPECT_NEAR(got.blue(), want.blue(), c.tolerance) << c.name;
        }
    }
    // The JPEG is 24-bit colour, as the file format promises.
    EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("map.jpg"))).isGrayscale());
}

TEST_F(MapOutputTest, AFailedSaveSaysWhyAndKeepsTheOldFile)
{
    QString error;
    EXPECT_FALSE(MapImageFile::save(sample(), MapImageFile::Format::Jpeg,
                                    dir.filePath(QStringLiteral("no/such/map.jpg")), error));
    EXPECT_FALSE(error.isEmpty());

    const QString path = dir.filePath(QStringLiteral("old.bmp"));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    error.clear();
    EXPECT_FALSE(MapImageFile::save(QImage(), MapImageFile::Format::Bitmap, path, error));
    EXPECT_FALSE(error.isEmpty());
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), QByteArray("old"));
}

TEST_F(MapOutputTest, FormatFollowsTheFileEnding)
{
    EXPECT_EQ(MapImageFile::formatFor({}, QStringLiteral("a.BMP")), MapImageFile::Format::Bitmap);
    EXPECT_EQ(MapImageFile::formatFor({}, QStringLiteral("a.jpg")), MapImageFile::Format::Jpeg);
    EXPECT_EQ(MapImageFile::formatFor({}, QStringLiteral("a.jpeg")), MapImageFile::Format::Jpeg);
}

} // namespace
} // namespace wl
