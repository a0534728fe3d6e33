#include "ViewModel/DictionaryViewModel.h"

#include "Support/TextFolding.h"
#include "ViewModel/Published.h"
#include "ViewModel/SettingMessages.h"

#include <algorithm>

namespace quorvelle {

namespace {

// Spelling without case and accents, the same in every locale.
bool sameSpelling(const QString& a, const QString& b) {
    return TextFolding::foldCaseAndDiacritics(a, QLocale::c()) == TextFolding::foldCaseAndDiacritics(b, QLocale::c());
}

// The item to replace: the one with the id, else the first spelled like key.
template <typename T, typename Spelling>
qsizetype indexToReplace(const QList<T>& items, const std::optional<QUuid>& id, const QString& key, Spelling spelling) {
    if (id) {
        const auto byId = std::find_if(items.begin(), items.end(), [&](const T& item) { return item.id == *id; });
        if (byId != items.end()) return byId - items.begin();
    }
    const auto bySpelling =
        std::find_if(items.begin(), items.end(), [&](const T& item) { return sameSpelling(spelling(item), key); });
    return bySpelling != items.end() ? bySpelling - items.begin() : -1;
}

// The id a view names; none for a text that is no id, with a warning.
std::optional<QUuid> namedId(const QString& text) {
    const QUuid id = QUuid::fromString(text);
    if (id.isNull()) {
        qWarning() << "No such id:" << text;
        return std::nullopt;
    }
    return id;
}

template <typename T>
QList<T> without(QList<T> items, const QUuid& id) {
    items.removeIf([&](const T& item) { return item.id == id; });
    return items;
}

}  // namespace

DictionaryViewModel::DictionaryViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_settingsStore(services.settingsStore),
      m_isDictionaryReplacementEnabled(m_settingsStore->dictionaryReplacementEnabled()),
      m_vocabularyHintEntriesModel(new RecordList<VocabularyHintEntry>(this)),
      m_snippetsModel(new RecordList<VoiceSnippet>(this)),
      m_dictionaryEntriesModel(new RecordList<DictionaryReplacementEntry>(this)) {
    using D = DictionaryViewModel;
    connect(this, &D::vocabularyHintEntriesChanged, this,
            [this] { m_vocabularyHintEntriesModel->setRecords(m_vocabularyHintEntries); });
    connect(this, &D::snippetsChanged, this, [this] { m_snippetsModel->setRecords(m_snippets); });
    connect(this, &D::dictionaryEntriesChanged, this,
            [this] { m_dictionaryEntriesModel->setRecords(m_dictionaryEntries); });
}

void DictionaryViewModel::reloadLists() {
    using D = DictionaryViewModel;
    publish(this, m_vocabularyHintEntries, m_settingsStore->vocabularyHintEntries(), &D::vocabularyHintEntriesChanged);
    publish(this, m_snippets, m_settingsStore->snippets(), &D::snippetsChanged);
    publish(this, m_dictionaryEntries, m_settingsStore->dictionaryEntries(), &D::dictionaryEntriesChanged);
}

void DictionaryViewModel::reloadReplacementSwitch() {
    publish(this, m_isDictionaryReplacementEnabled, m_settingsStore->dictionaryReplacementEnabled(),
            &DictionaryViewModel::isDictionaryReplacementEnabledChanged);
}

void DictionaryViewModel::recordInfo(const char* code, const char* message) {
    m_context.recordEvent(DiagnosticsEventLevel::info, QString::fromLatin1(code), QString::fromLatin1(message));
}

// The stored list stays as it was; the lists shown still match it.
void DictionaryViewModel::refuseChange() {
    m_context.setInlineMessage(m_context.strings().settingsChangeNotSaved());
}

void DictionaryViewModel::saveDictionaryEntry(const std::optional<QUuid>& id, const QString& original,
                                              const QString& replacement, const QString& category) {
    QList<DictionaryReplacementEntry> entries = m_settingsStore->dictionaryEntries();
    DictionaryReplacementEntry saved{QUuid::createUuid(), original.trimmed(), replacement.trimmed(), category.trimmed(),
                                     m_context.now()};
    if (saved.original.isEmpty() || saved.replacement.isEmpty()) {
        m_context.setInlineMessage(m_context.localized(u"Original and replacement are required for a dictionary entry.",
                                                       u"Sözlük kaydı için original ve replacement gerekli."));
        return;
    }
    const qsizetype index = indexToReplace(entries, id, saved.original,
                                           [](const DictionaryReplacementEntry& entry) { return entry.original; });
    const bool isUpdate = index >= 0;
    if (isUpdate) saved.id = entries.takeAt(index).id;
    entries.prepend(saved);
    if (!m_settingsStore->setDictionaryEntries(entries)) return refuseChange();
    publish(this, m_dictionaryEntries, entries, &DictionaryViewModel::dictionaryEntriesChanged);
    m_context.setInlineMessage(isUpdate
                                   ? m_context.localized(u"Dictionary entry updated.", u"Sözlük kaydı güncellendi.")
                                   : m_context.localized(u"Dictionary entry added.", u"Sözlük kaydı eklendi."));
    recordInfo(isUpdate ? "settings.dictionary.updated" : "settings.dictionary.created", "Dictionary kaydi saklandi.");
}

void DictionaryViewModel::deleteDictionaryEntry(const QUuid& id) {
    const QList<DictionaryReplacementEntry> entries = without(m_settingsStore->dictionaryEntries(), id);
    if (!m_settingsStore->setDictionaryEntries(entries)) return refuseChange();
    publish(this, m_dictionaryEntries, entries, &DictionaryViewModel::dictionaryEntriesChanged);
    m_context.setInlineMessage(m_context.localized(u"Dictionary entry deleted.", u"Sözlük kaydı silindi."));
    recordInfo("settings.dictionary.deleted", "Dictionary kaydi silindi.");
}

void DictionaryViewModel::saveSnippet(const std::optional<QUuid>& id, const QString& phrase, const QString& expansion) {
    QList<VoiceSnippet> snippets = m_settingsStore->snippets();
    VoiceSnippet saved{QUuid::createUuid(), phrase.trimmed(), expansion.trimmed(), false};
    if (saved.phrase.isEmpty() || saved.expansion.isEmpty()) {
        m_context.setInlineMessage(m_context.localized(u"Snippet phrase and expansion are required.",
                                                       u"Snippet için ifade ve hazır metin gerekli."));
        return;
    }
    const qsizetype index =
        indexToReplace(snippets, id, saved.phrase, [](const VoiceSnippet& snippet) { return snippet.phrase; });
    const bool isUpdate = index >= 0;
    if (isUpdate) saved.id = snippets.takeAt(index).id;
    snippets.prepend(saved);
    if (!m_settingsStore->setSnippets(snippets)) return refuseChange();
    publish(this, m_snippets, snippets, &DictionaryViewModel::snippetsChanged);
    m_context.setInlineMessage(isUpdate ? m_context.localized(u"Snippet updated.", u"Snippet güncellendi.")
                                        : m_context.localized(u"Snippet added.", u"Snippet eklendi."));
    recordInfo(isUpdate ? "settings.snippet.updated" : "settings.snippet.created", "Snippet saklandi.");
}

void DictionaryViewModel::deleteSnippet(const QUuid& id) {
    const QList<VoiceSnippet> snippets = without(m_settingsStore->snippets(), id);
    if (!m_settingsStore->setSnippets(snippets)) return refuseChange();
    publish(this, m_snippets, snippets, &DictionaryViewModel::snippetsChanged);
    m_context.setInlineMessage(m_context.localized(u"Snippet deleted.", u"Snippet silindi."));
    recordInfo("settings.snippet.deleted", "Snippet silindi.");
}

void DictionaryViewModel::saveDictionaryEntry(const QString& id, const QString& original, const QString& replacement,
                                              const QString& category) {
    if (id.isEmpty()) {
        saveDictionaryEntry(std::nullopt, original, replacement, category);
    } else if (const std::optional<QUuid> named = namedId(id)) {
        saveDictionaryEntry(named, original, replacement, category);
    }
}

void DictionaryViewModel::deleteDictionaryEntry(const QString& id) {
    if (const std::optional<QUuid> named = namedId(id)) deleteDictionaryEntry(*named);
}

void DictionaryViewModel::saveSnippet(const QString& id, const QString& phrase, const QString& expansion) {
    if (id.isEmpty()) {
        saveSnippet(std::nullopt, phrase, expansion);
    } else if (const std::optional<QUuid> named = namedId(id)) {
        saveSnippet(named, phrase, expansion);
    }
}

void DictionaryViewModel::deleteSnippet(const QString& id) {
    if (const std::optional<QUuid> named = namedId(id)) deleteSnippet(*named);
}

void DictionaryViewModel::setDictionaryReplacementEnabled(bool enabled) {
    const auto result = SettingMessages::dictionaryReplacementToggleMessage(enabled, m_isDictionaryReplacementEnabled,
                                                                            m_context.strings());
    m_context.setInlineMessage(result.text);
    if (!result.changed) return;
    m_settingsStore->userDefaults()->setBool(QString::fromLatin1(SettingsKeys::dictionaryReplacementEnabled), enabled);
    publish(this, m_isDictionaryReplacementEnabled, enabled,
            &DictionaryViewModel::isDictionaryReplacementEnabledChanged);
    recordInfo("settings.dictionary.toggle_updated", "Dictionary replacement ayari guncellendi.");
}

}  // namespace quorvelle
