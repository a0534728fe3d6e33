#include "ViewModel/LocalModelCopy.h"

namespace quorvelle {

QString LocalModelCopy::runtimeStatusLabel() const {
    if (const auto& reason = localRuntimeAvailability.unavailableReason()) return *reason;
    const QString mode = selectedLocalWhisperAccelerationMode == LocalWhisperAccelerationMode::accelerated
                             ? QStringLiteral("GPU/NE dene")
                             : QStringLiteral("CPU");
    return appStrings.localized(u"Ready (", u"Hazır (") + mode + QLatin1Char(')');
}

}  // namespace quorvelle
