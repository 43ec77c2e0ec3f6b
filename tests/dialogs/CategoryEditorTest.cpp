#include "DialogTestSupport.h"
#include "dialogs/TFormCategory.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace wl {
namespace {

class CategoryEditorTest : public test::DialogTest
{
protected:
    static QStringList listed(const TFormCategory& dialog)
    {
        QStringList names;
        for (int i = 0; i < dialog.ListCategory->count(); ++i)
            names << dialog.ListCategory->item(i)->text();
        return names;
    }
    static void select(TFormCategory& dialog, const QString& name)
    {
        const auto items = dialog.ListCategory->findItems(name, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << name.toStdString();
        dialog.ListCategory->setCurrentItem(items.front());
    }
};

TEST_F(CategoryEditorTest, AddGoesBackToAllRecordsAndAppendsTheName)
{
    TFormMain& w = openMain();
    addRecords(w, {{"Police", 155.0, "P1"}, {"Weather", 162.4, "W1"}});
    w.Tab1->setCurrentIndex(1); // "Police": one record, no Category column
    ASSERT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 1"));

    TFormCategory dialog(w);
    EXPECT_EQ(listed(dialog), (QStringList{"Police", "Short Wave", "Weather"}));
    dialog.EditCategory->setText(QStringLiteral("Aviation"));
    dialog.BtnAddClick();
    EXPECT_EQ(tabs(w), (QStringList{"All Records", "Aviation", "Police", "Short Wave", "Weather"}));
    EXPECT_EQ(w.Tab1->currentIndex(), 0);
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 2"));
    EXPECT_EQ(w.SortableGrid1->ColCount(), ColumnCount);
    EXPECT_EQ(listed(dialog), (QStringList{"Aviation", "Police", "Short Wave", "Weather"}));
    EXPECT_TRUE(dialog.EditCategory->text().isEmpty());
    EXPECT_EQ(bytesOf(dataFile("larkbase.cat")),
              QByteArray("Police\r\nShort Wave\r\nWeather\r\nAviation\r\n"));

    EXPECT_TRUE(services.messages.shown.empty());

    // A name that exists is refused with a word, and an empty box adds nothing.
    const QByteArray file = bytesOf(dataFile("larkbase.cat"));
    dialog.EditCategory->setText(QStringLiteral("Police"));
    dialog.BtnAddClick();
    dialog.EditCategory->clear();
    dialog.BtnAddClick();
    EXPECT_EQ(tabs(w).count(QStringLiteral("Police")), 1);
    EXPECT_EQ(bytesOf(dataFile("larkbase.cat")), file);
    EXPECT_EQ(services.messages.texts(), QStringList{"The category Police exists already."});
}

TEST_F(CategoryEditorTest, AddToAFileWithoutAFinalLineBreakStartsANewLine)
{
    writeBytes(dataFile("larkbase.cat"), "Weather");
    TFormMain& w = openMain();
    TFormCategory dialog(w);
    dialog.EditCategory->setText(QStringLiteral("Aviation"));
    dialog.BtnAddClick();
    EXPECT_EQ(bytesOf(dataFile("larkbase.cat")), QByteArray("Weather\r\nAviation\r\n"));
    EXPECT_EQ(tabs(w), (QStringList{"All Records", "Aviation", "Weather"}));
}

TEST_F(CategoryEditorTest, DeleteRemovesTheExactNameAndRewritesTheFileSorted)
{
    writeBytes(dataFile("larkbase.cat"), "weather\r\n\r\nPolice\r\nalpha\r\nWeather\r\n");
    TFormMain& w = openMain();
    addRecords(w, {{"Weather", 162.4, "W1"}});
    TFormCategory dialog(w);
    dialog.BtnDeleteClick(); // nothing selected: nothing happens
    EXPECT_TRUE(services.messages.shown.empty());
    select(dialog, QStringLiteral("Weather"));
    dialog.EditCategory->setText(QStringLiteral("typed"));
    // Asked first: No keeps everything.
    const QByteArray before = bytesOf(dataFile("larkbase.cat"));
    services.messages.answers = {QMessageBox::No};
    dialog.BtnDeleteClick();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Confirmation Request"));
    EXPECT_EQ(bytesOf(dataFile("larkbase.cat")), before);
    EXPECT_EQ(w.categories().size(), 5);
    services.messages.answers = {QMessageBox::Yes};
    dialog.BtnDeleteClick();
    // Sorted without regard to case, the empty name kept, only the exact match gone.
    EXPECT_EQ(bytesOf(dataFile("larkbase.cat")), QByteArray("\r\nalpha\r\nPolice\r\nweather\r\n"));
    EXPECT_EQ(w.categories(), (QStringList{"", "alpha", "Police", "weather"}));
    EXPECT_EQ(listed(dialog), w.categories());
    EXPECT_TRUE(dialog.EditCategory->text().isEmpty());
    // The record keeps its category and stays under "All Records".
    EXPECT_EQ(column(w, "Category"), QStringList{"Weather"});
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 1"));
}

TEST_F(CategoryEditorTest, RenameChangesRecordsOnlyOnYes)
{
    struct Case
    {
        const char* name;
        std::deque<QMessageBox::StandardButton> answers;
        QStringList categories; // of the three records, in frequency order
    };
    const Case cases[] = {
        {"No", {QMessageBox::No}, {"Police", "Police", "Police"}},
        {"Help, then No", {QMessageBox::Help, QMessageBox::No}, {"Police", "Police", "Police"}},
        // Records outside the range keep their category.
        {"Yes", {QMessageBox::Yes}, {"Police", "Law", "Police"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempInstall own;
        services.messages.shown.clear();
        services.messages.answers = c.answers;
        services.help.contexts.clear();
        auto w = std::make_unique<TFormMain>(own.setup());
        w->settings().lowFrequency = 100;
        w->settings().hiFrequency = 200;
        ASSERT_TRUE(w->OpenTable());
        w->show();
        addRecords(*w, {{"Police", 50.0, "A"}, {"Police", 155.0, "B"}, {"Police ", 460.0, "C"}});

        TFormCategory dialog(*w);
        select(dialog, QStringLiteral("Police"));
        dialog.EditCategory->setText(QStringLiteral("Law"));
        dialog.BtnSaveClick();

        ASSERT_EQ(services.messages.shown.size(), c.answers.size());
        const MessageRequest& asked = services.messages.shown.front();
        EXPECT_EQ(asked.caption, QStringLiteral("Modifying database"));
        EXPECT_EQ(asked.text, QStringLiteral("Modify all records to reflect category change?"));
        EXPECT_EQ(asked.helpContext, 30);
        EXPECT_EQ(services.help.contexts.size(), c.answers.size() - 1);
        EXPECT_EQ(tabs(*w), (QStringList{"All Records", "Law", "Short Wave", "Weather"}));
        EXPECT_EQ(bytesOf(own.programFolder() + "larkbase.cat"),
                  QByteArray("Law\r\nShort Wave\r\nWeather\r\n"));
        QStringList categories = column(*w, "Category");
        for (QString& s : categories)
            s = s.trimmed();
        EXPECT_EQ(categories, c.categories);
    }
}

TEST_F(CategoryEditorTest, AFileThatCannotBeWrittenChangesNothing)
{
    TFormMain& w = openMain();
    TFormCategory dialog(w);
    // A folder in the file's place: it can be neither appended to nor replaced.
    ASSERT_TRUE(QFile::remove(dataFile("larkbase.cat")));
    ASSERT_TRUE(QDir().mkdir(dataFile("larkbase.cat")));
    const QStringList before = tabs(w);

    dialog.EditCategory->setText(QStringLiteral("Aviation"));
    dialog.BtnAddClick();
    select(dialog, QStringLiteral("Police"));
    dialog.BtnDeleteClick();
    select(dialog, QStringLiteral("Police"));
    dialog.EditCategory->setText(QStringLiteral("Law"));
    dialog.BtnSaveClick();

    // The delete is confirmed first.
    ASSERT_EQ(services.messages.shown.size(), 4u);
    services.messages.shown.erase(services.messages.shown.begin() + 1);
    for (const MessageRequest& r : services.messages.shown)
        EXPECT_EQ(r.text, QStringLiteral("The category list could not be saved; nothing was "
                                         "changed."));
    EXPECT_EQ(tabs(w), before);
    EXPECT_EQ(listed(dialog), (QStringList{"Police", "Short Wave", "Weather"}));
    EXPECT_EQ(dialog.EditCategory->text(), QStringLiteral("Law"));
}

} // namespace
} // namespace wl
