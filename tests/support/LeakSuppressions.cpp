// System libraries that keep process-wide state until exit and never free it (font
// configuration, the session bus connection) are reported by the leak checker after any test
// that draws text or touches the desktop. Only those libraries are excused: a leak of the
// program's own is still reported.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           // The radio library keeps its per-radio caches after the radio is cleaned up.
           "leak:libhamlib.so\n";
}
