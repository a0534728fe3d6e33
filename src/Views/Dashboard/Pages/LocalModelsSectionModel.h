#pragma once

#include "ViewModel/LocalModelsViewModel.h"
#include "Views/Common/PageViewModelBinding.h"

#include <QString>
#include <QVariantList>
#include <QtQmlIntegration>

namespace quorvelle {

// The local-models card of the settings page: the engine's state, the acceleration choice and
// one row per model with the action its state allows. Each action is one view-model operation.
class LocalModelsSectionModel : public PageViewModelBinding {
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QString runtimeStatusLabel READ runtimeStatusLabel NOTIFY changed)
    Q_PROPERTY(QString selectedModelTitle READ selectedModelTitle NOTIFY changed)
    // Whether the engine can run on a GPU: this build has no GPU back end, so the accelerated
    // choice is shown unavailable and the engine runs on the CPU whatever was stored.
    Q_PROPERTY(bool accelerationAvailable READ accelerationAvailable CONSTANT)
    Q_PROPERTY(bool isAccelerated READ isAccelerated NOTIFY changed)
    // Rows { id, title, subtitle, size, badge, tags, warningText (or null), isSelected,
    // primaryActionTitle, secondaryActionTitle (or null) }, in the view model's order.
    Q_PROPERTY(QVariantList rows READ rows NOTIFY changed)

public:
    using PageViewModelBinding::PageViewModelBinding;

    QString runtimeStatusLabel() const;
    QString selectedModelTitle() const;
    static constexpr bool accelerationAvailable() { return LocalModelsViewModel::isAccelerationAvailable(); }
    bool isAccelerated() const;
    QVariantList rows() const;

    // A row's main button: select an installed model, download a missing or failed one, cancel a
    // running download. Unknown ids do nothing.
    Q_INVOKABLE void performModelAction(const QString& id);
    // A row's delete button; only an installed model is deleted.
    Q_INVOKABLE void deleteModel(const QString& id);
    // "cpu" or "accelerated".
    Q_INVOKABLE void setAcceleration(const QString& mode);

protected:
    void observe(AppViewModel& viewModel) override;
};

}  // namespace quorvelle
