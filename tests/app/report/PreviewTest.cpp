#include "QStringPrinting.h"
#include "ReportTestSupport.h"
#include "app/report/PagePaintBox.h"
#include "app/report/PreviewZoom.h"
#include "app/report/ReportFont.h"
#include "app/report/TPagePreview.h"
#include "app/services/Registry.h"
#include "app/services/ServiceDoubles.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QToolButton>

namespace wl {
namespace {

const QMargins ReportMargins(20, 20, 80, 80);

TEST(PreviewZoomTest, ScalesFollowTheWindowAndThePage)
{
    // The first scale comes from the 640-pixel design width, lowered to a multiple of 4.
    EXPECT_EQ(PreviewZoom::initial(640, 11, ReportMargins, true), 52); // 590 / 11 = 53.6
    EXPECT_EQ(PreviewZoom::initial(640, 8, ReportMargins, true), 72);  // 590 / 8 = 73.75
    EXPECT_EQ(PreviewZoom::initial(640, 8, ReportMargins, false), 72); // 590 / 7.93 = 74.4
    EXPECT_EQ(PreviewZoom::initial(640, 11, {}, false), 52);
    EXPECT_EQ(PreviewZoom::laidOut(52, true), 48);
    EXPECT_EQ(PreviewZoom::laidOut(52, false), 52);

    struct Case
    {
        int level;
        bool landscape;
        int zoom;
    };
    // A 1280-pixel window; the printable widths are 10.93 and 7.93 inches.
    const Case cases[] = {{0, true, 109}, {1, true, 117},  {2, true, 146},  {3, true, 176},
                          {0, false, 78}, {1, false, 155}, {2, false, 195}, {3, false, 236}};
    for (const Case c : cases) {
        EXPECT_EQ(
            PreviewZoom::forLevel(c.level, c.landscape, 1280, c.landscape ? 11 : 8, ReportMargins),
            c.zoom)
            << c.level << (c.landscape ? " landscape" : " portrait");
    }

    // A window too narrow for any page, or margins wider than the paper, still give a page.
    EXPECT_EQ(PreviewZoom::initial(20, 11, ReportMargins, true), PreviewZoom::MinZoom);
    EXPECT_EQ(PreviewZoom::laidOut(PreviewZoom::MinZoom, true), PreviewZoom::MinZoom);
    EXPECT_GE(PreviewZoom::forLevel(0, false, 1280, 1, QMargins(1440, 0, 1440, 0)),
              PreviewZoom::MinZoom);

    EXPECT_EQ(PreviewZoom::pageLeft(1280, 528), 364);
    EXPECT_EQ(PreviewZoom::pageLeft(548, 528), 10);
    EXPECT_EQ(PreviewZoom::pixels(80, 48), 3);
    EXPECT_EQ(PreviewZoom::pixels(20, 48), 1);
}

class PreviewTest : public ::testing::Test, protected test::ApplicationFirst
{
protected:
    void makePages(int n, TPagePrinter::Orientation orientation)
    {
        pages.SetMargins(ReportMargins);
        pages.FrameMargins = true;
        pages.SetPageOrientation(orientation);
        pages.StartPages();
        for (int page = 1; page <= n; ++page) {
            if (page > 1)
                pages.AddPage();
            pages.PageCanvas(page)->fillRect(QRect(1440, 1440, 1440, 1440), Qt::blue);
        }
        pages.FinishPages();
    }

    std::unique_ptr<TPagePreview> openPreview()
    {
        auto preview = std::make_unique<TPagePreview>(pages);
        preview->show();
        return preview;
    }

    test::ServiceDoubles services;
    std::unique_ptr<QPrinter> printer = test::letterPrinter();
    TPagePrinter pages{*printer};
    QTemporaryDir dir;
};

TEST_F(PreviewTest, ShowsItsCaptionsAndHints)
{
    makePages(1, TPagePrinter::Orientation::Landscape);
    auto preview = openPreview();
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Print Preview"));
    EXPECT_EQ(preview->ToolPanel->height(), 32);
    struct Hint
    {
        QToolButton* button;
        const char* text;
    };
    for (const Hint h : {Hint{preview->SBtnPrev, "Previous Page"},
                         Hint{preview->SBtnNext, "Next Page"}, Hint{preview->PrintBtn, "Print"},
                         Hint{preview->BtnFnt, "Select Font"}, Hint{preview->BtnClose, "Close"}})
        EXPECT_EQ(h.button->toolTip(), QString::fromLatin1(h.text));
    EXPECT_TRUE(preview->PrintBtn->isVisible());
    EXPECT_EQ(preview->LabelPage->text(), QStringLiteral("Page 1 of 1"));
    // The buttons sit in the middle of a 1280-pixel screen, but inside a smaller window.
    QWidget* tools = preview->BtnView2->parentWidget();
    EXPECT_EQ(tools->x(), preview->width() - tools->width());
    preview->resize(1280, 900);
    EXPECT_EQ(tools->x(), 1280 / 2 - 320);

    pages.ShowPrintButton = false;
    auto without = openPreview();
    EXPECT_FALSE(without->PrintBtn->isVisible());
}

TEST_F(PreviewTest, PagingStopsAtTheFirstAndLastPage)
{
    makePages(3, TPagePrinter::Orientation::Landscape);
    auto preview = openPreview();
    EXPECT_EQ(preview->LabelPage->text(), QStringLiteral("Page 1 of 3"));
    EXPECT_FALSE(preview->SBtnPrev->isEnabled());
    EXPECT_TRUE(preview->SBtnNext->isEnabled());
    preview->SBtnPrevClick();
    EXPECT_EQ(preview->CurrentPage(), 1);

    preview->SBtnNext->click();
    EXPECT_EQ(preview->LabelPage->text(), QStringLiteral("Page 2 of 3"));
    EXPECT_EQ(preview->PaintBox1->page(), 2);
    EXPECT_TRUE(preview->SBtnPrev->isEnabled());
    preview->SBtnNext->click();
    EXPECT_EQ(preview->LabelPage->text(), QStringLiteral("Page 3 of 3"));
    EXPECT_FALSE(preview->SBtnNext->isEnabled());
    preview->SBtnNextClick();
    EXPECT_EQ(preview->CurrentPage(), 3);
    preview->SBtnPrev->click();
    EXPECT_EQ(preview->LabelPage->text(), QStringLiteral("Page 2 of 3"));
    EXPECT_EQ(preview->PaintBox1->page(), 2);
}

TEST_F(PreviewTest, KeysPageThroughALongReport)
{
    pages.SetMargins(QMargins(20, 20, 80, 80));
    pages.StartPages(66'667, [](QPainter& canvas, int page) {
        canvas.drawText(1440, 1440, QString::number(page));
    });
    auto preview = openPreview();
    struct Step
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        int page;
    };
    const Step steps[] = {{Qt::Key_End, Qt::NoModifier, 66'667},
                          {Qt::Key_PageDown, Qt::NoModifier, 66'667},
                          {Qt::Key_PageUp, Qt::ControlModifier, 66'657},
                          {Qt::Key_PageUp, Qt::NoModifier, 66'656},
                          {Qt::Key_Home, Qt::NoModifier, 1},
                          {Qt::Key_PageUp, Qt::NoModifier, 1},
                          {Qt::Key_PageDown, Qt::ControlModifier, 11}};
    for (const Step& s : steps) {
        QKeyEvent press(QEvent::KeyPress, s.key, s.modifiers);
        QApplication::sendEvent(preview.get(), &press);
        EXPECT_EQ(preview->CurrentPage(), s.page) << s.key;
        EXPECT_EQ(preview->PaintBox1->page(), s.page);
    }
    EXPECT_EQ(preview->LabelPage->text(), QStringLiteral("Page 11 of 66667"));
}

TEST_F(PreviewTest, ZoomLevelsRunFromWholePageToLargest)
{
    struct Case
    {
        TPagePrinter::Orientation orientation;
        int startLevel;
        int startZoom; // from the 640-pixel design width
    };
    for (const Case c : {Case{TPagePrinter::Orientation::Landscape, 0, 48},
                         Case{TPagePrinter::Orientation::Portrait, 1, 72}}) {
        const bool landscape = c.orientation == TPagePrinter::Orientation::Landscape;
        SCOPED_TRACE(landscape ? "landscape" : "portrait");
        makePages(2, c.orientation);
        auto preview = openPreview();
        EXPECT_EQ(preview->ZoomLevel(), c.startLevel);
        EXPECT_EQ(preview->Zoom(), c.startZoom);
        EXPECT_EQ(preview->BtnView2->isEnabled(), c.startLevel > 0);
        EXPECT_TRUE(preview->BtnView1->isEnabled());
        preview->resize(1280, 900);
        const int inches = pages.PageWidthInches();

        int previous = preview->Zoom();
        for (int level = c.startLevel + 1; level <= 3; ++level) {
            preview->BtnView1->click();
            EXPECT_EQ(preview->ZoomLevel(), level);
            const int expected = PreviewZoom::laidOut(
                PreviewZoom::forLevel(level, landscape, 1280, inches, ReportMargins), landscape);
            EXPECT_EQ(preview->Zoom(), expected) << level;
            EXPECT_GT(preview->Zoom(), previous);
            previous = preview->Zoom();
            // The whole sheet is shown.
            EXPECT_EQ(preview->PaintBox1->width(),
                      PreviewZoom::pixels(pages.paperTwips().width(), preview->Zoom()));
            EXPECT_EQ(preview->PaintBox1->height(),
                      PreviewZoom::pixels(pages.paperTwips().height(), preview->Zoom()));
            EXPECT_TRUE(preview->BtnView2->isEnabled());
        }
        EXPECT_FALSE(preview->BtnView1->isEnabled());
        for (int level = 2; level >= 0; --level) {
            preview->BtnView2->click();
            EXPECT_EQ(preview->ZoomLevel(), level);
            EXPECT_TRUE(preview->BtnView1->isEnabled());
        }
        EXPECT_FALSE(preview->BtnView2->isEnabled());
        EXPECT_EQ(preview->PaintBox1->x(),
                  PreviewZoom::pageLeft(preview->width(), preview->PaintBox1->width()));
    }
}

TEST_F(PreviewTest, PagePaintsInsideADarkMarginFrame)
{
    makePages(1, TPagePrinter::Orientation::Landscape);
    auto preview = openPreview();
    // The letter sheet is shown whole, the eight-inch page centred on it: the part of the
    // image that is the page starts a quarter inch down.
    const QImage sheet = preview->PaintBox1->grab().toImage();
    ASSERT_EQ(sheet.size(), QSize(48 * 11, 48 * 17 / 2));
    EXPECT_EQ(QColor(sheet.pixel(sheet.width() / 2, 5)), QColor(Qt::white));
    const QImage image = sheet.copy(0, 12, 48 * 11, 48 * 8);
    const int middle = image.height() / 2;
    // 20 twips are one pixel at 48 pixels per inch, 80 twips three.
    EXPECT_EQ(QColor(image.pixel(0, middle)), QColor(Qt::black));
    EXPECT_EQ(QColor(image.pixel(image.width() / 2, 0)), QColor(Qt::black));
    for (int x = image.width() - 3; x < image.width(); ++x)
        EXPECT_EQ(QColor(image.pixel(x, middle)), QColor(Qt::black)) << x;
    EXPECT_EQ(QColor(image.pixel(image.width() - 4, middle)), QColor(Qt::white));
    EXPECT_EQ(QColor(image.pixel(image.width() / 2, image.height() - 3)), QColor(Qt::black));
    // The blue square drawn one inch in lands one inch (plus the one-pixel margin) in.
    EXPECT_EQ(QColor(image.pixel(1 + 48 + 24, 1 + 48 + 24)), QColor(Qt::blue));
    EXPECT_EQ(QColor(image.pixel(1 + 48 - 3, 1 + 48 + 24)), QColor(Qt::white));
}

TEST_F(PreviewTest, PrintsIntoAPdfWhenNoPrinterIsInstalled)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    makePages(3, TPagePrinter::Orientation::Landscape);
    auto preview = openPreview();
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    services.dialogs.saveFiles.push_back(path);
    EXPECT_TRUE(preview->PrintBtnClick());
    EXPECT_EQ(services.dialogs.captions.last(), QStringLiteral("Print Report To PDF"));
    EXPECT_EQ(test::pdfPageCount(test::bytesOf(path)), 3);
    EXPECT_TRUE(services.messages.shown.empty());

    // Cancelled: nothing happens.
    EXPECT_FALSE(preview->PrintBtnClick());
    EXPECT_TRUE(services.messages.shown.empty());

    // A file that cannot be written is reported, not passed over as printed.
    services.dialogs.saveFiles.push_back(dir.filePath(QStringLiteral("missing/report.pdf")));
    EXPECT_FALSE(preview->PrintBtnClick());
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_TRUE(services.messages.shown[0].text.startsWith(
        QStringLiteral("The report could not be printed to")));
    EXPECT_FALSE(services.messages.shown[0].details.isEmpty());
}

TEST_F(PreviewTest, FontButtonClosesThePreviewOnlyForANewFont)
{
    makePages(2, TPagePrinter::Orientation::Landscape);
    auto preview = openPreview();
    bool chosen = false;
    int asked = 0;
    preview->OnSelectFont = [&](QWidget* parent) {
        EXPECT_EQ(parent, preview.get());
        ++asked;
        return chosen;
    };
    preview->SBtnNextClick();
    preview->BtnFnt->click();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(preview->fontChanged());
    EXPECT_EQ(preview->CurrentPage(), 2);

    chosen = true;
    preview->BtnFnt->click();
    EXPECT_TRUE(preview->fontChanged());
    EXPECT_FALSE(preview->isVisible());
}

TEST_F(PreviewTest, EnterMovesToTheNextControl)
{
    makePages(1, TPagePrinter::Orientation::Landscape);
    auto preview = openPreview();
    preview->activateWindow();
    preview->BtnFnt->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(preview.get(), &enter);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(preview->BtnFnt->hasFocus());
}

TEST(ReportFontTest, StoredValuesRoundTripWithDefaults)
{
    test::ensureApplication();
    QTemporaryDir dir;
    Registry registry(dir.filePath(QStringLiteral("settings.ini")));
    const ReportFont defaults = ReportFont::read(registry);
    EXPECT_EQ(defaults.name, QStringLiteral("Arial"));
    EXPECT_EQ(defaults.size, 10);
    EXPECT_EQ(defaults.style, 1);
    EXPECT_EQ(defaults.color, 0);
    EXPECT_FALSE(registry.keyExists(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3\\Reports")));

    ReportFont font;
    font.name = QStringLiteral("Courier New");
    font.size = 12;
    font.style = 4;
    font.color = 0x00FF00;
    ASSERT_TRUE(font.write(registry));
    Registry again(dir.filePath(QStringLiteral("settings.ini")));
    ASSERT_TRUE(
        again.openKey(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3\\Reports"), false));
    EXPECT_EQ(again.readString(QStringLiteral("Font Name")), QStringLiteral("Courier New"));
    EXPECT_EQ(again.readString(QStringLiteral("Font Size")), QStringLiteral("12"));
    EXPECT_EQ(again.readString(QStringLiteral("Font Style")), QStringLiteral("4"));
    EXPECT_EQ(again.readString(QStringLiteral("Font Color")), QString::number(0x00FF00));

    // Sizes that cannot be right read as the default.
    for (const char* size : {"0", "-5", "2000000000", "twelve"}) {
        ASSERT_TRUE(
            again.openKey(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3\\Reports"), false));
        again.writeString(QStringLiteral("Font Name"), QString());
        again.writeString(QStringLiteral("Font Size"), QString::fromLatin1(size));
        const ReportFont repaired = ReportFont::read(again);
        EXPECT_EQ(repaired.size, 10) << size;
        EXPECT_EQ(repaired.name, QStringLiteral("Arial"));
        EXPECT_EQ(repaired.qColor(), QColor(0, 0xFF, 0));
    }
}

TEST(ReportFontTest, ChosenFontGivesTheStyleCodeAndColour)
{
    test::ensureApplication();
    test::ServiceDoubles services;
    struct Case
    {
        bool bold;
        bool italic;
        bool underline;
        int code;
    };
    // Underline and strike-out cannot be stored: they do not turn a font bold italic.
    const Case cases[] = {{false, false, false, 1}, {false, true, false, 2},
                          {true, false, false, 3},  {true, true, false, 4},
                          {true, true, true, 4},    {false, false, true, 1},
                          {true, false, true, 3}};
    for (const Case c : cases) {
        QFont font(QStringLiteral("Courier New"));
        font.setPointSize(14);
        font.setBold(c.bold);
        font.setItalic(c.italic);
        font.setUnderline(c.underline);
        services.dialogs.fonts.push_back(font);
        services.dialogs.colors.push_back(QColor(0x10, 0x20, 0x30));
        const std::optional<ReportFont> chosen = ReportFont().choose(nullptr);
        ASSERT_TRUE(chosen);
        EXPECT_EQ(chosen->style, c.code) << c.bold << c.italic << c.underline;
        EXPECT_EQ(chosen->size, 14);
        EXPECT_EQ(chosen->name, QStringLiteral("Courier New"));
        EXPECT_EQ(chosen->color, 0x302010);
    }
    // The colour choice cancelled keeps the colour; the font choice cancelled chooses nothing.
    ReportFont current;
    current.color = 0x0000FF;
    services.dialogs.fonts.push_back(QFont(QStringLiteral("Arial")));
    EXPECT_EQ(current.choose(nullptr)->color, 0x0000FF);
    EXPECT_FALSE(current.choose(nullptr));
}

} // namespace
} // namespace wl
