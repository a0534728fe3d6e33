#include "Models/SanitizedDiagnosticsEvent.h"
#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "Services/Storage/TranscriptHistoryExportError.h"
#include "Services/Storage/TranscriptHistoryJournal.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimeZone>

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <limits>
#include <optional>
#include <system_error>
#include <thread>

namespace quorvelle {
namespace {

using namespace test;
using Kind = TranscriptHistoryCompletionKind;
using Entries = QList<TranscriptHistoryEntry>;

const QDateTime kNow = QDateTime(QDate(2026, 12, 5), QTime(16, 32, 40), QTimeZone::utc());
const QByteArray kHeader = "completed_at,transcript,duration_seconds,word_count,completion_kind";

// One line of the journal kept beside the history, as the store writes it.
QByteArray journalLine(const TranscriptHistoryEntry& entry) {
    return QJsonDocument(entry.toJson()).toJson(QJsonDocument::Compact) + '\n';
}

TranscriptHistoryEntry makeEntry(qint64 secondsBeforeNow, QString transcript, double duration = 1.0,
                                 Kind kind = Kind::inserted) {
    return {QUuid::createUuid(), kNow.addSecs(-secondsBeforeNow), std::move(transcript), duration, 3, kind};
}

// The entry as the next start takes it from the file it was held in when its run ended before its
// delivery told how it went.
TranscriptHistoryEntry notConfirmed(TranscriptHistoryEntry entry) {
    entry.completionKind = Kind::copiedToClipboard;
    return entry;
}

// Where two long histories first differ, readably; empty when they do not.
std::string firstDifference(const Entries& actual, const Entries& expected) {
    const auto describe = [](const Entries& entries, qsizetype at) {
        return at < entries.size()
                   ? (entries[at].transcript + u' ' + rawValue(entries[at].completionKind)).toStdString()
                   : std::string("nothing");
    };
    for (qsizetype at = 0; at < std::max(actual.size(), expected.size()); ++at) {
        if (at < actual.size() && at < expected.size() && actual[at] == expected[at]) continue;
        return "at " + std::to_string(at) + ": " + describe(actual, at) + " instead of " + describe(expected, at);
    }
    return {};
}

// Stops every thread of this process that bears one of the names where it is, as a busy machine
// may keep a thread of low weight off the processor, until the process ends. Returns how
// many it stopped, once each is stopped.
// How long a thread of the store is given to start or stall: well inside the children's alarm.
constexpr std::chrono::seconds kThreadProgressLimit{30};

int stallThreads(const QList<QByteArray>& names) {
    static std::atomic<int> stalled = 0;
    struct sigaction action {};
    action.sa_handler = [](int) {
        ++stalled;
        for (;;)
            ::pause();
    };
    ::sigaction(SIGUSR1, &action, nullptr);
    int signalled = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!names.contains(readAll(tasks.filePath(task + "/comm")).trimmed())) continue;
        if (::syscall(SYS_tgkill, ::getpid(), task.toInt(), SIGUSR1) == 0) ++signalled;
    }
    // Each stalls once it gets a processor, which a busy machine may give it only seconds later.
    const auto deadline = std::chrono::steady_clock::now() + kThreadProgressLimit;
    while (stalled < signalled && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return stalled;
}

// Returns once a thread of this process bears the name (it names itself as it starts).
bool threadStarted(const QByteArray& name) {
    const QDir tasks(QStringLiteral("/proc/self/task"));
    const auto deadline = std::chrono::steady_clock::now() + kThreadProgressLimit;
    do {
        for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (readAll(tasks.filePath(task + "/comm")).trimmed() == name) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

constexpr int kThreadsStart = 77;

// killedAfter() in a process in which no thread can start (each would ask for more stack than the
// address space holds); kThreadsStart when threads start all the same here. Work that waits for a
// thread that never came ends with the process a minute later.
int killedWithoutThreads(const std::function<void()>& act) {
    return killedAfter([&] {
        ::alarm(60);
        pthread_attr_t attributes;
        ::pthread_attr_init(&attributes);
        ::pthread_attr_setstacksize(&attributes, std::numeric_limits<size_t>::max() / 4);
        ::pthread_setattr_default_np(&attributes);
        try {
            std::thread([] {}).join();
            std::_Exit(kThreadsStart);
        } catch (const std::system_error&) {
        }
        act();
    });
}

class TranscriptHistoryStoreTest : public ::testing::Test {
public:
    QTemporaryDir dir;
    QDateTime now = kNow;

    ApplicationSupportTranscriptHistoryStore makeStore(QString exportDirectory = "export") {
        if (!exportDirectory.isEmpty()) QDir(dir.path()).mkpath(exportDirectory);
        return ApplicationSupportTranscriptHistoryStore(
            {dir.filePath("History"), exportDirectory.isEmpty() ? exportDirectory : dir.filePath(exportDirectory),
             [this] { return now; }});
    }
    QString historyPath() const { return dir.filePath("History/transcript-history.json"); }
    QStringList asideFiles() const {
        return QDir(dir.filePath("History")).entryList({"transcript-history.json.corrupt-*"}, QDir::Files);
    }
    QByteArray firstAside() const { return readAll(dir.filePath("History/" + asideFiles().value(0))); }
    QString journalPath() const { return dir.filePath("History/transcript-history.journal"); }
    // The files held entries are kept in, one each.
    QStringList heldFiles() const {
        return QDir(dir.filePath("History")).entryList({"transcript-history.journal.held-*"}, QDir::Files);
    }
    QStringList journalsAside() const {
        return QDir(dir.filePath("History"))
            .entryList({"transcript-history.journal.corrupt-*"}, QDir::AllEntries | QDir::System);
    }
    void startOver(const QByteArray& file) {
        QDir(dir.filePath("History")).removeRecursively();
        QDir().mkpath(dir.filePath("History"));
        ASSERT_TRUE(writeAll(historyPath(), file));
    }
};

TEST_F(TranscriptHistoryStoreTest, SavedEntriesComeBackNewestFirstFromAPrivateSortedFileAndExportAsCsv) {
    auto store = makeStore();
    EXPECT_EQ(readAll(store.exportCSV()), kHeader);  // nothing saved yet
    const Entries entries = {makeEntry(0, "He said \"hi, there\"", 3.14159, Kind::pasteSentUnverified),
                             makeEntry(60, "two\nlines", 2, Kind::pastedViaClipboard), makeEntry(120, "", 0.004),
                             makeEntry(180, "Çok güzel ✓", 12.345678, Kind::copiedToClipboard)};
    store.save({entries[2], entries[3], entries[1]});
    store.append(entries[0]);  // put in front of the file as written
    store.waitUntilWritten();
    EXPECT_EQ(makeStore().loadEntries(), entries);
    EXPECT_EQ(modeOf(historyPath()), 0600);
    const QByteArray file = readAll(historyPath());
    EXPECT_TRUE(file.contains("\"completionKind\": \"pasteSentUnverified\""));
    makeStore().save(entries);  // written whole: the same bytes
    EXPECT_EQ(readAll(historyPath()), file);
    EXPECT_EQ(readAll(store.exportCSV()),
              kHeader +
                  "\n2026-12-05T16:32:40Z,\"He said \"\"hi, there\"\"\",3.14,3,pasteSentUnverified\n"
                  "2026-12-05T16:31:40Z,\"two\nlines\",2.00,3,pastedViaClipboard\n"
                  "2026-12-05T16:30:40Z,\"\",0.00,3,inserted\n"
                  "2026-12-05T16:29:40Z,\"Çok güzel ✓\",12.35,3,copiedToClipboard");
}

// Named with the local date, times in UTC, in a private folder of the user.
TEST_F(TranscriptHistoryStoreTest, TheExportGoesToAPrivateFolderNamedWithTheLocalDate) {
    QTemporaryDir runtime;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const std::optional<QByteArray> oldZone =
        qEnvironmentVariableIsSet("TZ") ? std::optional(qgetenv("TZ")) : std::nullopt;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("TZ", "XST+05");  // five hours behind UTC
    tzset();
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        oldZone ? qputenv("TZ", *oldZone) : qunsetenv("TZ");
        tzset();
    });
    auto store = makeStore("");
    now = QDateTime(QDate(2026, 12, 6), QTime(4, 30), QTimeZone::utc());  // 23:30 on the 5th, locally
    store.save({TranscriptHistoryEntry{QUuid::createUuid(), now, "late", 1, 1, Kind::inserted}});
    const QString path = store.exportCSV();
    EXPECT_EQ(path, QDir(runtime.path()).filePath("com.dovent.Quorvelle/quorvelle-history-2026-12-05.csv"));
    EXPECT_TRUE(readAll(path).endsWith("\n2026-12-06T04:30:00Z,\"late\",1.00,1,inserted"));
    EXPECT_EQ(modeOf(QFileInfo(path).absolutePath()), 0700);
    EXPECT_EQ(modeOf(path), 0600);
}

TEST_F(TranscriptHistoryStoreTest, AnUndecodableHistoryIsNeverExportedAsEmptyNorOverwritten) {
    const QByteArray damaged[] = {"[\n  {\"completedAt\": 1", "{\"an\": \"object\"}"};
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.toStdString());
        startOver(bytes);
        auto store = makeStore();
        EXPECT_TRUE(store.loadEntries().isEmpty());
        EXPECT_THROW(store.exportCSV(), TranscriptHistoryExportError);  // never exported as empty
        EXPECT_EQ(readAll(historyPath()), bytes);

        // The next dictation keeps the damaged file beside the new history.
        const auto entry = makeEntry(0, "new");
        store.save({entry});
        store.waitUntilWritten();
        EXPECT_EQ(asideFiles(), QStringList{"transcript-history.json.corrupt-20261205T163240Z"});
        EXPECT_EQ(firstAside(), bytes);
    }

    // Every name for the damaged copy taken, so it cannot be moved aside: the save leaves it alone.
    startOver(damaged[0]);
    const QString aside = historyPath() + ".corrupt-20261205T163240Z";
    for (int attempt = 1; attempt <= 100; ++attempt)
        ASSERT_TRUE(writeAll(attempt == 1 ? aside : aside + '-' + QString::number(attempt), "older"));
    makeStore().save({makeEntry(0, "new")});
    EXPECT_EQ(readAll(historyPath()), damaged[0]);
    EXPECT_EQ(asideFiles().size(), 100);
}

// One entry that does not decode costs that entry alone; the file it was in is kept aside before
// the first write that leaves it out.
TEST_F(TranscriptHistoryStoreTest, UndecodableEntriesAreSkippedAndTheirFileKeptBeforeItIsReplaced) {
    const auto kept = makeEntry(60, "kept");
    makeStore().save({kept});
    QByteArray file = readAll(historyPath());
    file.insert(2, R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","completedAt":10,"transcript":"t"},)");
    startOver(file);
    auto store = makeStore();
    EXPECT_EQ(store.loadEntries(), Entries{kept});
    EXPECT_EQ(store.skippedEntryCount(), 1);
    EXPECT_TRUE(readAll(store.exportCSV()).endsWith(",\"kept\",1.00,3,inserted"));
    const auto added = makeEntry(0, "new");
    store.append(added);
    store.waitUntilWritten();
    EXPECT_EQ(firstAside(), file);
    EXPECT_EQ(makeStore().loadEntries(), (Entries{added, kept}));
}

// A stored record missing one of its fields (or holding null there) is skipped like any record that
// does not decode: never read with an empty duration, count, code or message.
TEST_F(TranscriptHistoryStoreTest, RecordsMissingOneFieldAreSkippedNotReadEmpty) {
    const auto kept = makeEntry(0, "kept");
    QByteArray file = "[";
    for (const char* field : {"durationSeconds", "wordCount"}) {
        for (const QJsonValue& value : {QJsonValue(QJsonValue::Undefined), QJsonValue(QJsonValue::Null)}) {
            QJsonObject partial = makeEntry(60, "partial").toJson();
            partial.remove(field);
            if (!value.isUndefined()) partial.insert(field, value);
            EXPECT_EQ(TranscriptHistoryEntry::fromJson(partial), std::nullopt) << field;
            file += QJsonDocument(partial).toJson() + ",";
        }
    }
    startOver(file + QJsonDocument(kept.toJson()).toJson() + "]");
    auto store = makeStore();
    EXPECT_EQ(store.loadEntries(), Entries{kept});
    EXPECT_EQ(store.skippedEntryCount(), 4);

    const QJsonObject event =
        SanitizedDiagnosticsEvent::make(kNow, DiagnosticsEventLevel::warning, "history.save_failed", "full").toJson();
    for (const char* field : {"code", "message"}) {
        QJsonObject partial = event;
        partial.remove(field);
        EXPECT_EQ(SanitizedDiagnosticsEvent::fromJson(partial), std::nullopt) << field;
        partial.insert(field, QJsonValue::Null);
        EXPECT_EQ(SanitizedDiagnosticsEvent::fromJson(partial), std::nullopt) << field;
    }
    EXPECT_EQ(SanitizedDiagnosticsEvent::fromJson(event).value().message, "full");
}

TEST_F(TranscriptHistoryStoreTest, WhatIsOnDiskWinsOverWhatTheStoreLastSaw) {
    auto store = makeStore(), other = makeStore();
    const auto entry = makeEntry(10, "first words");
    store.save({entry});
    store.waitUntilWritten();
    ASSERT_EQ(store.loadEntries(), Entries{entry});

    // Another writer replaces the file: the store reads the new one, in loading and exporting.
    const auto fromElsewhere = makeEntry(0, "written elsewhere");
    other.save({fromElsewhere, entry});
    other.waitUntilWritten();
    EXPECT_EQ(store.loadEntries(), (Entries{fromElsewhere, entry}));
    EXPECT_TRUE(readAll(store.exportCSV()).contains("written elsewhere"));

    // Damaged in place after it was read: still set aside.
    ASSERT_TRUE(writeAll(historyPath(), "[1, 2, 3]"));
    store.save({fromElsewhere, entry});
    store.waitUntilWritten();
    EXPECT_EQ(firstAside(), "[1, 2, 3]");
    EXPECT_EQ(other.loadEntries().size(), 2);
}

// The file is read in the background from the store's construction: whatever the caller does
// meanwhile must come out as if the store had read the file first.
TEST_F(TranscriptHistoryStoreTest, CallsRacingTheBackgroundReadLoseNothing) {
    Entries stored;  // large enough that decoding takes far longer than the first call
    for (int i = 0; i < 10'000; ++i)
        stored.append(makeEntry(60 * (i + 1), QString("dictation number %1").arg(i), 2.5));
    makeStore().save(stored);
    const QByteArray storedBytes = readAll(historyPath());
    const Entries fresh{makeEntry(0, "written elsewhere")};
    const std::function<Entries(ApplicationSupportTranscriptHistoryStore&)> cases[] = {
        [&](auto& store) {  // two dictations
            const auto newer = makeEntry(0, "newer"), newest = makeEntry(-1, "newest");
            store.append(newer);
            store.append(newest);
            return Entries{newest, newer} + stored;
        },
        [&](auto&) { return makeStore().save(fresh), fresh; },  // the file replaced by another copy
    };
    for (const auto& act : cases) {
        startOver(storedBytes);
        auto store = makeStore();
        const Entries expected = act(store);
        EXPECT_EQ(store.loadEntries(), expected);
        store.waitUntilWritten();
        EXPECT_EQ(makeStore().loadEntries(), expected);
        EXPECT_TRUE(asideFiles().isEmpty());
    }
}

// A process killed after an entry was journaled but before the file was replaced: the next read brings
// the entry in, once, at its date, and the file written then ends the journal. Every write that
// succeeds ends it too, and a cleared history leaves nothing for it to bring back.
TEST_F(TranscriptHistoryStoreTest, JournaledEntriesTheFileNeverGotComeBackOnceAndTheJournalEnds) {
    const auto older = makeEntry(120, "older"), old = makeEntry(60, "old");
    makeStore().save({old, older});
    const auto newest = makeEntry(0, "newest"), between = makeEntry(90, "between");
    ASSERT_TRUE(
        writeAll(journalPath(), journalLine(newest) + journalLine(between) + journalLine(old) + journalLine(newest)));
    auto store = makeStore();
    const Entries expected{newest, old, between, older};
    EXPECT_EQ(store.loadEntries(), expected);
    store.waitUntilWritten();
    EXPECT_FALSE(QFile::exists(journalPath()));
    EXPECT_EQ(makeStore().loadEntries(), expected);

    // Deleted by the user: never brought back by a journal that outlived the write.
    ASSERT_TRUE(writeAll(journalPath(), journalLine(newest)));
    store.save({old, older});
    store.waitUntilWritten();
    EXPECT_FALSE(QFile::exists(journalPath()));
    EXPECT_EQ(makeStore().loadEntries(), (Entries{old, older}));

    // A new dictation, then the journal's own entry after a clear.
    const auto added = makeEntry(-10, "added");
    store.append(added);
    store.waitUntilWritten();
    EXPECT_FALSE(QFile::exists(journalPath()));
    EXPECT_EQ(makeStore().loadEntries(), (Entries{added, old, older}));
    ASSERT_TRUE(writeAll(journalPath(), journalLine(newest)));
    store.clear();
    store.waitUntilWritten();
    EXPECT_TRUE(makeStore().loadEntries().isEmpty());
    EXPECT_FALSE(QFile::exists(journalPath()));
}

// A dictation handed to the journal's thread just before the history is cleared goes with the rest,
// whether that thread or the clear gets to the journal first: the next start does not bring it back.
TEST_F(TranscriptHistoryStoreTest, ADictationHandedOverJustBeforeAClearDoesNotComeBackAtTheNextStart) {
    makeStore().save({makeEntry(60, "old")});
    for (int round = 0; round < 20; ++round) {
        {
            auto store = makeStore();
            store.loadEntries();
            store.append(makeEntry(-round, QString("dictation %1").arg(round)));
            store.clear();
        }
        ASSERT_EQ(makeStore().loadEntries(), Entries{}) << "round " << round;
        ASSERT_FALSE(QFile::exists(journalPath())) << "round " << round;
    }
}

// Dictations after a clear are the new history: whether the store ends as it is destroyed, waiting
// for its threads, or as a quit ends the app, without waiting, the next start finds both of two
// appended after it, and nothing from before it.
TEST_F(TranscriptHistoryStoreTest, TwoDictationsAfterAClearAreKeptWhetherTheStoreWaitsForItsThreadsOrNot) {
    for (const bool waits : {true, false}) {
        SCOPED_TRACE(waits ? "destroyed" : "quit");
        QDir(dir.filePath("History")).removeRecursively();
        makeStore().save({makeEntry(60, "before the clear"), makeEntry(120, "older")});
        const auto first = makeEntry(-1, "first after"), second = makeEntry(-2, "second after");
        const auto act = [&](ApplicationSupportTranscriptHistoryStore& store) {
            store.loadEntries();
            store.append(makeEntry(0, "just before the clear"));
            store.clear();
            store.append(first);
            store.append(second);
        };
        if (waits) {
            auto store = makeStore();
            act(store);
        } else {
            ASSERT_EQ(killedAfter([&] {
                          ::alarm(60);
                          auto& store = *new ApplicationSupportTranscriptHistoryStore(makeStore());
                          act(store);
                          store.prepareForExit();
                      }),
                      0);
        }
        EXPECT_EQ(makeStore().loadEntries(), (Entries{second, first}));
    }
}

// Where no thread can be had, the store and its journal work on the caller's thread: each dictation,
// a held one too, is in the journal as the call returns, so a process killed then loses none.
TEST_F(TranscriptHistoryStoreTest, WithoutThreadsEveryEntryIsJournaledAsTheCallReturns) {
    const auto old = makeEntry(60, "old"), added = makeEntry(0, "added"),
               held = makeEntry(-5, "pasted", 1.0, Kind::pasteSentUnverified);
    makeStore().save({old});
    const int code = killedWithoutThreads([&] {
        // Never destroyed: the process ends as a killed one does.
        auto& store = *new ApplicationSupportTranscriptHistoryStore(makeStore());
        if (store.loadEntries() != Entries{old}) std::_Exit(1);
        store.append(added);
        store.hold(held);
    });
    if (code == kThreadsStart) GTEST_SKIP() << "threads start here whatever their stack";
    ASSERT_EQ(code, 0);
    EXPECT_EQ(makeStore().loadEntries(), (Entries{notConfirmed(held), added, old}));
}

// Lines that do not decode (a torn last line, garbage) cost those lines alone and are counted; the
// journal is set aside as it was once the history holds the rest. A FIFO there never hangs the read.
TEST_F(TranscriptHistoryStoreTest, ADamagedJournalKeepsItsGoodLinesAndIsSetAside) {
    const auto old = makeEntry(60, "old"), recovered = makeEntry(0, "recovered");
    makeStore().save({old});
    const QByteArray journal =
        "{\"id\": broken\n" + journalLine(recovered) + journalLine(makeEntry(-5, "torn")).chopped(20);
    ASSERT_TRUE(writeAll(journalPath(), journal));
    // The file of an entry another run held, torn as it was written.
    const QByteArray tornHeld = journalLine(makeEntry(-6, "torn held")).chopped(9);
    ASSERT_TRUE(writeAll(journalPath() + ".held-0-" + QUuid::createUuid().toString(QUuid::WithoutBraces), tornHeld));
    {
        auto store = makeStore();
        EXPECT_EQ(store.loadEntries(), (Entries{recovered, old}));
        EXPECT_EQ(store.skippedEntryCount(), 3);
        store.waitUntilWritten();
        const QStringList heldAside = QDir(dir.filePath("History")).entryList({"*.held-*.corrupt-*"}, QDir::Files);
        ASSERT_EQ(heldAside.size(), 1);
        EXPECT_EQ(readAll(dir.filePath("History/" + heldAside.first())), tornHeld);
        EXPECT_EQ(journalsAside(), QStringList{"transcript-history.journal.corrupt-20261205T163240Z"});
        EXPECT_EQ(readAll(dir.filePath("History/" + journalsAside().value(0))), journal);
        EXPECT_FALSE(QFile::exists(journalPath()));
        EXPECT_TRUE(asideFiles().isEmpty());
    }
    EXPECT_EQ(makeStore().loadEntries(), (Entries{recovered, old}));

    ASSERT_EQ(::mkfifo(QFile::encodeName(journalPath()), 0600), 0);
    now = now.addSecs(1);
    auto store = makeStore();
    EXPECT_EQ(store.loadEntries(), (Entries{recovered, old}));
    const auto added = makeEntry(-10, "added");
    store.append(added);
    store.waitUntilWritten();
    EXPECT_EQ(journalsAside().size(), 2);
    EXPECT_EQ(makeStore().loadEntries(), (Entries{added, recovered, old}));
}

// Entries are journaled as they are appended, not when the writer gets to them: those queued behind
// the write of a long history outlive a kill. A pasted dictation is held there while its check
// runs, is no entry of the list meanwhile, and its entry as the check ended takes its place, once.
TEST_F(TranscriptHistoryStoreTest, AppendedAndHeldEntriesOutliveAKillAndTheEndedOneReplacesTheHeld) {
    Entries stored;
    for (int i = 0; i < 20'000; ++i)
        stored.append(makeEntry(60 * (i + 10), QString("dictation number %1").arg(i), 2.5));
    makeStore().save(stored);
    const auto older = makeEntry(60 * 30'000, "older"), newest = makeEntry(-5, "newest");
    const auto held = makeEntry(0, "pasted", 1.0, Kind::pasteSentUnverified);
    auto ended = held;
    ended.completionKind = Kind::pastedViaClipboard;
    killedAfter([&] {
        // Never destroyed: the process ends as a killed one does.
        auto& store = *new ApplicationSupportTranscriptHistoryStore(makeStore());
        store.loadEntries();
        store.hold(held);
        store.append(older);  // the whole file is written again
        store.append(newest);
        store.append(ended);
        // Handed to the journal's own thread, which never waits behind the history's writer: still
        // writing the long history here, when the process ends.
        store.waitUntilJournaled();
    });
    Entries expected = Entries{newest, ended} + stored;
    expected.append(older);
    EXPECT_EQ(firstDifference(makeStore().loadEntries(), expected), "");

    // Held through the writes of other entries, which end the journal; killed before the check ended.
    const auto other = makeEntry(-10, "other"),
               heldAgain = makeEntry(-7, "pasted again", 1.0, Kind::pasteSentUnverified);
    killedAfter([&] {
        // Never destroyed: the process ends as a killed one does.
        auto& store = *new ApplicationSupportTranscriptHistoryStore(makeStore());
        store.hold(heldAgain);
        store.append(other);
        store.waitUntilWritten();
    });
    expected = Entries{other, notConfirmed(heldAgain)} + expected;
    EXPECT_EQ(firstDifference(makeStore().loadEntries(), expected), "");

    // A store that ends while an entry is held writes it as it is.
    const auto unchecked = makeEntry(-20, "unchecked", 1.0, Kind::pasteSentUnverified);
    {
        auto store = makeStore();
        store.hold(unchecked);
        EXPECT_EQ(firstDifference(store.loadEntries(), expected), "");
    }
    EXPECT_FALSE(QFile::exists(journalPath()));
    EXPECT_EQ(heldFiles(), QStringList{});
    expected.prepend(unchecked);
    EXPECT_EQ(firstDifference(makeStore().loadEntries(), expected), "");

    // A held entry whose check refused the paste leaves nothing: not through a kill, where the
    // journal's later line withdraws it, nor at the store's end. Others held beside it stay.
    const auto refused = makeEntry(-30, "refused", 1.0, Kind::pasteSentUnverified),
               keptBeside = makeEntry(-25, "kept beside", 1.0, Kind::pasteSentUnverified);
    killedAfter([&] {
        // Never destroyed: the process ends as a killed one does.
        auto& store = *new ApplicationSupportTranscriptHistoryStore(makeStore());
        store.hold(refused);
        store.hold(keptBeside);
        store.withdraw(refused.id);
        store.waitUntilJournaled();
    });
    expected.prepend(notConfirmed(keptBeside));
    EXPECT_EQ(firstDifference(makeStore().loadEntries(), expected), "");
    {
        auto store = makeStore();
        store.hold(refused);
        store.withdraw(refused.id);
    }
    EXPECT_EQ(firstDifference(makeStore().loadEntries(), expected), "");
}

// A held entry is in the journal once hold() returns, and a withdrawn one gone once withdraw()
// returns, even while the store's threads cannot run (they wait for a processor at the lowest
// weight on a busy machine): the words can be seen in a field right after. The entry as it ended,
// handed to those threads, has not reached the journal when the process is killed: the held one
// stands for it, as a copy, since nothing on disk tells how its delivery went. The next start takes
// it once and leaves no held file behind.
TEST_F(TranscriptHistoryStoreTest, AHeldEntryIsKeptOnceHoldReturnsWhileTheStoresThreadsCannotRun) {
    const auto old = makeEntry(60, "old"), first = makeEntry(0, "first");
    const auto pasted = makeEntry(-5, "pasted", 1.0, Kind::pasteSentUnverified),
               refused = makeEntry(-6, "refused", 1.0, Kind::pasteSentUnverified),
               written = makeEntry(-7, "written", 1.0, Kind::inserted);
    auto ended = pasted;
    ended.completionKind = Kind::pastedViaClipboard;
    makeStore().save({old});
    const int code = killedAfter([&] {
        // Never destroyed: the process ends as a killed one does.
        auto& store = *new ApplicationSupportTranscriptHistoryStore(makeStore());
        store.loadEntries();
        store.append(first);
        store.waitUntilWritten();
        // The journal's thread names itself once it first runs, which a busy machine may not have let
        // it do yet.
        if (!threadStarted("history-journal") || !threadStarted("history-writer")) std::_Exit(3);
        if (stallThreads({"history-journal", "history-writer"}) != 2) std::_Exit(2);
        store.hold(pasted);
        store.hold(refused);
        store.hold(written);
        store.withdraw(refused.id);
        store.append(ended);
    });
    ASSERT_EQ(code, 0);
    EXPECT_EQ(heldFiles().size(), 2);
    const Entries expected{notConfirmed(written), notConfirmed(pasted), first, old};
    {
        auto store = makeStore();
        EXPECT_EQ(store.loadEntries(), expected);
        store.waitUntilWritten();
    }
    EXPECT_EQ(heldFiles(), QStringList{});
    EXPECT_FALSE(QFile::exists(journalPath()));
    EXPECT_EQ(makeStore().loadEntries(), expected);
}

// The journal ends only once the file holds every entry added to it. An end given the count the
// writer took before later additions, or a read while this process's entries are still on their way
// to the file, leaves it whole: the next start (a process killed meanwhile) reads each entry. What
// was handed to its thread is written before it ends.
TEST_F(TranscriptHistoryStoreTest, EndsOfTheJournalBeforeItsEntriesReachTheFileLeaveItWhole) {
    QDir().mkpath(dir.filePath("History"));
    const std::function<QDateTime()> clock = [this] { return now; };
    const auto nextStart = [&] { return TranscriptHistoryJournal(journalPath(), clock).read().entries; };
    const auto first = makeEntry(2, "first"), second = makeEntry(1, "second"), third = makeEntry(0, "third");
    {
        TranscriptHistoryJournal journal(journalPath(), clock);
        journal.append({first});
        const quint64 firstWritten = journal.mark();
        journal.append({second});  // queued behind the write of `first`
        journal.end(firstWritten);
        EXPECT_EQ(nextStart(), (Entries{first, second}));

        // The file replaced by someone else is read while both are on their way to it.
        const TranscriptHistoryJournal::Contents read = journal.read();
        EXPECT_TRUE(read.entries.isEmpty());
        journal.endRead(read.mark);
        EXPECT_EQ(nextStart(), (Entries{first, second}));

        journal.append({third});
        journal.end(journal.mark());
    }
    EXPECT_FALSE(QFile::exists(journalPath()));
    // Ended with entries still handed over to its thread: they are written before it goes. The held
    // one stays held, as its delivery never told how it went.
    {
        TranscriptHistoryJournal journal(journalPath(), clock);
        journal.hold(first);
        journal.append({second, third});
    }
    EXPECT_EQ(nextStart(), (Entries{notConfirmed(first), second, third}));
}

// A store ended (the app quits) while appends are still queued for its writer, one of them held:
// every entry reaches the file before the journal goes, so the next start finds them in the file.
TEST_F(TranscriptHistoryStoreTest, AStoreEndedWithAppendsQueuedWritesThemAllBeforeTheJournalGoes) {
    Entries expected;
    for (int i = 0; i < 20'000; ++i)
        expected.append(makeEntry(60 * (i + 10), QString("dictation number %1").arg(i), 2.5));
    makeStore().save(expected);
    {
        auto store = makeStore();
        store.loadEntries();
        for (int i = 0; i < 30; ++i) {
            // Every third one is older than the newest: the whole file is written again for it.
            const auto entry = makeEntry(i % 3 == 0 ? 60 * (3 * i + 11) : -i, QString("queued %1").arg(i));
            store.append(entry);
            TranscriptHistoryFile::insertByDate(expected, entry);
        }
        const auto held = makeEntry(-100, "held", 1.0, Kind::pasteSentUnverified);
        store.hold(held);
        TranscriptHistoryFile::insertByDate(expected, held);
    }
    EXPECT_FALSE(QFile::exists(journalPath()));
    EXPECT_EQ(firstDifference(makeStore().loadEntries(), expected), "");
}

// An entry is held right before its words are written into a field or its paste keys are sent. A
// run that ended there (killed) never told how the delivery went: the next start keeps the entry as
// a copy, never as inserted or sent. Held files an earlier version left, the same line under the
// same name, come back so too. The entry as its delivery ended, once in the journal, wins.
TEST_F(TranscriptHistoryStoreTest, AnEntryHeldWhenItsRunEndedComesBackAsACopyNeverAsDelivered) {
    const auto old = makeEntry(60, "old");
    const auto written = makeEntry(0, "direct write", 1.0, Kind::inserted),
               pasted = makeEntry(-1, "paste keys", 1.0, Kind::pasteSentUnverified),
               checked = makeEntry(-2, "checked paste", 1.0, Kind::pasteSentUnverified),
               earlier = makeEntry(-3, "held by an earlier version", 1.0, Kind::inserted);
    auto ended = checked;
    ended.completionKind = Kind::pastedViaClipboard;
    makeStore().save({old});
    ASSERT_TRUE(writeAll(journalPath() + ".held-" + QUuid::createUuid().toString(QUuid::Id128) + '-' +
                             earlier.id.toString(QUuid::WithoutBraces),
                         journalLine(earlier)));
    ASSERT_EQ(killedAfter([&] {
                  // Never destroyed: the process ends as a killed one does.
                  auto& store = *new ApplicationSupportTranscriptHistoryStore(makeStore());
                  store.hold(written);
                  store.hold(pasted);
                  store.hold(checked);
                  store.append(ended);
                  store.waitUntilJournaled();
              }),
              0);
    const Entries expected{notConfirmed(earlier), ended, notConfirmed(pasted), notConfirmed(written), old};
    {
        auto store = makeStore();
        EXPECT_EQ(store.loadEntries(), expected);
        store.waitUntilWritten();
    }
    EXPECT_EQ(heldFiles(), QStringList{});
    EXPECT_EQ(makeStore().loadEntries(), expected);
}

// Clearing the history removes every file beside it that holds a transcript, at once: the history,
// the journal, held files other runs left, and the copies of damaged ones set aside. The held entry
// of a delivery on its way stays, and so does a file that is not the history's.
TEST_F(TranscriptHistoryStoreTest, ClearingRemovesEveryFileThatHoldsATranscript) {
    const auto kept = makeEntry(60, "kept"), recovered = makeEntry(0, "recovered");
    makeStore().save({kept});
    QByteArray file = readAll(historyPath());
    file.insert(2, R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","completedAt":10,"transcript":"t"},)");
    startOver(file);
    ASSERT_TRUE(writeAll(journalPath(), "{\"id\": broken\n" + journalLine(recovered)));
    const QString foreignHeld = journalPath() + ".held-0-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    ASSERT_TRUE(writeAll(foreignHeld, journalLine(makeEntry(-6, "torn held")).chopped(9)));
    const QString folder = dir.filePath("History");
    ASSERT_TRUE(writeAll(folder + "/notes.txt", "someone else's"));
    const auto onItsWay = makeEntry(-10, "on its way", 1.0, Kind::pasteSentUnverified);
    auto store = makeStore();
    EXPECT_EQ(store.loadEntries(), (Entries{recovered, kept}));
    store.waitUntilWritten();
    // Each damaged file was set aside as the history took in what could be read.
    ASSERT_EQ(asideFiles().size(), 1);
    ASSERT_EQ(journalsAside().size(), 1);
    ASSERT_EQ(QDir(folder).entryList({"*.held-*.corrupt-*"}, QDir::Files).size(), 1);
    // One left by a run this one never read, held or set aside.
    ASSERT_TRUE(writeAll(foreignHeld, journalLine(makeEntry(-7, "held elsewhere"))));
    store.hold(onItsWay);
    const QString ownHeld = heldFiles().filter(onItsWay.id.toString(QUuid::WithoutBraces)).value(0);
    ASSERT_FALSE(ownHeld.isEmpty());

    store.clear();
    const QStringList left{"notes.txt", ownHeld};
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name), left);
    store.withdraw(onItsWay.id);
    store.waitUntilWritten();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"notes.txt"});
    EXPECT_EQ(makeStore().loadEntries(), Entries{});
}

// A change the history's writer made of the history as it stood before a clear never takes the
// cleared file's place, though the clear was made on another thread while it wrote.
TEST_F(TranscriptHistoryStoreTest, AChangeMadeBeforeAClearNeverTakesTheClearedFilesPlace) {
    QDir().mkpath(dir.filePath("History"));
    TranscriptHistoryFile file(historyPath(), [this] { return now; });
    file.changesSince(file.removals());
    ASSERT_EQ(file.write({makeEntry(60, "old")}), std::nullopt);
    file.removeAtOnce();
    EXPECT_FALSE(QFile::exists(historyPath()));
    EXPECT_EQ(file.write({makeEntry(0, "new"), makeEntry(60, "old")}), std::nullopt);
    EXPECT_EQ(file.prepend({makeEntry(-5, "newer")}), std::nullopt);
    EXPECT_FALSE(QFile::exists(historyPath()));
    // Made after the clear: written.
    file.changesSince(file.removals());
    const auto after = makeEntry(-10, "after");
    ASSERT_EQ(file.prepend({after}), std::nullopt);
    EXPECT_EQ(file.read().entries, Entries{after});
}

// A quit does not wait for the store's threads, which a busy machine may keep off the processor for
// seconds while they read or write a long history: prepareForExit returns while neither can run,
// and the next start finds every entry given to the store, before it and, when `appendsAfter`,
// after it, the one still held as it was held (its keys went out).
void exitWithoutWaitingForTheStoresThreads(TranscriptHistoryStoreTest& test, bool appendsAfter) {
    Entries expected;
    for (int i = 0; i < 20'000; ++i)
        expected.append(makeEntry(60 * (i + 10), QString("dictation number %1").arg(i), 2.5));
    test.makeStore().save(expected);
    const auto first = makeEntry(0, "first"), before = makeEntry(-1, "before the quit"),
               older = makeEntry(60 * 30'000, "older, written whole"),
               held = makeEntry(-2, "held", 1.0, Kind::pasteSentUnverified), after = makeEntry(-3, "after the quit");
    const int code = killedAfter([&] {
        // A thread that never comes back fails the test instead of hanging it.
        ::alarm(60);
        // Never destroyed: the process ends as the app's does after a quit.
        auto& store = *new ApplicationSupportTranscriptHistoryStore(test.makeStore());
        store.loadEntries();
        store.append(first);
        if (!threadStarted("history-journal") || !threadStarted("history-writer")) std::_Exit(3);
        if (stallThreads({"history-journal", "history-writer"}) != 2) std::_Exit(2);
        store.append(before);
        store.append(older);
        store.hold(held);
        store.prepareForExit();
        if (appendsAfter) store.append(after);
    });
    ASSERT_EQ(code, 0);
    for (const auto& entry : {first, before, older, held})
        TranscriptHistoryFile::insertByDate(expected, entry);
    if (appendsAfter) TranscriptHistoryFile::insertByDate(expected, after);
    EXPECT_EQ(firstDifference(test.makeStore().loadEntries(), expected), "");
    EXPECT_EQ(test.heldFiles(), QStringList{});
}

TEST_F(TranscriptHistoryStoreTest, AnExitThatWaitsForNoneOfTheStoresThreadsLosesNoEntry) {
    exitWithoutWaitingForTheStoresThreads(*this, true);
}

// With no entry after it to bring them along, prepareForExit itself puts what came before it where
// the next start finds it.
TEST_F(TranscriptHistoryStoreTest, AnExitWithNoEntryAfterThePreparingLosesNoneOfThoseBeforeIt) {
    exitWithoutWaitingForTheStoresThreads(*this, false);
}

// The process a quit ends is gone only once each of its threads got a processor to end on: the
// store's writer keeps the weight of the thread that made them, so a busy machine does not keep one
// off for seconds after the quit (a thread's weight, once lowered, cannot be raised again).
TEST_F(TranscriptHistoryStoreTest, TheStoresWriterDoesNotRunAtALowerWeightThanTheApp) {
    const auto niceOf = [](const QByteArray& name) -> std::optional<int> {
        const QDir tasks(QStringLiteral("/proc/self/task"));
        for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (readAll(tasks.filePath(task + "/comm")).trimmed() != name) continue;
            const QByteArray stat = readAll(tasks.filePath(task + "/stat"));
            // After the name in parentheses: the state is the first field, the nice value the 17th.
            const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(") ") + 2).split(' ');
            if (fields.size() > 16) return fields[16].toInt();
        }
        return std::nullopt;
    };
    auto store = makeStore();
    // The read ran on the writer's thread, after it set its own weight.
    store.loadEntries();
    EXPECT_EQ(niceOf("history-writer"), std::optional(::getpriority(PRIO_PROCESS, 0)));
}

}  // namespace
}  // namespace quorvelle
