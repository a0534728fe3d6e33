#pragma once

#include "Models/DictionaryReplacementEntry.h"
#include "Models/VocabularyHintEntry.h"
#include "Models/VoiceSnippet.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/RecordListModel.h"
#include "ViewModel/ViewModelContext.h"

#include <QList>
#include <QObject>

#include <memory>
#include <optional>

namespace quorvelle {

// The personal dictionary, the voice snippets and the vocabulary hints.
class DictionaryViewModel : public QObject {
    Q_OBJECT

    // Vocabulary hints sent with requests.
    Q_PROPERTY(quorvelle::RecordListModel* vocabularyHintEntries READ vocabularyHintEntriesModel CONSTANT)
    // Spoken phrases and what they expand to.
    Q_PROPERTY(quorvelle::RecordListModel* snippets READ snippetsModel CONSTANT)
    // Terms replaced in every transcript.
    Q_PROPERTY(quorvelle::RecordListModel* dictionaryEntries READ dictionaryEntriesModel CONSTANT)
    // The dictionary is applied to transcripts.
    Q_PROPERTY(bool isDictionaryReplacementEnabled READ isDictionaryReplacementEnabled NOTIFY
                   isDictionaryReplacementEnabledChanged)

public:
    DictionaryViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent = nullptr);

    const QList<VocabularyHintEntry>& vocabularyHintEntries() const { return m_vocabularyHintEntries; }
    const QList<VoiceSnippet>& snippets() const { return m_snippets; }
    const QList<DictionaryReplacementEntry>& dictionaryEntries() const { return m_dictionaryEntries; }
    bool isDictionaryReplacementEnabled() const { return m_isDictionaryReplacementEnabled; }

    // The three lists, in this order; each assignment notifies.
    void reloadLists();
    void reloadReplacementSwitch();

    // Adds an entry, or replaces the one with this id, else the one spelled the same (ignoring case
    // and accents); the saved entry goes to the top. Both terms are required, trimmed.
    void saveDictionaryEntry(const std::optional<QUuid>& id, const QString& original, const QString& replacement,
                             const QString& category);
    // Reported as deleted whether or not the id was there. A change the settings refuse (the list
    // holds entries this version cannot read, and they could not be kept) is told instead.
    void deleteDictionaryEntry(const QUuid& id);
    // The same for snippets, matched by id, else by phrase; a saved snippet never asks to confirm.
    void saveSnippet(const std::optional<QUuid>& id, const QString& phrase, const QString& expansion);
    void deleteSnippet(const QUuid& id);

    // The views' face: the lists as models, and the operations taking an id as its text (null or
    // empty for a new item); a text that is no id changes nothing.
    RecordListModel* vocabularyHintEntriesModel() const { return m_vocabularyHintEntriesModel; }
    RecordListModel* snippetsModel() const { return m_snippetsModel; }
    RecordListModel* dictionaryEntriesModel() const { return m_dictionaryEntriesModel; }
    Q_INVOKABLE void saveDictionaryEntry(const QString& id, const QString& original, const QString& replacement,
                                         const QString& category);
    Q_INVOKABLE void deleteDictionaryEntry(const QString& id);
    Q_INVOKABLE void saveSnippet(const QString& id, const QString& phrase, const QString& expansion);
    Q_INVOKABLE void deleteSnippet(const QString& id);
    Q_INVOKABLE void setDictionaryReplacementEnabled(bool enabled);

Q_SIGNALS:
    void vocabularyHintEntriesChanged();
    void snippetsChanged();
    void dictionaryEntriesChanged();
    void isDictionaryReplacementEnabledChanged();

private:
    void recordInfo(const char* code, const char* message);
    // A list the settings could not take: said on the status line, nothing published or recorded.
    void refuseChange();

    ViewModelContext& m_context;
    std::shared_ptr<SettingsStore> m_settingsStore;

    QList<VocabularyHintEntry> m_vocabularyHintEntries;
    QList<VoiceSnippet> m_snippets;
    QList<DictionaryReplacementEntry> m_dictionaryEntries;
    bool m_isDictionaryReplacementEnabled = true;
    RecordList<VocabularyHintEntry>* m_vocabularyHintEntriesModel;
    RecordList<VoiceSnippet>* m_snippetsModel;
    RecordList<DictionaryReplacementEntry>* m_dictionaryEntriesModel;
};

}  // namespace quorvelle
