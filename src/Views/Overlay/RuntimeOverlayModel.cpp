#include "Views/Overlay/RuntimeOverlayModel.h"

namespace quorvelle {

namespace {

std::optional<QString> nonEmpty(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    return text;
}

QList<qreal> toList(const std::vector<double>& values) {
    return QList<qreal>(values.begin(), values.end());
}

}  // namespace

RuntimeOverlayModel::RuntimeOverlayModel(QObject* parent) : QObject(parent) {
    updatePresentation();
    updateLevels();
}

template <typename T>
void RuntimeOverlayModel::assign(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Q_EMIT inputsChanged();
    updatePresentation();
}

void RuntimeOverlayModel::setRuntimeState(const SessionState& state) {
    const bool recordingChanged =
        (state.kind() == SessionState::Kind::recording) != (m_runtimeState.kind() == SessionState::Kind::recording);
    assign(m_runtimeState, state);
    if (recordingChanged) updateLevels();
}

void RuntimeOverlayModel::setStrings(const AppStrings& strings) {
    assign(m_strings, strings);
}

void RuntimeOverlayModel::setInlineMessage(const QString& message) {
    assign(m_inlineMessage, message);
}

void RuntimeOverlayModel::setLastCaptureSummary(const QString& summary) {
    assign(m_lastCaptureSummary, summary);
}

void RuntimeOverlayModel::setRecordingTriggerMode(const QString& mode) {
    assign(m_recordingTriggerMode, mode);
}

void RuntimeOverlayModel::setDesktopTheme(const QString& theme) {
    assign(m_desktopTheme, theme);
}

void RuntimeOverlayModel::setTranscriptionBackend(const QString& backend) {
    assign(m_transcriptionBackend, backend);
}

void RuntimeOverlayModel::setLevels(const AudioLevelSnapshot& levels) {
    if (m_levels == levels) return;
    m_levels = levels;
    updateLevels();
}

QString RuntimeOverlayModel::style() const {
    switch (m_presentation.style) {
        case RuntimeOverlayStatusStyle::idle: return QStringLiteral("idle");
        case RuntimeOverlayStatusStyle::active: return QStringLiteral("active");
        case RuntimeOverlayStatusStyle::problem: return QStringLiteral("problem");
    }
    return {};
}

void RuntimeOverlayModel::updatePresentation() {
    const RecordingTriggerMode mode =
        fromRawValue<RecordingTriggerMode>(m_recordingTriggerMode).value_or(RecordingTriggerMode::pushToTalk);
    const TranscriptionBackend backend =
        fromRawValue<TranscriptionBackend>(m_transcriptionBackend).value_or(TranscriptionBackend::cloud);
    const RuntimeOverlayPresentation presentation = RuntimeOverlayPresentation::make(
        m_runtimeState, m_strings, nonEmpty(m_inlineMessage), nonEmpty(m_lastCaptureSummary), mode, backend);
    if (presentation != m_presentation) {
        m_presentation = presentation;
        Q_EMIT presentationChanged();
    }
    // An unknown theme name draws like the default dashboard theme.
    const DesktopThemeOption theme =
        fromRawValue<DesktopThemeOption>(m_desktopTheme).value_or(DesktopThemeOption::black);
    const RuntimeOverlayTheme palette = RuntimeOverlayTheme::palette(presentation.style, theme);
    if (palette != m_theme) {
        m_theme = palette;
        Q_EMIT themeChanged();
    }
}

void RuntimeOverlayModel::updateLevels() {
    const std::vector<double>& raw = m_levels.barLevels;
    m_barLevels = raw.empty() ? toList(AudioLevelSnapshot::silent().barLevels)
                              : toList(RuntimeOverlayCompactAudioIndicatorModel::displayScaler().scale(raw));
    m_compact = RuntimeOverlayCompactAudioIndicatorModel::make(m_runtimeState, m_levels);
    m_compactLevels = toList(m_compact.levels);
    Q_EMIT levelsChanged();
}

}  // namespace quorvelle
