#pragma once

#include <QDateTime>
#include <QString>

namespace wl {

// Reads the date of an HTTP header (RFC 1123, RFC 850 or asctime form, with a numeric zone or
// a named one taken as universal time) and gives it in local time. An empty or unreadable
// text gives an invalid date.
QDateTime httpDateToLocal(const QString& text);

} // namespace wl
