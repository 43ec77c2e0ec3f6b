#pragma once

#include "app/AppConstants.h"
#include "app/services/Registry.h"
#include "store/FrequencyRecord.h"
#include "store/Table.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace wl::cli::test {

// One record of a fixture table; west-positive longitude as the table keeps it.
struct Rec
{
    const char* category;
    double hz;
    const char* callsign;
    double lat = 0;
    double lon = 0;
};

// What one run of wavelark-cli gave.
struct CliRun
{
    int code = -1;
    QString out;
    QString err;
};

inline void PrintTo(const CliRun& run, std::ostream* out)
{
    *out << "exit " << run.code << ", stdout \"" << run.out.toStdString() << "\", stderr \""
         << run.err.toStdString() << '"';
}

// A temporary home with its own settings file and a data folder holding a frequency table,
// and a way to run the real wavelark-cli on them.
class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* sub : {"home", "data", "run"})
            QDir(dir.path()).mkpath(QLatin1String(sub));
        QFile(path("run"))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
    }

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QString data() const { return path(QStringLiteral("data")); }
    QString settingsFile() const { return path(QStringLiteral("settings.ini")); }

    // Creates the table in folder (the data folder by default) with these records.
    static void makeTable(const QString& folder, std::initializer_list<Rec> records)
    {
        QDir().mkpath(folder);
        store::Table t;
        t.setDatabaseName(folder);
        t.setTableName(store::FrequencyRecord::TableFile);
        store::FrequencyRecord::define(t);
        ASSERT_TRUE(t.createTable());
        ASSERT_TRUE(t.open());
        for (const Rec& r : records)
            ASSERT_TRUE(append(t, r)) << t.lastError().toStdString();
    }

    static bool append(store::Table& t, const Rec& r)
    {
        if (!t.append())
            return false;
        t.setFieldValue(QStringLiteral("Category"), QString::fromUtf8(r.category));
        t.setFieldValue(QStringLiteral("Hz"), r.hz);
        t.setFieldValue(QStringLiteral("Callsign"), QString::fromUtf8(r.callsign));
        t.setFieldValue(QStringLiteral("RDate"), 38313.5);
        t.setFieldValue(QStringLiteral("RLat"), r.lat);
        t.setFieldValue(QStringLiteral("RLon"), r.lon);
        return bool(t.post());
    }

    // Writes a file in the temporary folder and returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }

    void writeCategories(const QByteArray& lines) const
    {
        writeFile(QStringLiteral("data/") + store::FrequencyRecord::CategoryFileName, lines);
    }

    void writeSetting(const QString& name, const QString& value) const
    {
        Registry registry(settingsFile());
        ASSERT_TRUE(registry.openKey(app::SettingsKey, true));
        registry.writeString(name, value);
    }

    // The environment of a run: the test's home, settings file and leak suppressions, in the
    // locale given (LC_ALL), without the tests' offscreen platform.
    QProcessEnvironment cliEnvironment(const QString& locale = QStringLiteral("C")) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("home/.config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("home/.local/share")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("run")));
        env.insert(QStringLiteral("WAVELARK_SETTINGS"), settingsFile());
        env.insert(QStringLiteral("LC_ALL"), locale);
        env.insert(QStringLiteral("LSAN_OPTIONS"),
                   QStringLiteral("suppressions=" WAVELARK_LEAK_SUPPRESSIONS));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return env;
    }

    // Starts wavelark-cli with the arguments in the test's home; with withData, "--data" names
    // the data folder.
    void startCli(QProcess& process, QStringList args, bool withData = true) const
    {
        if (withData)
            args.prepend(QStringLiteral("--data=") + data());
        const QProcessEnvironment env = cliEnvironment();
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(WAVELARK_CLI), args);
    }

    // What a started run gives once it has ended.
    static CliRun finished(QProcess& process)
    {
        EXPECT_TRUE(process.waitForFinished(120000));
        CliRun run;
        run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromUtf8(process.readAllStandardOutput());
        run.err = QString::fromUtf8(process.readAllStandardError());
        return run;
    }

    // Runs wavelark-cli with the arguments; with withData, "--data" names the data folder.
    CliRun cli(QStringList args, bool withData = true) const
    {
        QProcess process;
        startCli(process, std::move(args), withData);
        return finished(process);
    }

    // The callsigns a CSV listing shows, in its order.
    QStringList callsigns(QStringList args) const
    {
        args.prepend(QStringLiteral("--csv"));
        args.prepend(QStringLiteral("list"));
        const CliRun run = cli(args);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        QStringList lines = run.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QStringList result;
        for (qsizetype i = 1; i < lines.size(); ++i)
            result << lines[i].split(QLatin1Char(',')).value(3);
        return result;
    }

    QTemporaryDir dir;
};

} // namespace wl::cli::test
