#include "DialogTestSupport.h"
#include "app/RecordDate.h"
#include "dialogs/NotesPrinter.h"
#include "dialogs/TFormView.h"
#include "grid/LocaleInfo.h"

#include <QDir>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>

namespace wl {
namespace {

const QString NoNotes = QStringLiteral("Selected record has no notes.");

class NotesWindowTest : public test::DialogTest
{
protected:
    static QStringList lines(const TFormView& view)
    {
        QStringList result;
        for (QTextBlock b = view.RE1->document()->begin(); b.isValid(); b = b.next())
            result << b.text();
        return result;
    }
    static void select(TFormMain& w, int row) { w.SortableGrid1->GoToCell(0, row); }
    static void wait(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }
    static QString notesOf(TFormMain& w, qint64 recNum)
    {
        QVariant value;
        w.table().readField(recNum, QStringLiteral("Notes"), value);
        return value.toString();
    }
};

TEST_F(NotesWindowTest, TheViewerShowsTheNotesSplitAtLineBreaks)
{
    struct Case
    {
        QString notes;
        QStringList shown; // empty: no window, "Selected record has no notes."
    };
    const Case cases[] = {
        {QStringLiteral("first\r\nsecond\r\nthird"), {"first", "second", "third"}},
        {QStringLiteral("ends with a break\r\n"), {"ends with a break", ""}},
        {QStringLiteral("one line"), {"one line"}},
        {QStringLiteral("   \r\n  "), {}},
        {QString(), {}},
    };
    TFormMain& w = openMain();
    for (const Case& c : cases)
        addRecords(w, {{"Police", 100.0 + w.SortableGrid1->RowCount(), "X", c.notes}});
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notes.toStdString());
        services.messages.shown.clear();
        select(w, ++row);
        QPointer<TFormView> view = TFormView::openViewer(w);
        if (c.shown.isEmpty()) {
            EXPECT_TRUE(view.isNull());
            EXPECT_EQ(services.messages.texts(), QStringList{NoNotes});
            continue;
        }
        ASSERT_FALSE(view.isNull());
        EXPECT_EQ(lines(*view), c.shown);
        // The title names the record; the window leaves the left of the list in sight.
        EXPECT_TRUE(view->windowTitle().startsWith(QStringLiteral("Wavelark Notes - ")));
        EXPECT_TRUE(view->windowTitle().contains(QStringLiteral(" MHz, X, ")));
        EXPECT_TRUE(view->RE1->isReadOnly());
        EXPECT_TRUE(view->BtnSaveNotes->isHidden());
        EXPECT_FALSE(view->BtnPrintNotes->isHidden());
        EXPECT_TRUE(w.geometry().contains(view->geometry()));
        EXPECT_LE(view->width(), w.width() * 2 / 3);
        view->BtnClose->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(view.isNull());
    }
}

TEST_F(NotesWindowTest, AnEmptyGridOpensNothing)
{
    TFormMain& w = openMain();
    EXPECT_EQ(TFormView::openViewer(w), nullptr);
    EXPECT_EQ(TFormView::openEditor(w, 1), nullptr);
    EXPECT_EQ(services.messages.texts().first(), NoNotes);
}

TEST_F(NotesWindowTest, TheEditorSavesIntoItsRecordAfterAHeadingSort)
{
    TFormMain& w = openMain();
    addRecords(w, {{"Police", 7.0, "ZED", QStringLiteral("zed notes")},
                   {"Police", 8.0, "ALPHA", QString()},
                   {"Police", 9.0, "MIKE", QStringLiteral("mike notes")}});
    const qint64 zed = w.RecNumOfRow(1);
    const qint64 alpha = w.RecNumOfRow(2);
    TSortOptions byCallsign;
    w.SortableGrid1->SortColumn(3, byCallsign);
    ASSERT_EQ(w.SortableGrid1->Cells(3, 1), QStringLiteral("ALPHA"));

    // An empty note still opens the editor.
    QPointer<TFormView> editor = TFormView::openEditor(w, 1);
    ASSERT_FALSE(editor.isNull());
    EXPECT_EQ(editor->recNum(), alpha);
    EXPECT_EQ(editor->windowTitle(),
              QStringLiteral("Notes Editor - 8.0000 MHz, ALPHA, ") +
                  LocaleInfo::current().formatDisplayDateTime(*RecordDate::toDateTime(38313.5),
                                                              w.settings().dateOption));
    EXPECT_FALSE(editor->RE1->isReadOnly());
    EXPECT_TRUE(editor->BtnPrintNotes->isHidden());
    EXPECT_TRUE(editor->RE1->toPlainText().isEmpty());
    editor->RE1->setPlainText(QStringLiteral("line one\nline two"));
    // The main window moving the table's cursor does not move the editor's record.
    w.table().first();
    EXPECT_TRUE(editor->BtnSaveNotesClick());
    EXPECT_TRUE(editor->BtnSaveNotesClick());
    EXPECT_EQ(notesOf(w, alpha), QStringLiteral("line one\r\nline two"));
    EXPECT_EQ(notesOf(w, zed), QStringLiteral("zed notes"));
    editor->RE1->setPlainText(QStringLiteral("not saved"));
    editor->close();
    EXPECT_EQ(notesOf(w, alpha), QStringLiteral("line one\r\nline two"));

    // The viewer of the row shown first after the sort shows that record's notes.
    w.SortableGrid1->SortColumn(3, byCallsign);
    select(w, 2);
    QPointer<TFormView> viewer = TFormView::openViewer(w);
    ASSERT_FALSE(viewer.isNull());
    EXPECT_EQ(viewer->RE1->toPlainText(), QStringLiteral("mike notes"));
    EXPECT_TRUE(services.messages.shown.empty());
    delete viewer;
}

TEST_F(NotesWindowTest, NothingIsWrittenOnceTheRecordOrTheTableIsGone)
{
    TFormMain& w = openMain();
    addRecords(w, {{"Police", 7.0, "A", QStringLiteral("a")}, {"Police", 8.0, "B"}});
    QPointer<TFormView> editor = TFormView::openEditor(w, 1);
    ASSERT_FALSE(editor.isNull());
    ASSERT_TRUE(w.table().deleteByRecNum(editor->recNum()));
    editor->RE1->setPlainText(QStringLiteral("lost"));
    EXPECT_FALSE(editor->BtnSaveNotesClick());
    EXPECT_EQ(services.messages.texts(),
              QStringList{"The record of these notes no longer exists; the notes were not saved."});
    EXPECT_EQ(column(w, "Notes"), QStringList{""});
    delete editor;

    // Another database opened in the main window: the window refuses, then closes itself.
    services.messages.shown.clear();
    editor = TFormView::openEditor(w, 2);
    ASSERT_FALSE(editor.isNull());
    const QString other = install.dir.path() + QStringLiteral("/other/");
    QDir().mkpath(other);
    w.settings().dataBasePath = other;
    ASSERT_TRUE(w.MakeTable());
    ASSERT_TRUE(w.OpenTable());
    addRecords(w, {{"Police", 8.0, "OTHER"}});
    editor->RE1->setPlainText(QStringLiteral("wrong table"));
    EXPECT_FALSE(editor->BtnSaveNotesClick());
    EXPECT_EQ(services.messages.texts(),
              QStringList{"The database these notes belong to is no longer open; the notes were "
                          "not saved."});
    EXPECT_EQ(column(w, "Notes"), QStringList{""});
    wait(400);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(editor.isNull());

    // The table closed for a while, as a backup or a repair does: the editor and its unsaved
    // text stay, and are saved once the table is back.
    services.messages.shown.clear();
    editor = TFormView::openEditor(w, 1);
    ASSERT_FALSE(editor.isNull());
    editor->RE1->insertPlainText(QStringLiteral("typed during a backup"));
    w.table().close();
    wait(400);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(editor.isNull());
    ASSERT_TRUE(w.OpenTable());
    EXPECT_TRUE(editor->BtnSaveNotesClick());
    EXPECT_EQ(column(w, "Notes"), QStringList{"typed during a backup"});
    EXPECT_TRUE(services.messages.shown.empty());
    delete editor;
}

int pageCount(const QByteArray& pdf)
{
    return int(pdf.count("/Type /Page")) - int(pdf.count("/Type /Pages"));
}

TEST_F(NotesWindowTest, PrintsIntoAPdfWhenNoPrinterIsInstalled)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    QStringList many;
    for (int i = 1; i <= 120; ++i)
        many << QStringLiteral("Line %1 of the notes").arg(i);
    TFormMain& w = openMain();
    addRecords(w, {{"Police", 7.0, "A", QStringLiteral("first\r\nsecond\r\nthird")},
                   {"Police", 8.0, "B", many.join(QStringLiteral("\r\n"))}});
    struct Case
    {
        int row;
        int minPages;
        int maxPages;
    };
    // 120 lines take two pages or more, depending on the font at hand.
    for (const Case c : {Case{1, 1, 1}, Case{2, 2, 4}}) {
        select(w, c.row);
        std::unique_ptr<TFormView> viewer(TFormView::openViewer(w));
        ASSERT_TRUE(viewer);
        const QString pdf = install.dir.path() + QStringLiteral("/notes%1.pdf").arg(c.row);
        services.dialogs.saveFiles.push_back(pdf);
        ASSERT_TRUE(viewer->BtnPrintNotesClick());
        const QByteArray bytes = bytesOf(pdf);
        EXPECT_TRUE(bytes.startsWith("%PDF")) << pdf.toStdString();
        EXPECT_GE(pageCount(bytes), c.minPages);
        EXPECT_LE(pageCount(bytes), c.maxPages);
        // Cancelling the file choice prints nothing.
        EXPECT_FALSE(viewer->BtnPrintNotesClick());
    }
    if (qEnvironmentVariableIsSet("WAVELARK_KEEP_PDF"))
        QFile::copy(install.dir.path() + QStringLiteral("/notes2.pdf"),
                    qEnvironmentVariable("WAVELARK_KEEP_PDF"));
}

} // namespace
} // namespace wl
