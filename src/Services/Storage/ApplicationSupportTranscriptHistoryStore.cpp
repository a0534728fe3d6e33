#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"

#include "Services/Storage/BatchThread.h"
#include "Services/Storage/TranscriptHistoryCsv.h"
#include "Services/Storage/TranscriptHistoryExportError.h"
#include "Support/AppPaths.h"
#include "Support/PrivateFile.h"
#include "Support/StoreFileWriter.h"
#include "Support/ThreadPoolTask.h"

#include <QDir>
#include <QMetaObject>

#include <malloc.h>
#include <pthread.h>

#include <algorithm>
#include <utility>

namespace quorvelle {

namespace {

const QString kHistoryFileName = QStringLiteral("transcript-history.json");

bool newerFirst(const TranscriptHistoryEntry& a, const TranscriptHistoryEntry& b) {
    return a.completedAt > b.completedAt;
}

}  // namespace

ApplicationSupportTranscriptHistoryStore::ApplicationSupportTranscriptHistoryStore()
    : ApplicationSupportTranscriptHistoryStore(Options{}) {}

ApplicationSupportTranscriptHistoryStore::ApplicationSupportTranscriptHistoryStore(Options options)
    : m_options(std::move(options)), m_file(historyFilePath(), m_options.now) {
    PrivateFile::makeFolder(m_options.directory);
    ++m_jobsQueued;
    m_jobs.push(Job{});
    try {
        m_worker = std::thread(&ApplicationSupportTranscriptHistoryStore::work, this, true);
    } catch (const std::system_error&) {
        // No thread to spare: every job runs on the caller's thread instead.
        work(false);
    }
}

ApplicationSupportTranscriptHistoryStore::~ApplicationSupportTranscriptHistoryStore() {
    // Its check never ended: the words went out all the same.
    for (const TranscriptHistoryEntry& entry : QList(m_held))
        append(entry);
    m_stopping.store(true, std::memory_order_release);
    m_jobs.wake();
    if (m_worker.joinable()) m_worker.join();
}

QString ApplicationSupportTranscriptHistoryStore::defaultDirectory() {
    return QDir(AppPaths::applicationSupportDirectory()).filePath(QStringLiteral("History"));
}

QString ApplicationSupportTranscriptHistoryStore::historyFilePath() const {
    return QDir(m_options.directory).filePath(kHistoryFileName);
}

void ApplicationSupportTranscriptHistoryStore::work(bool ownThread) {
    if (ownThread) {
        // Named for those who look at the process's threads (top -H, a debugger).
        pthread_setname_np(pthread_self(), "history-writer");
        // At the ordinary weight: a quit ends the process around this thread, and the process is
        // gone only once the thread got a processor to end on; at a low weight a busy machine kept
        // it off for seconds.
        becomeBatchThread(false);
    }
    for (;;) {
        // Without a thread of its own, the loop runs only what is queued now.
        if (ownThread) m_jobs.wait();
        // Every job handed over before the stop was queued before it: done before the thread ends.
        const bool stopping = m_stopping.load(std::memory_order_acquire);
        runTogether(m_jobs.takeAll());
        if (!ownThread) return;
        if (stopping) {
            // A change the disk refused gets one more try before the store ends.
            if (m_unwrittenWhole || !m_unwrittenInFront.isEmpty()) {
                const quint64 mark = m_file.journalMark();
                writeInFront({});
                endJournalIfWritten(mark);
            }
            return;
        }
    }
}

void ApplicationSupportTranscriptHistoryStore::runTogether(std::vector<Job> jobs) {
    std::vector<Job> merged;
    for (Job& job : jobs) {
        Job* waiting = merged.empty() ? nullptr : &merged.back();
        const bool waitingChange =
            waiting && (waiting->kind == Job::Kind::write || waiting->kind == Job::Kind::prepend);
        if (job.kind == Job::Kind::write && waitingChange) {
            // The whole history holds every change waiting before it: it takes their place.
            job.count += waiting->count;
            *waiting = std::move(job);
        } else if (job.kind == Job::Kind::prepend && waiting && waiting->kind == Job::Kind::prepend) {
            waiting->entries = job.entries + waiting->entries;
            waiting->journalMark = job.journalMark;
            waiting->count += job.count;
        } else {
            merged.push_back(std::move(job));
        }
    }
    for (std::size_t at = 0; at < merged.size(); ++at) {
        Job& job = merged[at];
        // The journal ends once, after the last of them.
        if (at + 1 < merged.size()) job.journalMark.reset();
        run(job);
        if (job.count > 0) countDone(job.count);
    }
}

void ApplicationSupportTranscriptHistoryStore::countDone(quint64 count) {
    m_jobsDone.fetch_add(count, std::memory_order_release);
    // Taken between the count and the notice: a waiter has either not checked yet or waits already.
    { std::lock_guard lock(m_mutex); }
    m_changed.notify_all();
}

void ApplicationSupportTranscriptHistoryStore::run(Job& job) {
    // The entries a write brings are in the journal before it begins: on a nearly full disk, its
    // temporary file must not take the room their lines need.
    m_file.writeJournal();
    m_file.changesSince(job.removals);
    switch (job.kind) {
        case Job::Kind::read: {
            // Before any export of this run can be made.
            removeExports();
            TranscriptHistoryFile::Contents contents = m_file.read();
            std::vector<Waiter> waiters;
            QList<TranscriptHistoryEntry> early;
            bool inFront = contents.recovered == 0;
            std::optional<quint64> mark;
            {
                std::lock_guard lock(m_mutex);
                // The dictations that came in meanwhile were journaled as they came: taken here. No
                // other job can wait yet: every change waits for the history to be loaded.
                mark = m_file.journalMark();
                // Dictations that came in while the file was read go in now, where they belong.
                for (const TranscriptHistoryEntry& entry : m_earlyEntries) {
                    const qsizetype at = TranscriptHistoryFile::insertByDate(contents.entries, entry);
                    inFront = inFront && at <= early.size();
                    early.append(entry);
                }
                m_earlyEntries.clear();
                // What the list holds is written as the history, a damaged file set aside first.
                if (!early.isEmpty() || contents.recovered > 0)
                    contents.outcome = TranscriptHistoryFile::Outcome::decoded;
                m_loadedContents = contents;
                m_loaded = true;
                // Done with the file unless early or journaled dictations must be written: a file
                // replaced since can be read again at once instead of being taken for one of our own
                // writes.
                if (early.isEmpty() && contents.recovered == 0) {
                    m_jobsDone.fetch_add(job.count, std::memory_order_release);
                    job.count = 0;
                }
                waiters.swap(m_waiters);
            }
            m_changed.notify_all();
            for (Waiter& waiter : waiters) {
                if (waiter.context)
                    QMetaObject::invokeMethod(waiter.context, std::move(waiter.loaded), Qt::QueuedConnection);
            }
            if (!early.isEmpty() && inFront)
                writeInFront(contents.entries.first(early.size()));
            else if (!early.isEmpty() || contents.recovered > 0)
                writeWhole(contents.entries);
            if (!early.isEmpty() || contents.recovered > 0) endJournalIfWritten(mark);
            // Let go of the list, so the caller's copy is its own, and give the pages of the text and
            // the document it was decoded from back.
            contents = {};
            ::malloc_trim(0);
            break;
        }
        case Job::Kind::write:
            writeWhole(std::move(job.entries));
            endJournalIfWritten(job.journalMark);
            break;
        case Job::Kind::prepend:
            writeInFront(job.entries);
            endJournalIfWritten(job.journalMark);
            break;
        case Job::Kind::remove:
            m_unwrittenWhole.reset();
            m_unwrittenInFront.clear();
            m_failing = false;
            m_file.remove();
            break;
    }
}

void ApplicationSupportTranscriptHistoryStore::writeWhole(QList<TranscriptHistoryEntry> entries) {
    m_unwrittenInFront.clear();
    const std::optional<QString> failure = m_file.write(entries);
    m_unwrittenWhole = failure ? std::optional(std::move(entries)) : std::nullopt;
    noteWritten(failure);
}

void ApplicationSupportTranscriptHistoryStore::writeInFront(const QList<TranscriptHistoryEntry>& newest) {
    if (m_unwrittenWhole) {
        QList<TranscriptHistoryEntry> whole = std::move(*m_unwrittenWhole);
        for (auto entry = newest.crbegin(); entry != newest.crend(); ++entry)
            TranscriptHistoryFile::insertByDate(whole, *entry);
        writeWhole(std::move(whole));
        return;
    }
    m_unwrittenInFront = newest + m_unwrittenInFront;
    const std::optional<QString> failure = m_file.prepend(m_unwrittenInFront);
    if (!failure) m_unwrittenInFront.clear();
    noteWritten(failure);
}

void ApplicationSupportTranscriptHistoryStore::endJournalIfWritten(const std::optional<quint64>& mark) {
    if (mark && !m_failing) m_file.endJournal(*mark);
}

void ApplicationSupportTranscriptHistoryStore::noteWritten(const std::optional<QString>& failure) {
    if (!failure || m_failing) {
        m_failing = failure.has_value();
        return;
    }
    m_failing = true;
    FailureListener listener;
    {
        std::lock_guard lock(m_mutex);
        listener = m_failureListener;
    }
    if (listener.context) {
        QMetaObject::invokeMethod(
            listener.context, [failed = std::move(listener.failed), reason = *failure] { failed(reason); },
            Qt::QueuedConnection);
    }
}

void ApplicationSupportTranscriptHistoryStore::schedule(Job job, const QList<TranscriptHistoryEntry>& journaled) {
    m_file.journal(journaled);
    // Counted after the job's own entries: what the journal holds up to here goes to the file with
    // this job or with one before it.
    job.journalMark = m_file.journalMark();
    job.removals = m_file.removals();
    ++m_jobsQueued;
    m_jobs.push(std::move(job));
    if (!m_worker.joinable()) work(false);
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

bool ApplicationSupportTranscriptHistoryStore::rereadIfReplaced() {
    const bool adopting = !m_adopted;
    adoptLoaded();
    // While a job is still to do the file is the worker's, and a replaced file likely its own write.
    if (!workerIdle() || !m_file.changedOnDisk()) return adopting;
    take(m_file.read());
    return true;
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

void ApplicationSupportTranscriptHistoryStore::whenSaveFails(QObject* context,
                                                             std::function<void(const QString& reason)> failed) {
    std::lock_guard lock(m_mutex);
    m_failureListener = {context, std::move(failed)};
}

std::optional<qsizetype> ApplicationSupportTranscriptHistoryStore::append(const TranscriptHistoryEntry& entry) {
    m_held.removeIf([&](const TranscriptHistoryEntry& held) { return held.id == entry.id; });
    if (!m_adopted) {
        // The first dictations need not wait for the file: the read takes them in when it is done.
        std::lock_guard lock(m_mutex);
        if (!m_loaded) {
            m_file.journal({entry});
            m_earlyEntries.append(entry);
            return std::nullopt;
        }
    }
    const bool reread = rereadIfReplaced();
    const qsizetype position = TranscriptHistoryFile::insertByDate(m_entries, entry);
    m_unreadable = false;
    // The usual dictation is the newest: it alone goes to the writer, and the list stays unshared.
    if (position == 0)
        schedule({Job::Kind::prepend, {entry}}, {entry});
    else
        schedule({Job::Kind::write, m_entries}, {entry});
    if (reread) return std::nullopt;
    return position;
}

void ApplicationSupportTranscriptHistoryStore::hold(const TranscriptHistoryEntry& entry) {
    m_file.hold(entry);
    m_held.append(entry);
}

void ApplicationSupportTranscriptHistoryStore::withdraw(const QUuid& id) {
    if (m_held.removeIf([&](const TranscriptHistoryEntry& held) { return held.id == id; }) == 0) return;
    m_file.withdraw(id);
}

void ApplicationSupportTranscriptHistoryStore::prepareForExit() {
    {
        // Nothing is told any more: those who would hear it are going.
        std::lock_guard lock(m_mutex);
        m_waiters.clear();
        m_failureListener = {};
    }
    // Its check never ended: the keys went out right after it was held, on this thread.
    m_file.journal(std::exchange(m_held, {}));
    // The history file need not hold them: the next start takes them from the journal.
    m_file.journalHereFromNow();
}

void ApplicationSupportTranscriptHistoryStore::save(const QList<TranscriptHistoryEntry>& entries) {
    adoptLoaded();
    m_entries = entries;
    std::stable_sort(m_entries.begin(), m_entries.end(), newerFirst);
    m_unreadable = false;
    schedule({Job::Kind::write, m_entries});
}

void ApplicationSupportTranscriptHistoryStore::clear() {
    adoptLoaded();
    m_entries.clear();
    m_unreadable = false;
    // At once: a dictation journaled from now on must not go with it, and a quit right after, which
    // does not wait for the writer, leaves no transcript of it behind. A change the writer is still
    // making of the history as it was never takes the file's place.
    m_file.removeJournal();
    m_file.removeAtOnce();
    removeExports();
    schedule({Job::Kind::remove, {}});
}

void ApplicationSupportTranscriptHistoryStore::waitUntilWritten() {
    const quint64 queued = m_jobsQueued;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_jobsDone.load(std::memory_order_acquire) >= queued; });
    }
    // A write that failed leaves its entries to the journal.
    m_file.waitUntilJournaled();
}

QString ApplicationSupportTranscriptHistoryStore::exportFolder() const {
    return m_options.exportDirectory.isEmpty() ? AppPaths::privateTemporaryDirectory() : m_options.exportDirectory;
}

void ApplicationSupportTranscriptHistoryStore::removeExports() const {
    const QString folder = exportFolder();
    if (folder.isEmpty()) return;
    QDir exports(folder);
    for (const QString& name : exports.entryList({TranscriptHistoryCsv::fileNamePattern()}, QDir::Files | QDir::System))
        exports.remove(name);
}

ApplicationSupportTranscriptHistoryStore::ExportRequest ApplicationSupportTranscriptHistoryStore::exportRequest() {
    rereadIfReplaced();
    if (m_unreadable) {
        throw TranscriptHistoryExportError(TranscriptHistoryExportErrorCase::historyUnreadable, historyFilePath(),
                                           m_unreadableDetail);
    }
    const QString folder = exportFolder();
    if (folder.isEmpty()) {
        throw TranscriptHistoryExportError(TranscriptHistoryExportErrorCase::exportFolderUnavailable, QString());
    }
    return {m_entries, QDir(folder).filePath(TranscriptHistoryCsv::fileName(m_options.now()))};
}

QString ApplicationSupportTranscriptHistoryStore::writeExport(const ExportRequest& request) {
    // Transcripts are private: the file is readable by its owner only, from the moment it exists.
    StoreFileWriter file(request.path);
    file.write(TranscriptHistoryCsv::document(request.entries));
    if (const auto failure = file.commit()) {
        throw TranscriptHistoryExportError(TranscriptHistoryExportErrorCase::writeFailed, request.path, *failure);
    }
    return request.path;
}

QString ApplicationSupportTranscriptHistoryStore::exportCSV() {
    return writeExport(exportRequest());
}

QCoro::Task<QString> ApplicationSupportTranscriptHistoryStore::exportCSVInBackground() {
    // Made outside the await: g++ 12 destroys a lambda that is a temporary of an awaited expression
    // twice.
    QCoro::Task<QString> written = runOnThreadPool([request = exportRequest()] { return writeExport(request); });
    co_return co_await written;
}

}  // namespace quorvelle
