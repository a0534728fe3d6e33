#pragma once

#include "Models/DictionaryReplacementEntry.h"
#include "Models/VocabularyHintEntry.h"
#include "Models/VoiceSnippet.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/ViewModelContext.h"

#include <QList>
#include <QObject>

#include <memory>

namespace quorvelle {

// The personal dictionary, the voice snippets and the vocabulary hints.
class DictionaryViewModel : public QObject {
    Q_OBJECT

    // Vocabulary hints sent with requests.
    Q_PROPERTY(QList<quorvelle::VocabularyHintEntry> vocabularyHintEntries READ vocabularyHintEntries NOTIFY
                   vocabularyHintEntriesChanged)
    // Spoken phrases and what they expand to.
    Q_PROPERTY(QList<quorvelle::VoiceSnippet> snippets READ snippets NOTIFY snippetsChanged)
    // Terms replaced in every transcript.
    Q_PROPERTY(QList<quorvelle::DictionaryReplacementEntry> dictionaryEntries READ dictionaryEntries NOTIFY
                   dictionaryEntriesChanged)
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

Q_SIGNALS:
    void vocabularyHintEntriesChanged();
    void snippetsChanged();
    void dictionaryEntriesChanged();
    void isDictionaryReplacementEnabledChanged();

private:
    ViewModelContext& m_context;
    std::shared_ptr<SettingsStore> m_settingsStore;

    QList<VocabularyHintEntry> m_vocabularyHintEntries;
    QList<VoiceSnippet> m_snippets;
    QList<DictionaryReplacementEntry> m_dictionaryEntries;
    bool m_isDictionaryReplacementEnabled = true;
};

}  // namespace quorvelle
