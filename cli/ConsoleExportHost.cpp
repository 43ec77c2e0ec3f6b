#include "cli/ConsoleExportHost.h"

#include "cli/CliContext.h"

namespace wl::cli {

namespace {

class SilentProgress : public ExportProgress
{
public:
    void showProgress() override {}
    void hideProgress() override {}
    bool step(int) override { return true; }
};

} // namespace

void ConsoleExportHost::message(ExportMessageKind kind, const QString& text)
{
    if (kind != ExportMessageKind::Information)
        failed_ = true;
    context_.note(text);
}

std::unique_ptr<ExportProgress> ConsoleExportHost::createProgress(const QString&, const QString&,
                                                                  const QString&, int)
{
    return std::make_unique<SilentProgress>();
}

} // namespace wl::cli
