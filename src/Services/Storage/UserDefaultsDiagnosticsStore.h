#pragma once

#include "Services/Storage/DiagnosticsStoring.h"
#include "Services/Storage/UserDefaults.h"

#include <QDateTime>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace quorvelle {

// Diagnostics events kept in the user defaults under quorvelle.diagnostics.events: at most
// 100 of them, none older than seven days, trimmed at start-up and on every record. The lifecycle
// mark is one event of the same form under quorvelle.diagnostics.lifecycleMark, never trimmed.
class UserDefaultsDiagnosticsStore final : public DiagnosticsStoring {
public:
    using Clock = std::function<QDateTime()>;

    static constexpr qsizetype maximumEventCount = 100;
    static constexpr qint64 retentionSeconds = 7 * 24 * 60 * 60;

    UserDefaultsDiagnosticsStore(std::shared_ptr<UserDefaults> userDefaults,
                                 Clock now = &QDateTime::currentDateTimeUtc);

    QList<SanitizedDiagnosticsEvent> events() const override;
    void record(const SanitizedDiagnosticsEvent& event) override;
    std::optional<SanitizedDiagnosticsEvent> lifecycleMark() const override;
    void setLifecycleMark(const SanitizedDiagnosticsEvent& mark) override;

    // Drops the events older than the retention period before now, sorts newest first and
    // keeps the first hundred.
    static QList<SanitizedDiagnosticsEvent> prune(QList<SanitizedDiagnosticsEvent> events, const QDateTime& now);

private:
    // Nothing when the stored value does not decode; an empty list when there is none.
    std::optional<QList<SanitizedDiagnosticsEvent>> loadEvents() const;
    void saveEvents(const QList<SanitizedDiagnosticsEvent>& events);

    std::shared_ptr<UserDefaults> m_userDefaults;
    Clock m_now;
    // Held across every read-change-write, so that two recorders never lose each other's event.
    mutable std::mutex m_mutex;
};

}  // namespace quorvelle
