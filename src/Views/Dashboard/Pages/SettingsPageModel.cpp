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

}  // namespace

SettingsPageModel::SettingsPageModel(QObject* parent) : PageViewModelBinding(parent) {}

void SettingsPageModel::observe(AppViewModel& viewModel) {
    const auto notify = [this] { Q_EMIT changed(); };
    LocalModelsViewModel* local = viewModel.localModels();
    for (auto signal :
         {&LocalModelsViewModel::selectedTranscriptionBackendChanged,
          &LocalModelsViewModel::selectedLocalModelIDChanged, &LocalModelsViewModel::localRuntimeAvailabilityChanged,
          &LocalModelsViewModel::localModelStatusesChanged, &LocalModelsViewModel::lastLocalRuntimeErrorChanged})
        connect(local, signal, this, notify);
    PreferencesViewModel* preferences = viewModel.preferences();
    for (auto signal :
         {&PreferencesViewModel::selectedTranscriptionLanguageChanged,
          &PreferencesViewModel::selectedMicrophonePreferenceChanged, &PreferencesViewModel::startAtLoginStatusChanged})
        connect(preferences, signal, this, notify);
    connect(viewModel.diagnostics(), &DiagnosticsViewModel::diagnosticsSnapshotChanged, this, notify);
    connect(&viewModel, &AppViewModel::microphoneSelectionChanged, this, notify);
    connect(&viewModel, &AppViewModel::stringsChanged, this, notify);
    // The rows are made anew only when their titles change: a new list would scroll back to the top.
    connect(&viewModel, &AppViewModel::stringsChanged, this, &SettingsPageModel::languageRowsChanged);
    Q_EMIT languageRowsChanged();
}

void SettingsPageModel::setLanguageSearchQuery(const QString& query) {
    if (query == m_languageSearchQuery) return;
    m_languageSearchQuery = query;
    Q_EMIT languageSearchQueryChanged();
    Q_EMIT languageRowsChanged();
}

AppStrings SettingsPageModel::strings() const {
    return viewModel() ? viewModel()->strings() : AppStrings();
}

bool SettingsPageModel::isLocalSelected() const {
    return viewModel() && viewModel()->localModels()->selectedTranscriptionBackend() == TranscriptionBackend::local;
}

QStringList SettingsPageModel::localEngineTags() const {
    const AppStrings s = strings();
    const LocalTranscriptionModelID selected =
        viewModel() ? viewModel()->localModels()->selectedLocalModelID() : LocalTranscriptionModelID::smallMultilingual;
    return {s.localized(u"Private", u"Gizli"), s.localized(u"Offline", u"Çevrimdışı"),
            localModelDescriptor(selected).title};
}

QString SettingsPageModel::localModeStatusDetail() const {
    return viewModel() ? viewModel()->localModels()->localModelCopy().statusDetail() : QString();
}

QString SettingsPageModel::selectedLanguageTitle() const {
    if (!viewModel()) return {};
    return strings().transcriptionLanguageTitle(viewModel()->preferences()->selectedTranscriptionLanguage());
}

bool SettingsPageModel::isLanguageAutomatic() const {
    return !viewModel() || !viewModel()->preferences()->selectedTranscriptionLanguage().code;
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

QString SettingsPageModel::selectedLanguageID() const {
    return viewModel() ? viewModel()->preferences()->selectedTranscriptionLanguage().id() : QString();
}

QVariantList SettingsPageModel::languageRows() const {
    if (!viewModel()) return {};
    QVariantList rows;
    for (const TranscriptionLanguageOption& option : filteredLanguageOptions(m_languageSearchQuery, strings())) {
        rows.append(QVariantMap{{QStringLiteral("id"), option.id()},
                                {QStringLiteral("code"), nullable(option.code)},
                                {QStringLiteral("name"), option.name}});
    }
    return rows;
}

QString SettingsPageModel::selectedMicrophoneName() const {
    if (viewModel()) {
        if (const auto& preference = viewModel()->preferences()->selectedMicrophonePreference())
            return preference->name;
    }
    return strings().localized(u"System Default", u"Sistem Varsayılanı");
}

QString SettingsPageModel::activeMicrophone() const {
    return viewModel() ? viewModel()->diagnostics()->diagnosticsSnapshot().activeMicrophone : QString();
}

QList<MicrophonePickerModel::Option> SettingsPageModel::microphoneOptions() const {
    if (!viewModel()) return MicrophonePickerModel::options(strings(), {}, std::nullopt, {});
    return MicrophonePickerModel::options(strings(), viewModel()->diagnostics()->diagnosticsSnapshot().audioDevices,
                                          viewModel()->preferences()->selectedMicrophonePreference(),
                                          viewModel()->selectedMicrophoneLabelText());
}

QVariantList SettingsPageModel::microphoneRows() const {
    QVariantList rows;
    for (const MicrophonePickerModel::Option& option : microphoneOptions())
        rows.append(
            QVariantMap{{QStringLiteral("uid"), nullable(option.uid)}, {QStringLiteral("title"), option.title}});
    return rows;
}

int SettingsPageModel::selectedMicrophoneRow() const {
    const auto preference = viewModel() ? viewModel()->preferences()->selectedMicrophonePreference() : std::nullopt;
    return MicrophonePickerModel::selectedIndex(microphoneOptions(), preference);
}

bool SettingsPageModel::isStartAtLoginOn() const {
    return viewModel() && viewModel()->preferences()->startAtLoginStatus() == StartAtLoginStatus::enabled;
}

bool SettingsPageModel::startAtLoginNeedsApproval() const {
    return viewModel() && viewModel()->preferences()->startAtLoginStatus() == StartAtLoginStatus::requiresApproval;
}

QString SettingsPageModel::startAtLoginStatusLabel() const {
    if (!viewModel()) return {};
    return strings().startAtLoginStatusLabel(viewModel()->preferences()->startAtLoginStatus());
}

QString SettingsPageModel::versionLine() const {
    return QStringLiteral("Quorvelle ") + appVersionString();
}

void SettingsPageModel::selectLocalEngine() {
    if (!viewModel()) return;
    LocalModelsViewModel* local = viewModel()->localModels();
    if (local->isLocalModeReady())
        local->selectTranscriptionBackend(TranscriptionBackend::local);
    else
        local->openLocalModeSetup();
}

void SettingsPageModel::selectCloudEngine() {
    if (viewModel()) viewModel()->localModels()->selectTranscriptionBackend(TranscriptionBackend::cloud);
}

void SettingsPageModel::selectLanguage(const QString& id) {
    if (!viewModel()) return;
    for (const TranscriptionLanguageOption& option : TranscriptionLanguageOption::supportedOptions()) {
        if (option.id() == id) {
            viewModel()->preferences()->setTranscriptionLanguage(option);
            return;
        }
    }
}

void SettingsPageModel::selectMicrophone(int row) {
    const QList<MicrophonePickerModel::Option> options = microphoneOptions();
    if (viewModel() && row >= 0 && row < options.size())
        viewModel()->preferences()->setMicrophonePreference(options[row].uid);
}

void SettingsPageModel::syncMicrophonePreference() {
    if (viewModel()) viewModel()->refreshInputDevices(false);
}

}  // namespace quorvelle
