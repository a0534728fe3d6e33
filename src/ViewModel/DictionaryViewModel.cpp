#include "ViewModel/DictionaryViewModel.h"

#include "ViewModel/Published.h"

namespace quorvelle {

DictionaryViewModel::DictionaryViewModel(const AppBootstrap& services, ViewModelContext& context, QObject* parent)
    : QObject(parent),
      m_context(context),
      m_settingsStore(services.settingsStore),
      m_isDictionaryReplacementEnabled(m_settingsStore->dictionaryReplacementEnabled()) {}

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

}  // namespace quorvelle
