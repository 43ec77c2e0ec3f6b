#pragma once

#include "store/Table.h"

#include <QString>

namespace wl {

// What a repair did, in one sentence for the user: records kept and lost, notes lost, and
// whether damaged files were kept aside.
QString repairSummary(const store::RepairResult& result);

} // namespace wl
