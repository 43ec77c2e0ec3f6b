// Reading the information file, comparing versions, accepting file names and checking the
// signature.

#include "update/UpdateInfo.h"
#include "update/UpdateSigning.h"
#include "update/UpdaterMessages.h"

#include <gtest/gtest.h>

using namespace wl;

namespace {

TEST(UpdateInfoTest, VersionNumbersCompareByIntegerParts)
{
    struct Case
    {
        const char *a, *b;
        int sign;
    };
    for (const Case& c :
         {Case{"4.42", "4.5", 1}, Case{"4.42", "4.42.0", 0}, Case{"4.43", "4.42", 1},
          Case{"5.0", "4.42", 1}, Case{"4.40", "4.44", -1}, Case{"", "4.42", -1},
          // A suffix marks a pre-release: older than its release, newer than the one before.
          Case{"4.9b", "4.42", -1}, Case{"4.5-rc1", "4.42", -1}, Case{"4.42b", "4.42", -1},
          Case{"4.42-rc1", "4.42", -1}, Case{"4.42.0-rc1", "4.42", -1}, Case{"4.43-rc1", "4.42", 1},
          Case{"4.42-rc2", "4.42-rc10", -1}, Case{"4.42-RC1", "4.42rc1", 0},
          Case{"4.42a", "4.42b", -1}, Case{"4.42.1", "4.42.0.9", 1}, Case{"4.42.0.0.1", "4.42", 1},
          Case{"04.042", "4.42", 0}, Case{"99999999999999999999.1", "4.42", 1},
          // Unreadable versions are older than any readable one.
          Case{"v5.0", "4.42", -1}, Case{"5..0", "4.42", -1}, Case{"4.42-", "4.42", -1}}) {
        const int r = compareVersions(QString::fromLatin1(c.a), QString::fromLatin1(c.b));
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        const int back = compareVersions(QString::fromLatin1(c.b), QString::fromLatin1(c.a));
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
    }
    // Only a readable, greater version is ever offered.
    EXPECT_TRUE(isNewerVersion(QStringLiteral("4.43"), QStringLiteral("4.42")));
    for (const char* offered : {"4.42", "4.9b", "4.5-rc1", "4.42-rc1", "v9", "", "9.x"})
        EXPECT_FALSE(isNewerVersion(QString::fromLatin1(offered), QStringLiteral("4.42")))
            << offered;
    EXPECT_FALSE(isNewerVersion(QStringLiteral("5.0"), QStringLiteral("unknown")));
}

TEST(UpdateInfoTest, DatesAreMonthDayYearAndUnreadableMeansToday)
{
    const QDate today(2026, 12, 10);
    EXPECT_EQ(versionDate(QStringLiteral("10/05/2005"), today), QDate(2005, 10, 5));
    EXPECT_EQ(versionDate(QStringLiteral("someday"), today), today);
    EXPECT_EQ(versionDate(QStringLiteral("13/40/2005"), today), today);
}

TEST(UpdateInfoTest, KeysAndTheirNumbering)
{
    const QString text = QStringLiteral("#VERSION=4.45\r\n#url=http://h/a.exe\r\n"
                                        "#url1=http://h/b.hlp\r\n#message={two\r\nlines}\r\n"
                                        "#method=1x\r\n");
    EXPECT_EQ(infoValue(text, QStringLiteral("version")), "4.45");
    EXPECT_EQ(infoMessage(text), "two\r\nlines");
    EXPECT_EQ(infoMethod(text), 1);
    const auto one = infoFiles(text); // url1 is never tried: after "url" comes url2
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].url, "http://h/a.exe");

    const auto three = infoFiles(QStringLiteral("#url=http://h/a\n#url0=http://h/b\n"
                                                "#url2=http://h/skipped\n#url3=http://h/c\n"
                                                "#url3.sha256=ABCD\n"));
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[2].url, "http://h/c");
    EXPECT_EQ(three[2].sha256, "abcd");
}

TEST(UpdateInfoTest, OnlyPlainNamesOfProgramFilesAreAccepted)
{
    struct Case
    {
        const char* url;
        const char* name;
    };
    for (const Case& c :
         {Case{"http://h/Exes/prog.exe", "prog.exe"},
          Case{"https://h/Exes/wavelark?x=1", "wavelark"}, Case{"http://h/Exes/larkbase.dat", ""},
          Case{"http://h/Exes/Wavelark.ini", ""}, Case{"http://h/Exes/globe.prf", ""},
          Case{"http://h/Exes/a.uTMP", ""}, Case{"http://h/Exes/..%2F..%2Fetc%2Fpasswd", ""},
          Case{"http://h/Exes/.profile", ""}, Case{"http://h/Exes/", ""},
          Case{"http://h/Exes/a%20b.exe", ""},
          // The store's and the backup's side files of the data, settings and globe sets.
          Case{"http://h/Exes/larkbase.dat-journal", ""},
          Case{"http://h/Exes/larkbase.dat-wal", ""}, Case{"http://h/Exes/LARKBASE.IDX-shm", ""},
          Case{"http://h/Exes/larkbase.blb.repair", ""},
          Case{"http://h/Exes/larkbase.cat.previous", ""},
          Case{"http://h/Exes/Cities.dat.copying", ""}, Case{"http://h/Exes/Land.lay.part", ""},
          Case{"http://h/Exes/Wavelark.ini.lock", ""}, Case{"http://h/Exes/view.dt_1", ""},
          Case{"http://h/Exes/wavelark.uOLD", ""},
          // Names that only look alike stay acceptable.
          Case{"http://h/Exes/larkbase.hlp", "larkbase.hlp"},
          Case{"http://h/Exes/update.data", "update.data"}})
        EXPECT_EQ(safeDownloadName(QString::fromLatin1(c.url)), QString::fromLatin1(c.name))
            << c.url;
}

TEST(UpdateInfoTest, SignatureCoversEverythingBeforeIt)
{
    const UpdateKeyPair maker = makeUpdateKeyPair();
    const UpdateKeyPair other = makeUpdateKeyPair();
    const QByteArray text = "#version=4.45\r\n#url=https://h/wavelark\r\n";
    const QByteArray signedFile = signInfoFile(text, maker.secretKey);
    QString reason;
    EXPECT_EQ(verifiedInfoText(signedFile, maker.publicKey, reason), text);
    // Lines added after the signature are not part of what is read.
    EXPECT_EQ(verifiedInfoText(signedFile + "#url2=https://evil/x\r\n", maker.publicKey, reason),
              text);

    QByteArray tampered = signedFile;
    tampered.replace("4.45", "9.99");
    for (const QByteArray& bad : {tampered, text, signInfoFile(text, other.secretKey)}) {
        reason.clear();
        EXPECT_TRUE(verifiedInfoText(bad, maker.publicKey, reason).isEmpty());
        EXPECT_FALSE(reason.isEmpty());
    }
    EXPECT_EQ(builtInUpdateKey().size(), 32);
}

TEST(UpdaterMessagesTest, LanguageBlocksFollowTheSystem)
{
    const UpdaterMessages brazil(TwlUpdaterLanguage::wlAuto,
                                 QLocale(QLocale::Portuguese, QLocale::Brazil));
    EXPECT_EQ(brazil.language(), TwlUpdaterLanguage::wlPortugueseBrazilian);
    EXPECT_EQ(brazil.base(), 41300);
    const UpdaterMessages japan(TwlUpdaterLanguage::wlAuto, QLocale(QLocale::Japanese));
    EXPECT_EQ(japan.language(), TwlUpdaterLanguage::wlEnglish);
    EXPECT_EQ(japan.base(), 41000);
    EXPECT_EQ(UpdaterMessages(TwlUpdaterLanguage::wlGerman).base(), 41100);
    EXPECT_EQ(japan.format(UpdaterMessages::NewerVersion, {"Wavelark", "\nNew maps\n"}),
              "A newer version of Wavelark was released.\n\nNew maps\n\nDo you want to update "
              "your version with the latest one?");
    EXPECT_EQ(japan.timeLeft(3725), "Estimated time left: 1:02:05");
}

} // namespace
