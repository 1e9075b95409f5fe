// Linked into our executables in sanitizer builds only.

// libxkbcommon hands strndup a bound beyond its buffer's end but stops at the
// terminator; ASan's strndup check reads the whole bound and reports it.
extern "C" const char* __asan_default_options()
{
    return "intercept_strndup=0";
}

// Leaks inside system libraries that we do not own (D-Bus connections kept for
// the process's lifetime, font caches) are not ours to fix.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:libfontconfig.so\n"
           "leak:libpulse.so\n";
}
