#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

#include <optional>

namespace quorvelle {

// The system's own words for an errno value ("No space left on device"), as the user reads them.
QString systemErrorText(int error);

// Writes every byte to the descriptor, past any buffer, going on after interrupted calls; the
// system's own reason when it could not (part of the bytes may then be written).
std::optional<QString> writeEveryByte(int fd, const QByteArray& bytes);

// Replaces a file atomically: the bytes go to a temporary file beside it, readable and
// writable by its owner only, which takes the file's place only once every byte was written. A
// failure keeps the system's own reason ("No space left on device"), which Qt's buffered writes
// lose on a short write ("Unknown error"), and leaves the old file as it was.
class StoreFileWriter {
public:
    // Nothing written takes the file's place unless committed.
    explicit StoreFileWriter(const QString& path);

    // False once anything failed; what follows is then ignored.
    bool write(const QByteArray& bytes);
    // Installs the file; the reason when it was not installed.
    std::optional<QString> commit();

private:
    bool flushBuffer();
    bool writeAll(const QByteArray& bytes);
    void fail(const QString& reason);

    QSaveFile m_file;
    QByteArray m_buffer;
    std::optional<QString> m_failure;
};

}  // namespace quorvelle
