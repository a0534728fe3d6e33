// SanitizedDiagnosticsEvent: one entry of the local diagnostics log: when, how serious, a dotted
// lower-case code naming the area, and a one-line message, with its stored JSON form.
#pragma once

#include "Models/DiagnosticsEventLevel.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace quorvelle {

struct SanitizedDiagnosticsEvent {
    QUuid id;
    QDateTime timestamp;
    DiagnosticsEventLevel level = DiagnosticsEventLevel::info;
    QString code;
    QString message;

    // A new event with a fresh id.
    static SanitizedDiagnosticsEvent make(const QDateTime& timestamp, DiagnosticsEventLevel level, QString code,
                                          QString message);

    // Keys are the field names; all are written and all are required when reading.
    QJsonObject toJson() const;
    static std::optional<SanitizedDiagnosticsEvent> fromJson(const QJsonValue& json);

    friend bool operator==(const SanitizedDiagnosticsEvent&, const SanitizedDiagnosticsEvent&) = default;
};

}  // namespace quorvelle
