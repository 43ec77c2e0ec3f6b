#pragma once

#include "grid/LocaleInfo.h"

#include <QString>
#include <QStringView>

namespace wl {

// Text routines shared by the writers.
class ExportText
{
public:
    // Removes every character below 32.
    static QString StripControlChars(QStringView text);
    // Keeps characters of 32 and above, replaces TAB by tabText and LF by breakText and drops
    // every other control character (CR included).
    static QString TranslateBreaks(QStringView text, const QString& tabText,
                                   const QString& breakText);
    // Every line break (CR LF, CR or LF) and TAB becomes one blank, other control characters
    // are dropped: a cell stays on one line of a delimited file without its words running
    // together.
    static QString FlattenBreaks(QStringView text);
    // Drops the control characters except TAB, CR and LF, which a quoted delimited field holds.
    static QString KeepBreaks(QStringView text);
    // A number written with a leading zero ("007", "-01"): its zeros are part of it, so formats
    // with text cells keep it as text.
    static bool HasLeadingZero(QStringView text);
    // A text a spreadsheet would run as a formula when it opens a delimited file: one starting
    // with "=", "+", "-" or "@", also behind apostrophes (so that the guard below can be told
    // from a text that begins with an apostrophe of its own).
    static bool LooksLikeFormula(QStringView text);
    // The text with the apostrophe that makes spreadsheets open it as text when it looks like a
    // formula; the import removes it again (RemoveFormulaGuard).
    static QString GuardFormula(const QString& text);
    static QString RemoveFormulaGuard(const QString& text);
    // Puts esc before every occurrence of ch.
    static QString EscapeChar(QStringView text, QChar ch, const QString& esc);
    static QString DashLine(int n);
    // A decimal real in the locale's notation: optional leading blanks and sign, digits with an
    // optional fraction and exponent. Where the decimal separator is not "." a text with "."
    // is not a number, so "1,5" is one and "1.5" is not under a decimal comma.
    static bool IsNumberText(const QString& text, const LocaleInfo& locale);
    // The first decimal separator replaced by ".".
    static QString ToDotDecimal(const QString& text, const LocaleInfo& locale);
    // The text on one line (FlattenBreaks), cut or padded to width. A cut text ends with
    // truncateSymbol when that is shorter than the width; with alignNumbers a number that fits
    // is right-aligned.
    static QString FitToWidth(const QString& text, int width, bool alignNumbers,
                              const QString& truncateSymbol, const LocaleInfo& locale);
    // Fills the placeholders of a footer with the number of items: %f, %e, %g and %n with
    // an optional "-", width and precision, %d as a whole number, %s as plain text and %% as
    // "%". Anything else is left as it stands, so a stray "%" never breaks an export.
    static QString FormatCount(const QString& format, double value);
};

} // namespace wl
