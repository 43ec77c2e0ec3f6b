#include "dialogs/RadioCommands.h"
#include "app/services/Registry.h"
#include "dialogs/DateBox.h"
#include "dialogs/RadioPage.h"
#include "dialogs/TFormNew.h"
#include "dialogs/TFormSetup.h"
#include "dialogs/TimeBox.h"
#include "grid/LocaleInfo.h"
#include "rig/RigControl.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/rig/RigTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <set>

namespace wl::test {

namespace {

using rig::test::Rigctld;
using rig::test::waitFor;

class RadioCommandsTest : public DialogTest
{
protected:
    // The main window with five records and its radio link on the dummy radio.
    RadioCommands& connect(TFormMain& w, Rigctld& daemon, rig::RigSettings settings = {})
    {
        EXPECT_TRUE(daemon.start());
        addRecords(w, {{"Shortwave", 5.9, "A"},
                       {"Shortwave", 6.07, "B"},
                       {"Shortwave", 7.35, "C"},
                       {"Shortwave", 9.58, "D"},
                       {"Shortwave", 11.955, "E"}});
        installRadioCommands(w);
        RadioCommands& radio = *RadioCommands::of(w);
        const rig::RigSettings net = rig::test::networkSettings(daemon.port());
        settings.kind = net.kind;
        settings.address = net.address;
        radio.apply(settings);
        EXPECT_TRUE(waitFor([&] { return radio.control().state().connected; }, 10000))
            << radio.control().state().reason.toStdString();
        return radio;
    }
};

TEST_F(RadioCommandsTest, WithoutARadioTheCommandsAreOffAndPointToPreferences)
{
    TFormMain& w = openMain();
    installRadioCommands(w);
    RadioCommands& radio = *RadioCommands::of(w);
    EXPECT_EQ(radio.LabelRadio->text(), QStringLiteral("Radio: none (set one up in Preferences)"));
    for (QAction* a : {radio.ActLog, radio.ActTune, radio.ActScan}) {
        EXPECT_FALSE(a->isEnabled());
        EXPECT_TRUE(a->toolTip().contains(QLatin1String("Preferences")));
    }
    radio.LogWhatIHearClick(); // as a shortcut would, were it enabled
    ASSERT_EQ(services.messages.shown.size(), 1u);
    EXPECT_TRUE(services.messages.shown[0].text.contains(QLatin1String("Preferences")));
}

TEST_F(RadioCommandsTest, FrequencyTextKeepsEveryHertzInTheUsersLocale)
{
    struct Case
    {
        const char* locale;
        qint64 hz;
        const char* text;
    };
    const Case cases[] = {
        {"en_US", 9580000, "9.5800"},
        {"en_US", 9580125, "9.580125"},
        {"en_US", 10000000001LL, "10000.000001"},
        {"de_DE", 9580000, "9,5800"},
        {"de_DE", 145012500, "145,0125"},
    };
    const LocaleInfo saved = LocaleInfo::current();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        LocaleInfo::setCurrent(LocaleInfo::fromName(QLatin1String(c.locale)));
        EXPECT_EQ(RadioCommands::frequencyText(c.hz), QLatin1String(c.text));
    }
    LocaleInfo::setCurrent(saved);

    // Above 1 GHz the entry box still holds every digit the radio gave.
    TFormMain& w = openMain();
    TFormNew dialog(w);
    RadioCommands::fillEntry(dialog, {10000000001LL, QStringLiteral("USB"), {}},
                             services.clock.now());
    EXPECT_EQ(dialog.EditFrequency->text(), QStringLiteral("10000.000001"));
}

TEST_F(RadioCommandsTest, LogWhatIHearFillsTheEntryDialogAndStoresNothingUnsaved)
{
    TFormMain& w = openMain();
    Rigctld daemon;
    RadioCommands& radio = connect(w, daemon);
    daemon.rigctl({QStringLiteral("F"), QStringLiteral("9580000")});
    daemon.rigctl({QStringLiteral("M"), QStringLiteral("AM"), QStringLiteral("0")});
    ASSERT_TRUE(waitFor(
        [&] {
            return radio.control().state().reading.hz == 9580000 &&
                   radio.control().state().reading.mode == QLatin1String("AM");
        },
        5000));
    EXPECT_EQ(radio.LabelRadio->text(), QStringLiteral("Radio: 9.5800 MHz AM"));

    services.clock.time = QDateTime(QDate(2026, 12, 11), QTime(21, 45));
    QString frequency, special;
    std::optional<QDate> date;
    QTimer::singleShot(0, &w, [&] {
        auto* d = qobject_cast<TFormNew*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        frequency = d->EditFrequency->text();
        special = d->EditOptional->text();
        date = d->DateEdit1->date();
        d->reject();
    });
    const QStringList before = column(w, "Hz");
    radio.LogWhatIHearClick();
    EXPECT_EQ(frequency, QStringLiteral("9.5800"));
    EXPECT_EQ(special, QStringLiteral("AM"));
    EXPECT_EQ(date, QDate(2026, 12, 11));
    EXPECT_EQ(column(w, "Hz"), before);
}

TEST_F(RadioCommandsTest, TuneSendsTheSelectedRecordsFrequencyAndMode)
{
    TFormMain& w = openMain();
    Rigctld daemon;
    RadioCommands& radio = connect(w, daemon);
    // The fourth record (9.58 MHz) names a mode in Special.
    const qint64 recNum = w.RecNumOfRow(4);
    ASSERT_TRUE(
        w.table().updateByRecNum(recNum, {{QStringLiteral("Optional"), QStringLiteral("lsb")}}));
    w.SortableGrid1->GoToCell(1, 4);
    radio.TuneClick();
    EXPECT_TRUE(waitFor([&] { return radio.control().state().reading.hz == 9580000; }, 5000));
    EXPECT_EQ(daemon.rigctl({QStringLiteral("f")}), QStringLiteral("9580000"));
    EXPECT_TRUE(daemon.rigctl({QStringLiteral("m")}).startsWith(QLatin1String("LSB")));
    EXPECT_TRUE(services.messages.shown.empty());
}

TEST_F(RadioCommandsTest, ScanVisitsEveryRowInGridOrderForItsDwell)
{
    TFormMain& w = openMain();
    Rigctld daemon;
    rig::RigSettings s;
    s.dwellSeconds = 1;
    RadioCommands& radio = connect(w, daemon, s);
    std::vector<int> rows;
    std::set<qint64> heard;
    QObject::connect(&radio.control(), &rig::RigControl::stateChanged, &w,
                     [&](const rig::RigState& state) { heard.insert(state.reading.hz); });
    QObject::connect(&radio.scanner(), &ScanController::progress, &w, [&] {
        if (radio.scanner().running() && (rows.empty() || rows.back() != radio.scanner().row()))
            rows.push_back(radio.scanner().row());
    });
    QSignalSpy finished(&radio.scanner(), &ScanController::finished);
    QElapsedTimer clock;
    clock.start();
    radio.ScanClick();
    EXPECT_EQ(radio.ActScan->text(), QStringLiteral("Stop &Scan"));
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }, 15000));
    EXPECT_GE(clock.elapsed(), 5 * 1000 - 200); // each record kept for its dwell
    EXPECT_EQ(rows, (std::vector<int>{1, 2, 3, 4, 5}));
    for (qint64 hz : {5900000LL, 6070000LL, 7350000LL, 9580000LL, 11955000LL})
        EXPECT_TRUE(heard.contains(hz)) << hz;
    EXPECT_TRUE(finished.at(0).at(0).toString().contains(QLatin1String("end of the list")));
    EXPECT_EQ(w.SortableGrid1->Row(), 5);
    EXPECT_EQ(radio.ActScan->text(), QStringLiteral("&Scan"));
}

TEST_F(RadioCommandsTest, ScanStopsOnASignalOrAKeyAndPausesOnRequest)
{
    TFormMain& w = openMain();
    Rigctld daemon;
    rig::RigSettings s;
    s.dwellSeconds = 2;
    s.stopOnSignal = true;
    s.signalLevel = -100; // below anything the dummy radio reports
    RadioCommands& radio = connect(w, daemon, s);
    QSignalSpy finished(&radio.scanner(), &ScanController::finished);
    radio.ScanClick();
    ASSERT_TRUE(waitFor([&] { return finished.count() == 1; }, 5000));
    EXPECT_TRUE(finished.at(0).at(0).toString().contains(QLatin1String("signal at 5.9000")))
        << finished.at(0).at(0).toString().toStdString();

    // Too high a level never stops it; a pause holds the row past its dwell; a key ends it.
    rig::RigSettings high = radio.settings();
    high.signalLevel = 100;
    radio.apply(high);
    radio.ScanClick();
    ASSERT_TRUE(radio.scanner().running()) << services.messages.texts().join(u'|').toStdString();
    radio.ActPause->trigger();
    EXPECT_TRUE(radio.scanner().paused());
    EXPECT_FALSE(waitFor([&] { return radio.scanner().row() != 1; }, 2500));
    radio.ActPause->trigger();
    radio.ActSkip->trigger();
    EXPECT_EQ(radio.scanner().row(), 2);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(w.SortableGrid1, &key);
    EXPECT_FALSE(radio.scanner().running());
    ASSERT_EQ(finished.count(), 2);
    EXPECT_TRUE(finished.at(1).at(0).toString().contains(QLatin1String("key press")));
}

TEST_F(RadioCommandsTest, RadioPageTestsSavesAndFindsModels)
{
    TFormMain& w = openMain();
    Rigctld daemon;
    ASSERT_TRUE(daemon.start());
    TFormSetup preferences(w);
    EXPECT_NE(preferences.findChild<QPushButton*>(QStringLiteral("BtnRadio")), nullptr);

    RadioPage page(install.settingsFile(), &preferences);
    page.EditModelSearch->setText(QStringLiteral("dummy"));
    int shown = 0;
    for (int row = 0; row < page.ListModels->count(); ++row)
        shown += page.ListModels->item(row)->isHidden() ? 0 : 1;
    EXPECT_GE(shown, 1);
    EXPECT_LT(shown, page.ListModels->count());

    page.RadioKind->button(int(rig::RigSettings::Kind::Network))->click();
    page.EditAddress->setText(rig::test::address(daemon.port()));
    page.BtnTest->click();
    EXPECT_TRUE(waitFor([&] { return page.BtnTest->isEnabled(); }, 10000));
    EXPECT_EQ(page.LabelTest->text(), QStringLiteral("145.0000 MHz FM"));

    page.EditAddress->setText(rig::test::address(rig::test::freePort()));
    page.BtnTest->click();
    EXPECT_TRUE(waitFor([&] { return page.BtnTest->isEnabled(); }, 10000));
    EXPECT_TRUE(page.LabelTest->text().startsWith(QLatin1String("Cannot connect to")));

    ASSERT_TRUE(page.BtnSaveClick());
    Registry registry(install.settingsFile());
    EXPECT_EQ(rig::RigSettings::read(registry).address, page.EditAddress->text());
}

} // namespace

} // namespace wl::test
