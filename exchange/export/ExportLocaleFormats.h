#pragma once

#include "exchange/export/ExportTypes.h"
#include "grid/LocaleInfo.h"

#include <QDateTime>
#include <QString>

namespace wl {

// Number and date format texts taken from the locale, for spreadsheet-style formats and for
// the creation line of an export.
class ExportLocaleFormats
{
public:
    // The short date format lower-cased, keeping only "m", "d", "y" and the date separator.
    static QString DateFormatText(const LocaleInfo& locale);
    // "h:mm", ":ss" with TimeDisplaySeconds, "\ AM/PM" unless Time24HourFormat or the locale
    // has no AM/PM texts.
    static QString TimeFormatText(TExportOptions options, const LocaleInfo& locale);
    static QString DateTimeFormatText(TExportOptions options, const LocaleInfo& locale);
    // The locale's currency layout as a positive and a negative section, the negative in red.
    static QString CurrencyFormatText(const LocaleInfo& locale);
    // "Created: " with the date in the short date form and the time in the long time form.
    static QString TimeStampText(const QDateTime& now, const LocaleInfo& locale);
};

} // namespace wl
