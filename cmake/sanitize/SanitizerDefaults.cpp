// Default runtime options of a sanitized build; the environment's ASAN_OPTIONS, UBSAN_OPTIONS and
// LSAN_OPTIONS still override them.

extern "C" {

// The first fault ends the process, so that a test fails where it happened.
const char* __asan_default_options() {
    return "halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1";
}

const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}

// Leaks inside third-party libraries (allocations they make once and keep until exit) are listed
// in the suppressions file; none of ours are.
const char* __lsan_default_options() {
    return "suppressions=" QUORVELLE_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
}
