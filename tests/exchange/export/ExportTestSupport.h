#pragma once

#include "exchange/export/ExportHost.h"
#include "exchange/export/TExportComponent.h"
#include "grid/LocaleInfo.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace wl::test {

inline void ensureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "export_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

// Records what an export asks of the windowing side and answers from its fields.
class RecordingHost : public ExportHost
{
public:
    struct Message
    {
        ExportMessageKind kind;
        QString text;
    };
    struct Progress : ExportProgress
    {
        RecordingHost& host;
        explicit Progress(RecordingHost& h) : host(h) {}
        void showProgress() override { ++host.progressShown; }
        void hideProgress() override {}
        bool step(int n) override
        {
            host.steps.push_back(n);
            return host.stopAtStep < 0 || n < host.stopAtStep;
        }
    };

    std::vector<Message> messages;
    std::deque<QString> saveAnswers;
    QStringList saveTitles, saveFilters;
    bool viewable = true;
    QStringList opened;
    bool openSucceeds = true;
    std::vector<int> steps;
    int stopAtStep = -1;
    int progressShown = 0;
    int progressCreated = 0;
    int confirmations = 0;
    bool confirmAnswer = true; // OK on every OK/Cancel question
    QDateTime clock{QDate(2026, 5, 3), QTime(22, 15, 2)};

    QStringList texts() const
    {
        QStringList result;
        for (const Message& m : messages)
            result << m.text;
        return result;
    }

    void message(ExportMessageKind kind, const QString& text) override
    {
        messages.push_back({kind, text});
    }
    bool confirm(ExportMessageKind kind, const QString& text) override
    {
        messages.push_back({kind, text});
        ++confirmations;
        return confirmAnswer;
    }
    bool choose(ExportChoice&) override { return false; }
    QString saveFileName(const QString& title, const QString&, const QString& filter) override
    {
        saveTitles << title;
        saveFilters << filter;
        if (saveAnswers.empty())
            return {};
        QString answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    bool canView(TExportType) override { return viewable; }
    bool openFile(const QString& path) override
    {
        opened << path;
        return openSucceeds;
    }
    std::unique_ptr<ExportProgress> createProgress(const QString&, const QString&, const QString&,
                                                   int) override
    {
        ++progressCreated;
        return std::make_unique<Progress>(*this);
    }
    void processEvents() override {}
    void setBusy(bool, bool) override {}
    QDateTime now() const override { return clock; }
};

// Items from a table in memory.
class TableExport : public TExportComponent
{
public:
    QStringList captions;
    std::vector<QStringList> rows;

    explicit TableExport(RecordingHost*& host) : TExportComponent(std::make_unique<RecordingHost>())
    {
        host = &static_cast<RecordingHost&>(Host());
    }

    QString GetColumnCaption(int col) const override { return captions.value(col); }
    int GetItemCount() override { return int(rows.size()); }
    void GetColumns(QStringList& list) override
    {
        list.clear();
        for (int col = 0; col < captions.size(); ++col)
            list << (col < Captions().size() ? Captions()[col] : captions[col]);
    }
    void FillItem(QStringList& cells) override { cells = rows[std::size_t(ItemCursor())]; }
    bool CanExport() override { return !rows.empty(); }

protected:
    int SourceItemCount() const override { return int(rows.size()); }
};

inline QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Bytes from a readable literal: "|" stands for CR LF.
inline QByteArray crlf(const char* text)
{
    return QByteArray(text).replace('|', "\r\n");
}

// A writer test: the table export with the program's options in the US locale, exported to a
// named file in a temporary folder.
class WriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureGuiApplication();
        LocaleInfo::setCurrent(LocaleInfo());
        exporter = std::make_unique<TableExport>(host);
    }
    void TearDown() override { LocaleInfo::setCurrent(LocaleInfo()); }

    // Exports to a named file and returns its bytes.
    QByteArray exportAs(TExportType type, TExportOptions extra = {}, TExportOptions without = {})
    {
        exporter->SetOptions((exporter->Options() | extra) & ~without);
        exporter->ExportType = type;
        exporter->ViewOnly = false;
        exporter->ExportFile = dir.filePath(QStringLiteral("out.") + ExportTypeExtension(type));
        const QString path = exporter->ExportFile;
        EXPECT_TRUE(exporter->RunExport()) << host->texts().join(u'\n').toStdString();
        EXPECT_TRUE(exporter->ExportFile.isEmpty());
        return bytesOf(path);
    }

    QTemporaryDir dir;
    RecordingHost* host = nullptr;
    std::unique_ptr<TableExport> exporter;
};

} // namespace wl::test
