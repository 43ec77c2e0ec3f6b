#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace wl {

// The languages of the upgrade's texts, in the order of their message blocks.
enum class TwlUpdaterLanguage
{
    wlAuto,
    wlEnglish,
    wlRussian,
    wlGerman,
    wlFrench,
    wlSpanish,
    wlPortuguese,
    wlPortugueseBrazilian,
    wlItalian,
    wlDutch,
    wlDanish,
    wlSwedish,
    wlFinnish,
    wlEstonian,
    wlUkrainian,
    wlCzech,
    wlHungarian,
    wlRomanian,
    wlCatalan,
    wlBasque,
    wlAfrikaans,
    wlChineseTraditional,
    wlChineseSimplified,
    wlIndonesian,
    wlMalay
};

// The language whose texts a system in this locale gets; unlisted languages get English.
TwlUpdaterLanguage languageFor(const QLocale& locale);

// The upgrade's texts: blocks of 50 identifiers from 41000, one block per language. Every
// block holds the English texts until translations are added.
class UpdaterMessages
{
public:
    enum Offset
    {
        WizardCaption = 0,
        DownloadingFiles = 1,
        UpgradeCompleted = 2,
        CurrentFile = 3,
        AllFiles = 4,
        DownloadingFrom = 5,
        FileSize = 6,
        TransferRate = 7,
        TimeLeft = 8,
        DownloadingNofM = 9,
        UpdateCompletedRestart = 10,
        EnterPassword = 11,
        UserName = 12,
        Password = 13,
        Yes = 14,
        No = 15,
        Ok = 16,
        Cancel = 17,
        Next = 18,
        Later = 19,
        Warning = 20,
        Error = 21,
        Preparing = 22,
        NewerVersion = 23,
        NoNewerVersion = 24,
        NoInfoFile = 25,
        HostUnreachable = 26,
        AbortQuestion = 27,
        FileNotFound = 28,
        PasswordProtected = 29,
        ConnectionLost = 30
    };

    static inline const QString UpdaterName = QStringLiteral("Updater"); // identifier 40999

    explicit UpdaterMessages(TwlUpdaterLanguage language = TwlUpdaterLanguage::wlAuto,
                             const QLocale& system = QLocale::system());
    void setLanguage(TwlUpdaterLanguage language, const QLocale& system = QLocale::system());
    TwlUpdaterLanguage language() const { return language_; }
    int base() const { return base_; }

    QString text(int offset) const;
    // The text with each "%s" replaced by the next argument.
    QString format(int offset, const QStringList& args) const;
    QString fileSize(double kb) const;
    QString transferRate(double kbPerSecond) const;
    QString timeLeft(qint64 seconds) const;
    QString downloading(int number, int count) const;

private:
    TwlUpdaterLanguage language_ = TwlUpdaterLanguage::wlEnglish;
    int base_ = 41000;
};

} // namespace wl
