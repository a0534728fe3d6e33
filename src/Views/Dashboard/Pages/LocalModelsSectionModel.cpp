#include "Views/Dashboard/Pages/LocalModelsSectionModel.h"

#include "ViewModel/AppViewModel.h"
#include "ViewModel/LocalModelsViewModel.h"
#include "Views/Dashboard/Pages/LocalModelRowTexts.h"

namespace quorvelle {

void LocalModelsSectionModel::observe(AppViewModel& viewModel) {
    const auto notify = [this] { Q_EMIT changed(); };
    LocalModelsViewModel* local = viewModel.localModels();
    for (auto signal :
         {&LocalModelsViewModel::selectedLocalModelIDChanged,
          &LocalModelsViewModel::selectedLocalWhisperAccelerationModeChanged,
          &LocalModelsViewModel::localRuntimeAvailabilityChanged, &LocalModelsViewModel::localModelStatusesChanged})
        connect(local, signal, this, notify);
    connect(&viewModel, &AppViewModel::stringsChanged, this, notify);
}

QString LocalModelsSectionModel::runtimeStatusLabel() const {
    return viewModel() ? viewModel()->localModels()->localModelCopy().runtimeStatusLabel() : QString();
}

QString LocalModelsSectionModel::selectedModelTitle() const {
    return viewModel() ? localModelDescriptor(viewModel()->localModels()->selectedLocalModelID()).title : QString();
}

bool LocalModelsSectionModel::isAccelerated() const {
    return viewModel() && viewModel()->localModels()->selectedLocalWhisperAccelerationMode() ==
                              LocalWhisperAccelerationMode::accelerated;
}

QVariantList LocalModelsSectionModel::rows() const {
    if (!viewModel()) return {};
    const AppStrings strings = viewModel()->strings();
    QVariantList rows;
    for (const LocalModelStatus& status : viewModel()->localModels()->localModelStatuses()) {
        const LocalModelRowTexts texts = LocalModelRowTexts::of(status, strings);
        rows.append(QVariantMap{{QStringLiteral("id"), rawValue(status.id)},
                                {QStringLiteral("title"), texts.title},
                                {QStringLiteral("subtitle"), texts.subtitle},
                                {QStringLiteral("size"), texts.size},
                                {QStringLiteral("badge"), texts.badge},
                                {QStringLiteral("tags"), texts.tags},
                                {QStringLiteral("warningText"), nullable(texts.warningText)},
                                {QStringLiteral("failureText"), nullable(texts.failureText)},
                                {QStringLiteral("isSelected"), status.isSelected},
                                {QStringLiteral("primaryActionTitle"), texts.primaryActionTitle},
                                {QStringLiteral("secondaryActionTitle"), nullable(texts.secondaryActionTitle)}});
    }
    return rows;
}

void LocalModelsSectionModel::performModelAction(const QString& id) {
    if (!viewModel()) return;
    LocalModelsViewModel* local = viewModel()->localModels();
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
    if (!viewModel()) return;
    LocalModelsViewModel* local = viewModel()->localModels();
    for (const LocalModelStatus& status : local->localModelStatuses()) {
        if (rawValue(status.id) == id && status.installState.kind() == LocalModelInstallState::Kind::installed) {
            local->deleteLocalModel(status.id);
            return;
        }
    }
}

void LocalModelsSectionModel::setAcceleration(const QString& mode) {
    if (!viewModel()) return;
    if (const auto parsed = fromRawValue<LocalWhisperAccelerationMode>(mode))
        viewModel()->localModels()->setLocalWhisperAccelerationMode(*parsed);
}

}  // namespace quorvelle
