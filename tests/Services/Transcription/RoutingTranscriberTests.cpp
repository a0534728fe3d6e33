#include "Models/QuorvelleError.h"
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

// What a transcriber was asked to do.
struct Call {
    std::optional<QString> prompt;
    std::optional<QString> languageCode;
    std::optional<Model> modelID;
    std::optional<Mode> accelerationMode;
    bool operator==(const Call&) const = default;
};

// A plain cloud transcriber or the device's: records each call and answers `text` or throws `failure`.
class Recorder final : public Transcribing, public LocalTranscribing {
public:
    explicit Recorder(QString answer) : text(std::move(answer)) {}
    QString text;
    QList<Call> calls;
    std::optional<QuorvelleError> failure;

    QCoro::Task<QString> transcribe(CapturedAudioClip, std::optional<QString> prompt,
                                    std::optional<QString> languageCode, std::stop_token) override {
        return answer({prompt, languageCode, {}, {}});
    }
    QCoro::Task<QString> transcribe(CapturedAudioClip, Model modelID, std::optional<QString> languageCode, Mode mode,
                                    std::optional<QString> prompt, std::stop_token) override {
        return answer({prompt, languageCode, modelID, mode});
    }

private:
    QCoro::Task<QString> answer(Call call) {
        calls.append(call);
        if (failure) throw *failure;
        co_return QString(text);  // a copy: the task's promise moves from what it is given
    }
};

const TranscriptionPromptContext kContext{QStringLiteral("Be brief."),
                                          {QStringLiteral("Kubernetes")},
                                          QStringLiteral("Be brief.\n\nVocabulary hints: Kubernetes."),
                                          false};

class RoutingTest : public ::testing::Test {
protected:
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    std::shared_ptr<Recorder> cloud = std::make_shared<Recorder>(QStringLiteral("cloud text"));
    std::shared_ptr<Recorder> local = std::make_shared<Recorder>(QStringLiteral("local text"));

    void store(const char* key, const std::optional<QString>& value) {
        if (value)
            defaults->setString(QString::fromLatin1(key), *value);
        else
            defaults->removeValue(QString::fromLatin1(key));
    }
};

TEST_F(RoutingTest, OnlyTheExactSettingChoosesTheDeviceAndItsAcceleration) {
    RoutingTranscriber routing(cloud, local, SettingsStore(defaults));
    const QList<std::tuple<std::optional<QString>, std::optional<QString>, std::optional<Mode>>> rows{
        // backend, acceleration, the device's mode (none: the cloud)
        {std::nullopt, "accelerated", std::nullopt}, {"cloud", std::nullopt, std::nullopt},
        {"Local", std::nullopt, std::nullopt},       {"local", std::nullopt, Mode::cpu},
        {"local", "accelerated", Mode::accelerated}, {"local", "Accelerated", Mode::cpu},
    };
    store(SettingsKeys::selectedLocalModelID, QStringLiteral("baseEnglish"));  // the store maps the legacy id
    qsizetype calls = 0;
    for (const auto& [backend, acceleration, mode] : rows) {
        SCOPED_TRACE(backend.value_or(QStringLiteral("<none>")).toStdString());
        store(SettingsKeys::selectedTranscriptionBackend, backend);
        store(SettingsKeys::selectedLocalWhisperAccelerationMode, acceleration);
        const QString text = test::runTask(routing.transcribe(test::wavClip({1}), QStringLiteral("p"), "de"));
        const Recorder& chosen = mode ? *local : *cloud;
        EXPECT_EQ(text, chosen.text);
        EXPECT_EQ(cloud->calls.size() + local->calls.size(), ++calls);
        EXPECT_EQ(chosen.calls.last(),
                  (Call{"p", "de", mode ? std::optional(Model::baseMultilingual) : std::nullopt, mode}));
    }
}

TEST_F(RoutingTest, TheContextGoesWholeToAContextualCloudAndAsItsPromptElsewhere) {
    auto contextual = std::make_shared<test::FakeTranscriber>();
    RoutingTranscriber toContextual(contextual, local, SettingsStore(defaults));
    RoutingTranscriber toPlain(cloud, local, SettingsStore(defaults));
    const auto run = [&](RoutingTranscriber& routing) {
        return routing.transcribeWithContext(test::wavClip({1}), kContext, TranscriptionPostProcessingMode::email,
                                             QStringLiteral("tr"));
    };

    EXPECT_EQ(test::runTask(run(toContextual)), QStringLiteral("hello world"));
    ASSERT_EQ(contextual->requests.size(), 1);
    EXPECT_EQ(contextual->requests[0].context, kContext);
    EXPECT_EQ(contextual->requests[0].cleanupMode, TranscriptionPostProcessingMode::email);
    EXPECT_EQ(contextual->requests[0].languageCode, QStringLiteral("tr"));

    EXPECT_EQ(test::runTask(run(toPlain)), QStringLiteral("cloud text"));
    EXPECT_EQ(cloud->calls, (QList<Call>{{kContext.prompt, "tr", {}, {}}}));
    cloud->failure = QuorvelleError::rateLimitedRetryAfter(30);  // the cloud's errors pass through unchanged
    EXPECT_EQ(test::failureOf<QuorvelleError>(run(toPlain)), QuorvelleError::rateLimitedRetryAfter(30));

    // The setting is read at every call: the next dictation goes to the device.
    store(SettingsKeys::selectedTranscriptionBackend, QStringLiteral("local"));
    EXPECT_EQ(test::runTask(run(toContextual)), QStringLiteral("local text"));
    EXPECT_EQ(contextual->requests.size(), 1);
    EXPECT_EQ(local->calls.last().prompt, kContext.prompt);
    EXPECT_EQ(local->calls.last().languageCode, QStringLiteral("tr"));
}

}  // namespace
}  // namespace quorvelle
