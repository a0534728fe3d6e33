#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "Services/Storage/TranscriptHistoryExportError.h"
#include "Services/Transcription/ApplicationSupportLocalModelManager.h"
#include "Services/Transcription/LocalModelManagerError.h"
#include "StorageTestSupport.h"

#include <gmock/gmock.h>

#include <QCryptographicHash>
#include <QDir>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTimeZone>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <sched.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

namespace quorvelle {
namespace {

using namespace test;
using namespace testing;
using Model = LocalTranscriptionModelID;

// In a child process, files cannot grow past 64 bytes, as on a full disk; exits 0 when `attempt` holds.
[[noreturn]] void attemptOnFullDisk(const std::function<bool()>& attempt) {
    const rlimit limit{64, 64};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    std::_Exit(attempt() ? 0 : 1);
}

constexpr int kNoSmallDisk = 77;

// Runs `attempt` in a child process in which `folder` is a file system of its own, 256 KiB large (a
// tmpfs in a private user and mount namespace): a disk that really fills. Returns the child's exit
// code: 0 when the attempt held, kNoSmallDisk when no such file system can be made here.
int onSmallDisk(const QString& folder, const std::function<bool()>& attempt) {
    const pid_t child = ::fork();
    if (child == 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        const auto put = [](const char* path, const std::string& text) {
            QFile file(QString::fromLatin1(path));
            return file.open(QIODevice::WriteOnly) &&
                   file.write(text.data(), qint64(text.size())) == qint64(text.size());
        };
        const bool made = ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && put("/proc/self/setgroups", "deny") &&
                          put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
                          put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1") &&
                          ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                          ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=256k") == 0;
        std::_Exit(!made ? kNoSmallDisk : attempt() && !::testing::Test::HasFailure() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Writes to `path` until the disk is full, then gives back 8 KiB: a write larger than that begins
// and then fails, where Qt's own writes lose the reason.
void fillDisk(const QString& path) {
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    filler.resize(filler.size() - 8192);
}

class NoRuntime final : public LocalRuntimeInspecting {
public:
    LocalRuntimeAvailability availability() const override { return LocalRuntimeAvailability::unavailable({}); }
};

QByteArray weightsOf(Model model) {
    return "weights of " + rawValue(model).toLatin1();
}

LocalTranscriptionModelDescriptor descriptor(Model model) {
    LocalTranscriptionModelDescriptor row = localModelDescriptor(model);
    row.expectedSHA1 =
        QString::fromLatin1(QCryptographicHash::hash(weightsOf(model), QCryptographicHash::Sha1).toHex());
    return row;
}

class StoreHardeningTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QNetworkAccessManager network;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString models() const { return path("data/LocalModels"); }
    QString registryPath() const { return models() + "/local-models.json"; }
    QStringList asideFiles(const QString& folder) const {
        return QDir(folder).entryList({"*.corrupt-*"}, QDir::AllEntries | QDir::System);
    }
    std::unique_ptr<ApplicationSupportLocalModelManager> makeManager() {
        return std::make_unique<ApplicationSupportLocalModelManager>(&network, std::make_shared<NoRuntime>(),
                                                                     &descriptor, models());
    }
    void putModelFile(Model model, const QByteArray& bytes) {
        QDir().mkpath(models() + "/Models");
        ASSERT_TRUE(writeAll(models() + "/Models/" + descriptor(model).filename, bytes));
    }
};

TEST_F(StoreHardeningTest, AFullDiskLeavesSettingsAndModelRegistryByteForByteAndReportsTheFailure) {
    const QString settingsPath = path("user-defaults.json");
    JsonFileUserDefaults(settingsPath).setString("old", "kept");
    putModelFile(Model::baseMultilingual, weightsOf(Model::baseMultilingual));
    ASSERT_TRUE(writeAll(registryPath(), "damaged, so rebuilt with the model above"));
    auto manager = makeManager();
    const QByteArray oldSettings = readAll(settingsPath), oldRegistry = readAll(registryPath());
    ASSERT_GT(oldRegistry.size(), 64);

    // The new settings stay under Qt's 16 KiB write buffer, which is where they were lost. The failed
    // write does not throw, and the value is kept for this run.
    EXPECT_EXIT(attemptOnFullDisk([&] {
                    JsonFileUserDefaults defaults(settingsPath);
                    defaults.setString("new", QString(4000, 'n'));
                    return defaults.string("new") == QString(4000, 'n');
                }),
                ExitedWithCode(0), "");
    const auto failsToWrite =
        Throws<LocalModelFileError>(Property(&LocalModelFileError::errorCase, LocalModelFileError::Case::writeFailed));
    EXPECT_EXIT(attemptOnFullDisk([&] { return Matches(failsToWrite)([&] { manager->deleteModel(Model::largeV3); }); }),
                ExitedWithCode(0), "");
    EXPECT_EQ(readAll(settingsPath), oldSettings);
    EXPECT_EQ(readAll(registryPath()), oldRegistry);
}

// A full disk refuses a dictation: the file stays as it was, the reason is the system's and said
// once, the dictations refused wait in the journal beside it and are written with the next one the
// disk takes, or at the end.
TEST_F(StoreHardeningTest, AHistoryChangeAFullDiskRefusesIsSaidOnceAndWrittenWithTheNextOne) {
    const QString disk = path("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    const int code = onSmallDisk(disk, [&] {
        const QDateTime start(QDate(2026, 12, 5), QTime(9, 0), QTimeZone::utc());
        const auto entry = [&](int minute) {
            return TranscriptHistoryEntry{QUuid::createUuid(), start.addSecs(60 * minute), "words", 1, 1, {}};
        };
        ApplicationSupportTranscriptHistoryStore::Options options{disk + "/History", disk, [&] { return start; }};
        const QString file = disk + "/History/transcript-history.json", filler = disk + "/filler";
        QList<TranscriptHistoryEntry> expected;  // larger than the room the full disk leaves
        for (int minute = -100; minute <= 0; ++minute)
            expected.prepend(entry(minute));
        QStringList reasons;
        QObject context;
        {
            ApplicationSupportTranscriptHistoryStore store(options);
            store.whenSaveFails(&context, [&](const QString& reason) { reasons << reason; });
            store.save(expected);
            store.waitUntilWritten();
            const QByteArray before = readAll(file);
            fillDisk(filler);
            for (const int minute : {1, 2}) {
                expected.prepend(entry(minute));
                EXPECT_EQ(store.append(expected.first()), 0);
                store.waitUntilWritten();
                QCoreApplication::sendPostedEvents();
            }
            EXPECT_EQ(reasons, QStringList{"No space left on device"});
            EXPECT_EQ(readAll(file), before);
            EXPECT_EQ(store.loadEntries(), expected);
            // Journaled beside the file: a process killed now would find them at its next start.
            EXPECT_EQ(ApplicationSupportTranscriptHistoryStore(options).loadEntries(), expected);

            QFile::remove(filler);
            expected.prepend(entry(3));
            store.append(expected.first());
            store.waitUntilWritten();
            EXPECT_EQ(ApplicationSupportTranscriptHistoryStore(options).loadEntries(), expected);
            EXPECT_FALSE(QFile::exists(disk + "/History/transcript-history.journal"));

            fillDisk(filler);
            expected.prepend(entry(4));
            store.append(expected.first());
            store.waitUntilWritten();
            QCoreApplication::sendPostedEvents();
            EXPECT_EQ(reasons.size(), 2);  // told again after a write that went through
            QFile::remove(filler);
        }
        // Written once more as the store ended: the file holds it, and the journal is done with.
        EXPECT_FALSE(QFile::exists(disk + "/History/transcript-history.journal"));
        EXPECT_EQ(ApplicationSupportTranscriptHistoryStore(options).loadEntries(), expected);  // at the end
        return true;
    });
    if (code == kNoSmallDisk) GTEST_SKIP() << "no private file system can be made here";
    EXPECT_EQ(code, 0);
}

// On a full disk the history file takes no dictation: once the wait for the history returns, the
// journal holds each one, the one appended and the one held while its paste is checked, so a process
// killed at that moment loses neither (the held one comes back as a copy: its check never ended).
TEST_F(StoreHardeningTest, OnAFullDiskTheWaitForTheHistoryEndsOnlyOnceTheJournalHoldsEveryDictation) {
    const QString disk = path("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    const int code = onSmallDisk(disk, [&] {
        const QDateTime start(QDate(2026, 12, 5), QTime(9, 0), QTimeZone::utc());
        const auto entry = [&](int minute, TranscriptHistoryCompletionKind kind = {}) {
            return TranscriptHistoryEntry{QUuid::createUuid(), start.addSecs(60 * minute), "words", 1, 1, kind};
        };
        const ApplicationSupportTranscriptHistoryStore::Options options{disk + "/History", disk, [&] { return start; }};
        const QString filler = disk + "/filler";
        QList<TranscriptHistoryEntry> expected;  // larger than the room the full disk leaves
        for (int minute = -100; minute <= 0; ++minute)
            expected.prepend(entry(minute));
        ApplicationSupportTranscriptHistoryStore(options).save(expected);
        for (int round = 1; round <= 5; ++round) {
            const auto appended = entry(2 * round - 1),
                       held = entry(2 * round, TranscriptHistoryCompletionKind::pasteSentUnverified);
            const int killed = killedAfter([&] {
                // Never destroyed: the process ends as a killed one does.
                auto& store = *new ApplicationSupportTranscriptHistoryStore(options);
                store.loadEntries();
                fillDisk(filler);
                store.append(appended);
                store.waitUntilWritten();
                // Nothing left for the history's own writer: the journal's thread alone takes it.
                store.hold(held);
                store.waitUntilWritten();
            });
            QFile::remove(filler);
            auto recovered = held;
            recovered.completionKind = TranscriptHistoryCompletionKind::copiedToClipboard;
            expected = QList{recovered, appended} + expected;
            EXPECT_EQ(killed, 0);
            EXPECT_EQ(ApplicationSupportTranscriptHistoryStore(options).loadEntries(), expected) << "round " << round;
        }
        return true;
    });
    if (code == kNoSmallDisk) GTEST_SKIP() << "no private file system can be made here";
    EXPECT_EQ(code, 0);
}

TEST_F(StoreHardeningTest, AnUndecodableRegistryIsKeptAsideAndRebuiltFromModelFilesThatMatchTheCatalogue) {
    putModelFile(Model::baseMultilingual, weightsOf(Model::baseMultilingual));
    ASSERT_TRUE(writeAll(registryPath(), "[{\"modelID\": \"tinyMulti"));
    putModelFile(Model::largeV3, "other weights");

    const auto records = makeManager()->loadRecords();
    ASSERT_EQ(records.keys(), QList<Model>{Model::baseMultilingual});
    EXPECT_EQ(records.first().fileSizeBytes, weightsOf(Model::baseMultilingual).size());
    EXPECT_EQ(records.first().checksumSHA256,
              QCryptographicHash::hash(weightsOf(Model::baseMultilingual), QCryptographicHash::Sha256).toHex());
    EXPECT_EQ(makeManager()->loadRecords(), records);
    ASSERT_EQ(asideFiles(models()).size(), 1);
    EXPECT_EQ(readAll(models() + "/" + asideFiles(models()).first()), "[{\"modelID\": \"tinyMulti");
}

// A FIFO hangs a blocking open and a link to /dev/zero never ends: only regular files are read, and
// what else sits at a store's path is set aside at the first write.
TEST_F(StoreHardeningTest, SpecialFilesAtTheStorePathsAreSetAsideWithoutHanging) {
    const QString files[] = {path("user-defaults.json"), path("History/transcript-history.json"), registryPath()};
    ASSERT_TRUE(QDir().mkpath(path("History")) && QDir().mkpath(models()));
    for (const bool fifo : {true, false}) {
        for (const QString& at : files)
            ASSERT_TRUE(fifo ? ::mkfifo(QFile::encodeName(at), 0600) == 0
                             : (QFile::remove(at), QFile::link("/dev/zero", at)));
        JsonFileUserDefaults(files[0]).setString("kept", "value");
        ApplicationSupportTranscriptHistoryStore history({path("History"), dir.path(), &QDateTime::currentDateTime});
        EXPECT_THROW(history.exportCSV(), TranscriptHistoryExportError);
        history.save({});
        EXPECT_TRUE(makeManager()->loadRecords().isEmpty());
        history.waitUntilWritten();
        EXPECT_EQ(JsonFileUserDefaults(files[0]).string("kept"), "value");
        EXPECT_EQ(asideFiles(dir.path()).size() + asideFiles(path("History")).size(), fifo ? 2 : 4);
    }
}

// A store file that is there but cannot be opened is no missing file: read as one, the next write
// would put an empty store in its place. It is set aside as it is before anything is written.
TEST_F(StoreHardeningTest, StoreFilesThatCannotBeOpenedAreSetAsideNotWrittenOver) {
    const QString files[] = {path("user-defaults.json"), path("History/transcript-history.json"), registryPath()};
    ASSERT_TRUE(QDir().mkpath(path("History")) && QDir().mkpath(models()));
    const auto asideCount = [&] {
        return asideFiles(dir.path()).size() + asideFiles(path("History")).size() + asideFiles(models()).size();
    };
    const QByteArray kept = R"({"quorvelle.kept": {"string": "old"}})";
    // Permission bits stop no reads of root's: only the link loop fails for root too.
    const bool root = ::geteuid() == 0;
    for (const bool loop : {true, false}) {
        if (!loop && root) continue;
        for (const QString& at : files) {
            QFile::remove(at);
            ASSERT_TRUE(loop ? QFile::link(at, at) : writeAll(at, kept) && ::chmod(QFile::encodeName(at), 0) == 0);
        }
        const qsizetype before = asideCount();
        JsonFileUserDefaults(files[0]).setString("new", "value");
        ApplicationSupportTranscriptHistoryStore history({path("History"), dir.path(), &QDateTime::currentDateTime});
        EXPECT_THROW(history.exportCSV(), TranscriptHistoryExportError);
        history.save({});
        history.waitUntilWritten();
        putModelFile(Model::baseMultilingual, weightsOf(Model::baseMultilingual));
        makeManager()->deleteModel(Model::largeV3);
        EXPECT_EQ(asideCount(), before + 3) << (loop ? "link loop" : "permission denied");
        EXPECT_EQ(JsonFileUserDefaults(files[0]).string("new"), "value");
        if (!loop) {
            const QString aside = dir.filePath(asideFiles(dir.path()).value(0));
            ASSERT_EQ(::chmod(QFile::encodeName(aside), 0600), 0);
            EXPECT_EQ(readAll(aside), kept);
        }
    }
    if (root) RecordProperty("permission_case", "not run: permission bits do not stop root's reads");
}

TEST_F(StoreHardeningTest, DataFoldersAreOwnerOnlyWhetherMadeOrFound) {
    ::umask(022);
    ASSERT_TRUE(QDir().mkpath(path("found")));
    JsonFileUserDefaults(path("config/app/user-defaults.json")).setBool("b", true);
    JsonFileUserDefaults(path("found/user-defaults.json")).setBool("b", true);
    ApplicationSupportTranscriptHistoryStore({path("data/app/History"), dir.path(), {}}).save({});
    makeManager();

    for (const char* folder :
         {"config", "config/app", "found", "data/app", "data/app/History", "data/LocalModels/Models"})
        EXPECT_EQ(modeOf(path(folder)), 0700) << folder;
}

}  // namespace
}  // namespace quorvelle
