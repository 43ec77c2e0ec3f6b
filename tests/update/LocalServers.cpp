#include "update/LocalServers.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace wl::test {

namespace {

constexpr int StartTimeoutMs = 10000;
constexpr int StartAttempts = 3;

sockaddr_in loopback(int port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

bool writeText(const QString& path, const QString& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) == text.toUtf8().size();
}

bool run(const QString& program, const QStringList& args, QString& error)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        error = program + QStringLiteral(": ") + QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

} // namespace

int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = loopback(0);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

bool portOpen(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in a = loopback(port);
    const bool open = ::connect(s, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(s);
    return open;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return done();
}

QString findProgram(const QString& name)
{
    QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(
            name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return path;
}

LocalServer::~LocalServer()
{
    if (running()) {
        process_->terminate();
        if (!process_->waitForFinished(3000)) {
            process_->kill();
            process_->waitForFinished(3000);
        }
    }
}

bool LocalServer::launch(const QString& program, const QStringList& args, int port)
{
    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->setStandardOutputFile(dir_.filePath(QStringLiteral("stdout.log")));
    process_->start(program, args);
    if (!process_->waitForStarted(StartTimeoutMs)) {
        error_ = program + QStringLiteral(" did not start");
        return false;
    }
    // Another program may have taken the port since it was found free: then this server ends
    // at once although the port answers.
    if (!waitFor([&] { return portOpen(port) || !running(); }, StartTimeoutMs) ||
        (QThread::msleep(150), !running())) {
        error_ = program + QStringLiteral(" did not open its port");
        process_.reset();
        return false;
    }
    return true;
}

bool TestCertificates::make(const QString& folder, QString& error)
{
    const QString openssl = findProgram(QStringLiteral("openssl"));
    if (openssl.isEmpty()) {
        error = QStringLiteral("openssl is not installed");
        return false;
    }
    const QDir d(folder);
    caFile = d.filePath(QStringLiteral("ca.pem"));
    certFile = d.filePath(QStringLiteral("server.pem"));
    keyFile = d.filePath(QStringLiteral("server.key"));
    const QString caKey = d.filePath(QStringLiteral("ca.key"));
    const QString csr = d.filePath(QStringLiteral("server.csr"));
    const QString ext = d.filePath(QStringLiteral("server.ext"));
    writeText(ext, QStringLiteral("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n"));
    const QStringList ec = {
        QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
        QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    return run(openssl,
               QStringList{"req", "-x509"} + ec +
                   QStringList{"-keyout", caKey, "-out", caFile, "-days", "2", "-subj",
                               "/CN=Wavelark Test CA"},
               error) &&
           run(openssl,
               QStringList{"req"} + ec +
                   QStringList{"-keyout", keyFile, "-out", csr, "-subj", "/CN=127.0.0.1"},
               error) &&
           run(openssl,
               {"x509", "-req", "-in", csr, "-CA", caFile, "-CAkey", caKey, "-CAcreateserial",
                "-out", certFile, "-days", "2", "-extfile", ext},
               error);
}

bool NginxServer::start(const QString& root, const TestCertificates* tls, const QString& extraHttp,
                        const QString& extraTls)
{
    const QString nginx = findProgram(QStringLiteral("nginx"));
    if (nginx.isEmpty()) {
        error_ = QStringLiteral("nginx is not installed");
        return false;
    }
    port = freePort();
    tlsPort = tls ? freePort() : 0;
    const QString d = dir_.path();
    QString conf = QStringLiteral("daemon off; master_process off; worker_processes 1;\n"
                                  "pid %1/nginx.pid; error_log %1/error.log;\n"
                                  "events { worker_connections 64; }\n"
                                  "http {\n access_log off;\n"
                                  " client_body_temp_path %1/body; proxy_temp_path %1/proxy;\n"
                                  " fastcgi_temp_path %1/fastcgi; uwsgi_temp_path %1/uwsgi;\n"
                                  " scgi_temp_path %1/scgi;\n"
                                  " default_type application/octet-stream;\n"
                                  " server { listen 127.0.0.1:%2; root \"%3\";\n%4\n }\n")
                       .arg(d)
                       .arg(port)
                       .arg(root, QString(extraHttp).replace("%HTTP%", QString::number(port)));
    if (tls)
        conf += QStringLiteral(" server { listen 127.0.0.1:%1 ssl; root \"%2\";\n"
                               "  ssl_certificate %3; ssl_certificate_key %4;\n%5\n }\n")
                    .arg(tlsPort)
                    .arg(root, tls->certFile, tls->keyFile,
                         QString(extraTls).replace("%HTTP%", QString::number(port)));
    conf += QStringLiteral("}\n");
    const QString confFile = dir_.filePath(QStringLiteral("nginx.conf"));
    writeText(confFile, conf);
    if (!launch(nginx, {QStringLiteral("-p"), d, QStringLiteral("-c"), confFile}, port))
        return false;
    return !tls || waitFor([this] { return portOpen(tlsPort); }, StartTimeoutMs);
}

QString NginxServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
}

QString NginxServer::tlsUrl(const QString& path) const
{
    return QStringLiteral("https://127.0.0.1:%1%2").arg(tlsPort).arg(path);
}

bool PythonServer::start()
{
    for (int attempt = 0; attempt < StartAttempts; ++attempt)
        if (startOnce())
            return true;
    return false;
}

bool PythonServer::startOnce()
{
    const QString python = findProgram(QStringLiteral("python3"));
    if (python.isEmpty()) {
        error_ = QStringLiteral("python3 is not installed");
        return false;
    }
    port = freePort();
    return launch(python, {QStringLiteral(WAVELARK_TEST_SERVER_SCRIPT), QString::number(port)},
                  port);
}

QString PythonServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
}

bool TinyProxy::start()
{
    for (int attempt = 0; attempt < StartAttempts; ++attempt)
        if (startOnce())
            return true;
    return false;
}

bool TinyProxy::startOnce()
{
    const QString tinyproxy = findProgram(QStringLiteral("tinyproxy"));
    if (tinyproxy.isEmpty()) {
        error_ = QStringLiteral("tinyproxy is not installed");
        return false;
    }
    port = freePort();
    const QString confFile = dir_.filePath(QStringLiteral("tinyproxy.conf"));
    writeText(confFile, QStringLiteral("Port %1\nListen 127.0.0.1\nTimeout 20\nAllow 127.0.0.1\n"
                                       "MaxClients 8\nLogLevel Error\n")
                            .arg(port));
    return launch(tinyproxy, {QStringLiteral("-d"), QStringLiteral("-c"), confFile}, port);
}

} // namespace wl::test

namespace wl::test {

void ensureCoreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "update_tests";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv); // lives to the end of the test program
}

} // namespace wl::test
