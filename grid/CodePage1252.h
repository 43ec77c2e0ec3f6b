#pragma once

#include <QByteArray>
#include <QString>

namespace wl {

// The Windows Latin-1 code page (1252): the single-byte text of the category file's older
// copies, of imported files that are not UTF-8 and of exported files, which the spreadsheet
// and word-processing programs they are made for read without being told.
class CodePage1252
{
public:
    // Every byte has a character: the five bytes the code page leaves unassigned become the
    // C1 controls of the same value, as the platform's own conversion does.
    static QString decode(QByteArrayView bytes);
    // A character the code page lacks (the C1 controls included) is written as "?"; *lossless,
    // when given, tells whether every character had its byte.
    static QByteArray encode(QStringView text, bool* lossless = nullptr);
    // True when every character of the text has a byte in the code page.
    static bool holds(QStringView text);
};

} // namespace wl
