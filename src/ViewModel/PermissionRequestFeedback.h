#pragma once

#include "Models/DiagnosticsEventLevel.h"
#include "Models/PermissionState.h"

#include <QString>

namespace quorvelle {

// What a permission request tells the user and the diagnostics log.
struct PermissionRequestFeedback {
    QString message;
    DiagnosticsEventLevel diagnosticsLevel = DiagnosticsEventLevel::info;
    QString diagnosticsCode;
    // The same text in every interface language.
    QString diagnosticsMessage;

    // Only authorized counts as granted; not determined reads as refused.
    static PermissionRequestFeedback microphone(PermissionState state, const QString& languageCode);
    static PermissionRequestFeedback accessibility(PermissionState state, const QString& languageCode);

    friend bool operator==(const PermissionRequestFeedback&, const PermissionRequestFeedback&) = default;
};

}  // namespace quorvelle
