#pragma once

// Servers on the loopback address that a test starts for itself and stops when it ends: nginx
// for static files, ranges, redirects and HTTPS; a Python server for ill-behaved answers;
// tinyproxy as a proxy. Each waits, bounded in time, until its port accepts connections.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace wl::test {

// A port that was free a moment ago on 127.0.0.1.
int freePort();

// True when something accepts connections on the loopback port.
bool portOpen(int port);

// Lets events run until done() holds or the time is up; returns done().
bool waitFor(const std::function<bool()>& done, int timeoutMs);

// The path of a program on the search path, empty when it is not installed.
QString findProgram(const QString& name);

class LocalServer
{
public:
    ~LocalServer();
    bool running() const { return process_ && process_->state() == QProcess::Running; }
    QString error() const { return error_; }

protected:
    bool launch(const QString& program, const QStringList& args, int port);
    QTemporaryDir dir_;
    QString error_;

private:
    std::unique_ptr<QProcess> process_;
};

// Certificate authority and a server certificate for 127.0.0.1, made with the openssl tool.
struct TestCertificates
{
    QString caFile, certFile, keyFile;
    bool make(const QString& folder, QString& error);
};

class NginxServer : public LocalServer
{
public:
    // Serves root on a plain port and, with certificates, on a TLS port. extraHttp and
    // extraTls are added inside the two server blocks; "%HTTP%" in them stands for the plain
    // port.
    bool start(const QString& root, const TestCertificates* tls = nullptr,
               const QString& extraHttp = {}, const QString& extraTls = {});
    QString url(const QString& path) const;
    QString tlsUrl(const QString& path) const;
    int port = 0;
    int tlsPort = 0;

private:
    bool startOnce(const QString& root, const TestCertificates* tls, const QString& extraHttp,
                   const QString& extraTls);
};

class PythonServer : public LocalServer
{
public:
    bool start();
    QString url(const QString& path) const;
    int port = 0;

private:
    bool startOnce();
};

class TinyProxy : public LocalServer
{
public:
    bool start();
    int port = 0;

private:
    bool startOnce();
};

} // namespace wl::test

namespace wl::test {

// The engine tests need an event loop but no widgets.
void ensureCoreApplication();

} // namespace wl::test
