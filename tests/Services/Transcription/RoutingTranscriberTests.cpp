#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/SettingsKeys.h"
#include "Services/Transcription/RoutingTranscriber.h"
#include "Support/TestEventLoop.h"
#include "TranscriptionFakes.h"
#include "TranscriptionTestSupport.h"

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using Model = LocalTranscriptionModelID;
using Mode = LocalWhisperAccelerationMode;

struct Call {
    std::optional<QString> prompt;
    std::optional<QString> languageCode;
    Model modelID;
    Mode accelerationMode;
    bool operator==(const Call&) const = default;
};

class RecordingLocal final : public LocalTranscribing {
public:
    QList<Call> calls;

    QCoro::Task<QString> transcribe(CapturedAudioClip, Model modelID, std::optional<QString> languageCode, Mode mode,
                                    std::optional<QString> prompt, std::stop_token) override {
        calls.append({prompt, languageCode, modelID, mode});
        co_return QStringLiteral("local text");
    }
};

class RoutingTest : public ::testing::Test {
protected:
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    std::shared_ptr<test::FakeTranscriber> cloud = std::make_shared<test::FakeTranscriber>();
    std::shared_ptr<RecordingLocal> local = std::make_shared<RecordingLocal>();
    RoutingTranscriber routing{cloud, local, SettingsStore(defaults)};

    void store(const char* key, const std::optional<QString>& value) {
        value ? defaults->setString(QString::fromLatin1(key), *value) : defaults->removeValue(QString::fromLatin1(key));
    }
};

TEST_F(RoutingTest, OnlyTheExactSettingChoosesTheDeviceAndItsAcceleration) {
    const QList<std::tuple<std::optional<QString>, std::optional<QString>, std::optional<Mode>>> rows{
        // backend, acceleration, the device's mode (none: the cloud)
        {std::nullopt, "accelerated", std::nullopt}, {"cloud", std::nullopt, std::nullopt},
        {"Local", std::nullopt, std::nullopt},       {"local", std::nullopt, Mode::cpu},
        {"local", "accelerated", Mode::accelerated}, {"local", "Accelerated", Mode::cpu},
    };
    store(SettingsKeys::selectedLocalModelID, QStringLiteral("baseEnglish"));  // the store maps the legacy id
    for (const auto& [backend, acceleration, mode] : rows) {
        SCOPED_TRACE(backend.value_or(QStringLiteral("<none>")).toStdString());
        store(SettingsKeys::selectedTranscriptionBackend, backend);
        store(SettingsKeys::selectedLocalWhisperAccelerationMode, acceleration);
        const qsizetype cloudCalls = cloud->requests.size();
        const QString text = test::runTask(routing.transcribe(test::wavClip({1}), QStringLiteral("p"), "de"));
        EXPECT_EQ(text, mode ? "local text" : "hello world");
        EXPECT_EQ(cloud->requests.size(), cloudCalls + (mode ? 0 : 1));
        if (mode)
            EXPECT_EQ(local->calls.last(), (Call{"p", "de", Model::baseMultilingual, *mode}));
        else
            EXPECT_EQ(cloud->requests.last().prompt, QStringLiteral("p"));
    }
    EXPECT_EQ(local->calls.size(), 3);
    EXPECT_EQ(cloud->requests.last().languageCode, QStringLiteral("de"));
}

TEST_F(RoutingTest, TheContextGoesWholeToTheCloudAndAsItsPromptToTheDevice) {
    const TranscriptionPromptContext context{
        "Be brief.", {"Kubernetes"}, "Be brief.\n\nVocabulary hints: Kubernetes.", false};
    const auto run = [&] {
        return test::runTask(
            routing.transcribeWithContext(test::wavClip({1}), context, TranscriptionPostProcessingMode::email, "tr"));
    };
    EXPECT_EQ(run(), QStringLiteral("hello world"));
    ASSERT_EQ(cloud->requests.size(), 1);
    EXPECT_EQ(cloud->requests[0].context, context);
    EXPECT_EQ(cloud->requests[0].cleanupMode, TranscriptionPostProcessingMode::email);
    EXPECT_EQ(cloud->requests[0].languageCode, QStringLiteral("tr"));

    store(SettingsKeys::selectedTranscriptionBackend, QStringLiteral("local"));
    EXPECT_EQ(run(), QStringLiteral("local text"));
    EXPECT_EQ(local->calls.last(), (Call{context.prompt, "tr", Model::smallMultilingual, Mode::cpu}));
}

}  // namespace
}  // namespace quorvelle
