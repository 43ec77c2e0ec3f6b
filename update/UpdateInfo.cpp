#include "update/UpdateInfo.h"

#include "update/replacer/ReplacerJob.h"

#include <QUrl>

namespace wl {

QString infoValue(const QString& text, const QString& key)
{
    const QString marker = QLatin1Char('#') + key + QLatin1Char('=');
    const qsizetype at = text.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    const qsizetype start = at + marker.size();
    qsizetype end = start;
    while (end < text.size() && text[end].unicode() >= 32)
        ++end;
    return text.mid(start, end - start);
}

QString infoMessage(const QString& text)
{
    const QString marker = QStringLiteral("#message={");
    const qsizetype at = text.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    const qsizetype start = at + marker.size();
    const qsizetype end = text.indexOf(QLatin1Char('}'), start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

std::vector<InfoFileEntry> infoFiles(const QString& text)
{
    std::vector<InfoFileEntry> files;
    const auto add = [&](const QString& key) {
        const QString url = infoValue(text, key);
        if (url.isEmpty())
            return false;
        files.push_back({key, url, infoValue(text, key + QStringLiteral(".sha256")).toLower()});
        return true;
    };
    add(QStringLiteral("url"));
    add(QStringLiteral("url0"));
    for (qsizetype n = qsizetype(files.size()) + 1; add(QStringLiteral("url%1").arg(n)); ++n) {
    }
    return files;
}

namespace {

// One dotted part of a version: its leading number and whatever follows it ("5-rc1" is 5 and
// "rc1"). A part without a leading number makes the whole version unreadable.
struct VersionPart
{
    QString number; // digits without leading zeros, "" for 0
    QString suffix; // from the first letter or digit after the number, "" for a release
};

bool splitVersion(const QString& text, QList<VersionPart>& parts)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    for (const QString& piece : trimmed.split(QLatin1Char('.'))) {
        qsizetype digits = 0;
        while (digits < piece.size() && piece[digits].isDigit() && piece[digits].unicode() < 128)
            ++digits;
        if (digits == 0)
            return false;
        VersionPart part;
        qsizetype lead = 0;
        while (lead < digits - 1 && piece[lead] == QLatin1Char('0'))
            ++lead;
        part.number = piece.mid(lead, digits - lead);
        if (part.number == QLatin1String("0"))
            part.number.clear();
        qsizetype from = digits;
        while (from < piece.size() && !piece[from].isLetterOrNumber())
            ++from; // "-rc1", "_rc1" and " rc1" are the same pre-release
        part.suffix = piece.mid(from).toLower();
        if (from > digits && part.suffix.isEmpty())
            return false; // "5-" says nothing readable
        parts << part;
    }
    return true;
}

// Numbers of any length compare by value without being converted.
int compareNumbers(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return (c > 0) - (c < 0);
}

// Suffixes compare run by run: digits by value, letters alphabetically, so rc2 < rc10 and
// alpha < beta < rc.
int compareSuffixes(const QString& a, const QString& b)
{
    const auto runs = [](const QString& s) {
        QStringList result;
        for (qsizetype i = 0; i < s.size();) {
            qsizetype j = i;
            const bool digit = s[i].isDigit();
            while (j < s.size() && s[j].isDigit() == digit)
                ++j;
            QString run = s.mid(i, j - i);
            if (digit) {
                while (run.size() > 1 && run.startsWith(QLatin1Char('0')))
                    run.remove(0, 1);
            }
            result << run;
            i = j;
        }
        return result;
    };
    const QStringList ra = runs(a), rb = runs(b);
    for (qsizetype i = 0; i < std::min(ra.size(), rb.size()); ++i) {
        const bool da = ra[i][0].isDigit(), db = rb[i][0].isDigit();
        const int c = da && db ? compareNumbers(ra[i], rb[i]) : ra[i].compare(rb[i]);
        if (c != 0)
            return (c > 0) - (c < 0);
    }
    return ra.size() == rb.size() ? 0 : (ra.size() < rb.size() ? -1 : 1);
}

} // namespace

int compareVersions(const QString& a, const QString& b)
{
    QList<VersionPart> pa, pb;
    const bool okA = splitVersion(a, pa), okB = splitVersion(b, pb);
    if (!okA || !okB)
        return int(okA) - int(okB);
    for (qsizetype i = 0; i < std::max(pa.size(), pb.size()); ++i) {
        const VersionPart x = i < pa.size() ? pa[i] : VersionPart();
        const VersionPart y = i < pb.size() ? pb[i] : VersionPart();
        if (const int c = compareNumbers(x.number, y.number))
            return c;
        // A pre-release comes before its release: 4.5-rc1 < 4.5, 4.9b < 4.9.
        if (x.suffix.isEmpty() != y.suffix.isEmpty())
            return x.suffix.isEmpty() ? 1 : -1;
        if (const int c = compareSuffixes(x.suffix, y.suffix))
            return c;
    }
    return 0;
}

bool isNewerVersion(const QString& offered, const QString& running)
{
    QList<VersionPart> parts;
    return splitVersion(offered, parts) && splitVersion(running, parts) &&
           compareVersions(offered, running) > 0;
}

QDate versionDate(const QString& text, const QDate& today)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 3)
        return today;
    bool okM = false, okD = false, okY = false;
    const QDate date(parts[2].trimmed().toInt(&okY), parts[0].trimmed().toInt(&okM),
                     parts[1].trimmed().toInt(&okD));
    return okM && okD && okY && date.isValid() ? date : today;
}

int infoMethod(const QString& text)
{
    const QString value = infoValue(text, QStringLiteral("method"));
    if (value.startsWith(QLatin1Char('1')))
        return 1;
    if (value.startsWith(QLatin1Char('2')))
        return 2;
    return 0;
}

QString safeDownloadName(const QString& url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    // The last segment as the server sees it, then decoded: an encoded "/" stays inside the
    // name and makes it unacceptable instead of moving the file elsewhere.
    const QString encoded = parsed.path(QUrl::FullyEncoded);
    const QString name = QUrl::fromPercentEncoding(
        encoded.mid(encoded.lastIndexOf(QLatin1Char('/')) + 1).toLatin1());
    if (!parsed.isValid() || !replacer::isSafeFileName(name))
        return {};
    // The user's data, settings, map history and globe files are never written by an update,
    // and neither are the files the store and the backup keep beside them
    // ("larkbase.dat-journal", "larkbase.idx.repair", "Land.lay.previous").
    static const QStringList keptNames = {"larkbase.dat", "larkbase.idx",     "larkbase.blb",
                                          "larkbase.cat", "globe.prf",        "view.dt",
                                          "cities.dat",   "customcities.dat", "settings.ini",
                                          "wavelark.ini", "wavelark.conf"};
    static const QStringList keptExtensions = {"dat", "idx",  "blb",  "cat",  "prf", "dt",
                                               "ini", "conf", "utmp", "uold", "lay"};
    for (const QString& kept : keptNames)
        if (name.startsWith(kept, Qt::CaseInsensitive))
            return {};
    const QStringList pieces = name.split(QLatin1Char('.'));
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        for (const QString& extension : keptExtensions) {
            const QString& piece = pieces[i];
            if (piece.startsWith(extension, Qt::CaseInsensitive) &&
                (piece.size() == extension.size() || !piece[extension.size()].isLetterOrNumber()))
                return {};
        }
    }
    return name;
}

} // namespace wl
