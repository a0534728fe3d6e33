#pragma once

#include "Views/Common/PageViewModelBinding.h"

#include <QtQmlIntegration>

namespace quorvelle {

// What the setup screen shows that the view model computes but does not publish as a property:
// the local-mode readiness, the permission badges' words and the local-mode texts. Keeps no state:
// every read goes to the view model, and any change there notifies `changed`.
class OnboardingModel : public PageViewModelBinding {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(bool isLocalModeReady READ isLocalModeReady NOTIFY changed)
    // The badge's word for each permission's state.
    Q_PROPERTY(QString microphonePermissionLabel READ microphonePermissionLabel NOTIFY changed)
    Q_PROPERTY(QString accessibilityPermissionLabel READ accessibilityPermissionLabel NOTIFY changed)
    Q_PROPERTY(QString runtimeStatusLabel READ runtimeStatusLabel NOTIFY changed)
    Q_PROPERTY(QString localStatusDetail READ localStatusDetail NOTIFY changed)

public:
    using PageViewModelBinding::PageViewModelBinding;

    bool isLocalModeReady() const;
    QString microphonePermissionLabel() const;
    QString accessibilityPermissionLabel() const;
    QString runtimeStatusLabel() const;
    QString localStatusDetail() const;

protected:
    void observe(AppViewModel& viewModel) override;
};

}  // namespace quorvelle
