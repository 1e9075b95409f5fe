// Linked into our executables in sanitizer builds only, so that every run
// (the test command or a plain ctest) uses the same settings.

#if defined(REPETA_ASAN)
// libxkbcommon hands strndup a bound beyond its buffer's end but stops at the
// terminator; ASan's strndup check reads the whole bound and reports it.
extern "C" const char* __asan_default_options()
{
    return "intercept_strndup=0";
}

// Libraries are never unloaded in these builds, so that a leak inside a
// plugin (ALSA's, Qt's, Mesa's) still names its library and can be judged.
extern "C" int dlclose(void*)
{
    return 0;
}

// Leaks inside system libraries that we do not own (D-Bus connections kept for
// the process's lifetime, font caches) are not ours to fix.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n"
           "leak:libfontconfig.so\n"
           "leak:libpulse.so\n";
}
#endif

#if defined(REPETA_TSAN_SUPPRESSIONS)
// Races that TSan reports inside uninstrumented libraries (Qt, PulseAudio)
// are listed in this file, with the reason for each.
extern "C" const char* __tsan_default_options()
{
    return "second_deadlock_stack=1:suppressions=" REPETA_TSAN_SUPPRESSIONS;
}
#endif
