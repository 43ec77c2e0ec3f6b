// The maintainer's signing tool for program updates.
//
//   wavelark-sign keygen SECRET-KEY-FILE
//       makes a key pair, writes the secret key (readable by the owner only) and prints the
//       public key to build into the program.
//   wavelark-sign make --key SECRET-KEY-FILE --base-url URL --version V [--date MM/DD/YYYY]
//                      [--message TEXT] [--method 0|1|2] --out wl.inf FILE...
//       writes the signed information file for the release files, each listed under
//       URL + its name with its SHA-256 digest.

#include "update/UpdateSigning.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace {

int fail(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return 1;
}

int keygen(const QString& secretFile)
{
    const wl::UpdateKeyPair pair = wl::makeUpdateKeyPair();
    QSaveFile out(secretFile);
    if (!out.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Cannot write %1").arg(secretFile));
    out.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    out.write(pair.secretKey.toBase64() + '\n');
    if (!out.commit())
        return fail(QStringLiteral("Cannot write %1").arg(secretFile));
    std::printf("%s\n", pair.publicKey.toBase64().constData());
    return 0;
}

int make(QStringList args)
{
    wl::ReleaseDescription release;
    QString keyFile, outFile;
    while (!args.isEmpty() && args.first().startsWith(QStringLiteral("--"))) {
        if (args.size() < 2)
            return fail(args.first() + QStringLiteral(" needs a value"));
        const QString key = args.takeFirst();
        const QString value = args.takeFirst();
        if (key == QLatin1String("--key"))
            keyFile = value;
        else if (key == QLatin1String("--base-url"))
            release.baseUrl = value.endsWith(QLatin1Char('/')) ? value : value + '/';
        else if (key == QLatin1String("--version"))
            release.version = value;
        else if (key == QLatin1String("--date"))
            release.date = value;
        else if (key == QLatin1String("--message"))
            release.message = value;
        else if (key == QLatin1String("--method"))
            release.method = value.toInt();
        else if (key == QLatin1String("--out"))
            outFile = value;
        else
            return fail(QStringLiteral("Unknown option %1").arg(key));
    }
    release.files = args;
    if (keyFile.isEmpty() || outFile.isEmpty() || release.baseUrl.isEmpty() ||
        release.version.isEmpty() || release.files.isEmpty())
        return fail(QStringLiteral("make needs --key, --base-url, --version, --out and files"));
    if (!release.baseUrl.startsWith(QLatin1String("https://")) &&
        !release.baseUrl.startsWith(QLatin1String("http://")))
        return fail(QStringLiteral("The base URL must be an http or https address."));
    QFile key(keyFile);
    if (!key.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot read %1").arg(keyFile));
    const QByteArray secret = QByteArray::fromBase64(key.readAll().trimmed());
    QString reason;
    const QByteArray text = wl::describeRelease(release, reason);
    if (text.isEmpty())
        return fail(reason);
    const QByteArray signedText = wl::signInfoFile(text, secret);
    if (signedText.isEmpty())
        return fail(QStringLiteral("%1 holds no secret key").arg(keyFile));
    QSaveFile out(outFile);
    if (!out.open(QIODevice::WriteOnly) || out.write(signedText) != signedText.size() ||
        !out.commit())
        return fail(QStringLiteral("Cannot write %1").arg(outFile));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("keygen"))
        return keygen(args[1]);
    if (!args.isEmpty() && args[0] == QLatin1String("make"))
        return make(args.mid(1));
    return fail(QStringLiteral("usage: wavelark-sign keygen SECRET-KEY-FILE\n"
                               "       wavelark-sign make --key FILE --base-url URL --version V "
                               "[--date MM/DD/YYYY] [--message TEXT] [--method 0|1|2] "
                               "--out wl.inf FILE..."));
}
