#pragma once

#include "exchange/import/ImportRecordBuilder.h"

#include <QStringList>

#include <vector>

namespace wl {

// The categories imported records bring with them (a file with a Category column) that the
// category list lacks: they join the list once the records are stored, so the records show
// under tabs of their own.
class ImportCategories
{
public:
    // The longest name the category list holds, as the table's Category field.
    static constexpr int NameLength = 20;

    // The records' categories that are not in known, compared without regard to case, each
    // once, trimmed and cut to NameLength as the table stores them, in row order.
    static QStringList missing(const QStringList& known, const std::vector<ImportRecord>& records);
};

} // namespace wl
