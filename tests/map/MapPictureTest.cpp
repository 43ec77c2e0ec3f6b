// wavelark-cli's map command against the map window: the same globe data, settings and
// records give the same picture.
#include "MapTestSupport.h"

#include "globe/AngleText.h"
#include "map/MapScene.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QProcess>

namespace wl {
namespace {

// A program folder holding the program's own globe data (the command reads the data beside
// its executable), with a data folder and settings of its own.
class MapPictureTest : public test::MapTest
{
protected:
    void SetUp() override
    {
        test::MapTest::SetUp();
        const QString shipped = QStringLiteral(WAVELARK_PROGRAM_DIR "/");
        const QString own = install.programFolder();
        QFile::remove(own + QStringLiteral("globe.prf"));
        ASSERT_TRUE(QFile::copy(shipped + QStringLiteral("globe.prf"), own + "globe.prf"));
        QDir(own + QStringLiteral("Globe Data")).removeRecursively();
        ASSERT_TRUE(QFile::link(shipped + QStringLiteral("Globe Data"), own + "Globe Data"));
    }

    // Runs wavelark-cli on the test's data folder and settings; returns its exit code.
    int cli(const QStringList& args, QString* err = nullptr) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("WAVELARK_SETTINGS"), install.settingsFile());
        env.insert(QStringLiteral("LSAN_OPTIONS"),
                   QStringLiteral("suppressions=" WAVELARK_LEAK_SUPPRESSIONS));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(WAVELARK_CLI),
                      QStringList{QStringLiteral("--data=") + install.programFolder()} + args);
        EXPECT_TRUE(process.waitForFinished(120000));
        if (err)
            *err = QString::fromUtf8(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // Pixels whose colour differs by more than a rounding.
    static int differingPixels(const QImage& a, const QImage& b)
    {
        int n = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                        std::abs(qBlue(p) - qBlue(q)) >
                    6)
                    ++n;
            }
        }
        return n;
    }
};

TEST_F(MapPictureTest, CommandDrawsWhatTheWindowShows)
{
    // Records in Europe and one in the Pacific, the distance in kilometres, labels by user.
    {
        TFormMain& w = openMain();
        addRecords(w, {{7.1, "DL1AA", "Bert", 52.5, -13.4},
                       {7.2, "F5BB", "Anne", 48.85, -2.35},
                       {7.3, "G4CC", "Cole", 51.5, 0.12},
                       {7.4, "OH2DD", "Dora", 60.17, -24.94},
                       {7.5, "KH6EE", "Ed", 21.3, 157.9}});
        closeMain();
    }
    writeSetting(QStringLiteral("Knots"), QStringLiteral("2"));
    writeSetting(QStringLiteral("Field Display"), QStringLiteral("2"));

    struct View
    {
        const char* center;
        double lat, lon; // north and east positive
        QSize size;
    } views[] = {{"50,10", 50, 10, {480, 360}}, {"-35.5,-160.25", -35.5, -160.25, {300, 420}}};
    for (const View& v : views) {
        const QString file = install.dir.filePath(QStringLiteral("map.png"));
        QString err;
        ASSERT_EQ(cli({QStringLiteral("map"), QStringLiteral("--out"), file,
                       QStringLiteral("--center"), QLatin1String(v.center),
                       QStringLiteral("--width"), QString::number(v.size.width()),
                       QStringLiteral("--height"), QString::number(v.size.height())},
                      &err),
                  0)
            << err.toStdString();
        QImageReader reader(file);
        EXPECT_EQ(reader.format(), QByteArray("png"));
        const QImage picture = reader.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(picture.size(), v.size);

        TFormMap& map = openMap(openMain());
        map.Globe->setFixedSize(v.size);
        QCoreApplication::processEvents();
        map.scene().showWholeGlobe(llPoint(degToGU(v.lon), degToGU(v.lat)));
        const QImage shown = map.renderMap();
        ASSERT_EQ(shown.size(), v.size);
        // Only the night shadow's edge may have moved between the two renders.
        EXPECT_LT(differingPixels(picture, shown), v.size.width() * v.size.height() / 2000)
            << v.center;
        // The picture is the map, not an empty globe: labels and the scale bar in kilometres.
        EXPECT_GT(map.Globe->placedLabels().size(), 3u) << v.center;
        closeMap();
        closeMain();
    }
}

} // namespace
} // namespace wl
