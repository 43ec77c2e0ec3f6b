#include "store/FrequencyRecord.h"

namespace wl::store::FrequencyRecord {

std::vector<FieldDef> fields()
{
    auto text = [](const char* name, int size, bool required = false) {
        return FieldDef{QString::fromLatin1(name), FieldType::Text, size, required};
    };
    auto number = [](const char* name, FieldType type, bool required = false) {
        return FieldDef{QString::fromLatin1(name), type, 0, required};
    };
    return {
        number("RecNum", FieldType::AutoInc, true),
        text("Category", 20, true),
        text("Callsign", 20),
        number("Notes", FieldType::Memo),
        number("RDate", FieldType::DateTime, true),
        number("Hz", FieldType::Double, true),
        text("Modifier", 1),
        text("User", 20),
        text("Location", 20),
        text("Optional", 20),
        text("Position", 20),
        number("RLat", FieldType::Double),
        number("RLon", FieldType::Double),
    };
}

std::vector<IndexDef> indexes()
{
    return {
        {QString(), QStringLiteral("RecNum"), IndexOption::Primary},
        {FrequencyIndex, QStringLiteral("Hz"), IndexOption::None},
    };
}

void define(Table& table)
{
    table.clearDefinitions();
    for (const FieldDef& f : fields())
        table.addFieldDef(f);
    for (const IndexDef& i : indexes())
        table.addIndexDef(i);
}

} // namespace wl::store::FrequencyRecord
