#pragma once

#include "exchange/export/ExportFormatOptions.h"

#include <QString>

namespace wl {

// The colours and font of an HTML export: 11 fields separated by ";" (page background, link,
// visited link, active link, font colour, font face, caption background, caption font colour,
// table and even-row background, page text colour, odd-row background).
class HTMLTemplate
{
public:
    static constexpr int FieldCount = 11;

    // The built-in template of a choice.
    static QString builtIn(THTML_Template choice);
    // Throws ExportError unless the text is blank or holds exactly 10 semicolons.
    static void check(const QString& text);
    // Field n, counted from 1; throws ExportError for a field the template does not have.
    static QString field(const QString& text, int n);
};

} // namespace wl
