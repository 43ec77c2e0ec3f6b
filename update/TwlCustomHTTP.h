#pragma once

#include "update/TwlCustomThread.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

namespace wl {

// Credentials for servers that ask for them. They live only in memory: nothing stores them,
// and no message or event text carries them.
class TwlLoginComponent : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    QString HTTPUsername;
    QString HTTPPassword;
};

enum class TwlHTTPAccessType
{
    atPreconfig, // the system's proxy settings (the usual proxy environment)
    atDirect,
    atUseProxy
};

struct TwlHTTPProxy
{
    TwlHTTPAccessType AccessType = TwlHTTPAccessType::atPreconfig;
    QString ProxyServer;
    int ProxyPort = 8080;
    QString ProxyBypass = QStringLiteral("127.0.0.1;");
};

struct TwlHTTPRange
{
    qint64 StartRange = 0;
    qint64 EndRange = 0; // 0: to the end
};

// Milliseconds; 0 takes the defaults below, so that a silent server never holds the program.
struct TwlHTTPTimeouts
{
    unsigned ConnectTimeout = 0;
    unsigned ReceiveTimeout = 0; // the longest time without a byte moving
    unsigned SendTimeout = 0;
    static constexpr unsigned DefaultConnect = 15000;
    static constexpr unsigned DefaultInactivity = 30000;
};

// What the response headers said, for OnHeaderInfo.
struct TwlHeaderInfo
{
    QString RawHeaders;
    QString ContentType;
    QString ContentLanguage;
    QString ContentEncoding;
    QString Location;
    qint64 ContentLength = 0;
    QDateTime Date;
    QDateTime LastModified;
    QDateTime Expires;
};

// The figures given with each block of a transfer.
struct TwlTransferProgress
{
    double Rate = 0; // KB/s
    int Percent = 0;
    qint64 SecondsLeft = 0; // 0 when the length is not known
    qint64 ElapsedSeconds = 0;
    qint64 Bytes = 0;
    qint64 ContentLength = 0;
};

TwlTransferProgress transferProgress(qint64 bytes, qint64 contentLength, qint64 elapsedMs);

// Why a transfer failed, for messages.
enum class TwlFailure
{
    None,
    BadUrl,     // not an http or https address
    NoStatus,   // no answer at all: host unknown, refused, timed out before the headers
    Secure,     // no answer: the secure connection failed (the certificate was not accepted)
    HttpStatus, // an answer other than success
    Incomplete, // the body stopped short or stalled
    TooLarge,   // more than MaxBodySize
    LocalFile,  // the target file could not be written
    Stopped,    // a handler said stop
    Exception
};

// The text of a transfer status code, for OnStatusText.
QString statusText(int code);

// A URL as it may be shown: without user name and password.
QString displayUrl(const QString& url);

// Fetches one URL at a time over HTTP or HTTPS on a worker thread. Every event except
// OnStatusText and OnRedirect runs on the thread that owns the component, while the worker
// waits for it, so handlers may read the fields and change Continue and the credentials.
class TwlCustomHTTP : public TwlLoginComponent
{
    Q_OBJECT
public:
    explicit TwlCustomHTTP(QObject* parent = nullptr);
    ~TwlCustomHTTP() override;

    // Settings; change them only while no transfer runs.
    QString RequestURL;
    QString TargetFile; // empty keeps the body in memory
    bool HideTargetFile = false; // a Windows file attribute; nothing to set elsewhere
    QString AcceptList = QStringLiteral("text/html, */*");
    QString UserAgent = QStringLiteral("Wavelark-HTTP/1.0");
    QString Referrer;
    QString FormData; // not empty: POST
    QStringList ExtraHeaders;
    bool UseCache = true;
    TwlHTTPProxy Proxy;
    TwlHTTPRange Range;
    TwlHTTPTimeouts Timeouts;
    int TransferBufferSize = 4096;
    qint64 MaxBodySize = 0; // 0: no limit
    QString CaFile;         // certificate authorities to trust instead of the system's
    // The body of an answer other than success (an error page) is only ever shown or dropped:
    // more than this is not read.
    static constexpr qint64 MaxErrorBodySize = 64 * 1024;

    // State of the last transfer.
    int StatusCode = -1;
    QString ContentType;
    qint64 ContentLength = 0;
    qint64 BytesTransferred = 0;
    std::atomic<bool> Continue{true};
    QString Realm;
    TwlFailure Failure = TwlFailure::None;
    QString FailureText; // the reason in plain words, never with credentials

    bool Start();
    void Abort();
    bool Busy() const { return thread_->Busy(); }

    // Events.
    std::function<void(int code, const QString& text)> OnStatusText; // worker thread
    std::function<void(const QString& url)> OnRedirect;              // worker thread
    std::function<void(const TwlHeaderInfo&, std::atomic<bool>& cont)> OnHeaderInfo;
    std::function<void(const QString& contentType, const QByteArray* body,
                       const TwlTransferProgress&)>
        OnTransferProgress;
    std::function<void(const QString& realm, bool& tryAgain)> OnPasswordRequest;
    std::function<void(QString& user, QString& password, bool& tryAgain)>
        OnProxyAuthenticationRequest;
    std::function<void(const QString& contentType, const QByteArray* body, qint64 bytes)>
        OnTransferDone; // body is null for a file target
    std::function<void()> OnTransferFailed;
    std::function<void()> OnHostMissing;
    std::function<void(int status, const QByteArray* body)> OnHTTPErrorStatus;
    std::function<void(const QString& contentType, const QByteArray* body, qint64 bytes,
                       qint64 contentLength)>
        OnIncomplete;
    std::function<void()> OnStopped;
    std::function<void()> OnKilled;

private:
    struct Transfer;
    void runTransfer();
    // libcurl's callbacks on the worker; false stops the transfer.
    bool onHeaderLine(const QByteArray& line);
    bool onFinalHeaders(int code);
    bool onBody(const char* data, qint64 size);
    bool onTick(qint64 down, qint64 up);
    void dispatch();
    void release();
    QString failureWords(const Transfer& t) const;

    TwlCustomThread* thread_;
    std::unique_ptr<Transfer> transfer_;
    bool destroying_ = false;
};

} // namespace wl
