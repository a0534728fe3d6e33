#include "Views/Onboarding/OnboardingModel.h"

#include "ViewModel/AppViewModel.h"

namespace quorvelle {

OnboardingModel::OnboardingModel(QObject* parent) : QObject(parent) {}

QObject* OnboardingModel::viewModel() const {
    return m_viewModel;
}

void OnboardingModel::setViewModel(QObject* viewModel) {
    auto* model = qobject_cast<AppViewModel*>(viewModel);
    if (model == m_viewModel) return;
    if (m_viewModel) {
        for (QObject* source :
             std::initializer_list<QObject*>{m_viewModel, m_viewModel->permissions(), m_viewModel->localModels()})
            disconnect(source, nullptr, this, nullptr);
    }
    m_viewModel = model;
    if (model) {
        // Every signal of these objects is a change the screen may show.
        for (QObject* source : std::initializer_list<QObject*>{model, model->permissions(), model->localModels()}) {
            const QMetaObject* meta = source->metaObject();
            const QMetaMethod changedSlot = metaObject()->method(metaObject()->indexOfSignal("changed()"));
            for (int index = QObject::staticMetaObject.methodCount(); index < meta->methodCount(); ++index) {
                const QMetaMethod method = meta->method(index);
                if (method.methodType() == QMetaMethod::Signal) connect(source, method, this, changedSlot);
            }
        }
    }
    Q_EMIT viewModelChanged();
    Q_EMIT changed();
}

bool OnboardingModel::isLocalModeReady() const {
    return m_viewModel && m_viewModel->localModels()->isLocalModeReady();
}

QString OnboardingModel::microphonePermissionLabel() const {
    if (!m_viewModel) return {};
    return m_viewModel->strings().permissionStateLabel(
        m_viewModel->permissions()->onboardingStatus().microphonePermission);
}

QString OnboardingModel::accessibilityPermissionLabel() const {
    if (!m_viewModel) return {};
    return m_viewModel->strings().permissionStateLabel(
        m_viewModel->permissions()->onboardingStatus().accessibilityPermission);
}

QString OnboardingModel::runtimeStatusLabel() const {
    return m_viewModel ? m_viewModel->localModels()->localModelCopy().runtimeStatusLabel() : QString();
}

QString OnboardingModel::localStatusDetail() const {
    return m_viewModel ? m_viewModel->localModels()->localModelCopy().statusDetail() : QString();
}

}  // namespace quorvelle
