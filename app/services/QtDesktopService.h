#pragma once

#include "app/services/DesktopService.h"

namespace wl {

// Opens addresses through the desktop's registered programs.
class QtDesktopService : public DesktopService
{
public:
    bool openUrl(const QUrl& url) override;
};

} // namespace wl
