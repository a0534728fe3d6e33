// Preloaded into the app by a test (LD_PRELOAD): says on standard error which of exit() and _exit()
// ended the process, with the status and whether the main thread called it, before passing the
// call on. exit() runs destructors beside threads still at work; _exit() is the app's own end.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>

namespace {

const char* which() {
    return ::gettid() == ::getpid() ? "the main thread" : "another thread";
}

}  // namespace

extern "C" {

[[noreturn]] void exit(int status) {
    std::fprintf(stderr, "exit trace: exit(%d) on %s\n", status, which());
    using Exit = void (*)(int);
    reinterpret_cast<Exit>(::dlsym(RTLD_NEXT, "exit"))(status);
    __builtin_unreachable();
}

[[noreturn]] void _exit(int status) {
    std::fprintf(stderr, "exit trace: _exit(%d) on %s\n", status, which());
    std::fflush(stderr);
    using Exit = void (*)(int);
    reinterpret_cast<Exit>(::dlsym(RTLD_NEXT, "_exit"))(status);
    __builtin_unreachable();
}
}
