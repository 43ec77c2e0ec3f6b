#pragma once

#include "store/Table.h"

namespace wl::store {

// The frequency log's table: its file names, field layout and indexes.
namespace FrequencyRecord {
inline const QString TableFile = QStringLiteral("larkbase.dat");
inline const QString IndexFile = QStringLiteral("larkbase.idx");
inline const QString MemoFile = QStringLiteral("larkbase.blb");
inline const QString CategoryFileName = QStringLiteral("larkbase.cat");
inline const QString FrequencyIndex = QStringLiteral("By Frequency");

// Fields in the order the table is created.
std::vector<FieldDef> fields();
std::vector<IndexDef> indexes();
// Defines the fields and indexes on a handle, clearing earlier definitions.
void define(Table& table);
} // namespace FrequencyRecord

} // namespace wl::store
