#include "app/report/ReportCommands.h"
#include "ReportTestSupport.h"
#include "app/report/RecordReport.h"
#include "app/report/TPagePreview.h"
#include "app/services/Registry.h"
#include "dialogs/DialogTestSupport.h"
#include "grid/LocaleInfo.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include <deque>
#include <functional>

namespace wl {
namespace {

// Answers the modal previews as they open, one handler each, in order; a preview without a
// handler left is closed.
class PreviewScript
{
public:
    explicit PreviewScript(std::deque<std::function<void(TPagePreview&)>> handlers)
        : handlers_(std::move(handlers))
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    int seen = 0;

private:
    void poll()
    {
        auto* preview = qobject_cast<TPagePreview*>(QApplication::activeModalWidget());
        if (!preview || preview->property("answered").toBool())
            return;
        preview->setProperty("answered", true);
        ++seen;
        if (handlers_.empty()) {
            preview->reject();
            return;
        }
        auto handler = std::move(handlers_.front());
        handlers_.pop_front();
        handler(*preview);
        if (preview->isVisible() && !preview->fontChanged())
            preview->reject();
    }

    std::deque<std::function<void(TPagePreview&)>> handlers_;
    QTimer timer_;
};

class ReportCommandsTest : public test::DialogTest
{
};

TEST_F(ReportCommandsTest, EmptyGridOnlySaysSo)
{
    TFormMain& w = openMain();
    installReportCommands(w);
    EXPECT_TRUE(w.button(Command::Print)->isEnabled());
    PreviewScript script({});
    w.button(Command::Print)->click();
    EXPECT_EQ(script.seen, 0);
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Wavelark "));
    EXPECT_EQ(services.messages.shown[0].text, QStringLiteral("No records to print."));
    EXPECT_EQ(services.messages.shown[0].buttons, QMessageBox::Ok);
}

TEST_F(ReportCommandsTest, PrintsTheGridAsDisplayedInItsRowOrder)
{
    TFormMain& w = openMain();
    installReportCommands(w);
    addRecords(w, {{"Police", 146.52, "KB", QStringLiteral("first notes")},
                   {"Fire", 154.1, "AA", QStringLiteral("second notes")},
                   {"Police", 460.0, "ZZ"}});
    // A heading click sorts by callsign: the report follows the grid, not the table.
    int callsign = -1;
    for (int col = 0; col < w.SortableGrid1->ColCount(); ++col) {
        if (w.SortableGrid1->Cells(col, 0).trimmed() == QStringLiteral("Callsign"))
            callsign = col;
    }
    ASSERT_GE(callsign, 0);
    w.SortableGrid1->SortByHeaderClick(callsign, 0, Qt::LeftButton);
    ASSERT_EQ(gridColumn(w, callsign), (QStringList{"AA", "KB", "ZZ"}));

    std::vector<test::CapturedPage> shown;
    PreviewScript script({[&](TPagePreview& p) {
        EXPECT_TRUE(p.isMaximized());
        EXPECT_EQ(p.LabelPage->text(), QStringLiteral("Page 1 of 1"));
        shown.push_back(test::capture(p.PagePrinter(), 1));
    }});
    w.button(Command::Print)->click();
    ASSERT_EQ(shown.size(), 1u);
    const test::CapturedPage& page = shown[0];
    EXPECT_TRUE(page.has(QStringLiteral("All Records   0 - 9999 MHz")));
    const test::PageText* aa = page.find(QStringLiteral("AA"));
    const test::PageText* kb = page.find(QStringLiteral("KB"));
    const test::PageText* zz = page.find(QStringLiteral("ZZ"));
    ASSERT_TRUE(aa && kb && zz);
    EXPECT_LT(aa->at.y(), kb->at.y());
    EXPECT_LT(kb->at.y(), zz->at.y());
    // Two lines a record: the notes sit under their record.
    const test::PageText* notes = page.find(QStringLiteral("first notes"));
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->at.y(), kb->at.y() + 260);
    EXPECT_TRUE(page.has(QStringLiteral("Printed ") +
                         LocaleInfo::current().formatShortDate(services.clock.now().date())));
}

TEST_F(ReportCommandsTest, CategoryTabNamesTheTitle)
{
    TFormMain& w = openMain();
    addRecords(w, {{"Police", 146.52, "KB"}});
    w.settings().lowFrequency = 100;
    w.settings().hiFrequency = 200;
    const int police = [&] {
        for (int i = 0; i < w.Tab1->count(); ++i) {
            if (w.Tab1->tabData(i).toString() == QStringLiteral("Police"))
                return i;
        }
        return -1;
    }();
    ASSERT_GT(police, 0);
    w.Tab1->setCurrentIndex(police);
    EXPECT_EQ(RecordReport::title(w), QStringLiteral("Police Frequencies  100 - 200 MHz"));
    const ReportSource source = RecordReport::sourceOf(w);
    ASSERT_EQ(source.rowCount(), 1);
    EXPECT_TRUE(source.row(0).join(QString()).contains(QStringLiteral("KB")));
    EXPECT_FALSE(source.captions.contains(QStringLiteral(" Category")));
    w.Tab1->setCurrentIndex(0);
    EXPECT_EQ(RecordReport::title(w), QStringLiteral("All Records   100 - 200 MHz"));
}

TEST_F(ReportCommandsTest, NewFontIsStoredAndTheReportBuiltAgain)
{
    TFormMain& w = openMain();
    installReportCommands(w);
    addRecords(w, {{"Police", 146.52, "KB"}});

    QFont chosen(QStringLiteral("Courier New"));
    chosen.setPointSize(12);
    chosen.setBold(true);
    services.dialogs.fonts = {std::nullopt, chosen};
    std::vector<QFont> bodyFonts;
    PreviewScript script({
        [&](TPagePreview& p) {
            bodyFonts.push_back(test::capture(p.PagePrinter(), 1).find(QStringLiteral("KB"))->font);
            p.BtnFnt->click(); // cancelled: the preview stays
            EXPECT_TRUE(p.isVisible());
            p.BtnFnt->click(); // a new font: the preview closes for a new one
            EXPECT_FALSE(p.isVisible());
        },
        [&](TPagePreview& p) {
            bodyFonts.push_back(test::capture(p.PagePrinter(), 1).find(QStringLiteral("KB"))->font);
        },
    });
    w.button(Command::Print)->click();
    EXPECT_EQ(script.seen, 2);
    ASSERT_EQ(bodyFonts.size(), 2u);
    EXPECT_FALSE(bodyFonts[0].bold());
    EXPECT_EQ(bodyFonts[0].pixelSize(), 200);
    EXPECT_TRUE(bodyFonts[1].bold());
    EXPECT_EQ(bodyFonts[1].pixelSize(), 240);

    Registry registry(install.settingsFile());
    ASSERT_TRUE(
        registry.openKey(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3\\Reports"), false));
    EXPECT_EQ(registry.readString(QStringLiteral("Font Name")), QStringLiteral("Courier New"));
    EXPECT_EQ(registry.readInteger(QStringLiteral("Font Size"), 0), 12);
    EXPECT_EQ(registry.readInteger(QStringLiteral("Font Style"), 0), 3);
}

} // namespace
} // namespace wl
