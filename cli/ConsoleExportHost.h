#pragma once

#include "exchange/export/ExportHost.h"

#include <QString>

namespace wl::cli {

class CliContext;

// The export's windowing side for the command line: messages go to stderr, the file is the
// one named on the command line, nothing is shown or asked.
class ConsoleExportHost : public ExportHost
{
public:
    explicit ConsoleExportHost(const CliContext& context) : context_(context) {}

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

    // Whether an error or a warning was reported.
    bool failed() const { return failed_; }

private:
    const CliContext& context_;
    bool failed_ = false;
};

} // namespace wl::cli
