#include "exchange/export/CNumbersScope.h"

#include <clocale>
#include <locale.h>
#include <string>

namespace wl {

#ifdef _WIN32

// The C runtime keeps a locale per thread once asked to; the setting below then stays with
// this thread.
CNumbersScope::CNumbersScope()
{
    previousMode_ = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    const char* current = std::setlocale(LC_NUMERIC, nullptr);
    previous_ = new std::string(current ? current : "C");
    std::setlocale(LC_NUMERIC, "C");
}

CNumbersScope::~CNumbersScope()
{
    auto* previous = static_cast<std::string*>(previous_);
    std::setlocale(LC_NUMERIC, previous->c_str());
    delete previous;
    _configthreadlocale(previousMode_);
}

#else

namespace {

locale_t cNumbers()
{
    // Made once and kept for the life of the process: every scope on every thread shares it.
    static const locale_t locale = newlocale(LC_NUMERIC_MASK, "C", duplocale(LC_GLOBAL_LOCALE));
    return locale;
}

} // namespace

CNumbersScope::CNumbersScope()
{
    if (const locale_t locale = cNumbers())
        previous_ = uselocale(locale);
}

CNumbersScope::~CNumbersScope()
{
    if (previous_)
        uselocale(static_cast<locale_t>(previous_));
}

#endif

void CNumbersScope::useForProcess()
{
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace wl
