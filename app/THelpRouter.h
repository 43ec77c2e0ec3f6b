#pragma once

#include "app/services/HelpService.h"

#include <QPointer>
#include <QStringList>

#include <memory>

class QObject;
class QWidget;

namespace wl {

struct HelpTopic;
class THelpWindow;

// Answers the program's help requests with the topics shipped inside it: a context number
// shows its window's topic, a keyword the index, anything else the contents. F1 in a window
// that asks for no topic itself shows the topic of that window.
//
// The help window opens in front of the window that asked, and stays usable beside a modal
// window: it belongs to that window while it is open.
class THelpRouter : public HelpService
{
public:
    THelpRouter();
    ~THelpRouter() override;
    THelpRouter(const THelpRouter&) = delete;
    THelpRouter& operator=(const THelpRouter&) = delete;

    void showContext(int context) override;
    void showKeyword(const QString& keyword) override;
    void showContents() override;
    void quit() override;

    // The open help window, or nullptr.
    THelpWindow* window() const;
    // The classes of a window and of the windows it belongs to, innermost first.
    static QStringList windowClasses(const QWidget* window);
    // F1 in a window without a shortcut of its own: the context number the window carries in
    // its "helpContext" property, or else the topic of its class.
    void showForWindow(const QWidget* window);

private:
    THelpWindow& ensureWindow();

    QPointer<THelpWindow> window_;
    std::unique_ptr<QObject> f1_;
};

} // namespace wl
