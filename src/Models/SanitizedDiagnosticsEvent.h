// SanitizedDiagnosticsEvent: one entry of the local diagnostics log: when, how serious, a dotted
// lower-case code naming the area, and a one-line message, with its stored JSON form.
#pragma once

#include "Models/DiagnosticsEventLevel.h"
#include "Support/QmlValues.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

#include <optional>

namespace quorvelle {

struct SanitizedDiagnosticsEvent {
    Q_GADGET
    Q_PROPERTY(QString id READ idName)
    Q_PROPERTY(QDateTime timestamp MEMBER timestamp)
    Q_PROPERTY(QString level READ levelName)
    Q_PROPERTY(QString code MEMBER code)
    Q_PROPERTY(QString message MEMBER message)

public:
    QUuid id;
    QDateTime timestamp;
    DiagnosticsEventLevel level = DiagnosticsEventLevel::info;
    QString code;
    QString message;

    QString idName() const { return idText(id); }
    QString levelName() const { return rawValue(level); }

    // A new event with a fresh id.
    static SanitizedDiagnosticsEvent make(const QDateTime& timestamp, DiagnosticsEventLevel level, QString code,
                                          QString message);

    // Keys are the field names; all are written and all are required when reading.
    QJsonObject toJson() const;
    static std::optional<SanitizedDiagnosticsEvent> fromJson(const QJsonValue& json);

    friend bool operator==(const SanitizedDiagnosticsEvent&, const SanitizedDiagnosticsEvent&) = default;
};

}  // namespace quorvelle
