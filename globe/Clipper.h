#pragma once

#include "globe/ScreenPoint.h"

#include <cstdint>
#include <vector>

namespace wl {

// Clip code of a projected shape: the outcodes of its bounding box's two corners (minimum
// corner in the high nibble); 255 for fewer than two points.
std::uint8_t clipCode(const ScreenPoint* points, int n, int width, int height);
// False when the whole bounding box lies beyond one edge of the surface.
bool clipCodeVisible(std::uint8_t code);

// Clips points[0..n) to the surface (edges one pixel outside it) and returns the new count;
// the vector grows as needed, since every pass can add points.
int clipShape(std::vector<ScreenPoint>& points, int n, std::uint8_t code, bool polygon, int width,
              int height);

} // namespace wl
