#include "Views/Dashboard/Pages/SettingsPageModel.h"

#include "ViewModel/AppViewModel.h"
#include "ViewModel/DiagnosticsViewModel.h"
#include "ViewModel/LocalModelsViewModel.h"
#include "ViewModel/PreferencesViewModel.h"
#include "Views/Dashboard/Components/AppVersion.h"
#include "Views/Settings/MicrophonePickerModel.h"

namespace quorvelle {

namespace {

// Lower case for searching. The full mapping turns the Turkish dotted capital I into "i" and a
// combining dot, which a user typing "i" never types: the dot goes, so "ingilizce" finds "İngilizce".
QString searchFolded(const QString& text) {
    return text.toLower().remove(QChar(0x0307));
}

QVariant nullable(const std::optional<QString>& text) {
    return text ? QVariant(*text) : QVariant();
}

}  // namespace

SettingsPageModel::SettingsPageModel(QObject* parent) : QObject(parent) {}

QObject* SettingsPageModel::viewModelObject() const {
    return m_viewModel;
}

void SettingsPageModel::setViewModel(QObject* viewModel) {
    auto* model = qobject_cast<AppViewModel*>(viewModel);
    if (model == m_viewModel) return;
    if (m_viewModel) m_viewModel->disconnect(this);
    m_viewModel = model;
    if (model) {
        const auto notify = [this] { Q_EMIT changed(); };
        const auto notifyWithRows = [this] {
            Q_EMIT changed();
            Q_EMIT languageRowsChanged();
        };
        LocalModelsViewModel* local = model->localModels();
        PreferencesViewModel* preferences = model->preferences();
        for (auto signal :
             {&LocalModelsViewModel::selectedTranscriptionBackendChanged,
              &LocalModelsViewModel::selectedLocalModelIDChanged,
              &LocalModelsViewModel::selectedLocalWhisperAccelerationModeChanged,
              &LocalModelsViewModel::localRuntimeAvailabilityChanged, &LocalModelsViewModel::localModelStatusesChanged,
              &LocalModelsViewModel::lastLocalRuntimeErrorChanged})
            connect(local, signal, this, notify);
        for (auto signal : {&PreferencesViewModel::selectedMicrophonePreferenceChanged,
                            &PreferencesViewModel::startAtLoginStatusChanged})
            connect(preferences, signal, this, notify);
        connect(preferences, &PreferencesViewModel::selectedTranscriptionLanguageChanged, this, notifyWithRows);
        connect(model->diagnostics(), &DiagnosticsViewModel::diagnosticsSnapshotChanged, this, notify);
        connect(model, &AppViewModel::microphoneSelectionChanged, this, notify);
        connect(model, &AppViewModel::stringsChanged, this, notifyWithRows);
    }
    Q_EMIT changed();
    Q_EMIT languageRowsChanged();
}

void SettingsPageModel::setLanguageSearchQuery(const QString& query) {
    if (query == m_languageSearchQuery) return;
    m_languageSearchQuery = query;
    Q_EMIT languageSearchQueryChanged();
    Q_EMIT languageRowsChanged();
}

AppStrings SettingsPageModel::strings() const {
    return m_viewModel ? m_viewModel->strings() : AppStrings();
}

bool SettingsPageModel::isLocalSelected() const {
    return m_viewModel && m_viewModel->localModels()->selectedTranscriptionBackend() == TranscriptionBackend::local;
}

QStringList SettingsPageModel::localEngineTags() const {
    const AppStrings s = strings();
    const LocalTranscriptionModelID selected =
        m_viewModel ? m_viewModel->localModels()->selectedLocalModelID() : LocalTranscriptionModelID::smallMultilingual;
    return {s.localized(u"Private", u"Gizli"), s.localized(u"Offline", u"Çevrimdışı"),
            localModelDescriptor(selected).title};
}

QString SettingsPageModel::localModeStatusDetail() const {
    return m_viewModel ? m_viewModel->localModels()->localModelCopy().statusDetail() : QString();
}

QString SettingsPageModel::selectedLanguageTitle() const {
    if (!m_viewModel) return {};
    return strings().transcriptionLanguageTitle(m_viewModel->preferences()->selectedTranscriptionLanguage());
}

bool SettingsPageModel::isLanguageAutomatic() const {
    return !m_viewModel || !m_viewModel->preferences()->selectedTranscriptionLanguage().code;
}

QList<TranscriptionLanguageOption> SettingsPageModel::filteredLanguageOptions(const QString& query,
                                                                              const AppStrings& strings) {
    const QList<TranscriptionLanguageOption>& all = TranscriptionLanguageOption::supportedOptions();
    const QString q = searchFolded(query.trimmed());
    if (q.isEmpty()) return all;
    QList<TranscriptionLanguageOption> kept;
    for (const TranscriptionLanguageOption& option : all) {
        if (option.matches(query) || searchFolded(strings.transcriptionLanguageTitle(option)).contains(q))
            kept.append(option);
    }
    return kept;
}

QVariantList SettingsPageModel::languageRows() const {
    if (!m_viewModel) return {};
    const TranscriptionLanguageOption& selected = m_viewModel->preferences()->selectedTranscriptionLanguage();
    QVariantList rows;
    for (const TranscriptionLanguageOption& option : filteredLanguageOptions(m_languageSearchQuery, strings())) {
        rows.append(QVariantMap{{QStringLiteral("id"), option.id()},
                                {QStringLiteral("code"), nullable(option.code)},
                                {QStringLiteral("name"), option.name},
                                {QStringLiteral("isSelected"), option == selected}});
    }
    return rows;
}

QString SettingsPageModel::selectedMicrophoneName() const {
    if (m_viewModel) {
        if (const auto& preference = m_viewModel->preferences()->selectedMicrophonePreference())
            return preference->name;
    }
    return strings().localized(u"System Default", u"Sistem Varsayılanı");
}

QString SettingsPageModel::activeMicrophone() const {
    return m_viewModel ? m_viewModel->diagnostics()->diagnosticsSnapshot().activeMicrophone : QString();
}

QList<MicrophonePickerModel::Option> SettingsPageModel::microphoneOptions() const {
    if (!m_viewModel) return MicrophonePickerModel::options(strings(), {}, std::nullopt, {});
    return MicrophonePickerModel::options(strings(), m_viewModel->diagnostics()->diagnosticsSnapshot().audioDevices,
                                          m_viewModel->preferences()->selectedMicrophonePreference(),
                                          m_viewModel->selectedMicrophoneLabelText());
}

QVariantList SettingsPageModel::microphoneRows() const {
    QVariantList rows;
    for (const MicrophonePickerModel::Option& option : microphoneOptions())
        rows.append(
            QVariantMap{{QStringLiteral("uid"), nullable(option.uid)}, {QStringLiteral("title"), option.title}});
    return rows;
}

int SettingsPageModel::selectedMicrophoneRow() const {
    const auto preference = m_viewModel ? m_viewModel->preferences()->selectedMicrophonePreference() : std::nullopt;
    return MicrophonePickerModel::selectedIndex(microphoneOptions(), preference);
}

bool SettingsPageModel::isStartAtLoginOn() const {
    return m_viewModel && m_viewModel->preferences()->startAtLoginStatus() == StartAtLoginStatus::enabled;
}

bool SettingsPageModel::startAtLoginNeedsApproval() const {
    return m_viewModel && m_viewModel->preferences()->startAtLoginStatus() == StartAtLoginStatus::requiresApproval;
}

QString SettingsPageModel::startAtLoginStatusLabel() const {
    if (!m_viewModel) return {};
    return strings().startAtLoginStatusLabel(m_viewModel->preferences()->startAtLoginStatus());
}

QString SettingsPageModel::versionLine() const {
    return QStringLiteral("Quorvelle ") + appVersionString();
}

void SettingsPageModel::selectLocalEngine() {
    if (!m_viewModel) return;
    LocalModelsViewModel* local = m_viewModel->localModels();
    if (local->isLocalModeReady())
        local->selectTranscriptionBackend(TranscriptionBackend::local);
    else
        local->openLocalModeSetup();
}

void SettingsPageModel::selectCloudEngine() {
    if (m_viewModel) m_viewModel->localModels()->selectTranscriptionBackend(TranscriptionBackend::cloud);
}

void SettingsPageModel::selectLanguage(const QString& id) {
    if (!m_viewModel) return;
    for (const TranscriptionLanguageOption& option : TranscriptionLanguageOption::supportedOptions()) {
        if (option.id() == id) {
            m_viewModel->preferences()->setTranscriptionLanguage(option);
            return;
        }
    }
}

void SettingsPageModel::selectMicrophone(int row) {
    const QList<MicrophonePickerModel::Option> options = microphoneOptions();
    if (m_viewModel && row >= 0 && row < options.size())
        m_viewModel->preferences()->setMicrophonePreference(options[row].uid);
}

void SettingsPageModel::syncMicrophonePreference() {
    if (m_viewModel) m_viewModel->refreshInputDevices(false);
}

}  // namespace quorvelle
