#include "Models/SanitizedDiagnosticsEvent.h"

#include "Support/JsonCoding.h"

namespace quorvelle {

SanitizedDiagnosticsEvent SanitizedDiagnosticsEvent::make(const QDateTime& timestamp, DiagnosticsEventLevel level,
                                                          QString code, QString message) {
    return SanitizedDiagnosticsEvent{QUuid::createUuid(), timestamp, level, std::move(code), std::move(message)};
}

QJsonObject SanitizedDiagnosticsEvent::toJson() const {
    return QJsonObject{
        {QStringLiteral("id"), json::uuidToText(id)}, {QStringLiteral("timestamp"), json::dateToJson(timestamp)},
        {QStringLiteral("level"), rawValue(level)},   {QStringLiteral("code"), code},
        {QStringLiteral("message"), message},
    };
}

std::optional<SanitizedDiagnosticsEvent> SanitizedDiagnosticsEvent::fromJson(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    const auto id = json::readUuid(object, u"id").value();
    const auto timestamp = json::readDate(object, u"timestamp").value();
    const auto level = json::readEnum<DiagnosticsEventLevel>(object, u"level").value();
    const auto code = json::readString(object, u"code").value();
    const auto message = json::readString(object, u"message").value();
    if (!id || !timestamp || !level || !code || !message) return std::nullopt;
    return SanitizedDiagnosticsEvent{*id, *timestamp, *level, *code, *message};
}

}  // namespace quorvelle
