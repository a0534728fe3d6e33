#include "Views/Onboarding/OnboardingModel.h"

#include "ViewModel/AppViewModel.h"

namespace quorvelle {

void OnboardingModel::observe(AppViewModel& viewModel) {
    // Every signal of these objects is a change the screen may show.
    const QMetaMethod changedSignal = metaObject()->method(metaObject()->indexOfSignal("changed()"));
    for (QObject* source :
         std::initializer_list<QObject*>{&viewModel, viewModel.permissions(), viewModel.localModels()}) {
        const QMetaObject* meta = source->metaObject();
        for (int index = QObject::staticMetaObject.methodCount(); index < meta->methodCount(); ++index) {
            const QMetaMethod method = meta->method(index);
            if (method.methodType() == QMetaMethod::Signal) connect(source, method, this, changedSignal);
        }
    }
}

bool OnboardingModel::isLocalModeReady() const {
    return viewModel() && viewModel()->localModels()->isLocalModeReady();
}

QString OnboardingModel::microphonePermissionLabel() const {
    if (!viewModel()) return {};
    return viewModel()->strings().permissionStateLabel(
        viewModel()->permissions()->onboardingStatus().microphonePermission);
}

QString OnboardingModel::accessibilityPermissionLabel() const {
    if (!viewModel()) return {};
    return viewModel()->strings().permissionStateLabel(
        viewModel()->permissions()->onboardingStatus().accessibilityPermission);
}

QString OnboardingModel::runtimeStatusLabel() const {
    return viewModel() ? viewModel()->localModels()->localModelCopy().runtimeStatusLabel() : QString();
}

QString OnboardingModel::localStatusDetail() const {
    return viewModel() ? viewModel()->localModels()->localModelCopy().statusDetail() : QString();
}

}  // namespace quorvelle
