#include "Views/Dashboard/MainWindowState.h"

#include "ViewModel/AppViewModel.h"
#include "Views/Dashboard/Components/DashboardSections.h"

namespace quorvelle {

namespace {

QVariant optionalID(const std::optional<QUuid>& id) {
    return id ? QVariant(id->toString(QUuid::WithoutBraces)) : QVariant();
}

// An id from QML: a QUuid, or its text with or without braces. Anything else is no id.
std::optional<QUuid> idFrom(const QVariant& value) {
    const QUuid id =
        value.metaType() == QMetaType::fromType<QUuid>() ? value.toUuid() : QUuid::fromString(value.toString());
    if (id.isNull()) return std::nullopt;
    return id;
}

bool bothPresent(const QString& first, const QString& second) {
    return !first.trimmed().isEmpty() && !second.trimmed().isEmpty();
}

}  // namespace

MainWindowState::MainWindowState(QObject* parent) : QObject(parent) {
    connect(this, &MainWindowState::selectedSectionChanged, this, &MainWindowState::headerChanged);
    connect(this, &MainWindowState::accountStateChanged, this, &MainWindowState::headerChanged);
}

QObject* MainWindowState::viewModelObject() const {
    return m_viewModel;
}

void MainWindowState::setViewModel(QObject* viewModel) {
    auto* typed = qobject_cast<AppViewModel*>(viewModel);
    if (typed == m_viewModel) return;
    if (m_viewModel) disconnect(m_viewModel, nullptr, this, nullptr);
    m_viewModel = typed;
    if (typed) {
        const auto changed = &MainWindowState::onAccountStateChanged;
        connect(typed, &AppViewModel::stringsChanged, this, changed);
        connect(typed->permissions(), &PermissionsViewModel::onboardingStatusChanged, this, changed);
        connect(typed->account(), &AccountViewModel::backendAuthChallengeChanged, this, changed);
        connect(typed->localModels(), &LocalModelsViewModel::selectedTranscriptionBackendChanged, this, changed);
    }
    Q_EMIT accountStateChanged();
}

void MainWindowState::onAccountStateChanged() {
    Q_EMIT accountStateChanged();
}

QVariant MainWindowState::editingDictionaryEntryIDValue() const {
    return optionalID(m_editingDictionaryEntryID);
}

QVariant MainWindowState::editingSnippetIDValue() const {
    return optionalID(m_editingSnippetID);
}

bool MainWindowState::isSignedOut() const {
    return m_viewModel && m_viewModel->account()->hasBackendAuthSessionManager() &&
           !m_viewModel->permissions()->onboardingStatus().hasAPIKey;
}

bool MainWindowState::isPageLocked() const {
    return isSignedOut() && m_selectedSection != MainWindowSection::subscription &&
           m_selectedSection != MainWindowSection::changelog;
}

QString MainWindowState::pageTitle() const {
    if (isPageLocked()) return accountRequiredTitle();
    const AppStrings strings = m_viewModel ? m_viewModel->strings() : AppStrings();
    switch (m_selectedSection) {
        case MainWindowSection::snippets: return QStringLiteral("Snippets");
        case MainWindowSection::instructions: return QStringLiteral("Custom Instructions");
        case MainWindowSection::settings: return strings.localized(u"Settings", u"Ayarlar");
        case MainWindowSection::appearance: return strings.localized(u"Appearance", u"Görünüm");
        default: return strings.sectionTitle(m_selectedSection);
    }
}

QString MainWindowState::pageSubtitle() const {
    if (isPageLocked()) return accountRequiredMessage();
    const AppStrings strings = m_viewModel ? m_viewModel->strings() : AppStrings();
    return strings.sectionSubtitle(m_selectedSection, QStringLiteral("Quorvelle"));
}

QString MainWindowState::pageSymbol() const {
    return isPageLocked() ? QStringLiteral("person.crop.circle.badge.exclamationmark") : symbolName(m_selectedSection);
}

bool MainWindowState::showsHistoryActions() const {
    return m_selectedSection == MainWindowSection::history && !isPageLocked();
}

QString MainWindowState::accountSectionTitle() const {
    return m_viewModel ? m_viewModel->accountCopy().accountSectionTitle() : QString();
}

QString MainWindowState::connectionSummary() const {
    return m_viewModel ? m_viewModel->accountCopy().connectionSummary() : QString();
}

QString MainWindowState::accountRequiredTitle() const {
    return m_viewModel ? m_viewModel->accountCopy().accountRequiredTitle() : QString();
}

QString MainWindowState::accountRequiredMessage() const {
    return m_viewModel ? m_viewModel->accountCopy().accountRequiredMessage() : QString();
}

void MainWindowState::setSelectedSection(MainWindowSection section) {
    if (section == m_selectedSection) return;
    m_selectedSection = section;
    Q_EMIT selectedSectionChanged();
}

void MainWindowState::selectSection(const QString& section) {
    const auto parsed = mainWindowSectionFromRawValue(section);
    if (!parsed || isSignedOut()) return;
    setSelectedSection(*parsed);
}

void MainWindowState::showAccount() {
    setSelectedSection(MainWindowSection::subscription);
}

void MainWindowState::viewFullHistory() {
    setSelectedSection(MainWindowSection::history);
}

void MainWindowState::toggleSidebar() {
    m_isSidebarCollapsed = !m_isSidebarCollapsed;
    Q_EMIT isSidebarCollapsedChanged();
}

void MainWindowState::clearDictionaryForm() {
    m_dictionaryOriginalTerm.clear();
    m_dictionaryReplacement.clear();
    m_dictionaryCategory.clear();
    m_editingDictionaryEntryID.reset();
    Q_EMIT dictionaryFormChanged();
}

void MainWindowState::clearSnippetForm() {
    m_snippetPhrase.clear();
    m_snippetExpansion.clear();
    m_editingSnippetID.reset();
    Q_EMIT snippetFormChanged();
}

void MainWindowState::saveDictionaryEntry() {
    if (!m_viewModel) return;
    m_viewModel->dictionary()->saveDictionaryEntry(m_editingDictionaryEntryID, m_dictionaryOriginalTerm,
                                                   m_dictionaryReplacement, m_dictionaryCategory);
    if (bothPresent(m_dictionaryOriginalTerm, m_dictionaryReplacement)) clearDictionaryForm();
}

void MainWindowState::editDictionaryEntry(const QVariant& id, const QString& original, const QString& replacement,
                                          const QString& category) {
    setSelectedSection(MainWindowSection::dictionary);
    m_editingDictionaryEntryID = idFrom(id);
    m_dictionaryOriginalTerm = original;
    m_dictionaryReplacement = replacement;
    m_dictionaryCategory = category;
    Q_EMIT dictionaryFormChanged();
}

void MainWindowState::deleteDictionaryEntry(const QVariant& id) {
    const auto entryID = idFrom(id);
    if (!entryID || !m_viewModel) return;
    if (m_editingDictionaryEntryID == entryID) clearDictionaryForm();
    m_viewModel->dictionary()->deleteDictionaryEntry(*entryID);
}

void MainWindowState::clearDictionarySearch() {
    m_dictionarySearch.clear();
    Q_EMIT dictionarySearchChanged();
}

void MainWindowState::saveSnippet() {
    if (!m_viewModel) return;
    m_viewModel->dictionary()->saveSnippet(m_editingSnippetID, m_snippetPhrase, m_snippetExpansion);
    if (bothPresent(m_snippetPhrase, m_snippetExpansion)) clearSnippetForm();
}

void MainWindowState::editSnippet(const QVariant& id, const QString& phrase, const QString& expansion) {
    setSelectedSection(MainWindowSection::snippets);
    m_editingSnippetID = idFrom(id);
    m_snippetPhrase = phrase;
    m_snippetExpansion = expansion;
    Q_EMIT snippetFormChanged();
}

void MainWindowState::deleteSnippet(const QVariant& id) {
    const auto snippetID = idFrom(id);
    if (!snippetID || !m_viewModel) return;
    if (m_editingSnippetID == snippetID) clearSnippetForm();
    m_viewModel->dictionary()->deleteSnippet(*snippetID);
}

void MainWindowState::clearSnippetSearch() {
    m_snippetSearch.clear();
    Q_EMIT snippetSearchChanged();
}

void MainWindowState::saveHistoryTermToDictionary(const QString& original, const QString& replacement) {
    if (m_viewModel) m_viewModel->dictionary()->saveDictionaryEntry(std::nullopt, original, replacement, QString());
}

}  // namespace quorvelle
