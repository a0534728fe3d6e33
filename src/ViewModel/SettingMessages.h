#pragma once

#include "Models/AppLanguageOption.h"
#include "Models/AppStrings.h"
#include "Models/DesktopThemeOption.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/StartAtLoginStatus.h"
#include "Models/TranscriptionLanguageOption.h"
#include "Models/TranscriptionPostProcessingMode.h"
#include "Models/WidgetAppearance.h"
#include "Services/System/StartAtLoginControlling.h"

#include <QLocale>
#include <QString>

// The status lines of the setting operations. Each builder compares the requested value with the
// current one and says whether it is a change.
namespace quorvelle::SettingMessages {

struct Result {
    QString text;
    bool changed = false;
};

Result widgetAppearanceMessage(WidgetAppearance requested, WidgetAppearance current, const AppStrings& strings);
Result desktopThemeMessage(DesktopThemeOption requested, DesktopThemeOption current, const AppStrings& strings);
// In the language the requested option resolves to, whether or not it changes.
Result appLanguageMessage(AppLanguageOption requested, AppLanguageOption current, const QLocale& locale = QLocale());
Result cleanupModeMessage(TranscriptionPostProcessingMode requested, TranscriptionPostProcessingMode current,
                          const AppStrings& strings);
Result recordingModeMessage(RecordingTriggerMode requested, RecordingTriggerMode current, const AppStrings& strings);
// Options with the same code but another name count as a change.
Result transcriptionLanguageMessage(const TranscriptionLanguageOption& requested,
                                    const TranscriptionLanguageOption& current, const AppStrings& strings);
Result autoReplaceToggleMessage(bool requested, bool current, const AppStrings& strings);
Result clipboardFallbackToggleMessage(bool requested, bool current, const AppStrings& strings);
Result dictionaryReplacementToggleMessage(bool requested, bool current, const AppStrings& strings);

// After instructions were stored: saved, or cleared when the text is empty.
QString instructionsSavedMessage(const QString& text, const AppStrings& strings);
// When the instructions did not change: already current, or already empty.
QString instructionsClearedMessage(const QString& text, const AppStrings& strings);

QString startAtLoginMessage(StartAtLoginStatus status, const QString& languageCode);
QString startAtLoginFailureMessage(StartAtLoginError::Case error, const QString& languageCode);

}  // namespace quorvelle::SettingMessages
