#include "Views/Dashboard/Pages/ShortcutsPageTexts.h"

#include "Models/AppStrings.h"
#include "Models/RawValueEnum.h"
#include "Models/RecordingTriggerMode.h"

namespace quorvelle {

ShortcutsPageTexts::ShortcutsPageTexts(QObject* parent) : QObject(parent) {}

QString ShortcutsPageTexts::hotkeyDisplayText(const QString& displayTitle) {
    // The separators are widened last. Alt and Super have no sign of their own on the keyboards
    // here, so their names stay.
    QString text = displayTitle;
    text.replace(QStringLiteral("Control"), QStringLiteral("^"));
    text.replace(QStringLiteral("Shift"), QStringLiteral("\u21E7"));
    text.replace(QStringLiteral(" + "), QStringLiteral("  +  "));
    return text;
}

QString ShortcutsPageTexts::recordingModeDescription(const QString& languageCode, const QString& mode) {
    const RecordingTriggerMode parsed =
        fromRawValue<RecordingTriggerMode>(mode).value_or(RecordingTriggerMode::pushToTalk);
    return AppStrings(languageCode).recordingTriggerModeDescription(parsed);
}

}  // namespace quorvelle
