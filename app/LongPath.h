#pragma once

#include <QString>

namespace wl {

// The path with every component in the long form the file system reports for it. Components
// from the first one that does not exist onwards are dropped; a root comes back without its
// trailing separator ("/" gives "", "C:/" gives "C:"), so callers append "/" + a name.
QString ExpandLongPath(const QString& path);

} // namespace wl
