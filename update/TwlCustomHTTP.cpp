#include "update/TwlCustomHTTP.h"

#include "update/HttpDate.h"

#include <QElapsedTimer>
#include <QFile>
#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace wl {

namespace {

constexpr int MaxAuthenticationRounds = 5;
constexpr long MaxRedirects = 8;

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter
{
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct SlistDeleter
{
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// The value of a header in a block of raw header lines, the last one when it repeats.
QString headerValue(const QByteArray& raw, const QByteArray& name)
{
    QString value;
    for (const QByteArray& line : raw.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            value = QString::fromLatin1(line.mid(colon + 1).trimmed());
    }
    return value;
}

// "Basic realm="Updates"" gives Updates: from after the first =" up to the last character.
QString realmOf(const QString& authenticate)
{
    const qsizetype at = authenticate.indexOf(QStringLiteral("=\""));
    if (at < 0)
        return {};
    const QString rest = authenticate.mid(at + 2);
    return rest.left(rest.size() - 1);
}

} // namespace

TwlTransferProgress transferProgress(qint64 bytes, qint64 contentLength, qint64 elapsedMs)
{
    TwlTransferProgress p;
    p.Bytes = bytes;
    p.ContentLength = contentLength;
    p.ElapsedSeconds = elapsedMs / 1000;
    if (contentLength > 0)
        p.Percent = int(std::min<qint64>(100, std::llround(bytes * 100.0 / contentLength)));
    // Without a length, or before the first byte, nothing can be foretold.
    if (contentLength > 0 && bytes > 0 && bytes < contentLength)
        p.SecondsLeft = std::max<qint64>(
            0, std::llround(double(contentLength) / bytes * p.ElapsedSeconds) - p.ElapsedSeconds);
    p.Rate = p.ElapsedSeconds > 0 ? bytes / 1024.0 / p.ElapsedSeconds : bytes / 1024.0;
    return p;
}

QString statusText(int code)
{
    switch (code) {
    case 10:
        return QStringLiteral("Resolving name");
    case 11:
        return QStringLiteral("Name resolved");
    case 20:
        return QStringLiteral("Connecting to server");
    case 21:
        return QStringLiteral("Connected");
    case 30:
        return QStringLiteral("Sending Request");
    case 31:
        return QStringLiteral("Request sent");
    case 40:
        return QStringLiteral("Receiving response");
    case 41:
        return QStringLiteral("Response received");
    case 42:
        return QStringLiteral("CTL Response received");
    case 43:
        return QStringLiteral("Prefetch");
    case 50:
        return QStringLiteral("Closing connection");
    case 51:
        return QStringLiteral("Connection closed");
    case 60:
        return QStringLiteral("Handle created");
    case 70:
        return QStringLiteral("Handle closing");
    case 100:
        return QStringLiteral("Request complete");
    case 110:
        return QStringLiteral("Redirect");
    case 120:
        return QStringLiteral("Intermediate response");
    case 200:
        return QStringLiteral("State change");
    default:
        return QStringLiteral("Unknown status");
    }
}

QString displayUrl(const QString& url)
{
    QUrl parsed(url);
    if (!parsed.isValid())
        return QStringLiteral("(invalid address)");
    return parsed.adjusted(QUrl::RemoveUserInfo).toDisplayString();
}

// Everything one transfer needs and produces. The worker owns it while it runs; the owner's
// thread reads it only after the worker has ended or while the worker waits for a handler.
struct TwlCustomHTTP::Transfer
{
    TwlCustomHTTP* owner = nullptr;
    CURL* curl = nullptr;
    QByteArray url;
    QString user, password;
    QString targetFile;
    bool rangeRequested = false;
    unsigned inactivityMs = TwlHTTPTimeouts::DefaultInactivity;
    qint64 maxBody = 0;

    QByteArray rawHeaders;
    bool finalResponse = false; // the headers of the answer that carries the body arrived
    QByteArray body;
    std::unique_ptr<QFile> file;
    bool fileCreated = false;

    QElapsedTimer clock;
    qint64 lastActivityMs = 0;
    curl_off_t lastDown = -1, lastUp = -1;
    bool badUrl = false, timedOut = false, tooLarge = false, fileError = false;
    bool stopped = false, exception = false;
    bool errorBodyCut = false; // an error page longer than MaxErrorBodySize was cut
    CURLcode result = CURLE_OK;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    bool successStatus(int status) const
    {
        return status == 200 || (status == 206 && rangeRequested);
    }
};

namespace {

bool secureFailure(CURLcode code)
{
    switch (code) {
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_CRL_BADFILE:
        return true;
    default:
        return false;
    }
}

// The status line's own words ("500 Internal Server Error"), or just the number.
QString statusLine(const QByteArray& rawHeaders, int status)
{
    const qsizetype end = rawHeaders.indexOf('\n');
    const QList<QByteArray> words = rawHeaders.left(end).trimmed().split(' ');
    QString line = QString::number(status);
    if (words.size() > 2 && words[1] == QByteArray::number(status))
        line +=
            QLatin1Char(' ') + QString::fromLatin1(words.mid(2).join(' ')).left(60).simplified();
    return line;
}

} // namespace

// Why the transfer failed, as a sentence for the user. libcurl's own detail follows in
// brackets where it says more than its code.
QString TwlCustomHTTP::failureWords(const Transfer& t) const
{
    const QString detail = QString::fromLocal8Bit(t.errorBuffer).left(200).simplified();
    const auto withDetail = [&detail](const QString& sentence) {
        return detail.isEmpty() ? sentence + QLatin1Char('.')
                                : sentence + QStringLiteral(" (") + detail + QStringLiteral(").");
    };
    if (t.errorBodyCut || (t.result == CURLE_OK && t.finalResponse)) {
        if (StatusCode == 206)
            return QStringLiteral("The server answered 206 Partial Content: only a part of the "
                                  "file, where the whole file was asked for.");
        if (t.successStatus(StatusCode))
            return QStringLiteral("The server sent %1 of the %2 bytes it announced.")
                .arg(BytesTransferred)
                .arg(ContentLength);
        return QStringLiteral("The server answered %1.").arg(statusLine(t.rawHeaders, StatusCode));
    }
    switch (t.result) {
    case CURLE_UNSUPPORTED_PROTOCOL:
        if (StatusCode / 100 == 3) {
            const QString to = displayUrl(headerValue(t.rawHeaders, "Location")).left(200);
            return t.url.startsWith("https:") && to.startsWith(QLatin1String("http:"))
                       ? QStringLiteral("The secure address redirects to the insecure address "
                                        "%1, which is not followed.")
                             .arg(to)
                       : QStringLiteral("The server redirects to %1, which cannot be fetched.")
                             .arg(to);
        }
        return withDetail(QStringLiteral("The address cannot be fetched"));
    case CURLE_TOO_MANY_REDIRECTS:
        return QStringLiteral("The server redirects in a loop (more than %1 redirects).")
            .arg(MaxRedirects);
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("The server's name is not known.");
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("The server refused the connection.");
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("The server did not answer in time.");
    case CURLE_GOT_NOTHING:
        return QStringLiteral("The server closed the connection without answering.");
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return withDetail(QStringLiteral("The server's certificate was not accepted"));
    default:
        if (secureFailure(t.result))
            return withDetail(QStringLiteral("No secure connection could be made"));
        return withDetail(QString::fromUtf8(curl_easy_strerror(t.result)));
    }
}

TwlCustomHTTP::TwlCustomHTTP(QObject* parent)
    : TwlLoginComponent(parent), thread_(new TwlCustomThread(this))
{
    initCurlOnce();
}

TwlCustomHTTP::~TwlCustomHTTP()
{
    destroying_ = true;
    Abort();
}

bool TwlCustomHTTP::Start()
{
    if (Busy())
        return false;
    StatusCode = -1;
    ContentType.clear();
    ContentLength = 0;
    BytesTransferred = 0;
    Continue = true;
    Realm.clear();
    Failure = TwlFailure::None;
    FailureText.clear();

    transfer_ = std::make_unique<Transfer>();
    Transfer& t = *transfer_;
    t.owner = this;
    t.targetFile = TargetFile;
    t.rangeRequested = Range.StartRange != 0 || Range.EndRange != 0;
    t.inactivityMs =
        Timeouts.ReceiveTimeout ? Timeouts.ReceiveTimeout : TwlHTTPTimeouts::DefaultInactivity;
    if (Timeouts.SendTimeout)
        t.inactivityMs = std::max(t.inactivityMs, Timeouts.SendTimeout);
    t.maxBody = MaxBodySize;
    QString address = RequestURL.trimmed();
    if (!address.contains(QStringLiteral("://")))
        address.prepend(QStringLiteral("http://"));
    QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        t.badUrl = true;
    } else {
        // A user or password in the address wins over the component's own.
        t.user = url.userName().isEmpty() ? HTTPUsername : url.userName();
        t.password = url.password().isEmpty() ? HTTPPassword : url.password();
        t.url = url.adjusted(QUrl::RemoveUserInfo).toEncoded();
    }
    Transfer* raw = transfer_.get();
    thread_->Execute([this] { runTransfer(); }, [this] { dispatch(); },
                     [raw](const QString&) { raw->exception = true; });
    return true;
}

void TwlCustomHTTP::Abort()
{
    if (Busy()) {
        thread_->Stop();
        if (!destroying_ && OnKilled)
            OnKilled();
    }
    release();
}

void TwlCustomHTTP::release()
{
    if (!transfer_)
        return;
    transfer_->file.reset();
    if (transfer_->fileCreated)
        QFile::remove(transfer_->targetFile); // an aborted download is never left half-written
    transfer_.reset();
}

// ----------------------------------------------------------------------------------------
// The worker

void TwlCustomHTTP::runTransfer()
{
    Transfer& t = *transfer_;
    t.clock.start();
    if (t.badUrl)
        return;
    std::unique_ptr<CURL, CurlDeleter> handle(curl_easy_init());
    if (!handle)
        return;
    CURL* c = handle.get();
    t.curl = c;
    const bool secure = t.url.startsWith("https:");

    curl_easy_setopt(c, CURLOPT_URL, t.url.constData());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    // Once on HTTPS, a redirect may not fall back to plain HTTP.
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, MaxRedirects);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, t.errorBuffer);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray caFile = CaFile.toLocal8Bit();
    if (!caFile.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO, caFile.constData());
    const QByteArray agent = UserAgent.toUtf8();
    curl_easy_setopt(c, CURLOPT_USERAGENT, agent.constData());
    const QByteArray referrer = Referrer.toUtf8();
    if (!referrer.isEmpty())
        curl_easy_setopt(c, CURLOPT_REFERER, referrer.constData());
    curl_easy_setopt(
        c, CURLOPT_CONNECTTIMEOUT_MS,
        long(Timeouts.ConnectTimeout ? Timeouts.ConnectTimeout : TwlHTTPTimeouts::DefaultConnect));
    curl_easy_setopt(c, CURLOPT_BUFFERSIZE,
                     long(std::clamp(TransferBufferSize, 1024, CURL_MAX_READ_SIZE)));

    // Proxy: the preconfigured access leaves libcurl to read the usual proxy settings.
    const QByteArray proxy =
        QStringLiteral("http://%1:%2").arg(Proxy.ProxyServer).arg(Proxy.ProxyPort).toUtf8();
    QString bypassText = Proxy.ProxyBypass;
    const QByteArray bypass = bypassText.replace(QLatin1Char(';'), QLatin1Char(','))
                                  .split(QLatin1Char(','), Qt::SkipEmptyParts)
                                  .join(QLatin1Char(','))
                                  .toUtf8();
    if (Proxy.AccessType == TwlHTTPAccessType::atDirect) {
        curl_easy_setopt(c, CURLOPT_PROXY, "");
    } else if (Proxy.AccessType == TwlHTTPAccessType::atUseProxy) {
        curl_easy_setopt(c, CURLOPT_PROXY, proxy.constData());
        curl_easy_setopt(c, CURLOPT_NOPROXY, bypass.constData());
    }

    // Request headers. A line that would smuggle in a header of its own is dropped.
    curl_slist* list = nullptr;
    const auto addHeader = [&list](const QString& line) {
        if (!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')))
            list = curl_slist_append(list, line.toUtf8().constData());
    };
    addHeader(QStringLiteral("Accept: ") + AcceptList);
    for (const QString& line : ExtraHeaders)
        addHeader(line);
    if (t.rangeRequested)
        addHeader(QStringLiteral("Range: bytes=%1-%2")
                      .arg(Range.StartRange)
                      .arg(Range.EndRange ? QString::number(Range.EndRange) : QString()));
    if (!UseCache) {
        addHeader(QStringLiteral("Cache-Control: no-cache"));
        addHeader(QStringLiteral("Pragma: no-cache"));
    }
    const QByteArray form = FormData.toUtf8();
    if (!form.isEmpty()) {
        addHeader(QStringLiteral("Content-Type: application/x-www-form-urlencoded"));
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, form.constData());
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, long(form.size()));
    }
    std::unique_ptr<curl_slist, SlistDeleter> headers(list);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, list);

    curl_easy_setopt(
        c, CURLOPT_HEADERFUNCTION, +[](char* data, size_t, size_t n, void* p) {
            return static_cast<TwlCustomHTTP*>(p)->onHeaderLine(QByteArray(data, qsizetype(n)))
                       ? n
                       : size_t(0);
        });
    curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(
        c, CURLOPT_WRITEFUNCTION, +[](char* data, size_t, size_t n, void* p) {
            return static_cast<TwlCustomHTTP*>(p)->onBody(data, qint64(n)) ? n : size_t(0);
        });
    curl_easy_setopt(c, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(
        c, CURLOPT_XFERINFOFUNCTION,
        +[](void* p, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
            return static_cast<TwlCustomHTTP*>(p)->onTick(down, up) ? 0 : 1;
        });
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, this);

    QByteArray proxyUser, proxyPassword, user, password;
    for (int round = 0; round < MaxAuthenticationRounds; ++round) {
        user = t.user.toUtf8();
        password = t.password.toUtf8();
        if (!user.isEmpty()) {
            curl_easy_setopt(c, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC));
            curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
            curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
        }
        t.rawHeaders.clear();
        t.finalResponse = false;
        t.body.clear();
        BytesTransferred = 0;
        t.lastActivityMs = t.clock.elapsed();
        if (OnStatusText)
            OnStatusText(30, statusText(30));
        t.result = curl_easy_perform(c);
        long code = 0;
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &code);
        StatusCode = code > 0 ? int(code) : -1;
        if (thread_->Terminated() || t.stopped)
            break;
        auto tryAgain = std::make_shared<bool>(false);
        if (StatusCode == 401 && OnPasswordRequest) {
            Realm = realmOf(headerValue(t.rawHeaders, "WWW-Authenticate"));
            const QString realm = Realm;
            if (!thread_->Synchronize(
                    [this, realm, tryAgain] { OnPasswordRequest(realm, *tryAgain); }))
                break;
            t.user = HTTPUsername;
            t.password = HTTPPassword;
        } else if (StatusCode == 407 && OnProxyAuthenticationRequest) {
            auto answer = std::make_shared<std::pair<QString, QString>>();
            if (!thread_->Synchronize([this, answer, tryAgain] {
                    OnProxyAuthenticationRequest(answer->first, answer->second, *tryAgain);
                }))
                break;
            proxyUser = answer->first.toUtf8();
            proxyPassword = answer->second.toUtf8();
            curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxyUser.constData());
            curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxyPassword.constData());
        }
        if (!*tryAgain)
            break;
    }
    if (t.file) {
        if (!t.file->flush())
            t.fileError = true;
        t.file->close();
    } else if (t.result == CURLE_OK && t.finalResponse && t.successStatus(StatusCode) &&
               !t.targetFile.isEmpty() && !t.stopped) {
        // An empty body still makes its file.
        t.fileCreated = QFile::remove(t.targetFile) || !QFile::exists(t.targetFile);
        QFile empty(t.targetFile);
        t.fileError = !t.fileCreated || !empty.open(QIODevice::WriteOnly);
    }
    if (OnStatusText)
        OnStatusText(100, statusText(100));
    t.curl = nullptr;
}

bool TwlCustomHTTP::onHeaderLine(const QByteArray& line)
{
    Transfer& t = *transfer_;
    if (line.startsWith("HTTP/")) {
        t.rawHeaders.clear();
        t.finalResponse = false;
    }
    t.rawHeaders += line;
    if (line != "\r\n" && line != "\n")
        return true;
    long code = 0;
    curl_easy_getinfo(t.curl, CURLINFO_RESPONSE_CODE, &code);
    const QString location = headerValue(t.rawHeaders, "Location");
    if (code / 100 == 1)
        return true;
    if (code / 100 == 3 && !location.isEmpty()) {
        char* current = nullptr;
        curl_easy_getinfo(t.curl, CURLINFO_EFFECTIVE_URL, &current);
        if (OnStatusText)
            OnStatusText(110, statusText(110));
        if (OnRedirect && current)
            OnRedirect(
                displayUrl(QUrl(QString::fromUtf8(current)).resolved(QUrl(location)).toString()));
        return true;
    }
    if ((code == 401 && OnPasswordRequest) || (code == 407 && OnProxyAuthenticationRequest))
        return true; // the body of a refusal that may be answered with credentials is dropped
    return onFinalHeaders(int(code));
}

bool TwlCustomHTTP::onFinalHeaders(int code)
{
    Transfer& t = *transfer_;
    t.finalResponse = true;
    StatusCode = code;
    ContentType = headerValue(t.rawHeaders, "Content-Type");
    bool ok = false;
    const qint64 length = headerValue(t.rawHeaders, "Content-Length").toLongLong(&ok);
    ContentLength = ok && length > 0 ? length : 0;
    if (OnStatusText)
        OnStatusText(41, statusText(41));
    if (OnHeaderInfo) {
        TwlHeaderInfo info;
        info.RawHeaders = QString::fromLatin1(t.rawHeaders);
        info.ContentType = ContentType;
        info.ContentLanguage = headerValue(t.rawHeaders, "Content-Language");
        info.ContentEncoding = headerValue(t.rawHeaders, "Content-Encoding");
        info.Location = headerValue(t.rawHeaders, "Location");
        info.ContentLength = ContentLength;
        info.Date = httpDateToLocal(headerValue(t.rawHeaders, "Date"));
        info.LastModified = httpDateToLocal(headerValue(t.rawHeaders, "Last-Modified"));
        info.Expires = httpDateToLocal(headerValue(t.rawHeaders, "Expires"));
        if (!thread_->Synchronize([this, info] { OnHeaderInfo(info, Continue); }))
            return false;
        if (!Continue) {
            t.stopped = true;
            return false;
        }
    }
    if (t.maxBody > 0 && ContentLength > t.maxBody) {
        t.tooLarge = true;
        return false;
    }
    if (!t.targetFile.isEmpty() && t.successStatus(code)) {
        QFile::remove(t.targetFile);
        t.file = std::make_unique<QFile>(t.targetFile);
        if (!t.file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            t.fileError = true;
            t.file.reset();
            return false;
        }
        t.fileCreated = true;
    }
    return true;
}

bool TwlCustomHTTP::onBody(const char* data, qint64 size)
{
    Transfer& t = *transfer_;
    if (thread_->Terminated())
        return false;
    if (!t.finalResponse)
        return true; // a refusal's text
    if (!t.file && !t.successStatus(StatusCode) && t.body.size() + size > MaxErrorBodySize) {
        // An error page is not worth more: keep its start and end the transfer; the outcome
        // is still the status.
        const qint64 kept = MaxErrorBodySize - t.body.size();
        t.body.append(data, kept);
        BytesTransferred += kept;
        t.errorBodyCut = true;
        return false;
    }
    if (t.maxBody > 0 && BytesTransferred + size > t.maxBody) {
        t.tooLarge = true;
        return false;
    }
    if (t.file) {
        if (t.file->write(data, size) != size) {
            t.fileError = true;
            return false;
        }
    } else {
        t.body.append(data, size);
    }
    BytesTransferred += size;
    t.lastActivityMs = t.clock.elapsed();
    if (OnTransferProgress) {
        const TwlTransferProgress progress =
            transferProgress(BytesTransferred, ContentLength, t.clock.elapsed());
        const QByteArray* body = t.file ? nullptr : &t.body;
        const QString type = ContentType;
        if (!thread_->Synchronize(
                [this, type, body, progress] { OnTransferProgress(type, body, progress); }))
            return false;
        if (!Continue) {
            t.stopped = true;
            return false;
        }
    }
    return true;
}

bool TwlCustomHTTP::onTick(qint64 down, qint64 up)
{
    Transfer& t = *transfer_;
    if (thread_->Terminated())
        return false;
    const qint64 now = t.clock.elapsed();
    if (down != t.lastDown || up != t.lastUp) {
        t.lastDown = down;
        t.lastUp = up;
        t.lastActivityMs = now;
    }
    if (now - t.lastActivityMs > qint64(t.inactivityMs)) {
        t.timedOut = true;
        return false;
    }
    return true;
}

// ----------------------------------------------------------------------------------------
// The outcome, on the owner's thread

void TwlCustomHTTP::dispatch()
{
    // A handler may start the next transfer: this one's results stay here until the end.
    std::unique_ptr<Transfer> done = std::move(transfer_);
    Transfer& t = *done;
    t.file.reset();
    const bool lengthOk = ContentLength == 0 || BytesTransferred == ContentLength;
    const bool success = !t.badUrl && !t.exception && !t.stopped && !t.tooLarge && !t.fileError &&
                         !t.timedOut && !t.errorBodyCut && t.result == CURLE_OK &&
                         t.finalResponse && t.successStatus(StatusCode) && lengthOk;
    if (success)
        Failure = TwlFailure::None;
    else if (t.badUrl)
        Failure = TwlFailure::BadUrl;
    else if (t.exception)
        Failure = TwlFailure::Exception;
    else if (t.stopped)
        Failure = TwlFailure::Stopped;
    else if (t.tooLarge)
        Failure = TwlFailure::TooLarge;
    else if (t.fileError)
        Failure = TwlFailure::LocalFile;
    else if (StatusCode == -1)
        Failure = secureFailure(t.result) ? TwlFailure::Secure : TwlFailure::NoStatus;
    else if (t.successStatus(StatusCode))
        Failure = TwlFailure::Incomplete;
    else
        Failure = TwlFailure::HttpStatus;
    if (t.badUrl)
        FailureText = QStringLiteral("Only http and https addresses can be fetched.");
    else if (t.tooLarge)
        FailureText = QStringLiteral("The server sent more than was expected.");
    else if (t.timedOut)
        FailureText = QStringLiteral("The server stopped answering.");
    else if (t.fileError)
        FailureText = QStringLiteral("The file %1 could not be written.").arg(t.targetFile);
    else if (!success)
        FailureText = failureWords(t);

    if (!success && t.fileCreated)
        QFile::remove(t.targetFile);
    const QByteArray* body = t.targetFile.isEmpty() || !t.fileCreated ? &t.body : nullptr;
    if (Continue && !t.stopped) {
        if (success) {
            if (OnTransferDone)
                OnTransferDone(ContentType, body, BytesTransferred);
        } else {
            if (OnTransferFailed)
                OnTransferFailed();
            if ((Failure == TwlFailure::NoStatus || Failure == TwlFailure::Secure) && OnHostMissing)
                OnHostMissing();
            else if (Failure == TwlFailure::Incomplete && OnIncomplete)
                OnIncomplete(ContentType, &t.body, BytesTransferred, ContentLength);
            else if (Failure == TwlFailure::HttpStatus && OnHTTPErrorStatus)
                OnHTTPErrorStatus(StatusCode, &t.body);
        }
    } else if (OnStopped) {
        OnStopped();
    }
}

} // namespace wl
