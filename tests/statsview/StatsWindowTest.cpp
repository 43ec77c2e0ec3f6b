#include "app/AppTestSupport.h"
#include "app/TFormMain.h"
#include "stats/BarChartSvg.h"
#include "statsview/StatsChart.h"
#include "statsview/TFormStats.h"
#include "store/Table.h"

#include <QImage>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

namespace wl::test {
namespace {

// The heights in pixels of the bars of a chart picture, left to right: runs of columns that
// hold the bar colour, each measured at its tallest column.
std::vector<int> barHeights(const QImage& image)
{
    const QRgb bar = qRgb(0x34, 0x65, 0xa4);
    std::vector<int> heights;
    bool inBar = false;
    for (int x = 0; x < image.width(); ++x) {
        int h = 0;
        for (int y = 0; y < image.height(); ++y)
            h += image.pixel(x, y) == bar ? 1 : 0;
        if (h > 0 && !inBar)
            heights.push_back(0);
        if (h > 0)
            heights.back() = std::max(heights.back(), h);
        inBar = h > 0;
    }
    return heights;
}

TEST(StatsChart, BarHeightsFollowTheCounts)
{
    ensureApplication();
    const QImage picture = StatsChart::picture(QStringLiteral("Bands"),
                                               {{QStringLiteral("49 m"), 120},
                                                {QStringLiteral("31 m"), 60},
                                                {QStringLiteral("VHF"), 30},
                                                {QStringLiteral("UHF"), 0}},
                                               QSize(640, 400));
    const std::vector<int> heights = barHeights(picture);
    ASSERT_EQ(heights.size(), 3u) << "a count of 0 draws no bar";
    EXPECT_GT(heights[0], 150);
    EXPECT_NEAR(double(heights[1]) / heights[0], 0.5, 0.03);
    EXPECT_NEAR(double(heights[2]) / heights[0], 0.25, 0.03);
}

TEST(BarChartSvg, IsWellFormedWithBarsInProportion)
{
    const QByteArray svg = stats::BarChartSvg::write(
        QStringLiteral("Categories <&>"),
        {{QStringLiteral("Police & \"Fire\""), 40}, {QStringLiteral("Ж<b>"), 10}});
    QXmlStreamReader xml(svg);
    std::vector<int> heights;
    QStringList texts;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attrs = xml.attributes();
        if (xml.name() == QLatin1String("rect") && attrs.hasAttribute(QStringLiteral("x")))
            heights.push_back(attrs.value(QStringLiteral("height")).toInt());
        else if (xml.name() == QLatin1String("text"))
            texts << xml.readElementText();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    ASSERT_EQ(heights.size(), 2u);
    EXPECT_EQ(heights[0], 4 * heights[1]);
    EXPECT_TRUE(texts.contains(QStringLiteral("Police & \"Fire\"")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Ж<b>")));
}

class StatsWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureApplication();
        main = std::make_unique<TFormMain>(install.setup());
        main->show();
    }

    void add(const char* category, double hz, double lat, double lon)
    {
        store::Table& t = main->table();
        ASSERT_TRUE(t.append());
        t.setFieldValue(QStringLiteral("Category"), QString::fromUtf8(category));
        t.setFieldValue(QStringLiteral("Hz"), hz);
        t.setFieldValue(QStringLiteral("RDate"), 45000.25);
        t.setFieldValue(QStringLiteral("RLat"), lat);
        t.setFieldValue(QStringLiteral("RLon"), lon);
        ASSERT_TRUE(t.post());
    }

    // The Figures table as "Section/Item" -> value.
    static std::map<QString, QString> figures(const TFormStats& w)
    {
        std::map<QString, QString> values;
        auto* table = w.findChild<QTableWidget*>(QStringLiteral("Tablefigures"));
        if (!table)
            return values;
        for (int r = 0; r < table->rowCount(); ++r)
            values[table->item(r, 0)->text() + QLatin1Char('/') + table->item(r, 1)->text()] =
                table->item(r, 2)->text();
        return values;
    }

    TempInstall install;
    std::unique_ptr<TFormMain> main;
};

TEST_F(StatsWindowTest, FollowsTheTabAndCountsRecordsWithoutPositionApart)
{
    main->setCategories({QStringLiteral("Ham"), QStringLiteral("Police")});
    add("Ham", 7.1, 40.0, 75.0);
    add("Ham", 14.2, 0, 0);
    add("Police", 155.0, 0, 0);
    main->ReadAllRecords();

    TFormStats w(*main);
    w.show();
    w.refresh();
    EXPECT_EQ(figures(w)[QStringLiteral("Totals/Records")], QStringLiteral("3"));
    EXPECT_TRUE(w.LblSummary->text().contains(QStringLiteral("2 records without a position")))
        << w.LblSummary->text().toStdString();
    QStringList tabs;
    for (int i = 0; i < w.Pages->count(); ++i)
        tabs << w.Pages->tabText(i);
    EXPECT_TRUE(tabs.contains(QStringLiteral("Bands")) &&
                tabs.contains(QStringLiteral("Hours (UTC)")))
        << tabs.join(QLatin1Char(',')).toStdString();

    // Choosing the Police tab on the main window counts again for that category alone.
    for (int i = 0; i < main->Tab1->count(); ++i)
        if (main->Tab1->tabText(i) == QStringLiteral("Police"))
            main->Tab1->setCurrentIndex(i);
    EXPECT_EQ(figures(w)[QStringLiteral("Totals/Records")], QStringLiteral("1"));
    EXPECT_EQ(figures(w)[QStringLiteral("Band/VHF")], QStringLiteral("1"));
    w.close();
}

TEST_F(StatsWindowTest, EmptyLogSaysSo)
{
    TFormStats w(*main);
    w.show();
    w.refresh();
    EXPECT_EQ(w.LblSummary->text(),
              QStringLiteral("There are no records on this tab and in this frequency range."));
    EXPECT_EQ(w.Pages->count(), 0);
    w.close();
}

} // namespace
} // namespace wl::test
