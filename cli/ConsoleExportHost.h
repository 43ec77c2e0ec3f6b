#pragma once

#include "exchange/export/ExportHost.h"

#include <QString>

namespace wl::cli {

class CliContext;

// The export's windowing side for the command line: messages go to stderr, the file is the
// one named on the command line, nothing is shown or asked. While the host exists, Ctrl+C (or
// a request to terminate) stops the export at its next item the way Cancel in the progress
// window does, so the half-written file is thrown away and an earlier one stays as it was.
class ConsoleExportHost : public ExportHost
{
public:
    explicit ConsoleExportHost(const CliContext& context);
    ~ConsoleExportHost() override;
    ConsoleExportHost(const ConsoleExportHost&) = delete;
    ConsoleExportHost& operator=(const ConsoleExportHost&) = delete;

    void message(ExportMessageKind kind, const QString& text) override;
    bool choose(ExportChoice&) override { return false; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    // A file export must keep the named file rather than fall back to asking for one.
    bool canView(TExportType) override { return true; }
    bool openFile(const QString&) override { return false; }
    std::unique_ptr<ExportProgress> createProgress(const QString&, const QString&, const QString&,
                                                   int) override;
    void processEvents() override {}
    void setBusy(bool, bool) override {}
    QDateTime now() const override { return QDateTime::currentDateTime(); }

    // Whether an error was reported; warnings do not fail an export.
    bool failed() const { return failed_; }
    // Whether the user asked the export to stop.
    static bool interrupted();

private:
    const CliContext& context_;
    bool failed_ = false;
    void (*previousInterrupt_)(int) = nullptr;
    void (*previousTerminate_)(int) = nullptr;
};

} // namespace wl::cli
