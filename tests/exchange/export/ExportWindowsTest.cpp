#include "ExportTestSupport.h"

#include "app/AppTestSupport.h"
#include "app/services/ServiceDoubles.h"
#include "exchange/export/ExportCommands.h"
#include "exchange/export/TExportChoiceForm.h"
#include "exchange/export/TExportStringGrid.h"
#include "exchange/export/TProgressForm.h"
#include "exchange/export/WidgetExportHost.h"
#include "grid/TSortableGrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace wl {
namespace {

const QStringList Offered = {QStringLiteral("Text"),
                             QStringLiteral("Comma-Delimited Text (CSV)"),
                             QStringLiteral("Tab-Delimited Text"),
                             QStringLiteral("Data Interchange Format (DIF)"),
                             QStringLiteral("SYLK Format"),
                             QStringLiteral("Clipboard")};

class ExportWindowsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApplication();
        LocaleInfo::setCurrent(LocaleInfo());
    }

    // Answers the next modal choice dialog: picks the format and view or file, then OK
    // (or Cancel when format is empty).
    static void answerChoice(const QString& format, bool view, QString* caption = nullptr)
    {
        QTimer::singleShot(0, [=] {
            auto* form = qobject_cast<TExportChoiceForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            if (caption)
                *caption = form->windowTitle();
            if (format.isEmpty()) {
                form->CancelBtn->click();
                return;
            }
            form->ExportTypeComboBox->setCurrentText(format);
            (view ? form->ViewRadioButton : form->FileRadioButton)->click();
            form->OKBtn->click();
        });
    }

    test::ServiceDoubles services;
};

TEST_F(ExportWindowsTest, ChoiceDialogFollowsTheChosenFormat)
{
    TExportChoiceForm form([](TExportType t) { return t != TExportType::xSYLK; },
                           [](TExportType) { return QIcon(); });
    EXPECT_EQ(form.GroupBox1->title(), QStringLiteral("Please choose an Export Format "));
    EXPECT_EQ(form.ViewRadioButton->text(), QStringLiteral("&View on Screen"));
    EXPECT_EQ(form.FileRadioButton->text(), QStringLiteral("Export to &File"));
    EXPECT_EQ(form.OKBtn->text(), QStringLiteral("&Ok"));
    EXPECT_EQ(form.CancelBtn->text(), QStringLiteral("&Cancel"));
    form.ExportTypeComboBox->addItems(Offered);

    // A type not on the list (the spreadsheet default) selects the first line.
    form.ChosenType = TExportType::xMicrosoft_Excel;
    form.FormShow();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Export Items"));
    EXPECT_EQ(form.ExportTypeComboBox->currentText(), QStringLiteral("Text"));
    form.ItemCount = 12;
    form.FormShow();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Export 12 Items"));

    struct Case
    {
        const char* name;
        bool viewEnabled, fileEnabled, viewChecked;
    };
    const Case cases[] = {
        {"Clipboard", false, false, true},
        {"SYLK Format", false, true, false},
        {"Comma-Delimited Text (CSV)", true, true, true},
    };
    for (const Case& c : cases) {
        form.ExportTypeComboBox->setCurrentText(QString::fromLatin1(c.name));
        EXPECT_EQ(form.ViewRadioButton->isEnabled(), c.viewEnabled) << c.name;
        EXPECT_EQ(form.FileRadioButton->isEnabled(), c.fileEnabled) << c.name;
        EXPECT_EQ(form.ViewRadioButton->isChecked(), c.viewChecked) << c.name;
        EXPECT_EQ(form.ViewChoice(), c.viewChecked) << c.name;
    }
    form.FileRadioButton->click();
    EXPECT_FALSE(form.ViewChoice());
    form.OKBtnClick();
    EXPECT_EQ(form.ChosenType, TExportType::xText_Comma_Delimited);
}

TEST_F(ExportWindowsTest, ProgressBarMovesInAboutTwentyFiveSteps)
{
    struct Case
    {
        int total, divisor, maximum;
    };
    for (const Case& c : {Case{10, 1, 10}, Case{100, 5, 20}, Case{24, 1, 24}}) {
        auto form = TProgressForm::CreateProgress(QStringLiteral("Exporting..."), QString(),
                                                  QStringLiteral("%d Items"), c.total);
        EXPECT_EQ(form->Divisor(), c.divisor) << c.total;
        EXPECT_EQ(form->ProgressBar->maximum(), c.maximum) << c.total;
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Exporting..."));
        for (int n = 1; n <= c.total; ++n)
            EXPECT_TRUE(form->Step(n));
        EXPECT_EQ(form->ProgressBar->value(), c.maximum) << c.total;
    }

    // Without a count the panel tells the items and seconds.
    auto uncounted =
        TProgressForm::CreateProgress(QStringLiteral("Exporting..."), QStringLiteral("start"),
                                      QStringLiteral("%d Items Exported in %.2f Seconds."), -1);
    EXPECT_TRUE(uncounted->ProgressBar->isHidden());
    EXPECT_FALSE(uncounted->ExportPanel->isHidden());
    EXPECT_EQ(uncounted->height(), 57);
    EXPECT_TRUE(uncounted->Step(7));
    EXPECT_TRUE(
        uncounted->ExportPanel->text().startsWith(QStringLiteral("7 Items Exported in 0.")));

    // Esc or the Cancel button hides the window and stops the export at its next step, also
    // while the owner window is disabled for the export.
    for (const bool byKey : {true, false}) {
        QWidget owner;
        owner.show();
        auto stopped = TProgressForm::CreateProgress(QStringLiteral("Exporting..."), QString(),
                                                     QString(), 10, &owner);
        owner.setEnabled(false);
        stopped->showProgress();
        EXPECT_TRUE(stopped->Step(1));
        if (byKey) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(stopped.get(), &esc);
        } else {
            stopped->CancelButton->click();
        }
        EXPECT_TRUE(stopped->isHidden()) << byKey;
        EXPECT_FALSE(stopped->Step(2)) << byKey;
    }
}

TEST_F(ExportWindowsTest, ExportCommandOfTheMainWindow)
{
    test::TempInstall install;
    TFormMain main(install.setup());
    main.show();
    installExportCommands(main);
    auto* exporter = main.findChild<TExportStringGrid*>(QStringLiteral("ExportStringGrid1"));
    ASSERT_NE(exporter, nullptr);
    EXPECT_EQ(exporter->StringGrid(), main.SortableGrid1);
    ASSERT_TRUE(main.action(Command::Export)->isEnabled());

    // Clipboard: viewed at once, with the creation line from the clock double.
    TSortableGrid& grid = *main.SortableGrid1;
    grid.SetCells(3, 1, QStringLiteral("K1ABC"));
    QString caption;
    answerChoice(QStringLiteral("Clipboard"), true, &caption);
    main.action(Command::Export)->trigger();
    EXPECT_EQ(caption, QStringLiteral("Export %1 Items").arg(grid.RowCount() - 1));
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Created: 11/22/04 3:07:00 PM\r\n\r\nItem ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("K1ABC")));
    EXPECT_EQ(services.messages.texts(),
              QStringList({QStringLiteral("Successfully Exported to Clipboard")}));

    // A file: the save dialog double names it; the choice is offered first next time.
    const QString path = install.programFolder() + QStringLiteral("grid.slk");
    services.dialogs.saveFiles = {path};
    answerChoice(QStringLiteral("SYLK Format"), false);
    main.action(Command::Export)->trigger();
    EXPECT_TRUE(test::bytesOf(path).startsWith("ID;PWXL;N;E\r\n"));
    EXPECT_EQ(exporter->LastExportType(), TExportType::xSYLK);

    // Cancel exports nothing and asks for no file.
    services.dialogs.captions.clear();
    bool failed = false;
    exporter->OnExportFailed = [&](TExportComponent&) { failed = true; };
    answerChoice(QString(), false);
    EXPECT_FALSE(exporter->ChooseAndExport());
    EXPECT_TRUE(failed);
    EXPECT_TRUE(services.dialogs.captions.isEmpty());
}

} // namespace
} // namespace wl
