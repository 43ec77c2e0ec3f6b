#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wl {

// Whole-file reads and atomic whole-file writes for the engine's own files.
class FileBytes
{
public:
    // The file's bytes, or nothing when it cannot be opened.
    static std::optional<std::vector<std::uint8_t>> read(const std::string& path);
    // Writes a temporary file beside the target, flushes it to disk and renames it over the
    // target, so a failed write never damages the previous file. Throws GlobeException with
    // the reason on failure.
    static void writeAtomically(const std::string& path, std::span<const std::uint8_t> bytes);
};

} // namespace wl
