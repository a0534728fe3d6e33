#include "Services/Storage/UserDefaultsDiagnosticsStore.h"

#include "Services/Storage/JsonList.h"
#include "Services/Storage/SettingsKeys.h"

#include <QJsonDocument>

#include <algorithm>

namespace quorvelle {

UserDefaultsDiagnosticsStore::UserDefaultsDiagnosticsStore(std::shared_ptr<UserDefaults> userDefaults, Clock now)
    : m_userDefaults(std::move(userDefaults)), m_now(std::move(now)) {
    std::lock_guard lock(m_mutex);
    // An undecodable value is left for the next record to replace; a readable one is tidied.
    if (auto stored = loadEvents()) saveEvents(prune(std::move(*stored), m_now()));
}

QList<SanitizedDiagnosticsEvent> UserDefaultsDiagnosticsStore::events() const {
    std::lock_guard lock(m_mutex);
    auto stored = loadEvents();
    if (!stored) return {};
    return prune(std::move(*stored), m_now());
}

void UserDefaultsDiagnosticsStore::record(const SanitizedDiagnosticsEvent& event) {
    std::lock_guard lock(m_mutex);
    QList<SanitizedDiagnosticsEvent> updated = loadEvents().value_or(QList<SanitizedDiagnosticsEvent>{});
    updated.prepend(event);
    saveEvents(prune(std::move(updated), m_now()));
}

std::optional<SanitizedDiagnosticsEvent> UserDefaultsDiagnosticsStore::lifecycleMark() const {
    const auto bytes = m_userDefaults->data(QString::fromLatin1(SettingsKeys::diagnosticsLifecycleMark));
    if (!bytes) return std::nullopt;
    return SanitizedDiagnosticsEvent::fromJson(QJsonDocument::fromJson(*bytes).object());
}

void UserDefaultsDiagnosticsStore::setLifecycleMark(const SanitizedDiagnosticsEvent& mark) {
    m_userDefaults->setData(QString::fromLatin1(SettingsKeys::diagnosticsLifecycleMark),
                            QJsonDocument(mark.toJson()).toJson(QJsonDocument::Compact));
}

QList<SanitizedDiagnosticsEvent> UserDefaultsDiagnosticsStore::prune(QList<SanitizedDiagnosticsEvent> events,
                                                                     const QDateTime& now) {
    const QDateTime cutoff = now.addSecs(-retentionSeconds);
    events.removeIf([&cutoff](const SanitizedDiagnosticsEvent& event) { return event.timestamp < cutoff; });
    std::stable_sort(events.begin(), events.end(),
                     [](const SanitizedDiagnosticsEvent& a, const SanitizedDiagnosticsEvent& b) {
                         return a.timestamp > b.timestamp;
                     });
    if (events.size() > maximumEventCount) events.resize(maximumEventCount);
    return events;
}

std::optional<QList<SanitizedDiagnosticsEvent>> UserDefaultsDiagnosticsStore::loadEvents() const {
    const auto stored = m_userDefaults->value(QString::fromLatin1(SettingsKeys::diagnosticsEvents));
    if (!stored) return QList<SanitizedDiagnosticsEvent>{};
    const auto bytes = stored->dataValue();
    if (!bytes) return std::nullopt;
    return decodeJsonList<SanitizedDiagnosticsEvent>(
        *bytes, [](const QJsonValue& json) { return SanitizedDiagnosticsEvent::fromJson(json); });
}

void UserDefaultsDiagnosticsStore::saveEvents(const QList<SanitizedDiagnosticsEvent>& events) {
    m_userDefaults->setData(QString::fromLatin1(SettingsKeys::diagnosticsEvents), encodeJsonList(events));
}

}  // namespace quorvelle
