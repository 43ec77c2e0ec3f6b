#pragma once

#include "globe/GlobeUnits.h"

#include <cstdint>
#include <string>

namespace wl {

// Colours are stored as 0x00BBGGRR values (255 is pure red), as layer files hold them.
using GlobeColor = std::int32_t;

// Pen and brush styles keep the ordinals of the layer files.
enum class PenStyle : std::uint8_t
{
    Solid,
    Dash,
    Dot,
    DashDot,
    DashDotDot,
    Clear,
    InsideFrame,
};

enum class BrushStyle : std::uint8_t
{
    Solid,
    Clear,
    Horizontal,
    Vertical,
    FDiagonal,
    BDiagonal,
    Cross,
    DiagCross,
};

// Font style bits.
inline constexpr std::uint8_t FontBold = 1;
inline constexpr std::uint8_t FontItalic = 2;
inline constexpr std::uint8_t FontUnderline = 4;
inline constexpr std::uint8_t FontStrikeOut = 8;

struct PenData
{
    GlobeColor color = 0;
    std::uint8_t style = 0;
    std::uint8_t width = 1;
};

struct BrushData
{
    GlobeColor color = 16777215;
    std::uint8_t style = 0;
};

// The settings new text objects take their font from.
struct FontData
{
    std::string face = "Arial";
    std::uint8_t styles = 0;
    std::int32_t angle = 0; // tenths of a degree
    std::int32_t size = 12;
    GlobeUnits unit = GlobeUnits::Pixel;
    GlobeColor color = 16777215;
};

} // namespace wl
