#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "Services/Storage/SettingsKeys.h"
#include "Services/Storage/UserDefaultsDiagnosticsStore.h"
#include "StorageTestSupport.h"
#include "Support/JsonCoding.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTimeZone>

#include <thread>

namespace quorvelle {
namespace {

using Events = QList<SanitizedDiagnosticsEvent>;
const QDateTime kNow = QDateTime(QDate(2026, 12, 6), QTime(18, 0, 0), QTimeZone::utc());
const QString kKey = SettingsKeys::diagnosticsEvents;

SanitizedDiagnosticsEvent eventAt(qint64 secondsBeforeNow, const QString& code = "runtime.insert.ok") {
    return SanitizedDiagnosticsEvent::make(kNow.addSecs(-secondsBeforeNow), DiagnosticsEventLevel::info, code, "m");
}

QByteArray encode(const Events& events) {
    QJsonArray array;
    for (const auto& event : events)
        array.append(event.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

class DiagnosticsStoreTest : public ::testing::Test {
protected:
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    QDateTime now = kNow;
    UserDefaultsDiagnosticsStore makeStore() {
        return UserDefaultsDiagnosticsStore(defaults, [this] { return now; });
    }
};

TEST_F(DiagnosticsStoreTest, AFirstStartWritesAnEmptyListThenEventsAreKeptNewestFirstInTheirStoredForm) {
    auto store = makeStore();
    EXPECT_EQ(defaults->data(kKey), QByteArray("[]"));
    EXPECT_TRUE(store.events().isEmpty());
    const auto older = eventAt(60, "settings.dictionary.updated");
    auto newer = eventAt(0, "runtime.error.unexpected");
    newer.level = DiagnosticsEventLevel::error;
    store.record(newer);
    store.record(older);
    EXPECT_EQ(store.events(), (Events{newer, older}));

    const QJsonArray stored = QJsonDocument::fromJson(*defaults->data(kKey)).array();
    ASSERT_EQ(stored.size(), 2);
    const QJsonObject first = stored.first().toObject();
    EXPECT_EQ(first.keys(), (QStringList{"code", "id", "level", "message", "timestamp"}));
    EXPECT_EQ(first.value("level").toString(), "error");
    EXPECT_DOUBLE_EQ(first.value("timestamp").toDouble(), json::secondsSinceReferenceDate(kNow));
}

TEST_F(DiagnosticsStoreTest, AtMostAHundredEventsAreKept) {
    Events hundred;
    for (int i = 0; i < 100; ++i)
        hundred.append(eventAt(10 + i));
    defaults->setData(kKey, encode(hundred));
    auto store = makeStore();
    ASSERT_EQ(store.events().size(), 100);
    const auto newest = eventAt(0);
    store.record(newest);
    EXPECT_EQ(store.events(), Events{newest} + hundred.first(99));
}

TEST_F(DiagnosticsStoreTest, EventsOlderThanSevenDaysAgeOutOnReadingAndLeaveOnRecording) {
    constexpr qint64 week = 604800;
    const auto future = eventAt(-3600), exactlyAWeek = eventAt(week);
    defaults->setData(kKey, encode({exactlyAWeek, eventAt(week + 1), future}));
    auto store = makeStore();  // tidies at start
    EXPECT_EQ(store.events(), (Events{future, exactlyAWeek}));

    // Reading drops what ages out but never writes.
    now = kNow.addSecs(1);
    const QByteArray beforeReading = *defaults->data(kKey);
    EXPECT_EQ(store.events(), Events{future});
    EXPECT_EQ(defaults->data(kKey), beforeReading);

    const auto fresh = eventAt(-1);
    store.record(fresh);
    EXPECT_EQ(defaults->data(kKey), encode({future, fresh}));
}

TEST_F(DiagnosticsStoreTest, AnUndecodableListIsReadAsEmptyAndReplacedOnlyByARecord) {
    const QByteArray id = R"("id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F",)";
    const DefaultsValue damaged[] = {
        DefaultsValue(QByteArray("[{\"id\":")),
        DefaultsValue("[{" + id + R"("timestamp":1,"level":"fatal","code":"c","message":"m"}])"),
        DefaultsValue(QString("[]")),
        DefaultsValue(QByteArray(R"([{"timestamp":1,"level":"info","code":"c","message":"m"}])")),
        DefaultsValue("[{" + id + R"("level":"info","code":"c","message":"m"}])"),
    };
    for (const DefaultsValue& value : damaged) {
        defaults->setValue(kKey, value);
        auto store = makeStore();
        EXPECT_TRUE(store.events().isEmpty());
        EXPECT_EQ(defaults->value(kKey), value);
        const auto event = eventAt(0);
        store.record(event);
        EXPECT_EQ(store.events(), Events{event});
    }
}

TEST(DiagnosticsStoreThreadsTest, TwoThreadsRecordingAtOnceLoseNoEvent) {
    QTemporaryDir dir;
    const auto open = [&] {
        return UserDefaultsDiagnosticsStore(std::make_shared<JsonFileUserDefaults>(dir.filePath("d.json")),
                                            [] { return kNow; });
    };
    Events a, b;
    for (int i = 0; i < 50; ++i) {
        a.append(eventAt(i, "audio.capture.a"));
        b.append(eventAt(i, "hotkey.monitor.b"));
    }
    {
        auto store = open();
        const auto recordAll = [&store](const Events& events) {
            for (const auto& event : events)
                store.record(event);
        };
        std::thread first(recordAll, a), second(recordAll, b);
        first.join();
        second.join();
    }
    QSet<QUuid> recorded, kept;
    for (const auto& event : a + b)
        recorded.insert(event.id);
    for (const auto& event : open().events())
        kept.insert(event.id);
    EXPECT_EQ(kept, recorded);
}

}  // namespace
}  // namespace quorvelle
