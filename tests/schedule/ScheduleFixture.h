#pragma once

#include <QByteArray>

namespace wl::schedule::test {

// A small season in the file's own single-byte text (the station name on the 6065 line is
// Latin-1): weekday and weekend programmes, a span across midnight on days across the week's
// end, day numbers, an irregular entry with an unknown site, dates with and without a year, a
// frequency with decimals and a repeated line.
inline const QByteArray SeasonBytes =
    "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;Remarks:135;P:35;"
    "Start:60;Stop:60;\r\n"
    "6070;2100-2200;Mo-Fr;CAN;CFRX Toronto;E;NAm;#TOR;1;;;\r\n"
    "6070;2100-2300;Sa,Su;D;Weekend Radio;D;Eu;#NAU;1;;;\r\n"
    "6075;2300-0100;Sa-Mo;D;Night Owl;D;Eu;#NAU;1;;;\r\n"
    "6065;0000-2400;;B;R\xE1"
    "dio Clube do Par\xE1;P;SAm;#BEL;1;;;\r\n"
    "6090;2100-2200;1245;ROU;Numbered Days;R;Eu;#TIG;1;;;\r\n"
    "5005.5;2100-2200;;NPL;Radio Nepal;Ne;As;;1;;;\r\n"
    "6070;2130-2145;irr;XXX;Irregular Voice;E;Af;#ZZZ;1;;;\r\n"
    "6080;2100-2200;;USA;Seasonal Dates;E;Af;#TOR;1;1101;0331;\r\n"
    "6085;2100-2200;;USA;One Off;E;Af;;1;241201;241231;\r\n"
    "6070;2100-2200;Mo-Fr;CAN;CFRX Toronto;E;NAm;#TOR;1;;;\r\n";

// Sites with a heading, both separators, a name holding a comma and hemisphere letters.
inline const QByteArray SitesBytes = "code;name;lat;lon\n"
                                     "TOR;Toronto;43.65;-79.38\n"
                                     "NAU;Nauen;52.65;12.91\n"
                                     "BEL,Bel\xE9m, Par\xE1,1.46S,48.5W\n"
                                     "TIG;Tiganesti;44.75;26.10\n";

} // namespace wl::schedule::test
