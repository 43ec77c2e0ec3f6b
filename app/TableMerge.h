#pragma once

#include "store/Status.h"

#include <QtGlobal>

namespace wl {

namespace store {
class Table;
}

// Appends every record of one open table to another in a single transaction: either all of
// them arrive or none does. Fields are matched by name; the target gives each new record its
// own record number, so the numbers of the target stay unique.
class TableMerge
{
public:
    static store::Status run(store::Table& target, store::Table& source, qint64* added = nullptr);

private:
    static store::Status appendAll(store::Table& target, store::Table& source, qint64& added);
};

} // namespace wl
