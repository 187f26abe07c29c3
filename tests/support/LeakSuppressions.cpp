// Allocations that the system's font, display and bus libraries keep for the life of the process: the leak
// checker of the sanitizer build is told of them here, so every way of starting the tests sees the same list.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libfreetype\n"
           "leak:libdbus\n"
           "leak:libglib\n";
}
