#include "app/THelpRouter.h"

#include "app/HelpTopics.h"
#include "app/THelpWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace wl {

namespace {

// The window a help request comes from: a modal window blocks every other, so it is the one.
QWidget* askingWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// Catches F1 that no window took for itself and shows the topic of the window it was pressed
// in. Key presses reach the application's filter only when no shortcut has taken them.
class F1Catcher : public QObject
{
public:
    explicit F1Catcher(THelpRouter& router) : router_(router) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        QWidget* window = static_cast<QWidget*>(watched)->window();
        // The help window's own F1 leaves its topic in place.
        if (!qobject_cast<THelpWindow*>(window))
            router_.showForWindow(window);
        return true;
    }

private:
    THelpRouter& router_;
};

} // namespace

THelpRouter::THelpRouter()
{
    if (QCoreApplication* app = QCoreApplication::instance()) {
        f1_ = std::make_unique<F1Catcher>(*this);
        app->installEventFilter(f1_.get());
    }
}

THelpRouter::~THelpRouter()
{
    quit();
}

THelpWindow& THelpRouter::ensureWindow()
{
    QWidget* owner = askingWindow();
    if (owner && window_ && (owner == window_ || window_->isAncestorOf(owner)))
        owner = window_->parentWidget();
    if (!window_) {
        window_ = new THelpWindow(owner);
        window_->setAttribute(Qt::WA_DeleteOnClose);
    } else if (window_->parentWidget() != owner) {
        // Owned by the asking window it stays in front of it, and a modal window does not
        // block it.
        const QRect place = window_->geometry();
        window_->setParent(owner, window_->windowFlags());
        window_->setGeometry(place);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    return *window_;
}

QStringList THelpRouter::windowClasses(const QWidget* window)
{
    QStringList classes;
    for (const QWidget* w = window; w; w = w->parentWidget()) {
        const QString name = QString::fromLatin1(w->metaObject()->className());
        if (w->isWindow() && !classes.contains(name))
            classes << name;
    }
    return classes;
}

void THelpRouter::showContext(int context)
{
    const QStringList asking = windowClasses(askingWindow());
    ensureWindow().showTopic(HelpTopics::forContext(context, asking));
}

void THelpRouter::showForWindow(const QWidget* window)
{
    if (window) {
        bool ok = false;
        const int context = window->property("helpContext").toInt(&ok);
        if (ok && context > 0) {
            showContext(context);
            return;
        }
    }
    const HelpTopic* topic = HelpTopics::forWindow(windowClasses(window));
    ensureWindow().showTopic(topic ? *topic : HelpTopics::defaultTopic());
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
