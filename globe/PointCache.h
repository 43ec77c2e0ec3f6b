#pragma once

#include <cstdint>
#include <vector>

namespace wl {

// The subset of an object's points worth projecting at the zoom it was built for; the owning
// object drops it whenever its bounds are recomputed, so it is rebuilt at the next zoom.
struct PointCache
{
    bool built = false;
    std::vector<std::int32_t> indices;

    void reset()
    {
        built = false;
        indices.clear();
    }
};

} // namespace wl
