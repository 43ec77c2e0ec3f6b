#include "exchange/import/ImportCategories.h"

namespace wl {

QStringList ImportCategories::missing(const QStringList& known,
                                      const std::vector<ImportRecord>& records)
{
    QStringList names = known;
    QStringList added;
    for (const ImportRecord& r : records) {
        const QString name = r.category.trimmed().left(NameLength);
        if (name.isEmpty() || names.contains(name, Qt::CaseInsensitive))
            continue;
        names << name;
        added << name;
    }
    return added;
}

} // namespace wl
