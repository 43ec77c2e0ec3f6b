#include "exchange/export/ExportTestSupport.h"

#include "exchange/import/ImportText.h"

#include <string_view>

namespace wl {
namespace {

// What the program exports as CSV comes back cell for cell, in a dot-decimal and in a
// decimal-comma locale (where the file is split by semicolons).
TEST(ImportTextTest, OwnCsvExportComesBackExactly)
{
    test::ensureGuiApplication();
    const std::vector<QStringList> grid = {
        {"146.5200", "+", "W1AW \"Hiram\"", "a,b;c", "M\u00fcnchen", "=1+2", "5/3/2026 10:15 PM",
         "line1\r\nline2\ttab"},
        {"0.0001", "", "007", "-12.5", "\u0141\u00f3d\u017a \u20ac", "'x", "", QString(2000, u'n')},
        {"-7,5", "", "<b>&", "@home", "'=a", "+1", "", ""},
    };
    for (const char* name : {"en_US", "de_DE"}) {
        LocaleInfo::setCurrent(LocaleInfo::fromName(QString::fromLatin1(name)));
        test::RecordingHost* host = nullptr;
        test::TableExport exporter(host);
        exporter.captions = {"Frequency(MHz)", "  +-  ",  "Callsign",  "User",
                             "Location",       "Special", "Date/Time", "Notes"};
        exporter.rows = grid;
        QTemporaryDir dir;
        exporter.ExportType = TExportType::xText_Comma_Delimited;
        exporter.ViewOnly = false;
        exporter.ExportFile = dir.filePath("round.csv");
        ASSERT_TRUE(exporter.RunExport());
        const ImportRead read = ImportText::read(test::bytesOf(dir.filePath("round.csv")));
        EXPECT_EQ(read.separator, QChar(std::string_view(name) == "de_DE" ? u';' : u','));
        ASSERT_EQ(read.rows.size(), grid.size() + 1) << name;
        for (std::size_t r = 0; r < grid.size(); ++r) {
            QStringList cells = read.rows[r + 1];
            EXPECT_EQ(cells.takeFirst(), QString::number(r + 1));
            EXPECT_EQ(cells, grid[r]) << name << " row " << r;
        }
    }
    LocaleInfo::setCurrent(LocaleInfo());
}

} // namespace
} // namespace wl
