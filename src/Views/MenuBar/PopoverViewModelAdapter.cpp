#include "Views/MenuBar/PopoverViewModelAdapter.h"

#include "ViewModel/AppViewModel.h"

#include <QMetaProperty>

namespace quorvelle {

namespace {

// Every published change of `source` but the level becomes one `changed` of the adapter.
void forwardChanges(QObject* source, PopoverViewModelAdapter* adapter) {
    const QMetaObject* meta = source->metaObject();
    const QMetaMethod changed = QMetaMethod::fromSignal(&PopoverViewModelAdapter::changed);
    const QMetaMethod level = QMetaMethod::fromSignal(&PopoverViewModelAdapter::audioLevelSnapshotChanged);
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.hasNotifySignal()) continue;
        const bool isLevel = qstrcmp(property.name(), "audioLevelSnapshot") == 0;
        QObject::connect(source, property.notifySignal(), adapter, isLevel ? level : changed);
    }
}

}  // namespace

PopoverViewModelAdapter::PopoverViewModelAdapter(AppViewModel& viewModel, QObject* parent)
    : QObject(parent), m_viewModel(viewModel) {
    for (QObject* part : std::initializer_list<QObject*>{&viewModel, viewModel.session(), viewModel.preferences(),
                                                         viewModel.permissions(), viewModel.account(),
                                                         viewModel.localModels(), viewModel.diagnostics()})
        forwardChanges(part, this);
}

QObject* PopoverViewModelAdapter::appViewModel() const {
    return &m_viewModel;
}

AppStrings PopoverViewModelAdapter::strings() const {
    return m_viewModel.strings();
}

QString PopoverViewModelAdapter::inlineMessage() const {
    return m_viewModel.inlineMessageText();
}

QVariantMap PopoverViewModelAdapter::onboardingStatus() const {
    const OnboardingStatus& status = m_viewModel.permissions()->onboardingStatus();
    return {{QStringLiteral("hasAPIKey"), status.hasAPIKey}, {QStringLiteral("isComplete"), status.isComplete()}};
}

QVariantMap PopoverViewModelAdapter::accountCopy() const {
    const AccountCopy copy = m_viewModel.accountCopy();
    QVariant challenge = QVariant::fromValue(nullptr);
    if (copy.backendAuthChallenge)
        challenge = QVariantMap{{QStringLiteral("userCode"), copy.backendAuthChallenge->userCode}};
    return {{QStringLiteral("hasBackendAuthSessionManager"), copy.hasBackendAuthSessionManager},
            {QStringLiteral("backendAuthChallenge"), challenge},
            {QStringLiteral("accountRequiredTitle"), copy.accountRequiredTitle()},
            {QStringLiteral("accountRequiredMessage"), copy.accountRequiredMessage()},
            {QStringLiteral("accountStatusLabel"), copy.accountStatusLabel()}};
}

QVariantMap PopoverViewModelAdapter::localModelCopy() const {
    return {{QStringLiteral("runtimeStatusLabel"), m_viewModel.localModels()->localModelCopy().runtimeStatusLabel()}};
}

bool PopoverViewModelAdapter::isBackendAuthPolling() const {
    return m_viewModel.account()->isBackendAuthPolling();
}

bool PopoverViewModelAdapter::canCheckForUpdates() const {
    return m_viewModel.account()->canCheckForUpdates();
}

bool PopoverViewModelAdapter::showingGroqDisclosureSheet() const {
    return m_viewModel.permissions()->showingGroqDisclosureSheet();
}

void PopoverViewModelAdapter::setShowingGroqDisclosureSheet(bool showing) {
    m_viewModel.permissions()->setShowingGroqDisclosureSheet(showing);
}

bool PopoverViewModelAdapter::showingPrivacyDisclosureSheet() const {
    return m_viewModel.permissions()->showingPrivacyDisclosureSheet();
}

void PopoverViewModelAdapter::setShowingPrivacyDisclosureSheet(bool showing) {
    m_viewModel.permissions()->setShowingPrivacyDisclosureSheet(showing);
}

QString PopoverViewModelAdapter::selectedTranscriptionBackend() const {
    return rawValue(m_viewModel.localModels()->selectedTranscriptionBackend());
}

QString PopoverViewModelAdapter::selectedLocalModelID() const {
    return rawValue(m_viewModel.localModels()->selectedLocalModelID());
}

HotkeyShortcut PopoverViewModelAdapter::selectedHotkey() const {
    return m_viewModel.preferences()->selectedHotkey();
}

QVariantList PopoverViewModelAdapter::hotkeySuggestions() const {
    QVariantList suggestions;
    for (const HotkeyShortcut& shortcut : m_viewModel.preferences()->hotkeySuggestions())
        suggestions.append(QVariant::fromValue(shortcut));
    return suggestions;
}

QString PopoverViewModelAdapter::selectedRecordingTriggerMode() const {
    return rawValue(m_viewModel.preferences()->selectedRecordingTriggerMode());
}

bool PopoverViewModelAdapter::isHotkeyMonitoringActive() const {
    return m_viewModel.session()->isHotkeyMonitoringActive();
}

bool PopoverViewModelAdapter::isLastDictationAutoReplaceEnabled() const {
    return m_viewModel.preferences()->isLastDictationAutoReplaceEnabled();
}

bool PopoverViewModelAdapter::isClipboardFallbackEnabled() const {
    return m_viewModel.preferences()->isClipboardFallbackEnabled();
}

std::optional<AudioInputDevicePreference> PopoverViewModelAdapter::selectedMicrophonePreference() const {
    return m_viewModel.preferences()->selectedMicrophonePreference();
}

QString PopoverViewModelAdapter::selectedMicrophoneLabel() const {
    return m_viewModel.selectedMicrophoneLabelText();
}

QString PopoverViewModelAdapter::microphoneSelectionMessage() const {
    return m_viewModel.microphoneSelectionMessage();
}

SessionState PopoverViewModelAdapter::runtimeState() const {
    return m_viewModel.session()->runtimeState();
}

std::optional<FocusedTargetSnapshot> PopoverViewModelAdapter::focusedTarget() const {
    return m_viewModel.session()->focusedTarget();
}

QString PopoverViewModelAdapter::lastCaptureSummary() const {
    return m_viewModel.session()->lastCaptureSummaryText();
}

TranscriptionTelemetrySnapshot PopoverViewModelAdapter::transcriptionTelemetry() const {
    return m_viewModel.session()->transcriptionTelemetry();
}

DiagnosticsSnapshot PopoverViewModelAdapter::diagnosticsSnapshot() const {
    return m_viewModel.diagnostics()->diagnosticsSnapshot();
}

QString PopoverViewModelAdapter::selectedDesktopTheme() const {
    return rawValue(m_viewModel.preferences()->selectedDesktopTheme());
}

QString PopoverViewModelAdapter::selectedWidgetAppearance() const {
    return rawValue(m_viewModel.preferences()->selectedWidgetAppearance());
}

AudioLevelSnapshot PopoverViewModelAdapter::audioLevelSnapshot() const {
    return m_viewModel.session()->audioLevelSnapshot();
}

void PopoverViewModelAdapter::reloadSettings() {
    m_viewModel.reloadSettings();
}

void PopoverViewModelAdapter::startBackendSignIn() {
    m_viewModel.account()->startBackendSignIn();
}

void PopoverViewModelAdapter::openSignInVerificationPage() {
    m_viewModel.account()->openSignInVerificationPage();
}

void PopoverViewModelAdapter::checkSignInApproval() {
    m_viewModel.account()->checkSignInApproval();
}

void PopoverViewModelAdapter::checkForUpdates() {
    m_viewModel.account()->checkForUpdates();
}

void PopoverViewModelAdapter::setHotkey(const HotkeyShortcut& shortcut) {
    m_viewModel.preferences()->setHotkey(shortcut);
}

void PopoverViewModelAdapter::reportHotkeyCaptureUnsupported(const QString& message) {
    m_viewModel.preferences()->reportHotkeyCaptureUnsupported(message);
}

void PopoverViewModelAdapter::setRecordingTriggerMode(const QString& mode) {
    if (const auto parsed = fromRawValue<RecordingTriggerMode>(mode))
        m_viewModel.preferences()->setRecordingTriggerMode(*parsed);
}

void PopoverViewModelAdapter::setLastDictationAutoReplaceEnabled(bool enabled) {
    m_viewModel.preferences()->setLastDictationAutoReplaceEnabled(enabled);
}

void PopoverViewModelAdapter::setClipboardFallbackEnabled(bool enabled) {
    m_viewModel.preferences()->setClipboardFallbackEnabled(enabled);
}

void PopoverViewModelAdapter::setMicrophonePreference(const QVariant& uid) {
    m_viewModel.preferences()->setMicrophonePreference(uid.isNull() ? std::nullopt
                                                                    : std::optional<QString>(uid.toString()));
}

}  // namespace quorvelle
