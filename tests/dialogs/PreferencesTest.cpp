#include "DialogTestSupport.h"
#include "app/AppConstants.h"
#include "app/services/Registry.h"
#include "dialogs/FieldBox.h"
#include "dialogs/TFormSetup.h"
#include "store/FrequencyRecord.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>

namespace wl {
namespace {

class PreferencesTest : public test::DialogTest
{
protected:
    QString fieldValue(const QString& name) const
    {
        Registry reg(install.settingsFile());
        if (!reg.openKey(app::SettingsKey + app::FieldDataKey, false))
            return QStringLiteral("<no key>");
        return reg.readString(name, QStringLiteral("<none>"));
    }
    QString mainValue(const QString& name) const
    {
        Registry reg(install.settingsFile());
        if (!reg.openKey(app::SettingsKey, false))
            return QStringLiteral("<no key>");
        return reg.readString(name, QStringLiteral("<none>"));
    }
    static QStringList headings(const TFormMain& w)
    {
        QStringList result;
        for (int col = 0; col < w.SortableGrid1->ColCount(); ++col)
            result << w.SortableGrid1->Cells(col, 0);
        return result;
    }
};

TEST_F(PreferencesTest, ARefusedSaveWritesNothing)
{
    struct Case
    {
        const char* name;
        std::function<void(TFormSetup&)> change;
        QString caption;
        QString text;
    };
    const QString rangeText = QStringLiteral(
        "Please enter the lowest and the highest frequency as whole numbers of MHz from 0 to "
        "9999.");
    const Case cases[] = {
        // "Date/Time" dragged onto "Column 2": Frequency is gone and Date/Time shown twice.
        {"duplicate field",
         [](TFormSetup& d) { TFormSetup::DropOnto(*d.ColumnBox[0], *d.EditOpt[7]); },
         QStringLiteral("Duplicate Fields Selected"), QStringLiteral("Please re-order fields.")},
        {"column box onto column box",
         [](TFormSetup& d) { TFormSetup::DropOnto(*d.ColumnBox[3], *d.ColumnBox[2]); },
         QStringLiteral("Duplicate Fields Selected"), QStringLiteral("Please re-order fields.")},
        {"empty low end", [](TFormSetup& d) { d.EditBottom->clear(); },
         QStringLiteral("Frequency Range"), rangeText},
        {"empty high end", [](TFormSetup& d) { d.EditTop->clear(); },
         QStringLiteral("Frequency Range"), rangeText},
        {"reversed range", [](TFormSetup& d) { d.EditTop->setText(QStringLiteral("50")); },
         QStringLiteral("Frequency Range"),
         QStringLiteral("The lowest frequency, 100 MHz, is above the highest, 50 MHz. Please "
                        "enter the range from low to high.")},
    };
    TFormMain& w = openMain();
    const QByteArray settingsBefore = bytesOf(install.settingsFile());
    const std::array<QString, ColumnCount> namesBefore = w.settings().columnNames;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services.messages.shown.clear();
        TFormSetup dialog(w);
        dialog.EditOpt[2]->setText(QStringLiteral("Station"));
        dialog.EditBottom->setText(QStringLiteral("100"));
        c.change(dialog);
        EXPECT_FALSE(dialog.Btnsave1Click());
        ASSERT_EQ(services.messages.shown.size(), 1u);
        EXPECT_EQ(services.messages.shown[0].caption, c.caption);
        EXPECT_EQ(services.messages.shown[0].text, c.text);
        EXPECT_EQ(services.messages.shown[0].kind, MessageKind::Warning);
        EXPECT_EQ(bytesOf(install.settingsFile()), settingsBefore);
        EXPECT_EQ(w.settings().columnNames, namesBefore);
        EXPECT_EQ(w.settings().lowFrequency, 0);
    }
}

TEST_F(PreferencesTest, SaveAppliesNamesOrderDisplayRangeAndDateOption)
{
    TFormMain& w = openMain();
    addRecords(w, {{"Police", 50.0, "A"},
                   {"Police", 100.0, "B"},
                   {"Weather", 200.0, "C"},
                   {"Weather", 200.5, "D"},
                   {"Police", 460.0, "E"}});
    TFormSetup dialog(w);
    EXPECT_EQ(dialog.ColumnBox[2]->text(), QStringLiteral("Callsign"));
    EXPECT_EQ(dialog.EditBottom->text(), QStringLiteral("0"));
    EXPECT_EQ(dialog.EditTop->text(), QStringLiteral("9999"));

    dialog.EditOpt[2]->setText(QStringLiteral("Station")); // slot 3, Callsign
    dialog.EditOpt[5]->setText(QString());                 // slot 6 keeps "Special"
    // Swap "Callsign" (column 3) and "User" (column 4) by two drops.
    TFormSetup::DropOnto(*dialog.ColumnBox[2], *dialog.EditOpt[3]);
    TFormSetup::DropOnto(*dialog.ColumnBox[3], *dialog.EditOpt[2]);
    dialog.P[4]->setChecked(false); // "Display" under "Column 6": grid column 5 hidden
    dialog.EditBottom->setText(QStringLiteral("100"));
    dialog.EditTop->setText(QStringLiteral("200"));
    dialog.RG2->button(1)->click();
    ASSERT_TRUE(dialog.Btnsave1Click()) << services.messages.texts().join("; ").toStdString();

    // Whole MHz at both ends, inclusive: 200.5 MHz is beyond the range.
    EXPECT_EQ(w.PnlTotal->text(), QStringLiteral("Records = 2"));
    EXPECT_EQ(test::DialogTest::gridColumn(w, 1), (QStringList{"100.0000", "200.0000"}));
    EXPECT_EQ(headings(w), (QStringList{" Category", " Frequency(MHz)", " +-", " User", " Station",
                                        " Special", " Position", " Date/Time", " Notes"}));
    EXPECT_EQ(test::DialogTest::gridColumn(w, 4), (QStringList{"B", "C"}));
    EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("Wavelark 4.3 - ")));
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral("larkbase.dat   100 - 200 MHz")))
        << w.windowTitle().toStdString();
    EXPECT_EQ(w.settings().dateOption, 1);
    EXPECT_EQ(mainValue(QStringLiteral("Low Frequency")), QStringLiteral("100"));
    EXPECT_EQ(mainValue(QStringLiteral("Hi Frequency")), QStringLiteral("200"));
    EXPECT_EQ(mainValue(QStringLiteral("Date Option")), QStringLiteral("1"));
    EXPECT_EQ(fieldValue(QStringLiteral("Column Name 3")), QStringLiteral("Station"));
    EXPECT_EQ(fieldValue(QStringLiteral("Column Name 6")), QStringLiteral("Special"));
    EXPECT_EQ(fieldValue(QStringLiteral("Column Number 3")), QStringLiteral("4"));
    EXPECT_EQ(fieldValue(QStringLiteral("Column Number 4")), QStringLiteral("3"));
    EXPECT_EQ(fieldValue(QStringLiteral("Column Number 9")), QStringLiteral("9"));
    EXPECT_EQ(fieldValue(QStringLiteral("Disp0")), QStringLiteral("1"));
    EXPECT_EQ(fieldValue(QStringLiteral("Disp5")), QStringLiteral("0"));
    EXPECT_TRUE(services.messages.shown.empty());
}

TEST_F(PreferencesTest, DroppingAFieldCarriesItsTextAndSlot)
{
    TFormMain& w = openMain();
    TFormSetup dialog(w);
    FieldBox& source = *dialog.EditOpt[7]; // "Date/Time", slot 8
    FieldBox& target = *dialog.ColumnBox[0];
    std::unique_ptr<QMimeData> data(source.dragData());
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
    EXPECT_EQ(target.text(), QStringLiteral("Date/Time"));
    EXPECT_EQ(target.tag(), 8);
    EXPECT_EQ(source.tag(), 8);
    // The "Selected Names" row takes no drops.
    QDragEnterEvent refused(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog.EditOpt[2], &refused);
    EXPECT_FALSE(refused.isAccepted());

    // Only "Change Column Order" lets the "Selected Names" row be dragged.
    EXPECT_FALSE(dialog.EditOpt[2]->draggable());
    dialog.RG1->button(1)->click();
    for (const FieldBox* box : dialog.EditOpt)
        EXPECT_TRUE(box->draggable());
    EXPECT_TRUE(dialog.EditOpt[2]->toolTip().isEmpty());
    dialog.RG1->button(0)->click();
    EXPECT_FALSE(dialog.EditOpt[0]->draggable());
    EXPECT_EQ(dialog.EditOpt[2]->toolTip(), QStringLiteral("Enter Optional Field Name"));
}

TEST_F(PreferencesTest, SaveKeepsTheDatabaseOpenNow)
{
    TFormMain& w = openMain();
    // As Select Database does: the new folder lives in memory until shutdown.
    const QString other = install.dir.path() + QStringLiteral("/other/");
    QDir().mkpath(other);
    w.settings().dataBasePath = other;
    ASSERT_TRUE(w.MakeTable());
    ASSERT_TRUE(w.OpenTable());
    addRecords(w, {{"Police", 155.0, "OTHER"}});

    TFormSetup dialog(w);
    ASSERT_TRUE(dialog.Btnsave1Click());
    EXPECT_EQ(w.settings().dataBasePath, other);
    EXPECT_EQ(QDir(w.table().databaseName()), QDir(other));
    EXPECT_EQ(test::DialogTest::gridColumn(w, 3), QStringList{"OTHER"});
    addRecords(w, {{"Police", 156.0, "LATER"}});
    EXPECT_EQ(column(w, "Callsign"), (QStringList{"OTHER", "LATER"}));
}

TEST_F(PreferencesTest, UseDefaultsResetsTheLayoutButNotTheRange)
{
    {
        Registry reg(install.settingsFile());
        reg.openKey(app::SettingsKey, true);
        reg.writeInteger(QStringLiteral("Low Frequency"), 100);
        reg.openKey(app::SettingsKey + app::FieldDataKey, true);
        reg.writeString(QStringLiteral("Column Name 3"), QStringLiteral("Station"));
        reg.writeInteger(QStringLiteral("Column Number 3"), 4);
        reg.writeInteger(QStringLiteral("Column Number 4"), 3);
        reg.writeBool(QStringLiteral("Disp5"), false);
        reg.openKey(app::SettingsKey + app::ColumnDataKey, true);
        reg.writeInteger(QStringLiteral("Width 2"), 55);
    }
    TFormMain& w = openMain();
    TFormSetup dialog(w);
    EXPECT_FALSE(dialog.P[4]->isChecked());
    EXPECT_EQ(dialog.ColumnBox[2]->text(), QStringLiteral("User"));
    EXPECT_EQ(dialog.ColumnBox[3]->text(), QStringLiteral("Station"));
    ASSERT_TRUE(dialog.BtnDefClick());

    EXPECT_EQ(headings(w),
              (QStringList{" Category", " Frequency(MHz)", " +-", " Callsign", " User", " Location",
                           " Special", " Position", " Date/Time", " Notes"}));
    EXPECT_EQ(w.SortableGrid1->ColWidths(2), 20);
    for (int n = 0; n < ColumnCount; ++n) {
        EXPECT_EQ(w.settings().columnNumbers[size_t(n)], n);
        EXPECT_TRUE(w.settings().columnShown[size_t(n)]);
    }
    EXPECT_EQ(fieldValue(QStringLiteral("Column Name 3")), QStringLiteral("<none>"));
    EXPECT_EQ(w.settings().lowFrequency, 100);
    EXPECT_EQ(mainValue(QStringLiteral("Low Frequency")), QStringLiteral("100"));
}

} // namespace
} // namespace wl
