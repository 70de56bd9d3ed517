// Under LeakSanitizer, the real SDL back end meets system code that keeps memory for the life of
// the process. Whole stacks (not the fast frame-pointer walk, which stops in the uninstrumented
// libraries) let these suppressions name exactly those places and nothing of ours.

extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n"                         // SDL's D-Bus connection
           "leak:engine::SdlBackend::showMessageBox\n";  // SDL's X11 message box
}
