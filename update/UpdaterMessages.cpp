#include "update/UpdaterMessages.h"

#include <array>

namespace wl {

namespace {

const std::array<const char*, 31> English = {
    "Application update wizard",
    "Downloading files...",
    "Upgrade completed!",
    "Current file",
    "All files",
    "Downloading file from",
    "File size: %.1f Kb",
    "Transfer rate: %.1f Kb/s",
    "Estimated time left: %d:%.2d:%.2d",
    "Downloading %d of %d",
    "The update of %s has been successfully completed.\r\rPress the OK button to restart "
    "program.",
    "Enter password",
    "User Name",
    "Password",
    "&Yes",
    "&No",
    "&OK",
    "&Cancel",
    "&Next >",
    "&Later",
    "Warning",
    "Error",
    "Preparing. . .",
    "A newer version of %s was released.\n%s\nDo you want to update your version with the "
    "latest one?",
    "Newer version not found. You actually are\rusing most recent version of this program.",
    "File which contains upgrade information was not found on developer's site.",
    "Host %s unreachable.\r\rPlease check your Internet connection and\rtry to upgrade this "
    "software again later.",
    "The update is not completed.\rWould you like to abort upgrading?",
    "File %s not found or inaccessible.\r\rTry to skip this file and continue upgrade?",
    "Access to remote file \"%s\" is password protected.\n\nPlease enter your username and "
    "password (received after registration) to continue software upgrade.",
    "Connection with remote server lost.\r\rPlease restore connection and try to\rupgrade this "
    "software again later.",
};

struct LanguageCode
{
    QLocale::Language language;
    TwlUpdaterLanguage updater;
};

// The primary languages in block order; Portuguese and Chinese are told apart below.
const LanguageCode Languages[] = {
    {QLocale::English, TwlUpdaterLanguage::wlEnglish},
    {QLocale::Russian, TwlUpdaterLanguage::wlRussian},
    {QLocale::German, TwlUpdaterLanguage::wlGerman},
    {QLocale::French, TwlUpdaterLanguage::wlFrench},
    {QLocale::Spanish, TwlUpdaterLanguage::wlSpanish},
    {QLocale::Italian, TwlUpdaterLanguage::wlItalian},
    {QLocale::Dutch, TwlUpdaterLanguage::wlDutch},
    {QLocale::Danish, TwlUpdaterLanguage::wlDanish},
    {QLocale::Swedish, TwlUpdaterLanguage::wlSwedish},
    {QLocale::Finnish, TwlUpdaterLanguage::wlFinnish},
    {QLocale::Estonian, TwlUpdaterLanguage::wlEstonian},
    {QLocale::Ukrainian, TwlUpdaterLanguage::wlUkrainian},
    {QLocale::Czech, TwlUpdaterLanguage::wlCzech},
    {QLocale::Hungarian, TwlUpdaterLanguage::wlHungarian},
    {QLocale::Romanian, TwlUpdaterLanguage::wlRomanian},
    {QLocale::Catalan, TwlUpdaterLanguage::wlCatalan},
    {QLocale::Basque, TwlUpdaterLanguage::wlBasque},
    {QLocale::Afrikaans, TwlUpdaterLanguage::wlAfrikaans},
    {QLocale::Indonesian, TwlUpdaterLanguage::wlIndonesian},
    {QLocale::Malay, TwlUpdaterLanguage::wlMalay},
};

} // namespace

TwlUpdaterLanguage languageFor(const QLocale& locale)
{
    if (locale.language() == QLocale::Portuguese)
        return locale.territory() == QLocale::Brazil ? TwlUpdaterLanguage::wlPortugueseBrazilian
                                                     : TwlUpdaterLanguage::wlPortuguese;
    if (locale.language() == QLocale::Chinese)
        return locale.script() == QLocale::SimplifiedHanScript ||
                       (locale.script() == QLocale::AnyScript &&
                        locale.territory() == QLocale::China)
                   ? TwlUpdaterLanguage::wlChineseSimplified
                   : TwlUpdaterLanguage::wlChineseTraditional;
    for (const LanguageCode& code : Languages)
        if (code.language == locale.language())
            return code.updater;
    return TwlUpdaterLanguage::wlEnglish;
}

UpdaterMessages::UpdaterMessages(TwlUpdaterLanguage language, const QLocale& system)
{
    setLanguage(language, system);
}

void UpdaterMessages::setLanguage(TwlUpdaterLanguage language, const QLocale& system)
{
    language_ = language == TwlUpdaterLanguage::wlAuto ? languageFor(system) : language;
    base_ = 41000 + 50 * (int(language_) - 1);
}

QString UpdaterMessages::text(int offset) const
{
    if (offset < 0 || offset >= int(English.size()))
        return {};
    return QString::fromLatin1(English[size_t(offset)]);
}

QString UpdaterMessages::format(int offset, const QStringList& args) const
{
    QString result = text(offset);
    for (const QString& arg : args) {
        const qsizetype at = result.indexOf(QStringLiteral("%s"));
        if (at < 0)
            break;
        result.replace(at, 2, arg);
    }
    return result;
}

QString UpdaterMessages::fileSize(double kb) const
{
    return QString::asprintf(English[FileSize], kb);
}

QString UpdaterMessages::transferRate(double kbPerSecond) const
{
    return QString::asprintf(English[TransferRate], kbPerSecond);
}

QString UpdaterMessages::timeLeft(qint64 seconds) const
{
    return QString::asprintf(English[TimeLeft], int(seconds / 3600), int((seconds / 60) % 60),
                             int(seconds % 60));
}

QString UpdaterMessages::downloading(int number, int count) const
{
    return QString::asprintf(English[DownloadingNofM], number, count);
}

} // namespace wl
