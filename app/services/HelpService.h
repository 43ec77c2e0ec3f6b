#pragma once

#include <QString>

namespace wl {

// Where the windows send their help requests; the program installs its help router here.
class HelpService
{
public:
    virtual ~HelpService() = default;
    virtual void showContext(int context) = 0;
    virtual void showKeyword(const QString& keyword) = 0;
    virtual void showContents() = 0;
    // Closes every open help window.
    virtual void quit() = 0;
};

} // namespace wl
