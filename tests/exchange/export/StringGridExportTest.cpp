#include "ExportTestSupport.h"

#include "app/AppTestSupport.h"
#include "app/services/ServiceDoubles.h"
#include "exchange/export/ExportMessages.h"
#include "exchange/export/TExportStringGrid.h"
#include "exchange/export/WidgetExportHost.h"
#include "grid/TSortableGrid.h"

#include <QWidget>

namespace wl {
namespace {

using test::crlf;

// A window with a grid of three columns, the middle one hidden, and three rows.
class StringGridExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApplication();
        LocaleInfo::setCurrent(LocaleInfo());
        if (!window)
            window = std::make_unique<QWidget>();
        // A case may start over with a fresh grid and component.
        delete exporter;
        delete grid;
        grid = new TSortableGrid(window.get());
        grid->SetColCount(3);
        grid->SetRowCount(4);
        const char* cells[4][3] = {{"Freq", "Secret", "Call"},
                                   {"146.52", "s1", "K1ABC"},
                                   {"7.035", "s2", "W2\"X\""},
                                   {"14.2", "s3", "DL1AB"}};
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 3; ++col)
                grid->SetCells(col, row, QString::fromLatin1(cells[row][col]));
        grid->SetColWidths(1, 0);
        exporter = new TExportStringGrid(window.get());
        exporter->SetOptions(exporter->Options() & ~TimeStamp);
    }

    // Exports to a file chosen in the save dialog double and returns its bytes.
    QByteArray exportCsv()
    {
        const QString path = dir.filePath(QStringLiteral("grid.csv"));
        QFile::remove(path);
        services.dialogs.saveFiles = {path};
        exporter->ExportType = TExportType::xText_Comma_Delimited;
        exporter->ViewOnly = false;
        EXPECT_TRUE(exporter->RunExport()) << services.messages.texts().join(u'\n').toStdString();
        return test::bytesOf(path);
    }

    test::ServiceDoubles services;
    QTemporaryDir dir;
    std::unique_ptr<QWidget> window; // owns the grid and the component
    TSortableGrid* grid = nullptr;
    TExportStringGrid* exporter = nullptr;
};

TEST_F(StringGridExportTest, ExportsTheVisibleColumnsOfTheGridAsDisplayed)
{
    EXPECT_EQ(exporter->StringGrid(), grid); // found among the owner's children
    EXPECT_EQ(exportCsv(), crlf("\"Item\",\"Freq\",\"Call\"|1,146.52,\"K1ABC\"|"
                                "2,7.035,\"W2\"\"X\"\"\"|3,14.2,\"DL1AB\"|"));
    EXPECT_EQ(services.dialogs.captions,
              QStringList({QStringLiteral("Export to Comma-Delimited Text (CSV) File")}));

    exporter->SetOptions(exporter->Options() | ExportInvisibleCols);
    exporter->SetCaptions({QStringLiteral("MHz")});
    EXPECT_EQ(exportCsv(), crlf("\"Item\",\"MHz\",\"Secret\",\"Call\"|1,146.52,\"s1\",\"K1ABC\"|"
                                "2,7.035,\"s2\",\"W2\"\"X\"\"\"|3,14.2,\"s3\",\"DL1AB\"|"));
}

TEST_F(StringGridExportTest, SelectedRowsAreNumberedInExportOrder)
{
    grid->SetOptions(grid->Options() | TSortableGrid::goRowSelect | TSortableGrid::goRangeSelect);
    grid->selectionModel()->select(
        QItemSelection(grid->model()->index(1, 0), grid->model()->index(2, 2)),
        QItemSelectionModel::ClearAndSelect);
    exporter->SetOptions(exporter->Options() | SelectedRowsOnly | ExportAllWhenNoneSelected);
    EXPECT_FALSE(exporter->Options().testFlag(ExportAllWhenNoneSelected));
    EXPECT_EQ(exporter->GetItemCount(), 2);
    EXPECT_EQ(exportCsv(),
              crlf("\"Item\",\"Freq\",\"Call\"|1,7.035,\"W2\"\"X\"\"\"|2,14.2,\"DL1AB\"|"));
}

TEST_F(StringGridExportTest, MissingDataIsToldAndNothingIsWritten)
{
    struct Case
    {
        std::function<void(TSortableGrid&, TExportStringGrid&)> arrange;
        QString message;
    };
    const Case cases[] = {
        {[](TSortableGrid& g, TExportStringGrid&) { g.SetRowCount(1); }, ExportMessages::NoData()},
        {[](TSortableGrid& g, TExportStringGrid&) {
             for (int col = 0; col < 3; ++col)
                 g.SetColWidths(col, 0);
         },
         QStringLiteral("There is no Data to Export.\r\n\r\nPlease ensure your columns are "
                        "visible and have data.")},
        {[](TSortableGrid& g, TExportStringGrid&) {
             g.SetCells(0, 0, QStringLiteral("  "));
             g.SetCells(2, 0, QString());
         },
         ExportMessages::NoVisibleData()},
        {[](TSortableGrid& g, TExportStringGrid& e) {
             e.SetStringGrid(nullptr);
             (void)g;
         },
         QStringLiteral("You must assign a TStringGrid before attempting to Export/Print.")},
    };
    for (const Case& c : cases) {
        SetUp();
        services.messages.shown.clear();
        services.dialogs.captions.clear();
        c.arrange(*grid, *exporter);
        bool failed = false;
        exporter->OnExportFailed = [&](TExportComponent&) { failed = true; };
        exporter->ExportType = TExportType::xText_Comma_Delimited;
        EXPECT_FALSE(exporter->ChooseAndExport());
        EXPECT_TRUE(failed);
        ASSERT_EQ(services.messages.shown.size(), 1u) << c.message.toStdString();
        EXPECT_EQ(services.messages.shown[0].text, c.message);
        EXPECT_TRUE(services.dialogs.captions.isEmpty());
    }
}

TEST_F(StringGridExportTest, ViewedExportOpensTheTemporaryFileOnTheDesktop)
{
    static_cast<WidgetExportHost&>(exporter->Host()).setViewerCheck([](TExportType) {
        return true;
    });
    exporter->ExportType = TExportType::xText_Tab_Delimited;
    exporter->ViewOnly = true;
    ASSERT_TRUE(exporter->RunExport());
    ASSERT_EQ(services.desktop.opened.size(), 1u);
    const QString path = services.desktop.opened[0].toLocalFile();
    EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QStringLiteral("exp")));
    EXPECT_EQ(test::bytesOf(path), crlf("Item\tFreq\tCall\t|1\t146.52\tK1ABC|2\t7.035\tW2\"X\"|"
                                        "3\t14.2\tDL1AB|"));
    EXPECT_TRUE(services.dialogs.captions.isEmpty());
    EXPECT_TRUE(services.messages.shown.empty());
    EXPECT_TRUE(window->isEnabled()); // enabled again after the export
}

TEST_F(StringGridExportTest, UnwritableFolderIsReportedAsAFailure)
{
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    services.dialogs.saveFiles = {blocker.fileName() + QStringLiteral("/sub/grid.dif")};
    exporter->ExportType = TExportType::xDIF;
    exporter->ViewOnly = false;
    EXPECT_FALSE(exporter->RunExport());
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(services.messages.shown[0].text, ExportMessages::WriteFailed());
    EXPECT_TRUE(window->isEnabled());
}

} // namespace
} // namespace wl
