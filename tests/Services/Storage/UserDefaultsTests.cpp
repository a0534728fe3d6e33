#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/JsonFileUserDefaults.h"
#include "Services/Storage/SettingsStore.h"
#include "Services/Storage/UserDefaultsDiagnosticsStore.h"
#include "StorageTestSupport.h"
#include "Support/JsonCoding.h"
#include "Support/PrivateFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>
#include <QTimeZone>

#include <future>
#include <iterator>
#include <limits>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>

namespace quorvelle {
namespace {

using namespace test;
using V = DefaultsValue;
namespace Keys = SettingsKeys;

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

const JsonFileUserDefaults::Clock fixedNow = [] { return kNow; };

class JsonFileUserDefaultsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("user-defaults.json"); }
    std::shared_ptr<JsonFileUserDefaults> openDefaults() const {
        return std::make_shared<JsonFileUserDefaults>(path());
    }
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
        EXPECT_TRUE(read && read->kind() == value.kind() && *read == value) << key.toStdString();
    }
    EXPECT_FALSE(reopened.contains("removed") || reopened.contains("list") || reopened.contains("map"));
    EXPECT_EQ(modeOf(path()), 0600);
    EXPECT_TRUE(asideFiles().isEmpty());
}

// A file that is not one JSON object is kept aside (never replaced by a later one) and the domain starts
// empty; a value that does not decode costs that value alone; a change that would make the file too
// large to read back is refused.
TEST_F(JsonFileUserDefaultsTest, OnlyAFileThatIsNotAnObjectIsSetAsideAndOneBadValueCostsOnlyItself) {
    const std::vector<std::pair<const char*, QByteArray>> damaged = {
        {"not JSON", QByteArray("{\"quorvelle.snippets\": ")},
        {"not an object", QByteArray(R"([{"k": {"bool": true}}])")},
        {"over 16 MiB and not an object", QByteArray(R"([{"k": {"bool": true}}])") + QByteArray(17 << 20, ' ')},
        {"over 16 MiB in too many values",
         R"({"k": {"bool": true})" + QByteArray(R"(, "x": {"bool": true})").repeated(900000) + '}'},
    };
    QSet<QByteArray> keptAside;
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(writeAll(path(), bytes));
        JsonFileUserDefaults defaults(path(), fixedNow);
        EXPECT_FALSE(defaults.contains("k"));
        defaults.setBool("fresh", true);
        defaults.waitUntilWritten();
        EXPECT_TRUE(JsonFileUserDefaults(path(), fixedNow).boolean("fresh"));
        keptAside.insert(bytes);
        EXPECT_TRUE(asideContents() == keptAside);
        QFile::remove(path());
    }
    EXPECT_TRUE(asideFiles().contains("user-defaults.json.corrupt-20261206T180000Z"));

    ASSERT_TRUE(writeAll(path(), R"({"on": {"string": " YES"}, "off": {"string": "no"}, "kept": {"bool": true},
        "untagged": true, "unknown kind": {"date": 1}, "damaged element": {"array": [{"bool": true}, 3]},
        "damaged base64": {"data": "AA=A"}})"));
    JsonFileUserDefaults defaults(path(), fixedNow);
    EXPECT_TRUE(defaults.boolean("on") && defaults.boolean("kept") && defaults.contains("off"));
    EXPECT_FALSE(defaults.boolean("off"));
    for (const char* key : {"untagged", "unknown kind", "damaged element", "damaged base64"})
        EXPECT_FALSE(defaults.contains(key)) << key;
    EXPECT_EQ(asideContents(), keptAside);

    defaults.setData("large", QByteArray(13 << 20, 'x'));  // 17.3 MiB once in base64
    EXPECT_FALSE(defaults.contains("large"));
    defaults.setData("fits", QByteArray(11 << 20, 'x'));
    defaults.waitUntilWritten();
    JsonFileUserDefaults reopened(path(), fixedNow);
    EXPECT_TRUE(reopened.boolean("kept") && reopened.contains("fits") && !reopened.contains("large"));
    EXPECT_EQ(asideContents(), keptAside);
}

// A file over the size limit costs only its largest values, as many as keep the rest within it: the
// rest is read and written back at once, and the file is kept whole beside.
TEST_F(JsonFileUserDefaultsTest, AFileOverTheLimitIsReadWithoutItsLargestValuesAndKeptWholeAside) {
    const QByteArray tricky = R"("brace \"}\" [": {"array": [{"string": "a,}]\\"}, {"number": -2.5e1}]})";
    const QByteArray bytes = R"( {"k": {"bool": true}, "big": {"string": ")" + QByteArray(10 << 20, 'x') + R"("},)" +
                             tricky + R"(, "large": {"data": ")" + QByteArray(9 << 20, 'A') +
                             R"("}, "n" : {"number": 3} } )";
    ASSERT_TRUE(writeAll(path(), bytes));
    {
        JsonFileUserDefaults defaults(path(), fixedNow);
        EXPECT_TRUE(defaults.boolean("k"));
        EXPECT_EQ(defaults.value("n"), V(3));
        EXPECT_EQ(defaults.value(R"(brace "}" [)"), V(V::Array{V(QString(R"(a,}]\)")), V(-25.0)}));
        EXPECT_EQ(defaults.data("large"), QByteArray::fromBase64(QByteArray(9 << 20, 'A')));
        EXPECT_FALSE(defaults.contains("big"));
        EXPECT_EQ(asideContents(), QSet{bytes});
    }
    // Without a change in between, what was read is back in the settings file.
    JsonFileUserDefaults reopened(path(), fixedNow);
    EXPECT_TRUE(reopened.boolean("k") && reopened.contains("n") && reopened.contains("large"));
    EXPECT_FALSE(reopened.contains("big"));
    EXPECT_EQ(asideFiles().size(), 1);
}

// The settings file as the app writes it: each value tagged with its kind, the object indented.
QByteArray appFormat(const std::map<QString, V>& values) {
    QJsonObject object;
    for (const auto& [key, value] : values)
        object.insert(key, value.toTaggedJson());
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

// An oversized file in the app's own indented layout (one an earlier version, without the size limit,
// wrote) is split as a one-line file is. What is kept must also fit once written back indented: the
// indentation between members counts, or the file set aside would leave none in its place.
TEST_F(JsonFileUserDefaultsTest, AnOversizedFileInTheAppsOwnLayoutIsSplitAndWhatIsKeptIsWrittenBack) {
    const std::map<QString, V> small = {
        {"k", V(true)},
        {"n", V(3)},
        {"nested", V(V::Array{V(QString(R"(a,}]\ "{")")), V(-25.0), V(V::Dictionary{{"x", V(false)}})})},
    };
    {
        JsonFileUserDefaults defaults(path(), fixedNow);
        for (const auto& [key, value] : small)
            defaults.setValue(key, value);
    }
    ASSERT_EQ(readAll(path()), appFormat(small)) << "the test no longer writes the app's layout";
    QFile::remove(path());

    constexpr qint64 kLimit = 16 << 20;
    std::map<QString, V> typical = small;
    typical.emplace("big", V(QString(10 << 20, 'x')));
    typical.emplace("large", V(QByteArray(6 << 20, 'A')));  // 8 MiB once in base64
    // The values kept, short of the limit as they stand in the file but over it once the indentation
    // of a file of twenty-odd members is counted.
    std::map<QString, V> atTheLimit = small;
    for (int i = 0; i < 20; ++i)
        atTheLimit.emplace(QString("s%1").arg(i, 2, 10, QChar('0')), V(i % 2 == 0));
    atTheLimit.emplace("filler", V(QString(1000, 'x')));
    const qint64 fillerLength = 1000 + kLimit + 40 - appFormat(atTheLimit).size();
    atTheLimit.insert_or_assign("filler", V(QString(fillerLength, 'x')));
    ASSERT_EQ(appFormat(atTheLimit).size(), kLimit + 40);
    atTheLimit.emplace("big", V(QString(20 << 20, 'x')));

    for (const auto& [what, values, lost] :
         {std::tuple{"two large values", typical, QStringList{"big"}},
          std::tuple{"kept values at the limit once indented", atTheLimit, QStringList{"big", "filler"}}}) {
        SCOPED_TRACE(what);
        const QByteArray bytes = appFormat(values);
        ASSERT_TRUE(writeAll(path(), bytes));
        {
            JsonFileUserDefaults defaults(path(), fixedNow);
            EXPECT_EQ(asideContents(), QSet{bytes});
        }
        // What was read is back in the settings file, without a change in between.
        EXPECT_LE(QFileInfo(path()).size(), kLimit);
        JsonFileUserDefaults reopened(path(), fixedNow);
        for (const auto& [key, value] : values)
            EXPECT_EQ(reopened.value(key), lost.contains(key) ? std::nullopt : std::optional(value))
                << key.toStdString();
        reopened.setBool("fresh", true);
        reopened.waitUntilWritten();
        EXPECT_TRUE(JsonFileUserDefaults(path(), fixedNow).boolean("fresh"));
        for (const QString& name : asideFiles())
            QFile::remove(dir.filePath(name));
        QFile::remove(path());
    }
}

// An oversized file whose members, its largest left out, still make no object (a value that is no
// JSON) is damaged as a whole: kept aside as it is, the settings start from their defaults, and
// nothing takes its place until a setting changes.
TEST_F(JsonFileUserDefaultsTest, AnOversizedFileWhoseKeptMembersMakeNoObjectIsSetAsideWhole) {
    const QByteArray bytes =
        R"({"big": {"string": ")" + QByteArray(17 << 20, 'x') + R"("}, "k": {"bool": tru}, "n": {"number": 3}})";
    ASSERT_TRUE(writeAll(path(), bytes));
    {
        JsonFileUserDefaults defaults(path(), fixedNow);
        EXPECT_TRUE(defaults.keys().isEmpty());
        EXPECT_EQ(asideContents(), QSet{bytes});
        defaults.waitUntilWritten();
        EXPECT_FALSE(QFile::exists(path()));
        defaults.setBool("fresh", true);
    }
    EXPECT_EQ(JsonFileUserDefaults(path(), fixedNow).keys(), QStringList{"fresh"});
    EXPECT_EQ(asideFiles().size(), 1);
}

// Many values of one size over the limit: as many are left out as keep the rest within it once
// written back in the app's layout, no more, and each value kept is whole under its own key.
TEST_F(JsonFileUserDefaultsTest, AnOversizedFileOfManyEqualValuesKeepsAsManyAsFit) {
    constexpr qint64 kLimit = 16 << 20;
    std::map<QString, V> values;
    for (int i = 0; i < 100; ++i)
        values.emplace(QString("v%1").arg(i, 3, 10, QChar('0')), V(QString(200'000, QChar(char16_t(u'a' + i % 26)))));
    // Every member takes the same room in the app's layout.
    const qint64 one = appFormat({*values.begin()}).size();
    const qint64 member = appFormat({*values.begin(), *std::next(values.begin())}).size() - one;
    const qint64 fit = 1 + (kLimit - one) / member;
    ASSERT_LT(fit, 100);
    const QByteArray bytes = appFormat(values);
    ASSERT_TRUE(writeAll(path(), bytes));
    {
        JsonFileUserDefaults defaults(path(), fixedNow);
        EXPECT_EQ(defaults.keys().size(), fit);
        for (const QString& key : defaults.keys())
            EXPECT_EQ(defaults.value(key), values.at(key)) << key.toStdString();
        EXPECT_EQ(asideContents(), QSet{bytes});
    }
    EXPECT_LE(QFileInfo(path()).size(), kLimit);
    EXPECT_EQ(JsonFileUserDefaults(path(), fixedNow).keys().size(), fit);
}

// A value this version cannot read (of a kind a later version added, or damaged) reads as absent
// and is written back as it was until the key is set anew; a change refused for the size of the
// file changes nothing and is told to the observer.
TEST_F(JsonFileUserDefaultsTest, ValuesThisVersionCannotReadAreKeptAndASizeRefusalIsTold) {
    const QJsonObject later{{"date", 1234.5}};
    writeAll(path(), QJsonDocument(QJsonObject{{"quorvelle.later", later},
                                               {"quorvelle.bad", QJsonObject{{"data", 5}}},
                                               {"quorvelle.gone", QJsonObject{{"data", 6}}}})
                         .toJson());
    {
        const auto defaults = openDefaults();
        EXPECT_FALSE(defaults->contains("quorvelle.later"));
        QStringList refused;
        defaults->setRefusalObserver([&refused](const QString& key) { refused << key; });
        defaults->setBool("quorvelle.new", true);
        defaults->setData("quorvelle.huge", QByteArray(17 << 20, 'x'));
        defaults->setBool("quorvelle.bad", false);
        defaults->removeValue("quorvelle.gone");
        EXPECT_EQ(refused, QStringList{"quorvelle.huge"});
    }
    const QJsonObject written = QJsonDocument::fromJson(readAll(path())).object();
    EXPECT_EQ(written.value("quorvelle.later"), later);
    const QStringList keys = written.keys();
    EXPECT_EQ(QSet<QString>(keys.cbegin(), keys.cend()),
              (QSet<QString>{"quorvelle.later", "quorvelle.new", "quorvelle.bad"}));
    EXPECT_EQ(openDefaults()->value("quorvelle.bad"), V(false));
}

// Keys of their own and diagnostics, written from two threads at once through one file: nothing is lost.
TEST_F(JsonFileUserDefaultsTest, WritesAndRecordsFromTwoThreadsAreAllKept) {
    Events a, b;
    for (int i = 0; i < 50; ++i) {
        a.append(eventAt(i, "audio.capture.a"));
        b.append(eventAt(i, "hotkey.monitor.b"));
    }
    {
        const auto defaults = openDefaults();
        UserDefaultsDiagnosticsStore diagnostics(defaults, [] { return kNow; });
        const auto writer = [&](const QString& prefix, const Events& events) {
            for (int i = 0; i < events.size(); ++i) {
                defaults->setValue(prefix + QString::number(i), V(i));
                diagnostics.record(events[i]);
            }
        };
        std::thread first(writer, "a", a), second(writer, "b", b);
        first.join();
        second.join();
    }
    const auto reopened = openDefaults();
    for (int i = 0; i < 50; ++i)
        EXPECT_TRUE(reopened->value("a" + QString::number(i)) == V(i) &&
                    reopened->value("b" + QString::number(i)) == V(i));
    QSet<QUuid> recorded, kept;
    for (const auto& event : a + b)
        recorded.insert(event.id);
    for (const auto& event : UserDefaultsDiagnosticsStore(reopened, [] { return kNow; }).events())
        kept.insert(event.id);
    EXPECT_EQ(kept, recorded);
}

// The file is written on a thread of its own while the caller goes on. The first write is held
// until the changes below are made: they reach the file after it as one write of the newest, never
// overtaken by an older one, and the destructor returns only once it is there.
TEST_F(JsonFileUserDefaultsTest, ChangesMadeDuringAWriteFollowItNewestOnlyAndTheDestructorWaitsForThem) {
    std::mutex mutex;
    QList<int> written;  // "n" in each file written, in order
    std::promise<void> firstBegun, release;
    std::future<void> begun = firstBegun.get_future();
    const std::shared_future<void> released = release.get_future().share();
    const auto heldWrite = [&](const QString& file, const QByteArray& bytes) {
        const int n = QJsonDocument::fromJson(bytes).object().value("n").toObject().value("number").toInt(-1);
        std::unique_lock lock(mutex);
        written.append(n);
        if (written.size() == 1) {
            lock.unlock();
            firstBegun.set_value();
            released.wait();
        }
        return PrivateFile::write(file, bytes);
    };
    bool held = false;
    {
        JsonFileUserDefaults defaults(path(), fixedNow, heldWrite);
        defaults.setValue("n", V(0));
        held = begun.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
        for (int n = 1; held && n <= 100; ++n)
            defaults.setValue("n", V(n));
        defaults.setString("last", "kept");
        EXPECT_EQ(defaults.value("n"), V(held ? 100 : 0));
        release.set_value();
    }
    ASSERT_TRUE(held) << "the first write never began";
    EXPECT_EQ(written, (QList<int>{0, 100}));
    const JsonFileUserDefaults reopened(path(), fixedNow);
    EXPECT_EQ(reopened.value("n"), V(100));
    EXPECT_EQ(reopened.string("last"), "kept");
    EXPECT_EQ(modeOf(path()), 0600);
}

using SettingsStoreTest = JsonFileUserDefaultsTest;

TEST_F(SettingsStoreTest, EverySettingComesBackAfterARestart) {
    const HotkeyShortcut hotkey{15, HotkeyShortcut::controlMask | HotkeyShortcut::shiftMask, "A title of my own"};
    const AudioInputDevicePreference microphone{"alsa_input.usb-mic", "USB Mic"};
    const QList<DictionaryReplacementEntry> dictionary = {
        {QUuid::createUuid(), "quorvel", "Quorvelle", "brand",
         QDateTime(QDate(2026, 11, 30), QTime(9, 15, 30, 250), QTimeZone::utc())},
    };
    {
        SettingsStore store(openDefaults());
        store.setSelectedHotkey(hotkey);
        store.setSelectedRecordingTriggerMode(RecordingTriggerMode::toggle);
        store.setSelectedMicrophonePreference(microphone);
        store.setSelectedLocalModelID(LocalTranscriptionModelID::largeV3);
        store.setSelectedPostProcessingMode(TranscriptionPostProcessingMode::default_);
        store.setDictionaryEntries(dictionary);
        store.userDefaults()->setBool(Keys::clipboardFallbackEnabled, false);
    }
    const auto defaults = openDefaults();
    SettingsStore store(defaults);
    EXPECT_EQ(store.selectedHotkey(), hotkey);
    EXPECT_EQ(store.selectedRecordingTriggerMode(), RecordingTriggerMode::toggle);
    EXPECT_EQ(store.selectedMicrophonePreference(), microphone);
    EXPECT_EQ(store.selectedLocalModelID(), LocalTranscriptionModelID::largeV3);
    EXPECT_EQ(store.dictionaryEntries(), dictionary);
    EXPECT_FALSE(store.clipboardFallbackEnabled());
    EXPECT_TRUE(store.dictionaryReplacementEnabled());
    // The stored forms other readers rely on.
    EXPECT_EQ(defaults->data(Keys::selectedRecordingTriggerMode), QByteArray("\"toggle\""));
    EXPECT_EQ(defaults->value(Keys::selectedLocalModelID), V(QString("largeV3")));
    EXPECT_EQ(defaults->value(Keys::selectedPostProcessingMode), V(QString("default")));

    store.setSelectedMicrophonePreference(std::nullopt);
    EXPECT_FALSE(defaults->contains(Keys::selectedMicrophonePreference));
}

// A value missing or unusable reads as the default and stays, for a later version or the user to recover.
TEST_F(SettingsStoreTest, MissingOrUnusableValuesReadAsDefaultsAndStayInPlace) {
    const QByteArray commandSpace = R"({"keyCode":49,"carbonModifiers":256,"displayTitle":"Command + Space"})";
    const QByteArray noCategory = R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","original":"a","replacement":"b"}])";
    const std::pair<const char*, std::optional<V>> cases[] = {
        {Keys::selectedHotkey, std::nullopt},
        {Keys::selectedHotkey, V(commandSpace)},  // refused by the validation
        {Keys::selectedHotkey, V(QString::fromLatin1(commandSpace))},
        {Keys::selectedHotkey, V(QByteArray(R"({"keyCode":15,)"))},
        {Keys::selectedHotkey, V(QByteArray(R"({"keyCode":15,"carbonModifiers":4096})"))},
        {Keys::selectedMicrophonePreference, V(QByteArray("uid"))},
        {Keys::selectedMicrophonePreference, V(QByteArray(R"({"uid":3,"name":"x"})"))},
        {Keys::selectedRecordingTriggerMode, V(QByteArray("toggle"))},
        {Keys::dictionaryEntries, V(noCategory)},
        {Keys::vocabularyHintEntries, V(QByteArray(R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F"}])"))},
        {Keys::selectedLocalModelID, V(QByteArray("largeV3"))},
        {Keys::selectedLocalModelID, V(QString("LargeV3"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        const auto defaults = openDefaults();
        if (c.second) defaults->setValue(c.first, *c.second);
        SettingsStore store(defaults);
        EXPECT_EQ(store.selectedHotkey().displayTitle, "Control + Alt + Space");
        EXPECT_EQ(store.selectedRecordingTriggerMode(), RecordingTriggerMode::pushToTalk);
        EXPECT_EQ(store.selectedMicrophonePreference(), std::nullopt);
        EXPECT_EQ(store.selectedLocalModelID(), LocalTranscriptionModelID::smallMultilingual);
        EXPECT_TRUE(store.dictionaryEntries().isEmpty() && store.snippets().isEmpty() &&
                    store.vocabularyHintEntries().isEmpty());
        EXPECT_TRUE(store.clipboardFallbackEnabled());
        defaults->waitUntilWritten();
        EXPECT_EQ(JsonFileUserDefaults(path()).value(c.first), c.second);
        defaults->removeValue(c.first);
    }
}

QByteArray compactArray(const QJsonArray& array) {
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// One entry that does not decode (damaged, or written by a later version) costs that entry alone;
// the first rewrite that would drop it keeps that entry aside (a value that is no list, whole), and
// later ones have nothing more to keep.
TEST_F(SettingsStoreTest, AnEntryThatDoesNotDecodeCostsOnlyItselfAndIsKeptAsideBeforeTheRewrite) {
    const auto defaults = openDefaults();
    QDateTime now = kNow;
    SettingsStore store(defaults, [&now] { return now; });
    const QDateTime updated = kNow.addDays(-1);
    const QJsonValue bad = QJsonObject{{"id", 5}};
    const QList<DictionaryReplacementEntry> words{{QUuid::createUuid(), "a", "A", "c", updated},
                                                  {QUuid::createUuid(), "b", "B", "c", updated}};
    const QList<VoiceSnippet> snippets{{QUuid::createUuid(), "sig", "Regards", false},
                                       {QUuid::createUuid(), "addr", "Main St", true}};
    const QList<VocabularyHintEntry> hints{{QUuid::createUuid(), "Qt", "tech", true, updated},
                                           {QUuid::createUuid(), "ICU", "tech", false, updated}};
    const QByteArray storedWords = compactArray({words[0].toJson(), bad, words[1].toJson()});
    defaults->setData(Keys::dictionaryEntries, storedWords);
    defaults->setData(Keys::snippets, compactArray({"snippet", snippets[0].toJson(), snippets[1].toJson()}));
    defaults->setData(Keys::vocabularyHintEntries, compactArray({hints[0].toJson(), hints[1].toJson(), bad}));
    EXPECT_EQ(store.dictionaryEntries(), words);
    EXPECT_EQ(store.snippets(), snippets);
    EXPECT_EQ(store.vocabularyHintEntries(), hints);

    const DictionaryReplacementEntry added{QUuid::createUuid(), "c", "C", "c", updated};
    store.setDictionaryEntries(store.dictionaryEntries() << added);
    now = now.addSecs(60);
    store.setDictionaryEntries(store.dictionaryEntries());
    defaults->setData(Keys::snippets, "not a list");
    store.setSnippets(snippets);

    defaults->waitUntilWritten();
    const auto reopened = openDefaults();
    EXPECT_EQ(SettingsStore(reopened).dictionaryEntries(), words + QList{added});
    EXPECT_EQ(reopened->data(QString(Keys::dictionaryEntries) + ".unreadable-20261206T180000Z"), compactArray({bad}));
    EXPECT_EQ(reopened->data(QString(Keys::snippets) + ".unreadable-20261206T180100Z"),
              compactArray({V(QByteArray("not a list")).toTaggedJson()}));
    const QStringList keys = QJsonDocument::fromJson(readAll(path())).object().keys();
    EXPECT_EQ(keys.filter(".unreadable-").size(), 2) << keys.join(' ').toStdString();
}

// Every rewrite of a list that again holds an entry this version cannot read (a later version
// keeps writing one) merges into the one copy of the key, never a new copy per rewrite; copies that
// piled up before are merged into the earliest. A stored list that is valid JSON but no array is
// kept whole before its first rewrite.
TEST_F(SettingsStoreTest, RewritesKeepOneMergedCopyPerKeyThatStopsGrowingAndANonArrayIsKeptWhole) {
    const auto defaults = openDefaults();
    QDateTime now = kNow;
    SettingsStore store(defaults, [&now] { return now; });
    const QString key = Keys::dictionaryEntries;
    const DictionaryReplacementEntry word{QUuid::createUuid(), "a", "A", "c", kNow};
    const QJsonValue older = QJsonObject{{"id", 1}}, later = QJsonObject{{"id", 2}, {"kind", "phrase"}};
    defaults->setData(key + ".unreadable-20261201T000000Z", compactArray({word.toJson(), older}));
    defaults->setData(key + ".unreadable-20261202T000000Z", compactArray({word.toJson(), older}));
    defaults->setData(key + ".unreadable-20261203T000000Z", "not a list");
    const QByteArray expectedCopy =
        compactArray({word.toJson(), older, V(QByteArray("not a list")).toTaggedJson(), later});
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        now = kNow.addSecs(60 * round);
        defaults->setData(key, compactArray({word.toJson(), later}));
        EXPECT_TRUE(store.setDictionaryEntries(store.dictionaryEntries()));
        EXPECT_EQ(defaults->data(key), compactArray({word.toJson()}));
        QStringList copies = defaults->keys().filter(".unreadable-");
        EXPECT_EQ(copies.join(u' ').toStdString(), (key + ".unreadable-20261201T000000Z").toStdString());
        EXPECT_EQ(defaults->data(copies.value(0)), expectedCopy);
    }

    const QByteArray notAnArray = R"({"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","phrase":"sig"})";
    defaults->setData(Keys::snippets, notAnArray);
    EXPECT_TRUE(store.snippets().isEmpty());
    const VoiceSnippet snippet{QUuid::createUuid(), "addr", "Main St", false};
    EXPECT_TRUE(store.setSnippets({snippet}));
    defaults->waitUntilWritten();
    const auto reopened = openDefaults();
    EXPECT_EQ(SettingsStore(reopened).snippets(), QList{snippet});
    EXPECT_EQ(reopened->data(QString(Keys::snippets) + ".unreadable-20261206T180300Z"),
              compactArray({V(notAnArray).toTaggedJson()}));
}

class DiagnosticsStoreTest : public ::testing::Test {
protected:
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    QDateTime now = kNow;
    UserDefaultsDiagnosticsStore makeStore() {
        return UserDefaultsDiagnosticsStore(defaults, [this] { return now; });
    }
};

TEST_F(DiagnosticsStoreTest,
       AFirstStartWritesAnEmptyListEventsAreKeptNewestFirstAndAnUndecodableListIsReplacedOnlyByARecord) {
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

    // An undecodable list reads as empty and stays until the next record replaces it.
    const QByteArray id = R"("id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F",)";
    const V damaged[] = {V(QByteArray("[{\"id\":")), V(QString("[]")),
                         V("[{" + id + R"("timestamp":1,"level":"fatal","code":"c","message":"m"}])"),
                         V("[{" + id + R"("level":"info","code":"c","message":"m"}])")};
    for (const V& value : damaged) {
        defaults->setValue(kKey, value);
        auto reopened = makeStore();
        EXPECT_TRUE(reopened.events().isEmpty());
        EXPECT_EQ(defaults->value(kKey), value);
        const auto event = eventAt(0);
        reopened.record(event);
        EXPECT_EQ(reopened.events(), Events{event});
    }
}

TEST_F(DiagnosticsStoreTest, AtMostAHundredEventsOfTheLastWeekAreKeptTheOlderAgeOutOnReadingAndLeaveOnRecording) {
    constexpr qint64 week = 604800;
    const auto future = eventAt(-3600), exactlyAWeek = eventAt(week);
    Events hundred;
    for (int i = 0; i < 100; ++i)
        hundred.append(eventAt(10 + i));
    defaults->setData(kKey, encode(hundred));
    const auto newest = eventAt(0);
    makeStore().record(newest);
    EXPECT_EQ(makeStore().events(), Events{newest} + hundred.first(99));

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

}  // namespace
}  // namespace quorvelle
