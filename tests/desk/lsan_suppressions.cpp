// Under the leak checker: the font library keeps its caches until exit, and the
// sound library's sample cache loads on a thread of its own that exit cuts short.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:QSample\nleak:libQt6Multimedia.so\n";
}
