#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace quorvelle {

// Writes the settings file on a thread of its own, so that a change (a diagnostics event recorded
// as a key is let go, say) never waits on the disk. Only the newest bytes handed over are written:
// bytes replaced before their turn are skipped, and older bytes never follow newer ones. The
// destructor returns once the newest bytes are in the file.
class SettingsFileWriter final {
public:
    // Replaces the file at the path with the bytes, atomically; the reason on failure.
    using WriteFile = std::function<std::optional<QString>(const QString& path, const QByteArray& bytes)>;

    // Without `writeFile`, the file is written privately (PrivateFile::write).
    explicit SettingsFileWriter(QString filePath, WriteFile writeFile = {});
    ~SettingsFileWriter();
    SettingsFileWriter(const SettingsFileWriter&) = delete;
    SettingsFileWriter& operator=(const SettingsFileWriter&) = delete;

    void write(QByteArray bytes);
    // Returns once the file holds the newest bytes handed over.
    void waitUntilWritten();

private:
    void work();
    void writeNow(const QByteArray& bytes) const;

    const QString m_filePath;
    const WriteFile m_writeFile;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<QByteArray> m_pending;
    bool m_writing = false;
    bool m_stopping = false;
    // No thread could be had: the caller writes, as it did before there was a thread.
    bool m_writesInline = false;
    std::thread m_worker;
};

}  // namespace quorvelle
