#include "DialogTestSupport.h"
#include "dialogs/TFormFind.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

namespace wl {
namespace {

class FindTest : public test::DialogTest
{
protected:
    TFormMain& mainWithRecords()
    {
        TFormMain& w = openMain();
        addRecords(w, {{"Police", 7.0, "K1ABC"},
                       {"Weather", 162.4, "NOAA"},
                       {"Police", 460.0, "UNIT7"},
                       {"Short Wave", 9000.0, "BBC"}});
        return w;
    }

    // Presses Find and returns the selected row and column and the message shown, if any.
    struct Press
    {
        int row;
        int col;
        QString message;
    };
    Press press(TFormFind& find, const TFormMain& w)
    {
        services.messages.shown.clear();
        find.BtnFindClick();
        QString message;
        if (!services.messages.shown.empty()) {
            const MessageRequest& r = services.messages.shown.back();
            EXPECT_EQ(r.caption, QStringLiteral("Wavelark Search"));
            EXPECT_EQ(r.kind, MessageKind::Information);
            message = r.text;
        }
        return {w.SortableGrid1->Row(), w.SortableGrid1->Col(), message};
    }
};

const QString Complete = QStringLiteral("Search Complete");
const QString NotFound = QStringLiteral("Search item not found.");

TEST_F(FindTest, PressesStepDownThroughTheMatchingRows)
{
    struct Step
    {
        int row;
        int col;
        QString message;
    };
    struct Case
    {
        const char* text;
        bool caseSensitive;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"K1ABC", false, {{1, 3, ""}, {1, 3, Complete}}},
        // One hit per row, then "Search Complete" for every further press.
        {"police", false, {{1, 0, ""}, {3, 0, ""}, {3, 0, Complete}, {3, 0, Complete}}},
        {"police", true, {{1, 0, NotFound}, {1, 0, NotFound}}},
        // The formatted frequency is what is searched.
        {"7.0000", false, {{1, 1, ""}}},
        {"7", false, {{1, 1, ""}, {3, 3, ""}, {3, 3, Complete}}},
        // A hit in the last row says so at once; the next press has nowhere to go.
        {"BBC", false, {{4, 3, Complete}, {4, 3, ""}}},
        {"", false, {{1, -1, NotFound}}},
    };
    TFormMain& w = mainWithRecords();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QPointer<TFormFind> find = new TFormFind(w);
        find->show();
        find->FormActivate();
        find->Edit1->setText(QString::fromUtf8(c.text));
        find->CheckBox1->setChecked(c.caseSensitive);
        int n = 0;
        for (const Step& s : c.steps) {
            SCOPED_TRACE(++n);
            const Press p = press(*find, w);
            EXPECT_EQ(p.row, s.row);
            if (s.col >= 0) {
                EXPECT_EQ(p.col, s.col);
            }
            EXPECT_EQ(p.message, s.message);
        }
        find->BtnCloseClick();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(find.isNull());
    }
}

// Enter in the text box searches as the Find button does.
TEST_F(FindTest, EnterInTheTextBoxSearches)
{
    TFormMain& w = mainWithRecords();
    QPointer<TFormFind> find = new TFormFind(w);
    find->show();
    find->FormActivate();
    find->Edit1->setText(QStringLiteral("police"));
    // Return, then the keypad's Enter: each steps to the next matching row.
    const std::pair<int, int> presses[] = {{Qt::Key_Return, 1}, {Qt::Key_Enter, 3}};
    for (const auto& [key, row] : presses) {
        QKeyEvent enter(QEvent::KeyPress, key,
                        key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QApplication::sendEvent(find->Edit1, &enter);
        EXPECT_EQ(w.SortableGrid1->Row(), row) << key;
    }
    EXPECT_TRUE(find->isVisible());
    find->BtnCloseClick();
}

TEST_F(FindTest, ANewTextStartsOverAndIsNotCompleteWithoutAHit)
{
    TFormMain& w = mainWithRecords();
    TFormFind find(w);
    find.show();
    find.FormActivate();
    find.Edit1->setText(QStringLiteral("police"));
    EXPECT_EQ(press(find, w).row, 1);
    // A text that occurs nowhere is not found, whatever the earlier text found.
    find.Edit1->setText(QStringLiteral("nowhere"));
    const Press missing = press(find, w);
    EXPECT_EQ(missing.message, NotFound);
    EXPECT_EQ(missing.row, 1);
    // Another text is looked for from the first row again.
    find.Edit1->setText(QStringLiteral("K1ABC"));
    EXPECT_EQ(press(find, w).row, 1);
}

TEST_F(FindTest, ActivationStartsOverAtRowOne)
{
    TFormMain& w = mainWithRecords();
    auto* find = new TFormFind(w);
    find->show();
    find->FormActivate();
    find->Edit1->setText(QStringLiteral("BBC"));
    EXPECT_EQ(press(*find, w).message, Complete);
    EXPECT_EQ(press(*find, w).message, QString());
    find->FormActivate();
    EXPECT_EQ(w.SortableGrid1->Row(), 1);
    const Press again = press(*find, w);
    EXPECT_EQ(again.row, 4);
    EXPECT_EQ(again.message, Complete);
    delete find;
}

TEST_F(FindTest, SearchesOnlyTheColumnsShownAndSurvivesAShrunkGrid)
{
    TFormMain& w = mainWithRecords();
    auto* find = new TFormFind(w);
    find->show();
    find->FormActivate();
    find->Edit1->setText(QStringLiteral("7"));
    EXPECT_EQ(press(*find, w).row, 1);
    EXPECT_EQ(press(*find, w).row, 3);
    // A category tab leaves one row and no Category column.
    w.Tab1->setCurrentIndex(3); // "Weather"
    ASSERT_EQ(w.SortableGrid1->RowCount(), 2);
    const Press beyond = press(*find, w);
    EXPECT_EQ(beyond.row, 1);
    EXPECT_EQ(beyond.message, QString());
    find->FormActivate();
    find->Edit1->setText(QStringLiteral("Weather"));
    EXPECT_EQ(press(*find, w).message, NotFound);
    find->Edit1->setText(QStringLiteral("noaa"));
    const Press hit = press(*find, w);
    EXPECT_EQ(hit.row, 1);
    EXPECT_EQ(hit.message, Complete);
    delete find;
}

TEST_F(FindTest, IgnoringCaseCoversAccentedLetters)
{
    TFormMain& w = openMain();
    addRecords(w, {{"Police", 7.0, "MÜNCHEN"}, {"Police", 8.0, "München"}});
    auto* find = new TFormFind(w);
    find->show();
    find->FormActivate();
    find->Edit1->setText(QStringLiteral("münchen"));
    EXPECT_EQ(press(*find, w).row, 1);
    EXPECT_EQ(press(*find, w).row, 2);
    find->FormActivate();
    find->CheckBox1->setChecked(true);
    find->Edit1->setText(QStringLiteral("München"));
    EXPECT_EQ(press(*find, w).row, 2);
    delete find;
}

// Shows each message as a window of its own that takes the focus, as a real message box does.
class WindowedMessages : public MessageService
{
public:
    QStringList texts;
    QMessageBox::StandardButton show(const MessageRequest& request) override
    {
        texts << request.text;
        QWidget box;
        box.show();
        box.activateWindow();
        settle();
        return QMessageBox::Ok;
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
};

TEST_F(FindTest, OnlyComingBackFromAnotherWindowStartsOver)
{
    WindowedMessages boxes;
    UiServices::setMessages(&boxes);
    TFormMain& w = mainWithRecords();
    auto* find = new TFormFind(w);
    find->Edit1->setText(QStringLiteral("police"));
    find->show();
    find->activateWindow();
    WindowedMessages::settle();
    if (QGuiApplication::focusWindow() != find->windowHandle()) {
        UiServices::setMessages(&services.messages);
        delete find;
        GTEST_SKIP() << "the platform does not activate windows";
    }
    find->BtnFindClick();
    find->BtnFindClick();
    EXPECT_EQ(w.SortableGrid1->Row(), 3);
    find->BtnFindClick(); // "Search Complete" in a window of its own
    EXPECT_EQ(boxes.texts, QStringList{"Search Complete"});
    // Back from its own message box: the search goes on from row 3 and finds nothing more.
    find->activateWindow();
    WindowedMessages::settle();
    find->BtnFindClick();
    EXPECT_EQ(boxes.texts, (QStringList{"Search Complete", "Search Complete"}));
    EXPECT_EQ(w.SortableGrid1->Row(), 3);

    // Back from the main window: the next search starts over at row 1.
    w.activateWindow();
    WindowedMessages::settle();
    find->activateWindow();
    WindowedMessages::settle();
    EXPECT_FALSE(find->found());
    find->BtnFindClick();
    EXPECT_EQ(w.SortableGrid1->Row(), 1);
    UiServices::setMessages(&services.messages);
    delete find;
}

} // namespace
} // namespace wl
