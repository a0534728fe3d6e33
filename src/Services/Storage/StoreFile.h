#pragma once

#include <QByteArray>
#include <QString>

namespace quorvelle {

// What sits at a store's path, read without trusting it: only a regular file is read, opened
// without blocking (a FIFO cannot hang the caller) and only up to `limit` bytes (a link to an
// endless device cannot fill memory).
struct StoreFile {
    enum class Outcome { missing, read, refused };

    Outcome outcome = Outcome::missing;
    QByteArray bytes;
    // Why the file was refused, for the message that says so.
    QString reason;

    static StoreFile read(const QString& path, qint64 limit);
};

}  // namespace quorvelle
