#pragma once

#include <QHash>
#include <QHostAddress>
#include <QList>

namespace quorvelle {

// What the process has read from its own TCP connections, below Qt. Qt's HTTP client reads an
// answer's status, header and chunk-size lines into memory whole, however long, and tells nothing
// until they end; while bytes keep coming its network thread reads on and takes no other work,
// not even the abort of that request.
class ConnectionReading {
public:
    virtual ~ConnectionReading() = default;

    // For every connection to one of the addresses on the port, keyed by its local port: the bytes
    // taken from it so far.
    virtual QHash<quint16, qint64> bytesRead(const QList<QHostAddress>& peers, quint16 port) const = 0;
    // Ends those of them with the given local ports at once, whichever thread is reading them.
    virtual void shutDown(const QList<QHostAddress>& peers, quint16 port, const QList<quint16>& localPorts) const = 0;
};

}  // namespace quorvelle
