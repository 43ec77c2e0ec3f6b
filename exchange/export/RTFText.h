#pragma once

#include <QString>
#include <QStringView>

namespace wl {

// Text as rich-text document content: "\", "{" and "}" escaped, characters of the Windows code
// page 1252 above 127 as \'hh, every other character beyond 127 as \uN? (N the signed 16-bit
// code unit, "?" what a reader without Unicode shows), TAB as \tab and LF as \par with a line
// end. Other control characters are dropped. The result is plain ASCII.
class RTFText
{
public:
    static QString convert(QStringView text);
};

} // namespace wl
