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

FocusedTargetSnapshot target(std::optional<QString> bundle, std::optional<QString> role,
                             std::optional<QString> subrole) {
    FocusedTargetSnapshot snapshot;
    snapshot.app.bundleIdentifier = std::move(bundle);
    snapshot.element.role = std::move(role);
    snapshot.element.subrole = std::move(subrole);
    return snapshot;
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
    request.vocabularyHints = {QStringLiteral(" Kubernetes"), QStringLiteral("kubernetes"),
                               QStringLiteral("Kübernetes"), QString(), QStringLiteral("Quorvelle")};
    const QJsonObject full = metadataOf(request);
    EXPECT_EQ(full.value("language"), "tr");
    EXPECT_EQ(full.value("custom_instructions"), QStringLiteral("Kısa yaz."));
    EXPECT_EQ(full.value("vocabulary_hints"), (QJsonArray{"Kubernetes", "Quorvelle"}));
}

TEST(BackendPayloadTests, TheFocusedTargetIsSecureOnlyForTheSecureSubrole) {
    struct Row {
        const char* label;
        std::optional<FocusedTargetSnapshot> snapshot;
        QJsonObject expected;
    };
    const QList<Row> rows = {
        {"secure field",
         target("org.gnome.Terminal", "AXTextField", "AXSecureTextField"),
         {{"app_bundle_id", "org.gnome.Terminal"}, {"role", "AXTextField"}, {"secure", true}}},
        {"secure text as role",
         target(std::nullopt, "AXSecureTextField", "AXSearchField"),
         {{"role", "AXSecureTextField"}, {"secure", false}}},
        {"no subrole",
         target("kate", "AXTextArea", std::nullopt),
         {{"app_bundle_id", "kate"}, {"role", "AXTextArea"}, {"secure", false}}},
        {"no snapshot", std::nullopt, {{"secure", false}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        BackendTranscriptionRequest request;
        request.focusedTarget = row.snapshot;
        EXPECT_EQ(metadataOf(request).value("focused_target").toObject(), row.expected);
    }
}

TEST(BackendPayloadTests, TheAudioPartIsNamedAndTypedByTheLowerCasedExtension) {
    struct Row {
        QString extension;
        QByteArray fileName;
        QByteArray contentType;
    };
    for (const Row& row : QList<Row>{{"WAV", "recording.wav", "audio/wav"},
                                     {"M4a", "recording.m4a", "audio/mp4"},
                                     {"", "recording.", "application/octet-stream"}}) {
        SCOPED_TRACE(row.extension.toStdString());
        BackendTranscriptionRequest request;
        request.clip.fileExtension = row.extension;
        const QByteArray body = makeTranscriptionBody(request, QStringLiteral("B"));
        EXPECT_TRUE(
            body.contains("; filename=\"" + row.fileName + "\"\r\nContent-Type: " + row.contentType + "\r\n\r\n"));
    }
}

TEST(BackendPayloadTests, NestedAndMapFieldsKeepTheirTypeRules) {
    const auto problem =
        ProblemResponsePayload::fromJson(QJsonObject{{"title", "t"}, {"error", QJsonObject{{"code", "X"}}}});
    EXPECT_EQ(problem.problemCode(), "X");
    EXPECT_THROW(ProblemResponsePayload::fromJson(QJsonObject{{"title", "t"}, {"error", "X"}}), WireDecodingError);

    const auto config =
        ClientConfigPayload::fromJson(QJsonObject{{"cache_ttl_seconds", 30},
                                                  {"flags", QJsonObject{{"mac_error_reporting", true}, {"b", false}}},
                                                  {"fallback", true}});
    EXPECT_EQ(config.flags.value("mac_error_reporting"), true);
    EXPECT_THROW(ClientConfigPayload::fromJson(
                     QJsonObject{{"cache_ttl_seconds", 30.5}, {"flags", QJsonObject{}}, {"fallback", true}}),
                 WireDecodingError);
    EXPECT_THROW(ClientConfigPayload::fromJson(
                     QJsonObject{{"cache_ttl_seconds", 30}, {"flags", QJsonObject{{"a", "yes"}}}, {"fallback", true}}),
                 WireDecodingError);
    EXPECT_THROW(StatusResponsePayload::fromJson(QJsonArray{"consumed"}), WireDecodingError);
}

}  // namespace
}  // namespace quorvelle
