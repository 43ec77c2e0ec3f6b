#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

namespace wl::store::test {

// Reads the bytes as a filter expression (UTF-8) and takes it through everything a table does
// with one: the parser, the compiler against the frequency table's fields, and the preparing of
// the queries that walk and count through it. Returns what went wrong that never may (an
// accepted filter the SQL engine refuses, a refusal without a reason, a tree deeper than the
// bound); empty when the input was handled soundly, accepted or not.
QString runFilter(const std::uint8_t* data, std::size_t size);

} // namespace wl::store::test
