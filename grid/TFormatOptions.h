#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>

namespace wl {

enum class TAlignment
{
    taLeftJustify,
    taRightJustify,
    taCenter
};
enum class TVertAlignment
{
    taTopJustify,
    taBottomJustify,
    taMiddle
};
enum class TCellBevelStyle
{
    cbNone,
    cbRaised,
    cbLowered
};

// How one cell is drawn; filled with the grid's defaults before OnGetCellFormat, whose
// handler changes what it wants.
struct TFormatOptions
{
    QBrush CellBrush;
    QFont CellFont;
    QColor FontColor; // the text colour that goes with CellFont
    TAlignment HorzAlign = TAlignment::taLeftJustify;
    TVertAlignment VertAlign = TVertAlignment::taTopJustify;
    TCellBevelStyle CellBevel = TCellBevelStyle::cbNone;
    QColor BevelLightColor;
    QColor BevelDarkColor;
    bool TextHidden = false;
};

// The state a cell is drawn in.
struct TGridDrawState
{
    bool Selected = false;
    bool Focused = false;
    bool Fixed = false;
};

} // namespace wl
