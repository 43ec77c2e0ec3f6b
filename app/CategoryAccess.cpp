#include "app/CategoryAccess.h"

#include "store/CategoryFile.h"

namespace wl {

std::optional<QStringList> CategoryAccess::read(const QString& folder, QString* error)
{
    const store::CategoryFile file = store::CategoryFile::inFolder(folder);
    if (!file.exists())
        return std::nullopt;
    QStringList names;
    if (const store::Status s = file.read(names); !s) {
        if (error)
            *error = s.error;
        return std::nullopt;
    }
    return store::CategoryFile::sorted(names);
}

bool CategoryAccess::createDefaultIfMissing(const QString& folder, QString* error)
{
    const store::Status s = store::CategoryFile::inFolder(folder).createIfMissing();
    if (!s && error)
        *error = s.error;
    return static_cast<bool>(s);
}

} // namespace wl
