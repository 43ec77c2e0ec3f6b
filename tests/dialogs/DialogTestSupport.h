#pragma once

#include "app/AppTestSupport.h"
#include "app/TFormMain.h"
#include "app/services/ServiceDoubles.h"
#include "grid/TSortableGrid.h"
#include "store/Table.h"

#include <QFile>
#include <QTabBar>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace wl::test {

// One record of a fixture table.
struct Rec
{
    const char* category;
    double hz;
    const char* callsign;
    QString notes = {};
};

// Appends one fixture record to an open table; false when the table refused it.
inline bool appendRec(store::Table& t, const Rec& r)
{
    if (!t.append())
        return false;
    t.setFieldValue(QStringLiteral("Category"), QString::fromUtf8(r.category));
    t.setFieldValue(QStringLiteral("Hz"), r.hz);
    t.setFieldValue(QStringLiteral("Callsign"), QString::fromUtf8(r.callsign));
    if (!r.notes.isNull())
        t.setFieldValue(QStringLiteral("Notes"), r.notes);
    t.setFieldValue(QStringLiteral("RDate"), 38313.5);
    return bool(t.post());
}

// A main window on a temporary program folder, settings file and data folder, shown, with
// the message boxes and dialogs answered by doubles.
class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override { ensureApplication(); }

    TFormMain& openMain()
    {
        main_ = std::make_unique<TFormMain>(install.setup());
        main_->show();
        return *main_;
    }

    // Appends records through the main window's own table handle and refills the grid.
    void addRecords(TFormMain& w, std::initializer_list<Rec> records)
    {
        store::Table& t = w.table();
        for (const Rec& r : records)
            ASSERT_TRUE(appendRec(t, r)) << t.lastError().toStdString();
        w.ReadAllRecords();
    }

    // The value of one field of every record of the table, in frequency order, whatever the
    // range.
    static QStringList column(TFormMain& w, const char* field)
    {
        QStringList values;
        store::Table& t = w.table();
        t.cancelRange();
        t.setFiltered(false);
        for (t.first(); !t.eof(); t.next())
            values << t.fieldValue(QLatin1String(field)).toString();
        t.setRange(w.settings().lowFrequency, w.settings().hiFrequency);
        return values;
    }

    static QStringList tabs(const TFormMain& w)
    {
        QStringList result;
        for (int i = 0; i < w.Tab1->count(); ++i)
            result << w.Tab1->tabText(i);
        return result;
    }

    // The texts of one grid column, data rows only.
    static QStringList gridColumn(const TFormMain& w, int col)
    {
        QStringList cells;
        for (int row = 1; row < w.SortableGrid1->RowCount(); ++row)
            cells << w.SortableGrid1->Cells(col, row);
        return cells;
    }

    QString dataFile(const char* name) const { return install.programFolder() + name; }

    static QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    ServiceDoubles services;
    TempInstall install;

private:
    std::unique_ptr<TFormMain> main_;
};

} // namespace wl::test
