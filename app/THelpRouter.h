#pragma once

#include "app/services/HelpService.h"

#include <QPointer>

namespace wl {

class THelpWindow;

// Answers the program's help requests with the topics shipped inside it: a context number
// shows its window's topic, a keyword the index, anything else the contents.
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

private:
    THelpWindow& ensureWindow();

    QPointer<THelpWindow> window_;
};

} // namespace wl
