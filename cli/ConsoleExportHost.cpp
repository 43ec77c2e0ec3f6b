#include "cli/ConsoleExportHost.h"

#include "cli/CliContext.h"

#include <atomic>
#include <csignal>

namespace wl::cli {

namespace {

std::atomic<bool> stopAsked{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void askToStop(int)
{
    stopAsked.store(true);
}

class SilentProgress : public ExportProgress
{
public:
    void showProgress() override {}
    void hideProgress() override {}
    bool step(int) override { return !ConsoleExportHost::interrupted(); }
};

} // namespace

ConsoleExportHost::ConsoleExportHost(const CliContext& context) : context_(context)
{
    stopAsked.store(false);
    previousInterrupt_ = std::signal(SIGINT, askToStop);
    previousTerminate_ = std::signal(SIGTERM, askToStop);
}

ConsoleExportHost::~ConsoleExportHost()
{
    std::signal(SIGINT, previousInterrupt_ == SIG_ERR ? SIG_DFL : previousInterrupt_);
    std::signal(SIGTERM, previousTerminate_ == SIG_ERR ? SIG_DFL : previousTerminate_);
}

bool ConsoleExportHost::interrupted()
{
    return stopAsked.load();
}

// A warning tells of a change made to a file that was still written in full (letters shown as
// "?", rows past a sheet's end): the export succeeds, and the warning stays on stderr. Only an
// error fails it.
void ConsoleExportHost::message(ExportMessageKind kind, const QString& text)
{
    if (kind == ExportMessageKind::Error)
        failed_ = true;
    context_.note(kind == ExportMessageKind::Warning ? QStringLiteral("warning: ") + text : text);
}

std::unique_ptr<ExportProgress> ConsoleExportHost::createProgress(const QString&, const QString&,
                                                                  const QString&, int)
{
    return std::make_unique<SilentProgress>();
}

} // namespace wl::cli
