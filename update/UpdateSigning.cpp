#include "update/UpdateSigning.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <sodium.h>

namespace wl {

namespace {

const QByteArray SignatureKey = "#sig=";

// The maker's public key. The secret half stays with the maintainer, who signs each release
// with the signing tool in tools/.
constexpr char MakerPublicKey[] = "rtKFNmq3r8a0PQPfWyLBCF/3AppO6U15nrfPqDQbhMI=";

void initSodium()
{
    static const bool ready = sodium_init() >= 0;
    Q_UNUSED(ready);
}

} // namespace

UpdateKeyPair makeUpdateKeyPair()
{
    initSodium();
    UpdateKeyPair pair;
    pair.publicKey.resize(crypto_sign_PUBLICKEYBYTES);
    pair.secretKey.resize(crypto_sign_SECRETKEYBYTES);
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(pair.publicKey.data()),
                        reinterpret_cast<unsigned char*>(pair.secretKey.data()));
    return pair;
}

QByteArray builtInUpdateKey()
{
    return QByteArray::fromBase64(MakerPublicKey);
}

QByteArray signInfoFile(const QByteArray& text, const QByteArray& secretKey)
{
    initSodium();
    if (secretKey.size() != crypto_sign_SECRETKEYBYTES)
        return {};
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(text.constData()),
                         quint64(text.size()),
                         reinterpret_cast<const unsigned char*>(secretKey.constData()));
    return text + SignatureKey + signature.toBase64() + "\r\n";
}

QByteArray verifiedInfoText(const QByteArray& signedFile, const QByteArray& publicKey,
                            QString& reason)
{
    initSodium();
    const qsizetype at = signedFile.toLower().lastIndexOf(SignatureKey);
    if (at < 0) {
        reason = QStringLiteral("The update information carries no signature.");
        return {};
    }
    qsizetype end = at + SignatureKey.size();
    while (end < signedFile.size() && uchar(signedFile[end]) >= 32)
        ++end;
    const QByteArray signature = QByteArray::fromBase64(
        signedFile.mid(at + SignatureKey.size(), end - at - SignatureKey.size()),
        QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray text = signedFile.left(at);
    if (publicKey.size() != crypto_sign_PUBLICKEYBYTES || signature.size() != crypto_sign_BYTES ||
        crypto_sign_verify_detached(
            reinterpret_cast<const unsigned char*>(signature.constData()),
            reinterpret_cast<const unsigned char*>(text.constData()), quint64(text.size()),
            reinterpret_cast<const unsigned char*>(publicKey.constData())) != 0) {
        reason = QStringLiteral("The update information is not signed by the maker.");
        return {};
    }
    return text;
}

QByteArray describeRelease(const ReleaseDescription& release, QString& reason)
{
    QByteArray text;
    const auto line = [&text](const QString& key, const QString& value) {
        text += '#' + key.toUtf8() + '=' + value.toUtf8() + "\r\n";
    };
    line(QStringLiteral("version"), release.version);
    if (!release.date.isEmpty())
        line(QStringLiteral("date"), release.date);
    line(QStringLiteral("method"), QString::number(release.method));
    if (!release.message.isEmpty())
        line(QStringLiteral("message"), QLatin1Char('{') + release.message + QLatin1Char('}'));
    for (qsizetype i = 0; i < release.files.size(); ++i) {
        QFile file(release.files[i]);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file)) {
            reason = QStringLiteral("%1 cannot be read.").arg(release.files[i]);
            return {};
        }
        // "url" and then url2, url3...: the numbering readers count on.
        const QString key = i == 0 ? QStringLiteral("url") : QStringLiteral("url%1").arg(i + 1);
        line(key, release.baseUrl + QFileInfo(file).fileName());
        line(key + QStringLiteral(".sha256"), QString::fromLatin1(hash.result().toHex()));
    }
    return text;
}

} // namespace wl
