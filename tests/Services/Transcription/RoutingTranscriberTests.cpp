#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Models/QuorvelleError.h"
#include "ScriptedWhisperEngine.h"
#include "Services/Storage/InMemoryUserDefaults.h"
#include "Services/Storage/SettingsKeys.h"
#include "Services/Transcription/ApplicationSupportLocalModelManager.h"
#include "Services/Transcription/EmbeddedWhisperLocalTranscriber.h"
#include "Services/Transcription/LocalTranscriptionRuntimeError.h"
#include "Services/Transcription/RoutingTranscriber.h"
#include "Support/JsonCoding.h"
#include "Support/TestEventLoop.h"
#include "TranscriptionFakes.h"
#include "TranscriptionTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QTemporaryDir>

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
};

class PlainCloud : public Transcribing {
public:
    QList<Call> calls;
    std::optional<QuorvelleError> failure;

    QCoro::Task<QString> transcribe(CapturedAudioClip, std::optional<QString> prompt,
                                    std::optional<QString> languageCode, std::stop_token) override {
        calls.append({prompt, languageCode, {}, {}});
        if (failure) throw *failure;
        co_return QStringLiteral("cloud text");
    }
};

class RecordingLocal final : public LocalTranscribing {
public:
    QList<Call> calls;

    QCoro::Task<QString> transcribe(CapturedAudioClip, Model modelID, std::optional<QString> languageCode,
                                    Mode accelerationMode, std::optional<QString> prompt, std::stop_token) override {
        calls.append({prompt, languageCode, modelID, accelerationMode});
        co_return QStringLiteral("local text");
    }
};

const TranscriptionPromptContext kContext{QStringLiteral("Be brief."),
                                          {QStringLiteral("Kubernetes")},
                                          QStringLiteral("Be brief.\n\nVocabulary hints: Kubernetes."),
                                          false};

class RoutingTest : public ::testing::Test {
protected:
    std::shared_ptr<InMemoryUserDefaults> defaults = std::make_shared<InMemoryUserDefaults>();
    std::shared_ptr<RecordingLocal> local = std::make_shared<RecordingLocal>();

    void store(const char* key, const std::optional<QString>& value) {
        if (value)
            defaults->setString(QString::fromLatin1(key), *value);
        else
            defaults->removeValue(QString::fromLatin1(key));
    }
};

TEST_F(RoutingTest, OnlyTheExactSettingChoosesTheDeviceAndItsAcceleration) {
    auto cloud = std::make_shared<PlainCloud>();
    RoutingTranscriber routing(cloud, local, SettingsStore(defaults));
    struct Case {
        std::optional<QString> backend;
        std::optional<QString> acceleration;
        std::optional<Mode> expected;  // none: the cloud
    };
    const QList<Case> cases{
        {std::nullopt, QStringLiteral("accelerated"), std::nullopt},
        {QStringLiteral("cloud"), std::nullopt, std::nullopt},
        {QStringLiteral("Local"), std::nullopt, std::nullopt},
        {QStringLiteral("local"), std::nullopt, Mode::cpu},
        {QStringLiteral("local"), QStringLiteral("accelerated"), Mode::accelerated},
        {QStringLiteral("local"), QStringLiteral("Accelerated"), Mode::cpu},
    };
    store(SettingsKeys::selectedLocalModelID, QStringLiteral("baseEnglish"));
    for (const Case& c : cases) {
        store(SettingsKeys::selectedTranscriptionBackend, c.backend);
        store(SettingsKeys::selectedLocalWhisperAccelerationMode, c.acceleration);
        const qsizetype cloudCalls = cloud->calls.size();
        const qsizetype localCalls = local->calls.size();
        const QString text =
            test::runTask(routing.transcribe(test::wavClip({1}), QStringLiteral("p"), QStringLiteral("de")));
        SCOPED_TRACE(c.backend.value_or(QStringLiteral("<none>")).toStdString());
        if (!c.expected) {
            EXPECT_EQ(text, QStringLiteral("cloud text"));
            ASSERT_EQ(cloud->calls.size(), cloudCalls + 1);
            EXPECT_EQ(local->calls.size(), localCalls);
            EXPECT_EQ(cloud->calls.last().prompt, QStringLiteral("p"));
            EXPECT_EQ(cloud->calls.last().languageCode, QStringLiteral("de"));
            continue;
        }
        EXPECT_EQ(text, QStringLiteral("local text"));
        ASSERT_EQ(local->calls.size(), localCalls + 1);
        EXPECT_EQ(cloud->calls.size(), cloudCalls);
        EXPECT_EQ(local->calls.last().accelerationMode, c.expected);
        EXPECT_EQ(local->calls.last().modelID, Model::baseMultilingual);  // the store maps the legacy id
        EXPECT_EQ(local->calls.last().prompt, QStringLiteral("p"));
        EXPECT_EQ(local->calls.last().languageCode, QStringLiteral("de"));
    }
}

TEST_F(RoutingTest, TheContextGoesWholeToAContextualCloudAndAsItsPromptElsewhere) {
    auto contextual = std::make_shared<test::FakeTranscriber>();
    auto plain = std::make_shared<PlainCloud>();
    RoutingTranscriber toContextual(contextual, local, SettingsStore(defaults));
    RoutingTranscriber toPlain(plain, local, SettingsStore(defaults));
    const auto run = [&](RoutingTranscriber& routing) {
        return test::runTask(routing.transcribeWithContext(
            test::wavClip({1}), kContext, TranscriptionPostProcessingMode::email, QStringLiteral("tr")));
    };

    EXPECT_EQ(run(toContextual), QStringLiteral("hello world"));
    ASSERT_EQ(contextual->requests.size(), 1);
    EXPECT_EQ(contextual->requests[0].context, kContext);
    EXPECT_EQ(contextual->requests[0].cleanupMode, TranscriptionPostProcessingMode::email);
    EXPECT_EQ(contextual->requests[0].languageCode, QStringLiteral("tr"));

    EXPECT_EQ(run(toPlain), QStringLiteral("cloud text"));
    ASSERT_EQ(plain->calls.size(), 1);
    EXPECT_EQ(plain->calls[0].prompt, kContext.prompt);
    EXPECT_EQ(plain->calls[0].languageCode, QStringLiteral("tr"));

    // The setting is read at every call: the next dictation goes to the device.
    store(SettingsKeys::selectedTranscriptionBackend, QStringLiteral("local"));
    EXPECT_EQ(run(toContextual), QStringLiteral("local text"));
    EXPECT_EQ(contextual->requests.size(), 1);
    EXPECT_EQ(local->calls.last().prompt, kContext.prompt);
    EXPECT_EQ(local->calls.last().languageCode, QStringLiteral("tr"));
}

TEST_F(RoutingTest, CloudErrorsPassThroughUnchanged) {
    auto cloud = std::make_shared<PlainCloud>();
    cloud->failure = QuorvelleError::rateLimitedRetryAfter(30);
    RoutingTranscriber routing(cloud, local, SettingsStore(defaults));
    try {
        test::runTask(routing.transcribeWithContext(test::wavClip({1}), kContext, TranscriptionPostProcessingMode::off,
                                                    std::nullopt));
        ADD_FAILURE() << "expected the cloud's error";
    } catch (const QuorvelleError& error) {
        EXPECT_EQ(error, QuorvelleError::rateLimitedRetryAfter(30));
    }
}

// The on-device path for real: registry, model file, runtime and a scripted engine.
class LocalTranscriberTest : public ::testing::Test {
protected:
    QTemporaryDir directory;
    QNetworkAccessManager network;
    std::shared_ptr<test::ScriptedWhisperEngine> engine = std::make_shared<test::ScriptedWhisperEngine>();
    std::shared_ptr<EmbeddedWhisperRuntime> runtime = std::make_shared<EmbeddedWhisperRuntime>(engine, 4);

    std::shared_ptr<ApplicationSupportLocalModelManager> makeManager(const QList<Model>& recorded) {
        QJsonArray array;
        for (const Model model : recorded)
            array.append(LocalModelInstallationRecord{model, QString(64, QLatin1Char('0')), json::referenceDate(), 1,
                                                      std::nullopt}
                             .toJson());
        QFile registry(directory.filePath(QStringLiteral("local-models.json")));
        registry.open(QIODevice::WriteOnly);
        registry.write(QJsonDocument(array).toJson());
        registry.close();
        return std::make_shared<ApplicationSupportLocalModelManager>(
            &network, runtime, [](Model model) { return localModelDescriptor(model); }, directory.path());
    }

    QString modelFile(Model model) const {
        return directory.filePath(QStringLiteral("Models/") + localModelDescriptor(model).filename);
    }

    void placeModelFile(Model model) {
        QDir().mkpath(directory.filePath(QStringLiteral("Models")));
        QFile file(modelFile(model));
        file.open(QIODevice::WriteOnly);
        file.write("ggml");
    }
};

TEST_F(LocalTranscriberTest, NeedsBothTheRecordAndTheFileBeforeTheRuntimeRuns) {
    placeModelFile(Model::smallMultilingual);
    placeModelFile(Model::baseMultilingual);
    auto manager = makeManager({Model::smallMultilingual, Model::baseMultilingual});
    EmbeddedWhisperLocalTranscriber transcriber(manager, runtime);
    QFile::remove(modelFile(Model::baseMultilingual));  // deleted by hand after the start
    placeModelFile(Model::largeV3);                     // a file without a record

    for (const Model model : {Model::baseMultilingual, Model::largeV3, Model::tinyMultilingual}) {
        try {
            test::runTask(transcriber.transcribe(test::wavClip({1}), model, std::nullopt, Mode::cpu, std::nullopt));
            ADD_FAILURE() << rawValue(model).toStdString();
        } catch (const LocalTranscriptionRuntimeError& error) {
            EXPECT_EQ(error, LocalTranscriptionRuntimeError::modelMissing(localModelDescriptor(model).title));
        }
    }
    EXPECT_TRUE(engine->loads.isEmpty());

    engine->runs.append(test::ScriptedRun{0, {{QStringLiteral(" merhaba  dünya "), 0.1f}}, 1});
    EXPECT_EQ(test::runTask(transcriber.transcribe(test::wavClip({1, 2}), Model::smallMultilingual,
                                                   QStringLiteral("TR"), Mode::accelerated, QStringLiteral("Kısa"))),
              QStringLiteral("merhaba dünya"));
    ASSERT_EQ(engine->loads.size(), 1);
    EXPECT_EQ(engine->loads[0].path, modelFile(Model::smallMultilingual));
    EXPECT_EQ(engine->loads[0].params.useGpu, true);
    EXPECT_EQ(engine->recordedRuns[0].params.language, QByteArray("tr"));
    EXPECT_EQ(engine->recordedRuns[0].params.initialPrompt, QStringLiteral("Kısa").toUtf8());
}

}  // namespace
}  // namespace quorvelle
