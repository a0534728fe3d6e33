#include "Services/Storage/SettingsStore.h"

#include "Services/Storage/JsonList.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QtDebug>

namespace quorvelle {

namespace {

QString keyText(const char* key) {
    return QString::fromLatin1(key);
}

std::optional<QJsonDocument> parseJson(const QByteArray& bytes) {
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) return std::nullopt;
    return document;
}

// A case name stored as JSON is a top-level JSON string; the document type holds only objects
// and arrays, so the string is read and written as the one element of an array.
QByteArray encodeJsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

std::optional<QString> decodeJsonString(const QByteArray& bytes) {
    const auto document = parseJson('[' + bytes + ']');
    if (!document || document->array().size() != 1 || !document->array().first().isString()) return std::nullopt;
    return document->array().first().toString();
}

// Each entry decodes on its own: a damaged one, or one written by a later version in a form this
// one does not know, costs that entry alone, not the list.
template <typename Entry, typename Decode>
QList<Entry> storedList(const UserDefaults& defaults, const char* key, Decode decode) {
    const auto bytes = defaults.data(keyText(key));
    if (!bytes) return {};
    JsonListReading<Entry> reading = readJsonList<Entry>(*bytes, decode);
    if (!reading.isArray) qWarning("Setting %s is no readable list; it reads as empty and stays stored as it is", key);
    for (const qsizetype index : reading.skippedIndexes)
        qWarning("Entry %lld of setting %s does not decode and is left out", static_cast<long long>(index), key);
    return std::move(reading.entries);
}

// What a rewrite of the list would lose: the entries that do not decode, or the whole value, in
// its tagged form, when it is no list at all. Empty when nothing would be lost.
template <typename Entry, typename Decode>
QJsonArray unreadableParts(const DefaultsValue& stored, Decode decode) {
    const auto bytes = stored.dataValue();
    if (bytes) {
        JsonListReading<Entry> reading = readJsonList<Entry>(*bytes, decode);
        if (reading.isArray) return reading.skippedEntries;
    }
    return QJsonArray{stored.toTaggedJson()};
}

// The parts another rewrite kept aside: a JSON array's elements, or the value whole.
QJsonArray keptParts(const DefaultsValue& aside) {
    if (const auto bytes = aside.dataValue()) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
        if (error.error == QJsonParseError::NoError && document.isArray()) return document.array();
    }
    return QJsonArray{aside.toTaggedJson()};
}

// Keeps `lost` under one "<key>.unreadable-<UTC time of the first copy>" key, as a JSON array,
// together with whatever earlier rewrites kept for the key (copies that earlier versions made one per
// rewrite are merged into it), so repeated rewrites add only parts not kept yet. False, with the
// earlier copies untouched, when the defaults refuse the merged copy.
bool keepAside(UserDefaults& defaults, const QString& key, const QJsonArray& lost, const QDateTime& now) {
    const QString prefix = key + QStringLiteral(".unreadable-");
    QStringList asides;
    for (const QString& name : defaults.keys())
        if (name.startsWith(prefix)) asides.append(name);
    asides.sort();
    QJsonArray kept;
    // Compared by their compact text (members come in key order), so a large copy merges quickly.
    QSet<QByteArray> seen;
    const auto keep = [&kept, &seen](const QJsonArray& parts) {
        for (const QJsonValue& part : parts) {
            const QByteArray text = QJsonDocument(QJsonArray{part}).toJson(QJsonDocument::Compact);
            if (seen.contains(text)) continue;
            seen.insert(text);
            kept.append(part);
        }
    };
    for (const QString& aside : asides)
        if (const auto stored = defaults.value(aside)) keep(keptParts(*stored));
    keep(lost);
    const QString target =
        asides.isEmpty() ? prefix + now.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")) : asides.first();
    const DefaultsValue merged(QJsonDocument(kept).toJson(QJsonDocument::Compact));
    defaults.setValue(target, merged);
    if (defaults.value(target) != merged) return false;
    for (const QString& aside : asides)
        if (aside != target) defaults.removeValue(aside);
    qWarning("Setting %s held entries that do not decode; kept in %s", qPrintable(key), qPrintable(target));
    return true;
}

// Writes a list over the stored one, unless that would lose what this version cannot read: that is
// kept aside first, and when it cannot be, the stored list stays as it is. False when the list was
// not written.
template <typename Entry, typename Decode>
bool replaceList(UserDefaults& defaults, const char* key, const QList<Entry>& entries, Decode decode,
                 const QDateTime& now) {
    if (const auto stored = defaults.value(keyText(key))) {
        const QJsonArray lost = unreadableParts<Entry>(*stored, decode);
        if (!lost.isEmpty() && !keepAside(defaults, keyText(key), lost, now)) {
            qWarning("Setting %s not changed: the entries it holds that do not decode could not be kept", key);
            return false;
        }
    }
    const QByteArray bytes = encodeJsonList(entries);
    defaults.setData(keyText(key), bytes);
    return defaults.data(keyText(key)) == bytes;
}

std::optional<QJsonObject> decodeObject(const std::optional<QByteArray>& bytes) {
    if (!bytes) return std::nullopt;
    const auto document = parseJson(*bytes);
    if (!document || !document->isObject()) return std::nullopt;
    return document->object();
}

auto dictionaryDecoder(const QDateTime& now) {
    return [now](const QJsonValue& json) { return DictionaryReplacementEntry::fromJson(json, now); };
}

// English-only models are no longer offered: they stand for the multilingual model of their size.
LocalTranscriptionModelID multilingualCounterpart(LocalTranscriptionModelID model) {
    switch (model) {
        case LocalTranscriptionModelID::tinyEnglish: return LocalTranscriptionModelID::tinyMultilingual;
        case LocalTranscriptionModelID::baseEnglish: return LocalTranscriptionModelID::baseMultilingual;
        case LocalTranscriptionModelID::smallEnglish: return LocalTranscriptionModelID::smallMultilingual;
        default: return model;
    }
}

}  // namespace

SettingsStore::SettingsStore(std::shared_ptr<UserDefaults> userDefaults, Clock now)
    : m_userDefaults(std::move(userDefaults)), m_now(std::move(now)) {}

std::optional<QByteArray> SettingsStore::storedData(const char* key) const {
    return m_userDefaults->data(keyText(key));
}

bool SettingsStore::switchValue(const char* key) const {
    if (!m_userDefaults->contains(keyText(key))) return true;
    return m_userDefaults->boolean(keyText(key));
}

HotkeyShortcut SettingsStore::selectedHotkey() const {
    if (const auto object = decodeObject(storedData(SettingsKeys::selectedHotkey))) {
        if (const auto shortcut = HotkeyShortcut::fromJson(*object)) {
            if (!HotkeyShortcut::validate(shortcut->keyCode, shortcut->carbonModifiers)) return *shortcut;
        }
    }
    return HotkeyShortcut::suggestions().first();
}

RecordingTriggerMode SettingsStore::selectedRecordingTriggerMode() const {
    if (const auto bytes = storedData(SettingsKeys::selectedRecordingTriggerMode)) {
        if (const auto name = decodeJsonString(*bytes)) {
            if (const auto mode = fromRawValue<RecordingTriggerMode>(*name)) return *mode;
        }
    }
    return RecordingTriggerMode::pushToTalk;
}

std::optional<AudioInputDevicePreference> SettingsStore::selectedMicrophonePreference() const {
    const auto object = decodeObject(storedData(SettingsKeys::selectedMicrophonePreference));
    if (!object) return std::nullopt;
    return AudioInputDevicePreference::fromJson(*object);
}

bool SettingsStore::dictionaryReplacementEnabled() const {
    return switchValue(SettingsKeys::dictionaryReplacementEnabled);
}

bool SettingsStore::clipboardFallbackEnabled() const {
    return switchValue(SettingsKeys::clipboardFallbackEnabled);
}

LocalTranscriptionModelID SettingsStore::selectedLocalModelID() const {
    constexpr auto fallback = LocalTranscriptionModelID::smallMultilingual;
    const auto name = m_userDefaults->string(keyText(SettingsKeys::selectedLocalModelID));
    if (!name) return fallback;
    const auto stored = fromRawValue<LocalTranscriptionModelID>(*name);
    if (!stored) return fallback;
    const LocalTranscriptionModelID model = multilingualCounterpart(*stored);
    return selectableLocalTranscriptionModelIDs().contains(model) ? model : fallback;
}

QList<VocabularyHintEntry> SettingsStore::vocabularyHintEntries() const {
    const QDateTime now = m_now();
    return storedList<VocabularyHintEntry>(
        *m_userDefaults, SettingsKeys::vocabularyHintEntries,
        [&now](const QJsonValue& json) { return VocabularyHintEntry::fromJson(json, now); });
}

QList<VoiceSnippet> SettingsStore::snippets() const {
    return storedList<VoiceSnippet>(*m_userDefaults, SettingsKeys::snippets, &VoiceSnippet::fromJson);
}

QList<DictionaryReplacementEntry> SettingsStore::dictionaryEntries() const {
    const QDateTime now = m_now();
    return storedList<DictionaryReplacementEntry>(*m_userDefaults, SettingsKeys::dictionaryEntries,
                                                  dictionaryDecoder(now));
}

void SettingsStore::setSelectedHotkey(const HotkeyShortcut& shortcut) {
    m_userDefaults->setData(keyText(SettingsKeys::selectedHotkey),
                            QJsonDocument(shortcut.toJson()).toJson(QJsonDocument::Compact));
}

void SettingsStore::setSelectedRecordingTriggerMode(RecordingTriggerMode mode) {
    m_userDefaults->setData(keyText(SettingsKeys::selectedRecordingTriggerMode), encodeJsonString(rawValue(mode)));
}

void SettingsStore::setSelectedMicrophonePreference(const std::optional<AudioInputDevicePreference>& preference) {
    if (!preference) {
        m_userDefaults->removeValue(keyText(SettingsKeys::selectedMicrophonePreference));
        return;
    }
    m_userDefaults->setData(keyText(SettingsKeys::selectedMicrophonePreference),
                            QJsonDocument(preference->toJson()).toJson(QJsonDocument::Compact));
}

void SettingsStore::setSelectedLocalModelID(LocalTranscriptionModelID model) {
    m_userDefaults->setString(keyText(SettingsKeys::selectedLocalModelID), rawValue(model));
}

void SettingsStore::setSelectedPostProcessingMode(TranscriptionPostProcessingMode mode) {
    m_userDefaults->setString(keyText(SettingsKeys::selectedPostProcessingMode), rawValue(mode));
}

bool SettingsStore::setSnippets(const QList<VoiceSnippet>& snippets) {
    return replaceList(*m_userDefaults, SettingsKeys::snippets, snippets, &VoiceSnippet::fromJson, m_now());
}

bool SettingsStore::setDictionaryEntries(const QList<DictionaryReplacementEntry>& entries) {
    const QDateTime now = m_now();
    return replaceList(*m_userDefaults, SettingsKeys::dictionaryEntries, entries, dictionaryDecoder(now), now);
}

}  // namespace quorvelle
