#pragma once

#include <stdexcept>
#include <string>

namespace wl {

// The globe engine's one error class; its messages are fixed texts callers may show.
class GlobeException : public std::runtime_error
{
public:
    explicit GlobeException(const std::string& message) : std::runtime_error(message) {}
};

} // namespace wl
