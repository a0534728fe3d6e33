#include "Services/Storage/ApplicationSupportTranscriptHistoryStore.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "StorageTestSupport.h"
#include "Support/PrivateFile.h"
#include "Support/SingleInstanceLock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <functional>

namespace quorvelle {
namespace {

using test::modeOf;
using test::readAll;
using test::writeAll;

// Runs `attempt` in a child process whose files cannot grow past 64 bytes, as on a full disk (with
// SIGXFSZ ignored, the write fails with EFBIG instead of killing the process). The child exits 0
// when `attempt` says the failure was reported.
[[noreturn]] void attemptOnFullDisk(const std::function<bool()>& attempt) {
    const rlimit limit{64, 64};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    std::_Exit(attempt() ? 0 : 1);
}

void runOnFullDisk(const std::function<bool()>& attempt) {
    EXPECT_EXIT(attemptOnFullDisk(attempt), ::testing::ExitedWithCode(0), "");
}

class StoreHardeningTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(StoreHardeningTest, AFullDiskLeavesTheOldFileByteForByteAndReportsTheFailure) {
    const QString settingsPath = path("user-defaults.json");
    JsonFileUserDefaults(settingsPath).setString(QStringLiteral("old"), QStringLiteral("kept"));
    const QByteArray oldSettings = readAll(settingsPath);
    ASSERT_FALSE(oldSettings.isEmpty());
    const QString plainPath = path("plain.json");
    ASSERT_TRUE(writeAll(plainPath, QByteArray(100, 'o')));

    // Both stay under Qt's write buffer, which is where the loss was.
    const QString bigText(4000, QLatin1Char('n'));
    runOnFullDisk([&] { return PrivateFile::write(plainPath, bigText.toUtf8()).has_value(); });
    runOnFullDisk([&] {
        JsonFileUserDefaults(settingsPath).setString(QStringLiteral("new"), bigText);
        return true;
    });

    EXPECT_EQ(readAll(plainPath), QByteArray(100, 'o'));
    EXPECT_EQ(readAll(settingsPath), oldSettings);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(StoreHardeningTest, AnOversizedSettingsFileIsSetAsideLikeAnUndecodableOne) {
    const QString settingsPath = path("user-defaults.json");
    JsonFileUserDefaults(settingsPath).setString(QStringLiteral("key"), QStringLiteral("value"));
    // Still valid JSON: trailing white space is allowed.
    QByteArray bloated = readAll(settingsPath);
    bloated.append(QByteArray(17 * 1024 * 1024, ' '));
    ASSERT_TRUE(writeAll(settingsPath, bloated));

    JsonFileUserDefaults reopened(settingsPath);
    EXPECT_FALSE(reopened.value(QStringLiteral("key")).has_value());
    const QStringList aside = QDir(dir.path()).entryList({QStringLiteral("user-defaults.json.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(QFileInfo(dir.filePath(aside.first())).size(), bloated.size());
}

TEST_F(StoreHardeningTest, DataFoldersAreOwnerOnlyWhetherMadeOrFound) {
    ::umask(022);
    const QString found = path("found");
    ASSERT_TRUE(QDir().mkpath(found));
    ASSERT_EQ(modeOf(found), 0755);

    JsonFileUserDefaults(path("config/app/user-defaults.json")).setBool(QStringLiteral("b"), true);
    JsonFileUserDefaults(found + QStringLiteral("/user-defaults.json")).setBool(QStringLiteral("b"), true);
    ApplicationSupportTranscriptHistoryStore({path("data/app/History"), path("data"), {}}).save({});

    for (const char* folder : {"config", "config/app", "found", "data/app", "data/app/History"}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(modeOf(path(folder)), 0700);
    }
}

TEST_F(StoreHardeningTest, OnlyOneInstanceHoldsTheLockUntilItEnds) {
    auto first = std::make_unique<SingleInstanceLock>(dir.path());
    SingleInstanceLock second(dir.path());
    EXPECT_EQ(first->acquire(), SingleInstanceLock::Outcome::acquired);
    EXPECT_EQ(first->acquire(), SingleInstanceLock::Outcome::acquired);
    EXPECT_EQ(second.acquire(), SingleInstanceLock::Outcome::heldElsewhere);
    first.reset();
    EXPECT_EQ(second.acquire(), SingleInstanceLock::Outcome::acquired);

    ASSERT_TRUE(writeAll(path("file"), "x"));
    EXPECT_EQ(SingleInstanceLock(path("file/below")).acquire(), SingleInstanceLock::Outcome::unavailable);
}

}  // namespace
}  // namespace quorvelle
