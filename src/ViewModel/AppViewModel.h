#pragma once

#include "Models/AppStrings.h"
#include "Support/QmlValues.h"
#include "ViewModel/AccountViewModel.h"
#include "ViewModel/AppBootstrap.h"
#include "ViewModel/DiagnosticsViewModel.h"
#include "ViewModel/DictionaryViewModel.h"
#include "ViewModel/HistoryViewModel.h"
#include "ViewModel/LocalModelsViewModel.h"
#include "ViewModel/PermissionsViewModel.h"
#include "ViewModel/PreferencesViewModel.h"
#include "ViewModel/RecordingReadinessPolicy.h"
#include "ViewModel/SessionViewModel.h"
#include "ViewModel/ViewModelContext.h"
#include "ViewModel/ViewModelEnvironment.h"

#include <QObject>

#include <memory>

namespace quorvelle {

// The one owner of the application's state, made once by the composition root and handed to every
// view. Each concern is a part it owns; the parts share one context and never hold each other.
// Main thread only.
class AppViewModel : public QObject {
    Q_OBJECT

    // The dictation session: state, hot key, level, target, last delivery.
    Q_PROPERTY(quorvelle::SessionViewModel* session READ session CONSTANT)
    // Dictation and appearance settings, start at login.
    Q_PROPERTY(quorvelle::PreferencesViewModel* preferences READ preferences CONSTANT)
    // Dictionary, snippets and vocabulary hints.
    Q_PROPERTY(quorvelle::DictionaryViewModel* dictionary READ dictionary CONSTANT)
    // Permissions, disclosures and the first-run readiness record.
    Q_PROPERTY(quorvelle::PermissionsViewModel* permissions READ permissions CONSTANT)
    // Account sign-in, updates and release notes.
    Q_PROPERTY(quorvelle::AccountViewModel* account READ account CONSTANT)
    // Cloud or on-device engine, and the on-device models.
    Q_PROPERTY(quorvelle::LocalModelsViewModel* localModels READ localModels CONSTANT)
    // Transcript history and overview totals.
    Q_PROPERTY(quorvelle::HistoryViewModel* history READ history CONSTANT)
    // The diagnostics snapshot.
    Q_PROPERTY(quorvelle::DiagnosticsViewModel* diagnostics READ diagnostics CONSTANT)
    // The one-line outcome of the last action; empty when none.
    Q_PROPERTY(QVariant inlineMessage READ inlineMessageValue NOTIFY inlineMessageChanged)
    // "en" or "tr": the language of every text; changes with the language choice.
    Q_PROPERTY(QString languageCode READ languageCode NOTIFY stringsChanged)
    // Every text of the interface in its language.
    Q_PROPERTY(quorvelle::AppStrings strings READ strings NOTIFY stringsChanged)
    // The line under the microphone picker.
    Q_PROPERTY(QString microphoneSelectionMessage READ microphoneSelectionMessage NOTIFY microphoneSelectionChanged)
    // The picker's label of a chosen microphone that is not connected; null otherwise.
    Q_PROPERTY(QVariant selectedMicrophoneLabel READ selectedMicrophoneLabelValue NOTIFY microphoneSelectionChanged)

public:
    explicit AppViewModel(const AppBootstrap& bootstrap,
                          ViewModelEnvironment environment = ViewModelEnvironment::live(), QObject* parent = nullptr);
    ~AppViewModel() override;

    SessionViewModel* session() const { return m_session; }
    PreferencesViewModel* preferences() const { return m_preferences; }
    DictionaryViewModel* dictionary() const { return m_dictionary; }
    PermissionsViewModel* permissions() const { return m_permissions; }
    AccountViewModel* account() const { return m_account; }
    LocalModelsViewModel* localModels() const { return m_localModels; }
    HistoryViewModel* history() const { return m_history; }
    DiagnosticsViewModel* diagnostics() const { return m_diagnostics; }
    ViewModelContext& context() const { return *m_context; }

    const std::optional<QString>& inlineMessage() const { return m_context->inlineMessage(); }
    QString inlineMessageText() const { return inlineMessage().value_or(QString()); }
    QVariant inlineMessageValue() const { return optionalValue(inlineMessage()); }
    // The text tables of the interface language, computed anew at every read.
    AppStrings strings() const { return m_context->strings(); }
    QString languageCode() const { return strings().languageCode(); }

    // Re-reads every stored value and system state into the parts, then re-applies readiness and
    // rebuilds the diagnostics. Every assigned property notifies, changed or not.
    Q_INVOKABLE void reloadSettings();
    // Rebuilds the whole diagnostics snapshot from the parts, the event log and the devices.
    Q_INVOKABLE void refreshDiagnosticsSnapshot();
    // The account texts as they stand now.
    AccountCopy accountCopy() const;
    // The readiness of dictation as it stands now.
    RecordingReadinessPolicy recordingReadinessPolicy() const;

    // Gives the capture service the stored choice again and lists the devices anew; with
    // showsMessage, says whether any input device was found.
    Q_INVOKABLE void refreshInputDevices(bool showsMessage);
    // Both read the devices of the diagnostics snapshot.
    QString microphoneSelectionMessage() const;
    std::optional<QString> selectedMicrophoneLabel() const;
    QString selectedMicrophoneLabelText() const { return selectedMicrophoneLabel().value_or(QString()); }
    QVariant selectedMicrophoneLabelValue() const { return optionalValue(selectedMicrophoneLabel()); }

Q_SIGNALS:
    void inlineMessageChanged();
    void stringsChanged();
    void microphoneSelectionChanged();

private:
    ResolvedAudioInputDeviceSelection resolvedMicrophoneSelection() const;
    // Lets go of the old combination and takes up the selected one when dictation can run.
    void restartHotkeyMonitoring();
    // Each listing is a round trip to the sound server: the snapshot refreshes of one dictation share
    // the list read at most a few seconds before; an explicit device refresh always reads it anew.
    const QList<AudioDeviceInfo>& inputDevices(bool fresh);

    std::shared_ptr<DiagnosticsStoring> m_diagnosticsStore;
    std::shared_ptr<AudioDeviceListing> m_audioDeviceService;
    QList<AudioDeviceInfo> m_inputDevices;
    std::optional<QDateTime> m_inputDevicesReadAt;
    // Owned through the QObject tree; the context is made first and destroyed last.
    ViewModelContext* m_context;
    SessionViewModel* m_session;
    PreferencesViewModel* m_preferences;
    DictionaryViewModel* m_dictionary;
    PermissionsViewModel* m_permissions;
    AccountViewModel* m_account;
    LocalModelsViewModel* m_localModels;
    HistoryViewModel* m_history;
    DiagnosticsViewModel* m_diagnostics;
};

}  // namespace quorvelle
