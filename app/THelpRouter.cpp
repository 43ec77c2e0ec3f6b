#include "app/THelpRouter.h"

#include "app/HelpTopics.h"
#include "app/THelpWindow.h"

namespace wl {

THelpRouter::THelpRouter() = default;

THelpRouter::~THelpRouter()
{
    quit();
}

THelpWindow& THelpRouter::ensureWindow()
{
    if (!window_) {
        // The help window has no parent: it stays usable beside modal dialogs.
        window_ = new THelpWindow;
        window_->setAttribute(Qt::WA_DeleteOnClose);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    return *window_;
}

void THelpRouter::showContext(int context)
{
    ensureWindow().showTopic(HelpTopics::forContext(context));
}

void THelpRouter::showKeyword(const QString& keyword)
{
    ensureWindow().showIndex(keyword);
}

void THelpRouter::showContents()
{
    ensureWindow().showTopic(HelpTopics::defaultTopic());
}

void THelpRouter::quit()
{
    delete window_.data();
}

THelpWindow* THelpRouter::window() const
{
    return window_.data();
}

} // namespace wl
