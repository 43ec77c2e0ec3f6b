#pragma once

#include <QString>

namespace wl {

class TFormMain;

// A record as the user knows it, for confirmations and window titles: its frequency, callsign
// and date ("7.0000 MHz, BBC, 11/22/2004 03:07 PM"), read from the table by record number.
class RecordCaption
{
public:
    static QString of(TFormMain& main, qint64 recNum);
};

} // namespace wl
