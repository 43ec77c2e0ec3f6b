#pragma once

#include <QUrl>

namespace wl {

// Hands web addresses, "mailto:" addresses and files to the programs the user chose for them.
class DesktopService
{
public:
    virtual ~DesktopService() = default;
    virtual bool openUrl(const QUrl& url) = 0;
};

} // namespace wl
