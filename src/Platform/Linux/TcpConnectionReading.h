#pragma once

#include "Services/Backend/ConnectionReading.h"

namespace quorvelle {

// Finds the connections among this process's open descriptors; a connection's bytes taken are those
// the kernel received less those still waiting in it.
class TcpConnectionReading final : public ConnectionReading {
public:
    QHash<quint16, qint64> bytesRead(const QList<QHostAddress>& peers, quint16 port) const override;
    void shutDown(const QList<QHostAddress>& peers, quint16 port, const QList<quint16>& localPorts) const override;
};

}  // namespace quorvelle
