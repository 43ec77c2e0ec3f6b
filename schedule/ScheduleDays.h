#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace wl::schedule {

// The days field of a schedule line: empty for daily, day names and ranges ("Mo-Fr", "Sa,Su",
// "Sa-Mo" across the week's end), day numbers ("1245", 1 Monday to 7 Sunday), or a word for
// an irregular pattern ("irr", "alt").
struct ScheduleDays
{
    std::uint8_t mask = 0x7f;
    bool irregular = false;

    // None when the text is neither of these (a day number 0 or 8, a range of unknown days).
    static std::optional<ScheduleDays> parse(const QString& text);
};

} // namespace wl::schedule
