#include "Views/Dashboard/Pages/ShortcutsPageTexts.h"

#include "Models/AppStrings.h"
#include "Models/RawValueEnum.h"
#include "Models/RecordingTriggerMode.h"

#include <utility>

namespace quorvelle {

ShortcutsPageTexts::ShortcutsPageTexts(QObject* parent) : QObject(parent) {}

QString ShortcutsPageTexts::hotkeyDisplayText(const QString& displayTitle) {
    // In this order: the separators are widened last, so the signs never meet a narrow one.
    static const std::pair<QString, QString> kSteps[] = {
        {QStringLiteral("Control"), QStringLiteral("^")},    {QStringLiteral("Option"), QStringLiteral("\u2325")},
        {QStringLiteral("Shift"), QStringLiteral("\u21E7")}, {QStringLiteral("Command"), QStringLiteral("\u2318")},
        {QStringLiteral(" + "), QStringLiteral("  +  ")},
    };
    QString text = displayTitle;
    for (const auto& [from, to] : kSteps)
        text.replace(from, to, Qt::CaseSensitive);
    return text;
}

QString ShortcutsPageTexts::recordingModeDescription(const QString& languageCode, const QString& mode) {
    const RecordingTriggerMode parsed =
        fromRawValue<RecordingTriggerMode>(mode).value_or(RecordingTriggerMode::pushToTalk);
    return AppStrings(languageCode).recordingTriggerModeDescription(parsed);
}

}  // namespace quorvelle
