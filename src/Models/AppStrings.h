#pragma once

#include "Models/AppLanguageOption.h"
#include "Models/DesktopThemeOption.h"
#include "Models/MainWindowSection.h"
#include "Models/PermissionState.h"
#include "Models/QuorvelleError.h"
#include "Models/RecordingTriggerMode.h"
#include "Models/SessionBlockReason.h"
#include "Models/SessionState.h"
#include "Models/StartAtLoginStatus.h"
#include "Models/TranscriptHistoryCompletionKind.h"
#include "Models/TranscriptionBackend.h"
#include "Models/TranscriptionLanguageOption.h"

#include <QObject>
#include <QString>
#include <QStringView>

#include <optional>

namespace quorvelle {

// The user-visible texts that depend only on a value of the shared model, in English and Turkish.
// The Turkish text is used only when the language code is exactly "tr"; every other code, "en"
// included, gives English. Cheap to copy: the view model makes a fresh one whenever it is asked.
// A gadget, so that views read `languageCode` by name.
class AppStrings {
    Q_GADGET
    Q_PROPERTY(QString languageCode READ languageCode CONSTANT)

public:
    explicit AppStrings(QString languageCode = QStringLiteral("en"));

    const QString& languageCode() const { return m_languageCode; }
    bool isTurkish() const;
    // The one place the language rule is applied; screens use it for their own inline texts too.
    QString localized(QStringView english, QStringView turkish) const;
    // What a screen reader adds to one of several buttons of the same title to tell them apart:
    // "Download Medium"; in Turkish the subject leads, "Medium: İndir".
    QString buttonDescription(QStringView action, QStringView subject) const;

    // Dictation session and overlay pill. The words of the uploading state follow the mode that
    // transcribes them: on this computer nothing is uploaded, and saying so would mislead.
    QString sessionStatusBadge(const SessionState& state,
                               TranscriptionBackend backend = TranscriptionBackend::cloud) const;
    QString sessionStateTitle(const SessionState& state, const std::optional<QString>& statusMessage,
                              TranscriptionBackend backend = TranscriptionBackend::cloud) const;
    QString blockedTitle(SessionBlockReason reason) const;
    QString completionTitle(const std::optional<QString>& statusMessage) const;
    QString failureTitle(const QuorvelleError& error) const;
    QString sessionDetail(const SessionState& state, const std::optional<QString>& message,
                          const std::optional<QString>& lastCaptureSummary, RecordingTriggerMode mode,
                          TranscriptionBackend backend = TranscriptionBackend::cloud) const;
    QString blockedDetail(SessionBlockReason reason) const;
    QString errorMessage(const QuorvelleError& error) const;

    // Labels of stored and system states.
    QString historyCompletionKindLabel(TranscriptHistoryCompletionKind kind) const;
    QString permissionStateLabel(PermissionState state) const;
    QString startAtLoginStatusLabel(StartAtLoginStatus status) const;
    QString recordingTriggerModeDescription(RecordingTriggerMode mode) const;

    // Choices offered to the user.
    QString desktopThemeTitle(DesktopThemeOption theme) const;
    QString appLanguageOptionTitle(AppLanguageOption option) const;
    QString appLanguageOptionDescription(AppLanguageOption option) const;
    QString transcriptionLanguageTitle(const TranscriptionLanguageOption& option) const;

    // Transcript history: a change the disk refused, with the system's reason.
    QString historySaveFailed(const QString& reason) const;

    // Dashboard sections; several subtitles embed the product name, which the caller passes.
    QString sectionTitle(MainWindowSection section) const;
    QString sectionSubtitle(MainWindowSection section, QStringView productName) const;

    // Stored settings: a change the settings file could not take, as it would pass its size limit.
    QString settingsChangeNotSaved() const;

    // Start: no single-instance lock could be made in the named folders, so a second copy started
    // now would not be turned away.
    QString singleInstanceUnguarded(const QString& folders) const;

    friend bool operator==(const AppStrings&, const AppStrings&) = default;

private:
    QString m_languageCode;
};

}  // namespace quorvelle
