#pragma once

#include "Models/AppLanguageOption.h"
#include "Models/AppStrings.h"
#include "Models/DiagnosticsEventLevel.h"
#include "Services/Storage/DiagnosticsStoring.h"
#include "Support/TaskScope.h"
#include "ViewModel/ViewModelEnvironment.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace quorvelle {

// What every part of the view model shares: the one-line status message, the interface language,
// the diagnostics log and snapshot refresh, the clocks and waits, and the scope its jobs run in.
// Parts talk to each other only through this object and the root, never by holding each other.
class ViewModelContext : public QObject {
    Q_OBJECT

public:
    ViewModelContext(ViewModelEnvironment environment, std::shared_ptr<DiagnosticsStoring> diagnosticsStore,
                     QObject* parent = nullptr);

    const ViewModelEnvironment& environment() const { return m_environment; }
    QDateTime now() const { return m_environment.nowProvider(); }

    // The status line; every assignment notifies, also of the same text.
    const std::optional<QString>& inlineMessage() const { return m_inlineMessage; }
    void setInlineMessage(std::optional<QString> message);

    // The text tables of the interface language, computed anew at every read from the chosen
    // option and the current locale.
    AppStrings strings() const;
    QString localized(QStringView english, QStringView turkish) const { return strings().localized(english, turkish); }
    // Set by the preferences whenever they assign the language choice.
    void setAppLanguage(AppLanguageOption option);

    // Records one event (new id, time from the clock, credentials in the message redacted) and
    // refreshes the diagnostics snapshot.
    void recordEvent(DiagnosticsEventLevel level, const QString& code, const QString& message);
    // Rebuilds the diagnostics snapshot; the root installs how.
    void refreshDiagnosticsSnapshot();
    void setDiagnosticsRefresher(std::function<void()> refresher) { m_refresher = std::move(refresher); }
    // Re-reads every stored value through the root, for parts whose action changes what others show.
    void reloadSettings() {
        if (m_settingsReloader) m_settingsReloader();
    }
    void setSettingsReloader(std::function<void()> reloader) { m_settingsReloader = std::move(reloader); }

    // Jobs of the view model: stopped when the view model goes, their failures logged as events.
    TaskScope& tasks() { return m_tasks; }

Q_SIGNALS:
    void inlineMessageChanged();
    void stringsChanged();

private:
    void reportTaskFailure(std::exception_ptr failure);

    ViewModelEnvironment m_environment;
    std::shared_ptr<DiagnosticsStoring> m_diagnosticsStore;
    std::optional<QString> m_inlineMessage;
    AppLanguageOption m_appLanguage = AppLanguageOption::system;
    std::function<void()> m_refresher;
    std::function<void()> m_settingsReloader;
    TaskScope m_tasks;
};

}  // namespace quorvelle
