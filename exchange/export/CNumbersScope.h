#pragma once

namespace wl {

// While it lives, the C library formats and reads numbers on the calling thread as the "C"
// locale does ("146.5201", never "146,5201"), whatever the user's LC_NUMERIC. File formats that
// a library writes through printf (the workbook's cell values and column widths) depend on it:
// a decimal comma makes the file corrupt. Only this thread is affected, and the previous
// setting comes back at the end of the scope.
class CNumbersScope
{
public:
    CNumbersScope();
    ~CNumbersScope();
    CNumbersScope(const CNumbersScope&) = delete;
    CNumbersScope& operator=(const CNumbersScope&) = delete;

    // Sets LC_NUMERIC to "C" for the whole process; for the programs' start, after the
    // application object has taken the user's locale.
    static void useForProcess();

private:
    void* previous_ = nullptr;
    int previousMode_ = 0;
};

} // namespace wl
