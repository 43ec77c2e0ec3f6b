// The workbook replaces its target as every other format does: in one step, keeping the
// permissions the user gave the file.
#include "ExportTestSupport.h"

#include <QFileInfo>

namespace wl {
namespace {

TEST(WorkbookFileTest, ReplacedFileKeepsItsPermissions)
{
    test::ensureGuiApplication();
    LocaleInfo::setCurrent(LocaleInfo());
    test::RecordingHost* host = nullptr;
    test::TableExport exporter(host);
    exporter.captions = {QStringLiteral("Frequency")};
    exporter.rows = {{QStringLiteral("146.52")}};
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("log.xlsx"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an earlier workbook");
    }
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    ASSERT_TRUE(QFile::setPermissions(file, ownerOnly));
    exporter.ExportType = TExportType::xExcel_Workbook;
    exporter.ViewOnly = false;
    exporter.ExportFile = file;
    ASSERT_TRUE(exporter.RunExport()) << host->texts().join(u'\n').toStdString();
    EXPECT_TRUE(test::bytesOf(file).startsWith("PK"));
    EXPECT_EQ(QFile::permissions(file) & 0x7077, ownerOnly);
    // Nothing is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("log.xlsx")});
}

} // namespace
} // namespace wl
