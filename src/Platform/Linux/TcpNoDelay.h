#pragma once

namespace quorvelle {

// Qt's HTTP client leaves Nagle's algorithm on, so the last partial segment of a request waits for
// the acknowledgement of the one before; a server that delays its acknowledgements (40 ms on Linux)
// then holds every upload up by that much. Turns TCP_NODELAY on for every TCP socket this process
// has open, which also sends anything already held back. Returns how many sockets it changed.
int disableNagleOnOpenTcpSockets();

}  // namespace quorvelle
