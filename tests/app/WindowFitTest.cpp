#include "app/TFormAbout.h"
#include "app/TFormRestore.h"
#include "app/THelpWindow.h"
#include "app/report/TPagePreview.h"
#include "app/report/TPagePrinter.h"
#include "dialogs/DialogTestSupport.h"
#include "dialogs/TFormCategory.h"
#include "dialogs/TFormFind.h"
#include "dialogs/TFormNew.h"
#include "dialogs/TFormSetup.h"
#include "dialogs/TFormView.h"
#include "exchange/export/TExportChoiceForm.h"
#include "exchange/export/TProgressForm.h"
#include "exchange/import/TFormImport.h"

#include <QPrinter>

#include <functional>
#include <memory>

namespace wl {
namespace {

// The most a window manager adds round a window: borders and a title bar.
const QMargins Frame(8, 32, 8, 8);

class WindowFitTest : public test::DialogTest
{
protected:
    // The window can be laid out small enough to fit the screen with its frame, and it was
    // placed where its frame is on the screen.
    void expectFits(QWidget& window, const QSize& screen, const char* name)
    {
        window.show();
        QApplication::processEvents();
        const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
        EXPECT_LE(least.width() + Frame.left() + Frame.right(), screen.width())
            << name << " at " << screen.width() << "x" << screen.height();
        EXPECT_LE(least.height() + Frame.top() + Frame.bottom(), screen.height())
            << name << " at " << screen.width() << "x" << screen.height();
        EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(window.frameGeometry()))
            << name << " at " << screen.width() << "x" << screen.height() << ": "
            << window.frameGeometry().x() << "," << window.frameGeometry().y() << " "
            << window.frameGeometry().width() << "x" << window.frameGeometry().height();
        window.hide();
    }
};

// Every top-level window of the program, on the smallest screen it supports and a common one.
TEST_F(WindowFitTest, EveryWindowFitsTheScreen)
{
    for (const QSize screen : {QSize(1024, 768), QSize(1280, 800)}) {
        services.screen.size = screen;
        TFormMain& w = openMain();
        addRecords(w, {{"Police", 155.1, "BBC World Service", QStringLiteral("a note\r\nline 2")}});
        expectFits(w, screen, "main window");

        std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        TPagePrinter pages(*printer);
        pages.StartPages();
        pages.FinishPages();

        const std::pair<const char*, std::function<std::unique_ptr<QWidget>()>> windows[] = {
            {"about", [&] { return std::make_unique<TFormAbout>(&w); }},
            {"help", [&] { return std::make_unique<THelpWindow>(&w); }},
            {"restore", [&] { return std::make_unique<TFormRestore>(w, install.programFolder()); }},
            {"record entry", [&] { return std::make_unique<TFormNew>(w); }},
            {"categories", [&] { return std::make_unique<TFormCategory>(w); }},
            {"preferences", [&] { return std::make_unique<TFormSetup>(w); }},
            {"find", [&] { return std::make_unique<TFormFind>(w); }},
            {"notes",
             [&] {
                 w.SortableGrid1->GoToCell(0, 1);
                 return std::unique_ptr<QWidget>(TFormView::openViewer(w));
             }},
            {"import", [&] { return std::make_unique<TFormImport>(w); }},
            {"export choice",
             [&] {
                 return std::make_unique<TExportChoiceForm>(
                     [](TExportType) { return true; }, [](TExportType) { return QIcon(); }, &w);
             }},
            {"export progress", [&] { return std::make_unique<TProgressForm>(&w); }},
            {"print preview", [&] { return std::make_unique<TPagePreview>(pages, &w); }},
        };
        for (const auto& [name, make] : windows) {
            std::unique_ptr<QWidget> window = make();
            ASSERT_TRUE(window) << name;
            expectFits(*window, screen, name);
        }
        w.table().close();
    }
}

} // namespace
} // namespace wl
