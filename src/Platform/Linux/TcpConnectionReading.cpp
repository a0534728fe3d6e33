#include "Platform/Linux/TcpConnectionReading.h"

#include <dirent.h>
#include <linux/sockios.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cstddef>
#include <cstdlib>
#include <functional>

namespace quorvelle {

namespace {

bool isTcpSocket(int fd) {
    int value = -1;
    socklen_t size = sizeof value;
    if (::getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &value, &size) != 0 || (value != AF_INET && value != AF_INET6))
        return false;
    size = sizeof value;
    return ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &value, &size) == 0 && value == SOCK_STREAM;
}

quint16 portOf(const sockaddr_storage& address) {
    return address.ss_family == AF_INET6 ? ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port)
                                         : ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
}

bool isConnectedTo(int fd, const QList<QHostAddress>& peers, quint16 port) {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0 || portOf(address) != port) return false;
    const QHostAddress peer(reinterpret_cast<const sockaddr*>(&address));
    for (const QHostAddress& wanted : peers)
        if (peer.isEqual(wanted, QHostAddress::ConvertV4MappedToIPv4)) return true;
    return false;
}

quint16 localPort(int fd) {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    return ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0 ? portOf(address) : 0;
}

// -1 when the kernel does not count received bytes (before Linux 4.1).
qint64 bytesTaken(int fd) {
    tcp_info info{};
    socklen_t size = sizeof info;
    constexpr socklen_t kNeeded = offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received;
    if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0 || size < kNeeded) return -1;
    int queued = 0;
    if (::ioctl(fd, SIOCINQ, &queued) != 0) queued = 0;
    return qint64(info.tcpi_bytes_received) - queued;
}

// Calls `visit` with each open descriptor that is a connection to the peer. A descriptor another
// thread closes or reuses meanwhile only makes a call fail or finds another of this process's
// connections to the same peer.
void forEachConnection(const QList<QHostAddress>& peers, quint16 port, const std::function<void(int)>& visit) {
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder) return;
    const int own = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == own) continue;
        if (isTcpSocket(int(fd)) && isConnectedTo(int(fd), peers, port)) visit(int(fd));
    }
    ::closedir(folder);
}

}  // namespace

QHash<quint16, qint64> TcpConnectionReading::bytesRead(const QList<QHostAddress>& peers, quint16 port) const {
    QHash<quint16, qint64> counts;
    forEachConnection(peers, port, [&counts](int fd) {
        const qint64 taken = bytesTaken(fd);
        if (taken >= 0) counts.insert(localPort(fd), taken);
    });
    return counts;
}

void TcpConnectionReading::shutDown(const QList<QHostAddress>& peers, quint16 port,
                                    const QList<quint16>& localPorts) const {
    // The descriptor stays Qt's to close; its reads end now.
    forEachConnection(peers, port, [&localPorts](int fd) {
        if (localPorts.contains(localPort(fd))) ::shutdown(fd, SHUT_RDWR);
    });
}

}  // namespace quorvelle
