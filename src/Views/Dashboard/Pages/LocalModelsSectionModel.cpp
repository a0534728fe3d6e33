#include "Views/Dashboard/Pages/LocalModelsSectionModel.h"

#include "ViewModel/AppViewModel.h"
#include "ViewModel/LocalModelsViewModel.h"
#include "Views/Dashboard/Pages/LocalModelRowTexts.h"

namespace quorvelle {

namespace {

QVariant nullable(const std::optional<QString>& text) {
    return text ? QVariant(*text) : QVariant();
}

}  // namespace

LocalModelsSectionModel::LocalModelsSectionModel(QObject* parent) : QObject(parent) {}

QObject* LocalModelsSectionModel::viewModelObject() const {
    return m_viewModel;
}

void LocalModelsSectionModel::setViewModel(QObject* viewModel) {
    auto* model = qobject_cast<AppViewModel*>(viewModel);
    if (model == m_viewModel) return;
    if (m_viewModel) m_viewModel->disconnect(this);
    m_viewModel = model;
    if (model) {
        const auto notify = [this] { Q_EMIT changed(); };
        LocalModelsViewModel* local = model->localModels();
        for (auto signal :
             {&LocalModelsViewModel::selectedLocalModelIDChanged,
              &LocalModelsViewModel::selectedLocalWhisperAccelerationModeChanged,
              &LocalModelsViewModel::localRuntimeAvailabilityChanged, &LocalModelsViewModel::localModelStatusesChanged})
            connect(local, signal, this, notify);
        connect(model, &AppViewModel::stringsChanged, this, notify);
    }
    Q_EMIT changed();
}

QString LocalModelsSectionModel::runtimeStatusLabel() const {
    return m_viewModel ? m_viewModel->localModels()->localModelCopy().runtimeStatusLabel() : QString();
}

QString LocalModelsSectionModel::selectedModelTitle() const {
    return m_viewModel ? localModelDescriptor(m_viewModel->localModels()->selectedLocalModelID()).title : QString();
}

bool LocalModelsSectionModel::isAccelerated() const {
    return m_viewModel && m_viewModel->localModels()->selectedLocalWhisperAccelerationMode() ==
                              LocalWhisperAccelerationMode::accelerated;
}

QVariantList LocalModelsSectionModel::rows() const {
    if (!m_viewModel) return {};
    const AppStrings strings = m_viewModel->strings();
    QVariantList rows;
    for (const LocalModelStatus& status : m_viewModel->localModels()->localModelStatuses()) {
        const LocalModelRowTexts texts = LocalModelRowTexts::of(status, strings);
        rows.append(QVariantMap{{QStringLiteral("id"), rawValue(status.id)},
                                {QStringLiteral("title"), texts.title},
                                {QStringLiteral("subtitle"), texts.subtitle},
                                {QStringLiteral("size"), texts.size},
                                {QStringLiteral("badge"), texts.badge},
                                {QStringLiteral("tags"), texts.tags},
                                {QStringLiteral("warningText"), nullable(texts.warningText)},
                                {QStringLiteral("isSelected"), status.isSelected},
                                {QStringLiteral("primaryActionTitle"), texts.primaryActionTitle},
                                {QStringLiteral("secondaryActionTitle"), nullable(texts.secondaryActionTitle)}});
    }
    return rows;
}

void LocalModelsSectionModel::performModelAction(const QString& id) {
    if (!m_viewModel) return;
    LocalModelsViewModel* local = m_viewModel->localModels();
    for (const LocalModelStatus& status : local->localModelStatuses()) {
        if (rawValue(status.id) != id) continue;
        switch (status.installState.kind()) {
            case LocalModelInstallState::Kind::installed: local->selectLocalModel(status.id); break;
            case LocalModelInstallState::Kind::failed:
            case LocalModelInstallState::Kind::notInstalled: local->downloadLocalModel(status.id); break;
            case LocalModelInstallState::Kind::downloading: local->cancelLocalModelDownload(status.id); break;
        }
        return;
    }
}

void LocalModelsSectionModel::deleteModel(const QString& id) {
    if (!m_viewModel) return;
    LocalModelsViewModel* local = m_viewModel->localModels();
    for (const LocalModelStatus& status : local->localModelStatuses()) {
        if (rawValue(status.id) == id && status.installState.kind() == LocalModelInstallState::Kind::installed) {
            local->deleteLocalModel(status.id);
            return;
        }
    }
}

void LocalModelsSectionModel::setAcceleration(const QString& mode) {
    if (!m_viewModel) return;
    if (const auto parsed = fromRawValue<LocalWhisperAccelerationMode>(mode))
        m_viewModel->localModels()->setLocalWhisperAccelerationMode(*parsed);
}

}  // namespace quorvelle
