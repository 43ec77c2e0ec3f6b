#include "app/services/QtDesktopService.h"

#include <QDesktopServices>

namespace wl {

bool QtDesktopService::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

} // namespace wl
