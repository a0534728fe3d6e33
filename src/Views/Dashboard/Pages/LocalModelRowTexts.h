#pragma once

#include "Models/AppStrings.h"
#include "Models/LocalModelStatus.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace quorvelle {

// What one row of the local-model list shows, in the interface language.
struct LocalModelRowTexts {
    QString title;
    QString subtitle;
    QString size;
    QString badge;
    QStringList tags;
    std::optional<QString> warningText;
    // Why the last download failed and what to do next; absent unless it failed.
    std::optional<QString> failureText;
    QString primaryActionTitle;
    // Only an installed model can be deleted; absent otherwise.
    std::optional<QString> secondaryActionTitle;

    static LocalModelRowTexts of(const LocalModelStatus& status, const AppStrings& strings);

    // A catalogue tag in the interface language; an unknown tag is kept as it is.
    static QString localizedTag(const QString& tag, const AppStrings& strings);
    // The size warning of a model's tier; absent for models that need no warning.
    static std::optional<QString> tierWarning(LocalModelWarningTier tier, const AppStrings& strings);
    static QString stateLabel(LocalModelInstallState::Kind kind, const AppStrings& strings);
};

}  // namespace quorvelle
