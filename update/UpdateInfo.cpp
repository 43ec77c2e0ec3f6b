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

int compareVersions(const QString& a, const QString& b)
{
    const auto parts = [](QString text) {
        text += QLatin1Char('.');
        QStringList result;
        for (int i = 0; i < 4; ++i) {
            const qsizetype dot = text.indexOf(QLatin1Char('.'));
            if (dot < 0) {
                result << QStringLiteral("0");
                continue;
            }
            result << text.left(dot);
            text = text.mid(dot + 1);
        }
        return result;
    };
    const QStringList pa = parts(a);
    const QStringList pb = parts(b);
    for (int i = 0; i < 4; ++i) {
        bool okA = false, okB = false;
        const long long na = pa[i].toLongLong(&okA);
        const long long nb = pb[i].toLongLong(&okB);
        if (!okA || !okB || na < 0 || nb < 0) {
            const QByteArray ba = a.toLatin1(), bb = b.toLatin1();
            const int c = qstrcmp(ba, bb);
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        if (na != nb)
            return na < nb ? -1 : 1;
    }
    return 0;
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
    // The user's data, settings, map history and globe files are never written by an update.
    static const QStringList keptSuffixes = {".dat", ".idx", ".blb",  ".cat",  ".prf",
                                             ".dt",  ".ini", ".conf", ".utmp", ".lay"};
    for (const QString& suffix : keptSuffixes)
        if (name.endsWith(suffix, Qt::CaseInsensitive))
            return {};
    return name;
}

} // namespace wl
