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
    for (const Case& c : {Case{"4.42", "4.5", 1}, Case{"4.42", "4.42.0", 0},
                          Case{"4.42b", "4.42", 1}, Case{"4.43", "4.42", 1}, Case{"5.0", "4.42", 1},
                          Case{"4.40", "4.44", -1}, Case{"", "4.42", -1}}) {
        const int r = compareVersions(QString::fromLatin1(c.a), QString::fromLatin1(c.b));
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
    }
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
          Case{"http://h/Exes/a%20b.exe", ""}})
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
