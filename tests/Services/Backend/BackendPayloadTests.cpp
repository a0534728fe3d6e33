#include "Services/Backend/BackendResponsePayloads.h"
#include "Services/Backend/BackendTranscriptionRequest.h"
#include "Services/Backend/BackendWireCoding.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace quorvelle {
namespace {

QJsonObject metadataOf(const BackendTranscriptionRequest& request) {
    return QJsonDocument::fromJson(makeTranscriptionMetadataJSON(request).toUtf8()).object();
}

TEST(BackendPayloadTests, MetadataHoldsOnlyTheRequiredKeysWhenNothingElseIsGiven) {
    BackendTranscriptionRequest request;
    request.idempotencyKey = QStringLiteral("K");
    request.clip.duration = 2.9999;
    request.prompt = QStringLiteral("  \n\t ");
    request.vocabularyHints = {QStringLiteral(" "), QString()};
    request.cleanupMode = TranscriptionPostProcessingMode::email;
    EXPECT_EQ(metadataOf(request), (QJsonObject{{"idempotency_key", "K"},
                                                {"client_duration_ms", 2999},
                                                {"language", "auto"},
                                                {"cleanup_mode", "email"},
                                                {"focused_target", QJsonObject{{"secure", false}}}}));

    request.languageCode = QStringLiteral("tr");
    request.prompt = QStringLiteral("  Kısa yaz.\n");
    request.vocabularyHints = {" Kubernetes", "kubernetes", "Kübernetes", QString(), "Quorvelle"};
    const QJsonObject full = metadataOf(request);
    EXPECT_EQ(full.value("language"), "tr");
    EXPECT_EQ(full.value("custom_instructions"), QStringLiteral("Kısa yaz."));
    EXPECT_EQ(full.value("vocabulary_hints"), (QJsonArray{"Kubernetes", "Quorvelle"}));
}

TEST(BackendPayloadTests, TheFocusedTargetIsSecureOnlyForTheSecureSubrole) {
    using S = std::optional<QString>;
    struct Row {
        S bundle, role, subrole;
        QJsonObject expected;
    };
    const QList<Row> rows = {
        {"org.gnome.Terminal",
         "AXTextField",
         "AXSecureTextField",
         {{"app_bundle_id", "org.gnome.Terminal"}, {"role", "AXTextField"}, {"secure", true}}},
        {{}, "AXSecureTextField", "AXSearchField", {{"role", "AXSecureTextField"}, {"secure", false}}},
        {"kate", "AXTextArea", {}, {{"app_bundle_id", "kate"}, {"role", "AXTextArea"}, {"secure", false}}},
    };
    for (const Row& row : rows) {
        BackendTranscriptionRequest request;
        request.focusedTarget = FocusedTargetSnapshot{};
        request.focusedTarget->app.bundleIdentifier = row.bundle;
        request.focusedTarget->element.role = row.role;
        request.focusedTarget->element.subrole = row.subrole;
        EXPECT_EQ(metadataOf(request).value("focused_target").toObject(), row.expected);
    }
}

TEST(BackendPayloadTests, NestedAndMapFieldsKeepTheirTypeRules) {
    EXPECT_THROW(ProblemResponsePayload::fromJson(QJsonObject{{"title", "t"}, {"error", "X"}}), WireDecodingError);

    const auto config =
        ClientConfigPayload::fromJson(QJsonObject{{"cache_ttl_seconds", 30},
                                                  {"flags", QJsonObject{{"mac_error_reporting", true}, {"b", false}}},
                                                  {"fallback", true}});
    EXPECT_EQ(config.flags.value("mac_error_reporting"), true);
    for (const QJsonObject& broken : {QJsonObject{{"cache_ttl_seconds", 30.5}, {"flags", QJsonObject{}}},
                                      QJsonObject{{"cache_ttl_seconds", 30}, {"flags", QJsonObject{{"a", "yes"}}}}}) {
        QJsonObject withFallback = broken;
        withFallback.insert("fallback", true);
        EXPECT_THROW(ClientConfigPayload::fromJson(withFallback), WireDecodingError);
    }
    EXPECT_THROW(StatusResponsePayload::fromJson(QJsonArray{"consumed"}), WireDecodingError);
}

}  // namespace
}  // namespace quorvelle
