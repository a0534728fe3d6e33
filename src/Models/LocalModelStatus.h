// LocalModelStatus: one row of the model list shown to the user: the model, its catalogue row,
// its install state and whether it is the selected model.
#pragma once

#include "Models/LocalModelInstallState.h"
#include "Models/LocalTranscriptionModelDescriptor.h"

namespace quorvelle {

struct LocalModelStatus {
    Q_GADGET
    Q_PROPERTY(QString id READ idName)
    Q_PROPERTY(quorvelle::LocalTranscriptionModelDescriptor descriptor MEMBER descriptor)
    Q_PROPERTY(quorvelle::LocalModelInstallState installState MEMBER installState)
    Q_PROPERTY(bool isSelected MEMBER isSelected)

public:
    LocalTranscriptionModelID id = LocalTranscriptionModelID::tinyMultilingual;
    LocalTranscriptionModelDescriptor descriptor;
    LocalModelInstallState installState;
    bool isSelected = false;

    QString idName() const { return rawValue(id); }

    friend bool operator==(const LocalModelStatus&, const LocalModelStatus&) = default;
};

}  // namespace quorvelle
