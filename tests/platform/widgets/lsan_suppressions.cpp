// Under the leak checker: the font library keeps its caches until exit, by design.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
