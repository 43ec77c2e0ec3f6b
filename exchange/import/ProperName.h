#pragma once

#include <QString>

namespace wl {

// Names typed in capitals or in lower case made to read as names: "MARY O'NEIL. DR.SMITH"
// becomes "Mary O'neil. Dr.Smith" and "po box 12" becomes "PO Box 12". Only the letters A to Z
// change case; other letters are left as they are.
QString ProperName(const QString& text);

} // namespace wl
