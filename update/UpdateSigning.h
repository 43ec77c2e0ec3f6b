#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace wl {

// Ed25519 keys and signatures of the update information file (libsodium).
struct UpdateKeyPair
{
    QByteArray publicKey; // 32 bytes
    QByteArray secretKey; // 64 bytes
};

UpdateKeyPair makeUpdateKeyPair();

// The key the program trusts: the maker's public key, built in.
QByteArray builtInUpdateKey();

// Appends "#sig=" with the signature of every byte of text before it, and a line end.
QByteArray signInfoFile(const QByteArray& text, const QByteArray& secretKey);

// The signed part of a signed information file (what precedes its last "#sig="), or empty
// with a reason when the signature is missing or does not verify with publicKey.
QByteArray verifiedInfoText(const QByteArray& signedFile, const QByteArray& publicKey,
                            QString& reason);

// What the maker's signing tool writes for one release.
struct ReleaseDescription
{
    QString baseUrl; // the folder on the server, ending with "/"
    QString version;
    QString date; // month/day/year, optional
    QString message;
    int method = 0;
    QStringList files; // local paths; each is listed by its file name
};

// The unsigned text of the information file, one "#key=value" per line (CR LF), the files
// under url, url2, url3... with their digests. Empty with a reason when a file is unreadable.
QByteArray describeRelease(const ReleaseDescription& release, QString& reason);

} // namespace wl
