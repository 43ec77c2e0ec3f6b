#pragma once

#include "app/report/ReportSource.h"

class QPrinter;

namespace wl {

class TFormMain;

// The printed list of the records in the main window's grid: built on a page printer and shown
// in its preview, from which the user prints it or chooses another body font.
class RecordReport
{
public:
    // The Print command: says so when the grid shows no records, else PrintIt.
    static void printCommand(TFormMain& main);
    // Builds the report and shows its preview until the user closes it; a new body font chosen
    // in the preview builds it again.
    static void PrintIt(TFormMain& main);
    // The grid as displayed, in its current row order, with the title of the current tab.
    static ReportSource sourceOf(const TFormMain& main);
    static QString title(const TFormMain& main);
    // Makes the printer print one-sided when it can print on both sides.
    static void ForceSimplex(QPrinter& printer);
};

} // namespace wl
