#include "Platform/Linux/TcpNoDelay.h"

#include <dirent.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cstdlib>

namespace quorvelle {

namespace {

int socketOption(int fd, int level, int name) {
    int value = -1;
    socklen_t size = sizeof value;
    return ::getsockopt(fd, level, name, &value, &size) == 0 ? value : -1;
}

}  // namespace

int disableNagleOnOpenTcpSockets() {
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder) return 0;
    const int own = ::dirfd(folder);
    int changed = 0;
    // A descriptor another thread closes or reuses meanwhile only makes a call fail, or sets the
    // option on another of our own HTTP sockets: both harmless.
    while (const dirent* entry = ::readdir(folder)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == own) continue;
        const int domain = socketOption(int(fd), SOL_SOCKET, SO_DOMAIN);
        if ((domain != AF_INET && domain != AF_INET6) || socketOption(int(fd), SOL_SOCKET, SO_TYPE) != SOCK_STREAM ||
            socketOption(int(fd), IPPROTO_TCP, TCP_NODELAY) != 0)
            continue;
        const int on = 1;
        if (::setsockopt(int(fd), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0) ++changed;
    }
    ::closedir(folder);
    return changed;
}

}  // namespace quorvelle
