#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"

#include "Services/Storage/TranscriptHistoryCsv.h"
#include "Services/Storage/TranscriptHistoryExportError.h"
#include "Support/AppPaths.h"
#include "Support/PrivateFile.h"

#include <QDir>
#include <QMetaObject>

#include <malloc.h>

#include <algorithm>

namespace quorvelle {

namespace {

const QString kHistoryFileName = QStringLiteral("transcript-history.json");

bool newerFirst(const TranscriptHistoryEntry& a, const TranscriptHistoryEntry& b) {
    return a.completedAt > b.completedAt;
}

// Newest first; among equal dates the new entry goes first, as a stable sort would put it.
qsizetype insertByDate(QList<TranscriptHistoryEntry>& entries, const TranscriptHistoryEntry& entry) {
    const auto at = std::partition_point(entries.cbegin(), entries.cend(),
                                         [&](const TranscriptHistoryEntry& kept) { return newerFirst(kept, entry); });
    const qsizetype position = at - entries.cbegin();
    entries.insert(position, entry);
    return position;
}

}  // namespace

ApplicationSupportTranscriptHistoryStore::ApplicationSupportTranscriptHistoryStore()
    : ApplicationSupportTranscriptHistoryStore(Options{}) {}

ApplicationSupportTranscriptHistoryStore::ApplicationSupportTranscriptHistoryStore(Options options)
    : m_options(std::move(options)), m_file(historyFilePath(), m_options.now) {
    PrivateFile::makeFolder(m_options.directory);
    m_jobs.push_back(Job{});
    try {
        m_worker = std::thread(&ApplicationSupportTranscriptHistoryStore::work, this, true);
    } catch (const std::system_error&) {
        // No thread to spare: every job runs on the caller's thread instead.
        work(false);
    }
}

ApplicationSupportTranscriptHistoryStore::~ApplicationSupportTranscriptHistoryStore() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable()) m_worker.join();
}

QString ApplicationSupportTranscriptHistoryStore::defaultDirectory() {
    return QDir(AppPaths::applicationSupportDirectory()).filePath(QStringLiteral("History"));
}

QString ApplicationSupportTranscriptHistoryStore::historyFilePath() const {
    return QDir(m_options.directory).filePath(kHistoryFileName);
}

void ApplicationSupportTranscriptHistoryStore::work(bool ownThread) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_jobs.empty()) {
            // Without a thread of its own, the loop runs only what is queued now.
            if (m_stopping || !ownThread) return;
            m_changed.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            continue;
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_working = true;
        lock.unlock();
        run(job);
        lock.lock();
        m_working = false;
        m_changed.notify_all();
    }
}

void ApplicationSupportTranscriptHistoryStore::run(Job& job) {
    switch (job.kind) {
        case Job::Kind::read: {
            TranscriptHistoryFile::Contents contents = m_file.read();
            std::vector<Waiter> waiters;
            qsizetype added = 0;
            bool inFront = true;
            {
                std::lock_guard lock(m_mutex);
                // Dictations that came in while the file was read go in now, where they belong.
                for (const TranscriptHistoryEntry& entry : m_earlyEntries) {
                    const qsizetype at = insertByDate(contents.entries, entry);
                    inFront = inFront && at <= added;
                    ++added;
                }
                m_earlyEntries.clear();
                if (added > 0) contents.outcome = TranscriptHistoryFile::Outcome::decoded;
                m_loadedContents = contents;
                m_loaded = true;
                // Done with the file unless early dictations must be written: a file replaced since
                // can be read again at once instead of being taken for one of our own writes.
                if (added == 0) m_working = false;
                waiters.swap(m_waiters);
            }
            m_changed.notify_all();
            for (Waiter& waiter : waiters) {
                if (waiter.context)
                    QMetaObject::invokeMethod(waiter.context, std::move(waiter.loaded), Qt::QueuedConnection);
            }
            if (added > 0) m_file.write(contents.entries, inFront ? added : -1);
            // The text and the document the history was decoded from are gone: give their pages back.
            ::malloc_trim(0);
            break;
        }
        case Job::Kind::write: m_file.write(job.entries, job.prepended); break;
        case Job::Kind::remove: m_file.remove(); break;
    }
}

void ApplicationSupportTranscriptHistoryStore::schedule(Job job) {
    {
        std::lock_guard lock(m_mutex);
        // Only the newest list matters to a write still waiting: it takes this one's place.
        if (job.kind == Job::Kind::write && !m_jobs.empty() && m_jobs.back().kind == Job::Kind::write) {
            Job& waiting = m_jobs.back();
            job.prepended = waiting.prepended >= 0 && job.prepended >= 0 ? waiting.prepended + job.prepended : -1;
            waiting = std::move(job);
        } else {
            m_jobs.push_back(std::move(job));
        }
    }
    if (m_worker.joinable())
        m_changed.notify_all();
    else
        work(false);
}

void ApplicationSupportTranscriptHistoryStore::take(TranscriptHistoryFile::Contents contents) {
    m_entries = std::move(contents.entries);
    m_unreadable = contents.outcome == TranscriptHistoryFile::Outcome::unreadable;
    m_unreadableDetail = contents.detail;
    m_skipped = contents.skipped;
}

void ApplicationSupportTranscriptHistoryStore::adoptLoaded() {
    if (m_adopted) return;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_loaded; });
    take(std::move(m_loadedContents));
    m_adopted = true;
}

void ApplicationSupportTranscriptHistoryStore::rereadIfReplaced() {
    adoptLoaded();
    std::lock_guard lock(m_mutex);
    if (m_working || !m_jobs.empty() || !m_file.changedOnDisk()) return;
    take(m_file.read());
}

QList<TranscriptHistoryEntry> ApplicationSupportTranscriptHistoryStore::loadEntries() {
    rereadIfReplaced();
    return m_entries;
}

int ApplicationSupportTranscriptHistoryStore::skippedEntryCount() {
    adoptLoaded();
    return m_skipped;
}

void ApplicationSupportTranscriptHistoryStore::whenLoaded(QObject* context, std::function<void()> loaded) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_loaded) {
            m_waiters.push_back({context, std::move(loaded)});
            return;
        }
    }
    loaded();
}

void ApplicationSupportTranscriptHistoryStore::append(const TranscriptHistoryEntry& entry) {
    if (!m_adopted) {
        // The first dictations need not wait for the file: the read takes them in when it is done.
        std::lock_guard lock(m_mutex);
        if (!m_loaded) {
            m_earlyEntries.append(entry);
            return;
        }
    }
    rereadIfReplaced();
    const qsizetype position = insertByDate(m_entries, entry);
    m_unreadable = false;
    schedule({Job::Kind::write, m_entries, position == 0 ? 1 : -1});
}

void ApplicationSupportTranscriptHistoryStore::save(const QList<TranscriptHistoryEntry>& entries) {
    adoptLoaded();
    m_entries = entries;
    std::stable_sort(m_entries.begin(), m_entries.end(), newerFirst);
    m_unreadable = false;
    schedule({Job::Kind::write, m_entries, -1});
}

void ApplicationSupportTranscriptHistoryStore::clear() {
    adoptLoaded();
    m_entries.clear();
    m_unreadable = false;
    schedule({Job::Kind::remove, {}, -1});
}

void ApplicationSupportTranscriptHistoryStore::waitUntilWritten() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_working && m_jobs.empty(); });
}

QString ApplicationSupportTranscriptHistoryStore::exportCSV() {
    rereadIfReplaced();
    if (m_unreadable) {
        throw TranscriptHistoryExportError(TranscriptHistoryExportErrorCase::historyUnreadable, historyFilePath(),
                                           m_unreadableDetail);
    }

    const QString folder =
        m_options.exportDirectory.isEmpty() ? AppPaths::privateTemporaryDirectory() : m_options.exportDirectory;
    if (folder.isEmpty()) {
        throw TranscriptHistoryExportError(TranscriptHistoryExportErrorCase::exportFolderUnavailable, QString());
    }
    const QString path = QDir(folder).filePath(TranscriptHistoryCsv::fileName(m_options.now()));

    // Transcripts are private: the file is readable by its owner only, from the moment it exists.
    if (const auto failure = PrivateFile::write(path, TranscriptHistoryCsv::document(m_entries))) {
        throw TranscriptHistoryExportError(TranscriptHistoryExportErrorCase::writeFailed, path, *failure);
    }
    return path;
}

}  // namespace quorvelle
