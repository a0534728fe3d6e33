#include "Services/Storage/SettingsFileWriter.h"

#include "Support/PrivateFile.h"

#include <QFileInfo>
#include <QtDebug>

#include <exception>
#include <system_error>

namespace quorvelle {

SettingsFileWriter::SettingsFileWriter(QString filePath, WriteFile writeFile)
    : m_filePath(std::move(filePath)), m_writeFile(writeFile ? std::move(writeFile) : WriteFile(&PrivateFile::write)) {}

SettingsFileWriter::~SettingsFileWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable()) m_worker.join();
}

void SettingsFileWriter::write(QByteArray bytes) {
    {
        std::lock_guard lock(m_mutex);
        // Started at the first change: a copy opened only to be read needs no thread.
        if (!m_worker.joinable() && !m_writesInline) {
            try {
                m_worker = std::thread(&SettingsFileWriter::work, this);
            } catch (const std::system_error&) {
                m_writesInline = true;
            }
        }
        if (!m_writesInline) {
            m_pending = std::move(bytes);
            m_changed.notify_all();
            return;
        }
    }
    writeNow(bytes);
}

void SettingsFileWriter::waitUntilWritten() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_pending && !m_writing; });
}

void SettingsFileWriter::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        // Bytes still pending are written before the thread ends.
        m_changed.wait(lock, [this] { return m_stopping || m_pending; });
        if (!m_pending) return;
        const QByteArray bytes = std::move(*m_pending);
        m_pending.reset();
        m_writing = true;
        lock.unlock();
        writeNow(bytes);
        lock.lock();
        m_writing = false;
        m_changed.notify_all();
    }
}

void SettingsFileWriter::writeNow(const QByteArray& bytes) const {
    // Nothing may leave the writer's thread: a failure is told here, like any other.
    try {
        PrivateFile::makeFolder(QFileInfo(m_filePath).absolutePath());
        // Instructions, dictionary and snippets are personal: readable by the user alone.
        if (const auto failure = m_writeFile(m_filePath, bytes))
            qWarning("Cannot write settings file %s: %s", qUtf8Printable(m_filePath), qUtf8Printable(*failure));
    } catch (const std::exception& error) {
        qWarning("Cannot write settings file %s: %s", qUtf8Printable(m_filePath), error.what());
    }
}

}  // namespace quorvelle
