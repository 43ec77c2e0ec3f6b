#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

namespace wl {

// The update information file "wl.inf": values found by "#key=" anywhere in the text. Each
// listed file carries the SHA-256 digest of its bytes under the key of its URL followed by
// ".sha256" ("#url2.sha256=..."), and the file ends with "#sig=" and an Ed25519 signature over
// every byte before it. Readers that know neither key simply ignore them.

inline constexpr qsizetype MaxInfoFileSize = 64 * 1024;

// The value of "#key=" (key without regard to case) up to the first control character.
QString infoValue(const QString& text, const QString& key);

// The braced value of "#message={...}", line breaks kept; empty when missing.
QString infoMessage(const QString& text);

struct InfoFileEntry
{
    QString key; // "url", "url0", "url2", ...
    QString url;
    QString sha256;
};

// The listed files: "url", then "url0", then "url" + n counting on from the number found so far
// until the first missing one.
std::vector<InfoFileEntry> infoFiles(const QString& text);

// Dotted version numbers compared part by part by value; any number of parts, missing ones are
// 0. Text after a part's number marks a pre-release, older than the plain number (4.5-rc1 <
// 4.5, 4.9b < 4.9); two such texts compare digit runs by value (rc2 < rc10). A version that
// does not start each part with a digit is unreadable and older than any readable one.
// <0, 0 or >0.
int compareVersions(const QString& a, const QString& b);

// True only when both versions are readable and the offered one is greater: an older or equal
// release, however it is spelled, is never offered.
bool isNewerVersion(const QString& offered, const QString& running);

// month "/" day "/" year; an unreadable text counts as today.
QDate versionDate(const QString& text, const QDate& today);

// The method of the upgrade: 0 replace the program's files, 1 run a setup, 2 open the address.
int infoMethod(const QString& text);

// The last segment of the URL's path when it is a safe name for a file beside the program, or
// empty: only letters, digits, ".", "_" and "-"; never a download's own suffix and never a
// name of the data, settings or globe files that may live there, nor of their side files
// (journals, repairs, backups: the same name with anything after it).
QString safeDownloadName(const QString& url);

} // namespace wl
