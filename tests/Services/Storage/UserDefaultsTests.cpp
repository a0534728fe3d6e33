#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "StorageTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTimeZone>

#include <limits>
#include <thread>

namespace quorvelle {
namespace {

using namespace test;
using V = DefaultsValue;

QDateTime fixedNow() {
    return QDateTime(QDate(2026, 12, 6), QTime(18, 0, 5), QTimeZone::utc());
}

class JsonFileUserDefaultsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("user-defaults.json"); }
    QStringList asideFiles() const { return QDir(dir.path()).entryList({"user-defaults.json.corrupt-*"}, QDir::Files); }
    QSet<QByteArray> asideContents() const {
        QSet<QByteArray> contents;
        for (const QString& name : asideFiles())
            contents.insert(readAll(dir.filePath(name)));
        return contents;
    }
};

TEST_F(JsonFileUserDefaultsTest, EveryKindComesBackAsTheSameKindAndNumbersJsonCannotHoldAreRefused) {
    const V nan(std::numeric_limits<double>::quiet_NaN());
    const V nested(
        V::Dictionary{{"list", V(V::Array{V(1), V(QString("x"))})}, {"bytes", V(QByteArray("\x00\xff", 2))}});
    const std::vector<std::pair<QString, V>> written = {
        {"bool", V(false)},
        {"number", V(2.5)},
        {"string", V(QString("true"))},
        {"data", V(QByteArray("\"toggle\""))},
        {"array", V(V::Array{V(true), V(QByteArray("[]"))})},
        {"dictionary", nested},
    };
    {
        JsonFileUserDefaults defaults(path(), fixedNow);
        for (const auto& [key, value] : written)
            defaults.setValue(key, value);
        defaults.setBool("removed", true);
        defaults.removeValue("removed");
        // Refused: the key keeps its value and the file stays readable.
        defaults.setValue("number", nan);
        defaults.setValue("list", V(V::Array{V(1), V(std::numeric_limits<double>::infinity())}));
        defaults.setValue("map", V(V::Dictionary{{"x", nan}}));
        EXPECT_EQ(defaults.value("number"), V(2.5));
    }
    JsonFileUserDefaults reopened(path(), fixedNow);
    for (const auto& [key, value] : written) {
        const auto read = reopened.value(key);
        ASSERT_TRUE(read.has_value()) << key.toStdString();
        EXPECT_EQ(read->kind(), value.kind()) << key.toStdString();
        EXPECT_TRUE(*read == value) << key.toStdString();
    }
    EXPECT_FALSE(reopened.contains("removed") || reopened.contains("list") || reopened.contains("map"));
    EXPECT_EQ(modeOf(path()), 0600);
    EXPECT_TRUE(asideFiles().isEmpty());
}

// Each damaged file is kept aside, never replaced by a later one, and the domain starts empty.
TEST_F(JsonFileUserDefaultsTest, DamagedFilesAreKeptAsideAndTheDomainStartsEmpty) {
    const std::vector<std::pair<const char*, QByteArray>> damaged = {
        {"not JSON", QByteArray("{\"quorvelle.snippets\": ")},
        {"a value without its kind", QByteArray(R"({"quorvelle.clipboardFallbackEnabled": true})")},
        {"a damaged element deep inside", QByteArray(R"({"k": {"array": [{"bool": true}, 3]}})")},
        {"valid but over 16 MiB", QByteArray(R"({"k": {"bool": true}})") + QByteArray(17 << 20, ' ')},
    };
    QSet<QByteArray> keptAside;
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(writeAll(path(), bytes));
        JsonFileUserDefaults defaults(path(), fixedNow);
        EXPECT_FALSE(defaults.contains("k"));
        EXPECT_FALSE(defaults.contains("quorvelle.clipboardFallbackEnabled"));
        defaults.setBool("fresh", true);
        EXPECT_TRUE(JsonFileUserDefaults(path(), fixedNow).boolean("fresh"));
        keptAside.insert(bytes);
        EXPECT_TRUE(asideContents() == keptAside);
        QFile::remove(path());
    }
    EXPECT_TRUE(asideFiles().contains("user-defaults.json.corrupt-20261206T180005Z"));
}

TEST_F(JsonFileUserDefaultsTest, WritesFromTwoThreadsAreAllKept) {
    {
        JsonFileUserDefaults defaults(path(), fixedNow);
        auto writer = [&defaults](const QString& prefix) {
            for (int i = 0; i < 200; ++i)
                defaults.setValue(prefix + QString::number(i), V(i));
        };
        std::thread a(writer, "a"), b(writer, "b");
        a.join();
        b.join();
    }
    JsonFileUserDefaults reopened(path(), fixedNow);
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(reopened.value("a" + QString::number(i)), V(i));
        EXPECT_EQ(reopened.value("b" + QString::number(i)), V(i));
    }
}

TEST(UserDefaultsReadingTest, TypedReadingsDependOnTheStoredKind) {
    using S = std::optional<QString>;
    using D = std::optional<QByteArray>;
    const struct {
        std::optional<V> stored;
        bool boolean;
        S string;
        D data;
    } cases[] = {
        {std::nullopt, false, std::nullopt, std::nullopt},
        {V(0), false, "0", std::nullopt},
        {V(QString("YES")), true, "YES", std::nullopt},
        {V(QString("-000")), false, "-000", std::nullopt},
        {V(QByteArray("true")), false, std::nullopt, QByteArray("true")},
        {V(V::Array{V(true)}), false, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        InMemoryUserDefaults defaults;
        if (c.stored) defaults.setValue("k", *c.stored);
        EXPECT_EQ(defaults.boolean("k"), c.boolean) << defaults.string("k").value_or("-").toStdString();
        EXPECT_EQ(defaults.string("k"), c.string);
        EXPECT_EQ(defaults.data("k"), c.data);
        EXPECT_EQ(defaults.contains("k"), c.stored.has_value());
    }
}

}  // namespace
}  // namespace quorvelle
