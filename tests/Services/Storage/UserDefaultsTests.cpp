#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <limits>
#include <thread>

namespace quorvelle {
namespace {

using test::modeOf;
using test::readAll;
using test::writeAll;

const QDateTime kNow = QDateTime(QDate(2026, 12, 6), QTime(18, 0, 5), QTimeZone::utc());

QDateTime fixedNow() {
    return kNow;
}

class JsonFileUserDefaultsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("user-defaults.json")); }
    QStringList asideFiles() const {
        return QDir(dir.path()).entryList({QStringLiteral("user-defaults.json.corrupt-*")}, QDir::Files);
    }
};

TEST_F(JsonFileUserDefaultsTest, EveryKindComesBackFromTheFileAsTheSameKind) {
    const DefaultsValue nested(DefaultsValue::Dictionary{
        {QStringLiteral("list"),
         DefaultsValue(DefaultsValue::Array{DefaultsValue(1), DefaultsValue(QStringLiteral("x"))})},
        {QStringLiteral("bytes"), DefaultsValue(QByteArray("\x00\xff", 2))},
    });
    const std::vector<std::pair<QString, DefaultsValue>> written = {
        {QStringLiteral("bool"), DefaultsValue(false)},
        {QStringLiteral("number"), DefaultsValue(2.5)},
        {QStringLiteral("string"), DefaultsValue(QStringLiteral("true"))},
        {QStringLiteral("data"), DefaultsValue(QByteArray("\"toggle\""))},
        {QStringLiteral("array"),
         DefaultsValue(DefaultsValue::Array{DefaultsValue(true), DefaultsValue(QByteArray("[]"))})},
        {QStringLiteral("dictionary"), nested},
    };
    {
        JsonFileUserDefaults defaults(path(), fixedNow);
        for (const auto& [key, value] : written)
            defaults.setValue(key, value);
        defaults.setBool(QStringLiteral("removed"), true);
        defaults.removeValue(QStringLiteral("removed"));
    }
    JsonFileUserDefaults reopened(path(), fixedNow);
    for (const auto& [key, value] : written) {
        SCOPED_TRACE(key.toStdString());
        const auto read = reopened.value(key);
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(read->kind(), value.kind());
        EXPECT_TRUE(*read == value);
    }
    EXPECT_FALSE(reopened.contains(QStringLiteral("removed")));
    EXPECT_EQ(modeOf(path()), 0600);
    EXPECT_TRUE(asideFiles().isEmpty());
}

TEST_F(JsonFileUserDefaultsTest, ADamagedFileIsKeptAsideAndTheDomainStartsEmpty) {
    const std::vector<std::pair<const char*, QByteArray>> damaged = {
        {"not JSON", QByteArray("{\"quorvelle.snippets\": ")},
        {"a value without its kind", QByteArray(R"({"quorvelle.clipboardFallbackEnabled": true})")},
        {"a damaged element deep inside", QByteArray(R"({"k": {"array": [{"bool": true}, 3]}})")},
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        for (const QString& aside : asideFiles())
            QFile::remove(dir.filePath(aside));
        ASSERT_TRUE(writeAll(path(), bytes));

        JsonFileUserDefaults defaults(path(), fixedNow);
        EXPECT_FALSE(defaults.contains(QStringLiteral("k")));
        EXPECT_FALSE(defaults.contains(QStringLiteral("quorvelle.clipboardFallbackEnabled")));
        ASSERT_EQ(asideFiles(), QStringList{QStringLiteral("user-defaults.json.corrupt-20261206T180005Z")});
        EXPECT_EQ(readAll(dir.filePath(asideFiles().first())), bytes);

        defaults.setBool(QStringLiteral("fresh"), true);
        EXPECT_TRUE(JsonFileUserDefaults(path(), fixedNow).boolean(QStringLiteral("fresh")));
        EXPECT_EQ(readAll(dir.filePath(asideFiles().first())), bytes);
        QFile::remove(path());
    }
}

TEST_F(JsonFileUserDefaultsTest, ASecondDamagedFileDoesNotReplaceTheFirstOneKeptAside) {
    ASSERT_TRUE(writeAll(path(), "first"));
    JsonFileUserDefaults first(path(), fixedNow);
    ASSERT_TRUE(writeAll(path(), "second"));
    JsonFileUserDefaults second(path(), fixedNow);

    QStringList contents;
    for (const QString& name : asideFiles())
        contents << QString::fromLatin1(readAll(dir.filePath(name)));
    contents.sort();
    EXPECT_EQ(contents, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
}

TEST_F(JsonFileUserDefaultsTest, ANumberJsonCannotHoldIsRefusedAndTheFileStaysReadable) {
    const DefaultsValue nan(std::numeric_limits<double>::quiet_NaN());
    const DefaultsValue infinity(std::numeric_limits<double>::infinity());
    {
        JsonFileUserDefaults defaults(path(), fixedNow);
        defaults.setString(QStringLiteral("kept"), QStringLiteral("v"));
        defaults.setValue(QStringLiteral("volume"), DefaultsValue(0.5));
        defaults.setValue(QStringLiteral("volume"), nan);
        defaults.setValue(QStringLiteral("list"), DefaultsValue(DefaultsValue::Array{DefaultsValue(1), infinity}));
        defaults.setValue(QStringLiteral("map"), DefaultsValue(DefaultsValue::Dictionary{{QStringLiteral("x"), nan}}));
        EXPECT_EQ(defaults.value(QStringLiteral("volume")), DefaultsValue(0.5));
    }
    JsonFileUserDefaults reopened(path(), fixedNow);
    EXPECT_EQ(reopened.string(QStringLiteral("kept")), QStringLiteral("v"));
    EXPECT_EQ(reopened.value(QStringLiteral("volume")), DefaultsValue(0.5));
    EXPECT_FALSE(reopened.contains(QStringLiteral("list")));
    EXPECT_FALSE(reopened.contains(QStringLiteral("map")));
    EXPECT_TRUE(asideFiles().isEmpty());
}

TEST_F(JsonFileUserDefaultsTest, AFailedWriteKeepsTheValueForThisRunAndDoesNotThrow) {
    ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral("blocker")), "a regular file"));
    const QString unwritable = dir.filePath(QStringLiteral("blocker/user-defaults.json"));
    JsonFileUserDefaults defaults(unwritable, fixedNow);
    EXPECT_NO_THROW(defaults.setString(QStringLiteral("k"), QStringLiteral("v")));
    EXPECT_EQ(defaults.string(QStringLiteral("k")), QStringLiteral("v"));
    EXPECT_FALSE(QFileInfo::exists(unwritable));
}

TEST_F(JsonFileUserDefaultsTest, WritesFromTwoThreadsAreAllKept) {
    constexpr int kWritesPerThread = 200;
    {
        JsonFileUserDefaults defaults(path(), fixedNow);
        auto writer = [&defaults](const QString& prefix) {
            for (int i = 0; i < kWritesPerThread; ++i)
                defaults.setValue(prefix + QString::number(i), DefaultsValue(i));
        };
        std::thread a(writer, QStringLiteral("a"));
        std::thread b(writer, QStringLiteral("b"));
        a.join();
        b.join();
    }
    JsonFileUserDefaults reopened(path(), fixedNow);
    for (int i = 0; i < kWritesPerThread; ++i) {
        EXPECT_EQ(reopened.value(QStringLiteral("a") + QString::number(i)), DefaultsValue(i));
        EXPECT_EQ(reopened.value(QStringLiteral("b") + QString::number(i)), DefaultsValue(i));
    }
}

TEST(UserDefaultsReadingTest, TypedReadingsDependOnTheStoredKind) {
    struct Case {
        const char* what;
        std::optional<DefaultsValue> stored;
        bool boolean;
        std::optional<QString> string;
        std::optional<QByteArray> data;
    };
    const std::vector<Case> cases = {
        {"absent", std::nullopt, false, std::nullopt, std::nullopt},
        {"zero", DefaultsValue(0), false, QStringLiteral("0"), std::nullopt},
        {"text YES", DefaultsValue(QStringLiteral("YES")), true, QStringLiteral("YES"), std::nullopt},
        {"text 0", DefaultsValue(QStringLiteral("-000")), false, QStringLiteral("-000"), std::nullopt},
        {"data", DefaultsValue(QByteArray("true")), false, std::nullopt, QByteArray("true")},
        {"array", DefaultsValue(DefaultsValue::Array{DefaultsValue(true)}), false, std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InMemoryUserDefaults defaults;
        if (c.stored) defaults.setValue(QStringLiteral("k"), *c.stored);
        EXPECT_EQ(defaults.boolean(QStringLiteral("k")), c.boolean);
        EXPECT_EQ(defaults.string(QStringLiteral("k")), c.string);
        EXPECT_EQ(defaults.data(QStringLiteral("k")), c.data);
        EXPECT_EQ(defaults.contains(QStringLiteral("k")), c.stored.has_value());
    }
}

}  // namespace
}  // namespace quorvelle
