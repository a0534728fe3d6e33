#include "Views/MenuBar/ReadyOverviewModel.h"

#include <QVariantMap>

namespace quorvelle {

ReadyOverviewModel::ReadyOverviewModel(QObject* parent) : QObject(parent) {
    rebuild();
}

QString ReadyOverviewModel::backendName() const {
    return rawValue(m_inputs.selectedTranscriptionBackend);
}

void ReadyOverviewModel::setSelectedTranscriptionBackend(const QString& name) {
    m_inputs.selectedTranscriptionBackend =
        fromRawValue<TranscriptionBackend>(name).value_or(TranscriptionBackend::cloud);
    rebuild();
}

QString ReadyOverviewModel::localModelName() const {
    return rawValue(m_inputs.selectedLocalModelID);
}

void ReadyOverviewModel::setSelectedLocalModelID(const QString& name) {
    m_inputs.selectedLocalModelID =
        fromRawValue<LocalTranscriptionModelID>(name).value_or(LocalTranscriptionModelID::smallMultilingual);
    rebuild();
}

QString ReadyOverviewModel::triggerModeName() const {
    return rawValue(m_inputs.selectedRecordingTriggerMode);
}

void ReadyOverviewModel::setSelectedRecordingTriggerMode(const QString& name) {
    m_inputs.selectedRecordingTriggerMode =
        fromRawValue<RecordingTriggerMode>(name).value_or(RecordingTriggerMode::pushToTalk);
    rebuild();
}

void ReadyOverviewModel::setLastCaptureSummary(const QString& summary) {
    m_inputs.lastCaptureSummary = summary.isEmpty() ? std::nullopt : std::optional(summary);
    rebuild();
}

void ReadyOverviewModel::rebuild() {
    QVariantList rows;
    for (const StatusRow& row : readyOverviewRows(m_inputs)) {
        rows.append(QVariantMap{{QStringLiteral("label"), row.label},
                                {QStringLiteral("value"), row.value},
                                {QStringLiteral("isPrimary"), row.isPrimary},
                                {QStringLiteral("isSmall"), row.isSmall}});
    }
    m_rows = rows;
    Q_EMIT rowsChanged();
}

}  // namespace quorvelle
