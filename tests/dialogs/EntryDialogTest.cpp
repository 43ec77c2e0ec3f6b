#include "DialogTestSupport.h"
#include "app/RecordDate.h"
#include "dialogs/CoordinateEntry.h"
#include "dialogs/DateBox.h"
#include "dialogs/DialogCommands.h"
#include "dialogs/TFormNew.h"
#include "dialogs/TimeBox.h"
#include "grid/LocaleInfo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace wl {
namespace {

// Puts the process-wide locale conventions back when a test changed them.
class LocaleGuard
{
public:
    LocaleGuard() : saved_(LocaleInfo::current()) {}
    ~LocaleGuard() { LocaleInfo::setCurrent(saved_); }
    LocaleGuard(const LocaleGuard&) = delete;
    LocaleGuard& operator=(const LocaleGuard&) = delete;

private:
    LocaleInfo saved_;
};

struct CoordinateCase
{
    CoordinateEntry entry;
    double rlat;
    double rlon;
    const char* position; // before padding
};

TEST(CoordinateEntryTest, DegreesMinutesAndHemispheresMakeNumbersAndText)
{
    const CoordinateCase cases[] = {
        {{"45", "8", false, "122", "", false}, 45 + 8 / 60.0, 122, "45 08N 122 00W"},
        {{"33", "52", true, "151", "12", true}, -(33 + 52 / 60.0), -151.2, "33 52S 151 12E"},
        {{"", "", false, "", "", false}, 0, 0, ""},
        {{"", "", true, "", "", true}, 0, 0, ""},
        {{"45", "30", false, "", "", false}, 45.5, 0, ""},
        {{"", "", false, "10", "15", true}, 0, -10.25, ""},
        {{"05", "3", false, "12", "7", true}, 5.05, -(12 + 7 / 60.0), "5 03N 12 07E"},
        // At the limit the minutes a disabled box kept are not counted.
        {{"90", "30", false, "180", "45", false}, 90, 180, "90 00N 180 00W"},
    };
    for (const CoordinateCase& c : cases) {
        const CoordinateEntry::Result r = c.entry.toRecord();
        const QString context =
            c.entry.degLat + "/" + c.entry.minLat + " " + c.entry.degLon + "/" + c.entry.minLon;
        EXPECT_DOUBLE_EQ(r.rlat, c.rlat) << context.toStdString();
        EXPECT_DOUBLE_EQ(r.rlon, c.rlon) << context.toStdString();
        EXPECT_FALSE(std::signbit(r.rlat) && r.rlat == 0) << context.toStdString();
        EXPECT_EQ(r.position, QString::fromLatin1(c.position).leftJustified(20))
            << context.toStdString();
    }
}

TEST(TimeBoxTest, HourAndMinuteStepsWrapWithoutCarry)
{
    test::ensureApplication();
    test::ServiceDoubles services;
    struct Case
    {
        bool clock24;
        QTime start;
        int hours;
        int minutes;
        const char* expected;
    };
    const Case cases[] = {
        {true, QTime(0, 30), -1, 0, "23:30"},     {true, QTime(23, 30), 1, 0, "00:30"},
        {true, QTime(10, 59), 0, 1, "10:00"},     {true, QTime(10, 0), 0, -1, "10:59"},
        {false, QTime(0, 30), -1, 0, "11:30 PM"}, {false, QTime(12, 59), 0, 1, "12:00 PM"},
        {false, QTime(11, 5), 1, 0, "12:05 PM"},
    };
    for (const Case& c : cases) {
        TimeBox box(c.clock24);
        box.setTime(c.start);
        if (c.hours)
            box.stepHour(c.hours);
        if (c.minutes)
            box.stepMinute(c.minutes);
        EXPECT_EQ(box.displayText(), QLatin1String(c.expected)) << c.expected;
    }

    // An unreadable box is set to the current time and not stepped.
    TimeBox box(false);
    box.setText(QStringLiteral("25:99 PM"));
    EXPECT_FALSE(box.time());
    box.stepHour(1);
    EXPECT_EQ(box.displayText(), QStringLiteral("03:07 PM"));
    TimeBox box24(true);
    EXPECT_EQ(box24.displayText(), QStringLiteral("15:07"));
}

class EntryDialogTest : public test::DialogTest
{
protected:
    static void fill(TFormNew& d, const char* frequency, const char* callsign = "K1ABC")
    {
        d.EditFrequency->setText(QString::fromUtf8(frequency));
        d.EditCallSign->setText(QString::fromUtf8(callsign));
    }
    static QVariant field(TFormMain& w, const char* name, int index = 0)
    {
        store::Table& t = w.table();
        t.cancelRange();
        t.first();
        t.moveBy(index);
        QVariant value = t.fieldValue(QLatin1String(name));
        t.setRange(w.settings().lowFrequency, w.settings().hiFrequency);
        return value;
    }
    static qint64 count(TFormMain& w) { return column(w, "Hz").size(); }
    // How many grid cells show the text, in any column.
    static int gridCount(const TFormMain& w, const QString& text)
    {
        int n = 0;
        for (int col = 0; col < w.SortableGrid1->ColCount(); ++col)
            n += gridColumn(w, col).count(text);
        return n;
    }
};

TEST_F(EntryDialogTest, SaveAppendsTheFieldsAndClearsTheTypingBoxes)
{
    TFormMain& w = openMain();
    TFormNew d(w);
    d.show();
    EXPECT_EQ(d.LabelCallSign->text(), QStringLiteral("Callsign"));
    ASSERT_EQ(d.ListCategory->currentItem()->text(), w.categories().front());
    d.ListCategory->setCurrentRow(1);
    const QString category = d.ListCategory->currentItem()->text();
    fill(d, "146.52");
    d.RadioUp->setChecked(true);
    d.EditUser->setText(QStringLiteral("Club"));
    d.EditOptional->setText(QStringLiteral("x"));
    d.EditNotes->setPlainText(QStringLiteral("first line\nsecond line"));
    d.EditDegLat->setText(QStringLiteral("45"));
    d.EditMinLat->setText(QStringLiteral("8"));
    d.EditDegLon->setText(QStringLiteral("122"));
    d.MaskEdit->setTime(QTime(9, 41));
    d.BtnSaveClick();

    EXPECT_TRUE(services.messages.shown.empty())
        << services.messages.texts().join('|').toStdString();
    ASSERT_EQ(count(w), 1);
    EXPECT_EQ(field(w, "Category").toString(), category);
    EXPECT_EQ(field(w, "Hz").toDouble(), 146.52);
    EXPECT_EQ(field(w, "Callsign").toString(), QStringLiteral("K1ABC"));
    EXPECT_EQ(field(w, "Modifier").toString(), QStringLiteral("+"));
    EXPECT_EQ(field(w, "User").toString(), QStringLiteral("Club"));
    EXPECT_EQ(field(w, "Location").toString(), QString());
    EXPECT_EQ(field(w, "Notes").toString(), QStringLiteral("first line\r\nsecond line"));
    EXPECT_EQ(field(w, "Position").toString(), QStringLiteral("45 08N 122 00W      "));
    EXPECT_DOUBLE_EQ(field(w, "RLat").toDouble(), 45 + 8 / 60.0);
    EXPECT_DOUBLE_EQ(field(w, "RLon").toDouble(), 122);
    EXPECT_EQ(field(w, "RDate").toDouble(),
              RecordDate::fromDateTime(QDateTime(QDate(2004, 11, 22), QTime(9, 41))));

    for (QLineEdit* box : {d.EditFrequency, d.EditCallSign, d.EditUser, d.EditOptional,
                           d.EditDegLat, d.EditMinLat, d.EditDegLon})
        EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
    EXPECT_TRUE(d.EditNotes->toPlainText().isEmpty());
    EXPECT_EQ(d.ListCategory->currentItem()->text(), category);
    EXPECT_TRUE(d.RadioUp->isChecked());
    EXPECT_TRUE(d.saved());
    EXPECT_TRUE(d.LabelSaved->isVisibleTo(&d));
}

TEST_F(EntryDialogTest, TodaysDateSavesInUsAndGermanConventions)
{
    LocaleGuard restore;
    struct Case
    {
        const char* locale;
        const char* frequency;
    };
    TFormMain& w = openMain();
    for (const Case& c : {Case{"en_US", "146.52"}, Case{"de_DE", "146,52"}}) {
        LocaleInfo::setCurrent(LocaleInfo::fromName(QLatin1String(c.locale)));
        TFormNew d(w);
        d.show();
        fill(d, c.frequency);
        d.MaskEdit->setTime(QTime(15, 7));
        d.BtnSaveClick();
        EXPECT_TRUE(services.messages.shown.empty())
            << c.locale << services.messages.texts().join('|').toStdString();
        ASSERT_EQ(count(w), 1) << c.locale;
        EXPECT_EQ(field(w, "Hz").toDouble(), 146.52) << c.locale;
        EXPECT_EQ(field(w, "RDate").toDouble(),
                  RecordDate::fromDateTime(QDateTime(QDate(2004, 11, 22), QTime(15, 7))))
            << c.locale;
        w.table().first();
        ASSERT_TRUE(w.table().deleteRecord());
    }
}

TEST_F(EntryDialogTest, RefusedEntriesStoreNothingAndKeepEveryEntry)
{
    LocaleGuard restore;
    LocaleInfo::setCurrent(LocaleInfo::fromName(QStringLiteral("en_US")));
    struct Case
    {
        const char* frequency;
        const char* time;
        const char* date; // nullptr: the box's own
        const char* caption;
        const char* text;
    };
    const Case cases[] = {
        {"", "10:00 AM", nullptr, "Frequency Entry Error", "Please re-enter a frequency."},
        {"146,52", "10:00 AM", nullptr, "Frequency Entry Error", "Please re-enter a frequency."},
        {"1,465", "10:00 AM", nullptr, "Frequency Entry Error", "Please re-enter a frequency."},
        {"1-2", "10:00 AM", nullptr, "Frequency Entry Error", "Please re-enter a frequency."},
        {"-146.5", "10:00 AM", nullptr, "Frequency Entry Error",
         "A frequency cannot be negative. Please re-enter a frequency."},
        {"146.52", "25:99 PM", nullptr, "Time Entry Error", "Please check time data."},
        {"146.52", "10:00 AM", "13/45/2004", "Date Entry Error", "Please check date entry."},
    };
    TFormMain& w = openMain();
    for (const Case& c : cases) {
        services.messages.shown.clear();
        TFormNew d(w);
        d.show();
        d.ListCategory->setCurrentRow(2);
        fill(d, c.frequency);
        d.MaskEdit->setText(QLatin1String(c.time));
        if (c.date)
            d.DateEdit1->edit()->setText(QLatin1String(c.date));
        d.EditNotes->setPlainText(QStringLiteral("keep me"));
        d.EditDegLat->setText(QStringLiteral("12"));
        d.BtnSaveClick();
        ASSERT_EQ(services.messages.shown.size(), 1u) << c.frequency;
        EXPECT_EQ(services.messages.shown[0].caption, QLatin1String(c.caption));
        EXPECT_EQ(services.messages.shown[0].text, QLatin1String(c.text));
        EXPECT_EQ(services.messages.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(count(w), 0) << c.frequency;
        EXPECT_EQ(d.EditFrequency->text(), QLatin1String(c.frequency));
        EXPECT_EQ(d.EditCallSign->text(), QStringLiteral("K1ABC"));
        EXPECT_EQ(d.EditNotes->toPlainText(), QStringLiteral("keep me"));
        EXPECT_EQ(d.EditDegLat->text(), QStringLiteral("12"));
        EXPECT_EQ(d.ListCategory->currentRow(), 2);
        EXPECT_FALSE(d.saved());
    }
}

TEST_F(EntryDialogTest, AFrequencyOutsideTheRangeShownIsSavedAndSaidSo)
{
    LocaleGuard restore;
    LocaleInfo::setCurrent(LocaleInfo::fromName(QStringLiteral("en_US")));
    TFormMain& w = openMain();
    w.settings().lowFrequency = 100;
    w.settings().hiFrequency = 200;
    ASSERT_TRUE(w.OpenTable());
    TFormNew d(w);
    d.show();
    d.ListCategory->setCurrentRow(0);
    for (const char* inside : {"100", "146.52", "200"}) {
        fill(d, inside);
        d.BtnSaveClick();
    }
    EXPECT_TRUE(services.messages.shown.empty())
        << services.messages.texts().join(";").toStdString();
    fill(d, "7.5");
    d.BtnSaveClick();
    EXPECT_TRUE(d.saved());
    EXPECT_EQ(count(w), 4);
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].text,
              QStringLiteral("The record was saved. Its frequency of 7.5 MHz is outside the range "
                             "shown, 100 - 200 MHz, so the list will not show it; widen the range "
                             "under Preferences to see it."));
    EXPECT_EQ(services.messages.shown[0].kind, MessageKind::Information);
}

TEST_F(EntryDialogTest, NoCategoryAsksForOne)
{
    TFormMain& w = openMain();
    TFormNew d(w);
    d.show();
    d.ListCategory->clearSelection();
    fill(d, "146.52");
    d.BtnSaveClick();
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Wavelark"));
    EXPECT_EQ(services.messages.shown[0].text, QStringLiteral("Please enter a category."));
    EXPECT_EQ(count(w), 0);
}

TEST_F(EntryDialogTest, CoordinateBoxesKeepToTheirLimits)
{
    TFormMain& w = openMain();
    TFormNew d(w);
    d.EditMinLat->setText(QStringLiteral("30"));
    d.EditDegLat->setText(QStringLiteral("90"));
    EXPECT_FALSE(d.EditMinLat->isEnabled());
    d.EditDegLat->setText(QStringLiteral("9"));
    EXPECT_TRUE(d.EditMinLat->isEnabled());
    d.EditDegLon->setText(QStringLiteral("180"));
    EXPECT_FALSE(d.EditMinLon->isEnabled());
    // Typed or pasted text that is not digits is refused by the box itself.
    d.EditDegLon->clear();
    d.EditDegLon->insert(QStringLiteral("1a"));
    EXPECT_TRUE(d.EditDegLon->text().isEmpty());
}

// A position out of range is refused with the reason; the dialog keeps what was typed, so the
// user mends it, and nothing is stored until then.
TEST_F(EntryDialogTest, APositionOutOfRangeIsRefusedAndKept)
{
    TFormMain& w = openMain();
    TFormNew d(w);
    d.show();
    const struct
    {
        const char* degLat;
        const char* minLat;
        const char* degLon;
        const char* minLon;
        const char* reason;
    } cases[] = {
        {"95", "70", "10", "0",
         "The latitude 95\u00B0 70' is out of range: degrees go from 0 to "
         "90 and minutes from 0 to 59. Please correct the position."},
        {"45", "60", "", "", "The latitude 45\u00B0 60' is out of range"},
        {"0", "", "181", "",
         "The longitude 181\u00B0 0' is out of range: degrees go from 0 to "
         "180"},
        {"10", "", "12", "99", "The longitude 12\u00B0 99' is out of range"},
    };
    for (const auto& c : cases) {
        services.messages.shown.clear();
        fill(d, "146.52");
        d.EditDegLat->setText(QString::fromUtf8(c.degLat));
        d.EditMinLat->setText(QString::fromUtf8(c.minLat));
        d.EditDegLon->setText(QString::fromUtf8(c.degLon));
        d.EditMinLon->setText(QString::fromUtf8(c.minLon));
        d.BtnSaveClick();
        ASSERT_EQ(services.messages.shown.size(), 1u) << c.reason;
        EXPECT_EQ(services.messages.shown[0].caption, QStringLiteral("Position Entry Error"));
        EXPECT_TRUE(services.messages.shown[0].text.startsWith(QString::fromUtf8(c.reason)))
            << services.messages.shown[0].text.toStdString();
        EXPECT_EQ(d.EditDegLat->text(), QString::fromUtf8(c.degLat));
        EXPECT_EQ(d.EditMinLon->text(), QString::fromUtf8(c.minLon));
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(count(w), 0);
    }
    // At the limit the minutes a disabled box kept are not counted, so 90 degrees is a position.
    d.EditDegLat->setText(QStringLiteral("90"));
    d.EditMinLat->setText(QStringLiteral("70"));
    d.EditDegLon->setText(QStringLiteral("12"));
    d.EditMinLon->setText(QStringLiteral("30"));
    services.messages.shown.clear();
    d.BtnSaveClick();
    EXPECT_TRUE(services.messages.shown.empty())
        << services.messages.texts().join(u'|').toStdString();
    EXPECT_EQ(count(w), 1);
}

TEST_F(EntryDialogTest, ClosingAfterASaveRefillsTheGridAndOtherwiseLeavesIt)
{
    TFormMain& w = openMain();
    addRecords(w, {{"Police", 155.0, "P1"}});
    const int rowsBefore = w.SortableGrid1->RowCount();
    enum class How
    {
        Done,
        CloseBox
    };
    {
        // A record stored behind the grid's back shows that nothing refilled it.
        ASSERT_TRUE(w.table().append());
        w.table().setFieldValue(QStringLiteral("Hz"), 160.0);
        w.table().setFieldValue(QStringLiteral("Category"), QStringLiteral("Police"));
        w.table().setFieldValue(QStringLiteral("RDate"), 38313.5);
        ASSERT_TRUE(w.table().post()) << w.table().lastError().toStdString();
        TFormNew d(w);
        d.show();
        d.BtnExitClick();
        EXPECT_EQ(w.SortableGrid1->RowCount(), rowsBefore);
    }
    for (How how : {How::Done, How::CloseBox}) {
        TFormNew d(w);
        d.show();
        fill(d, how == How::Done ? "100" : "200", "NEW");
        d.BtnSaveClick();
        fill(d, "150", "NEW");
        d.BtnSaveClick();
        ASSERT_TRUE(services.messages.shown.empty());
        if (how == How::Done)
            d.BtnExitClick();
        else
            d.close();
        EXPECT_FALSE(d.isVisible());
        EXPECT_EQ(gridCount(w, QStringLiteral("NEW")), how == How::Done ? 2 : 4);
    }
    EXPECT_EQ(column(w, "Hz").size(), 6);
}

TEST_F(EntryDialogTest, AddCommandOpensTheModalDialogAndDoneShowsTheNewRecord)
{
    TFormMain& w = openMain();
    installDialogCommands(w);
    ASSERT_TRUE(w.button(Command::Add)->isEnabled());
    bool seen = false;
    QTimer::singleShot(0, &w, [&] {
        auto* d = qobject_cast<TFormNew*>(QApplication::activeModalWidget());
        if (!d)
            return;
        seen = true;
        fill(*d, "146.52", "VIA-ADD");
        d->BtnSaveClick();
        d->BtnExitClick();
    });
    w.button(Command::Add)->click();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(services.messages.shown.empty());
    EXPECT_EQ(gridCount(w, QStringLiteral("VIA-ADD")), 1);
    EXPECT_TRUE(w.findChildren<TFormNew*>().isEmpty());
}

// Shows a real message box, closed by a timer, so that the window system moves the activation
// to it and back to the dialog as with a user.
class RealMessages : public MessageService
{
public:
    QStringList texts;
    QMessageBox::StandardButton show(const MessageRequest& request) override
    {
        texts << request.text;
        QMessageBox box(QMessageBox::Warning, request.caption, request.text, QMessageBox::Ok,
                        QApplication::activeWindow());
        QTimer::singleShot(300, &box, &QMessageBox::accept);
        box.exec();
        return QMessageBox::Ok;
    }
};

// Lets the event loop run for a while, or until the condition holds.
template <typename Done> void waitFor(int ms, Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms && !done())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Needs a window system: the offscreen platform does not move the activation.
TEST_F(EntryDialogTest, OwnMessageBoxesDoNotEmptyTheNotes)
{
    if (QGuiApplication::platformName() == QStringLiteral("offscreen"))
        GTEST_SKIP() << "needs a window system (run under Xvfb with QT_QPA_PLATFORM=xcb)";
    TFormMain& w = openMain();
    RealMessages real;
    UiServices::setMessages(&real);
    TFormNew d(w);
    d.show();
    d.activateWindow();
    waitFor(2000, [&] { return d.isActiveWindow(); });
    ASSERT_TRUE(d.isActiveWindow());
    fill(d, "abc");
    d.EditNotes->setPlainText(QStringLiteral("keep me"));
    d.ListCategory->setCurrentRow(1);
    d.BtnSaveClick();
    // Without a window manager nothing hands the activation back; do what one would.
    d.activateWindow();
    waitFor(2000, [&] { return d.isActiveWindow(); });
    ASSERT_TRUE(d.isActiveWindow());
    waitFor(200, [] { return false; });
    UiServices::setMessages(&services.messages);
    EXPECT_EQ(real.texts, QStringList{QStringLiteral("Please re-enter a frequency.")});
    EXPECT_EQ(d.EditNotes->toPlainText(), QStringLiteral("keep me"));
    EXPECT_EQ(d.ListCategory->currentRow(), 1);
}

} // namespace
} // namespace wl
