#pragma once

#include "Views/Common/PageViewModelBinding.h"

#include <QVariantList>
#include <QtQmlIntegration>

namespace quorvelle {

// The Status tab's rows, read from the view model it is given whenever a value it publishes changes.
class ReadyOverviewModel : public PageViewModelBinding {
    Q_OBJECT
    QML_ELEMENT

    // Maps of label, value, isPrimary and isSmall, in display order.
    Q_PROPERTY(QVariantList rows READ rows NOTIFY changed)
    // The scaled pill shows only while recording.
    Q_PROPERTY(bool isRecording READ isRecording NOTIFY changed)

public:
    using PageViewModelBinding::PageViewModelBinding;

    QVariantList rows() const;
    bool isRecording() const;

protected:
    void observe(AppViewModel& viewModel) override;
};

}  // namespace quorvelle
