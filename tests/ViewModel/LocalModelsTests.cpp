#include "Services/Transcription/LocalModelManagerError.h"
#include "Support/CancellationError.h"
#include "ViewModelPartsFixture.h"

namespace quorvelle::test {
namespace {

using M = LocalTranscriptionModelID;
using K = LocalModelInstallState::Kind;

QList<LocalModelStatus> rows(M selected, std::optional<M> installed = std::nullopt) {
    QList<LocalModelStatus> list;
    for (const M id : selectableLocalTranscriptionModelIDs()) {
        list << LocalModelStatus{id, localModelDescriptor(id), {}, id == selected};
        if (installed == id) list.last().installState = LocalModelInstallState::installed({});
    }
    return list;
}

TEST(LocalModelCopy, GuidanceLineTakesTheFirstRuleThatHolds) {
    struct Row {
        std::function<void(LocalModelCopy&)> setUp;
        const char* language;
        QString expected;
    } table[] = {
        {[](auto& c) {
             c.localRuntimeAvailability = LocalRuntimeAvailability::unavailable("No engine.");
             c.activeLocalModelDownloadID = M::tinyMultilingual;
         },
         "tr", "Yerel speech runtime hazır değil. No engine."},
        {[](auto& c) { c.activeLocalModelDownloadID = M::tinyMultilingual; }, "en",
         "Tiny is downloading. Finish or cancel it before starting another model."},
        {[](auto& c) {
             c.lastLocalRuntimeError = "boom";
             c.selectedTranscriptionBackend = TranscriptionBackend::local;
         },
         "en", "Last local error: boom"},
        {[](auto& c) {
             c.lastLocalRuntimeError = "boom";
             c.localModelStatuses = rows(M::mediumMultilingual);
             c.selectedLocalModelID = M::mediumMultilingual;
         },
         "en", "Daha yuksek RAM ve daha uzun yukleme suresi bekleyin."},
        {[](auto& c) {
             c.localModelStatuses = rows(M::largeV3);
             c.selectedLocalModelID = M::largeV3;
         },
         "tr", "Yaklasik 2.9 GiB disk ister. Daha guclu cihazlarda daha rahattir."},
        {[](auto& c) {
             c.localModelStatuses = rows(M::smallMultilingual, M::tinyMultilingual);
             c.selectedLocalWhisperAccelerationMode = LocalWhisperAccelerationMode::accelerated;
         },
         "en", "After setup, local mode works without internet or an API key in GPU / Neural Engine mode."},
        {[](auto& c) { c.localModelStatuses = rows(M::smallMultilingual); }, "tr",
         "Tiny, Base, Small, Medium veya Large v3 modellerinden birini indirip seçin."},
    };
    for (const Row& row : table) {
        LocalModelCopy copy;
        copy.appStrings = AppStrings(row.language);
        row.setUp(copy);
        EXPECT_EQ(copy.statusDetail(), row.expected);
    }
}

class LocalModels : public ViewModelPartsFixture {
protected:
    QList<K> kinds() const {
        QList<K> list;
        for (const LocalModelStatus& status : viewModel->localModels()->localModelStatuses())
            list << status.installState.kind();
        return list;
    }
    QString storedBackend() const {
        return fakes.userDefaults->string(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend))
            .value_or("-");
    }
};

TEST_F(LocalModels, DownloadOutcomesAndTheRows) {
    struct Row {
        M model;
        std::function<void(ScriptedOutcome&)> script;
        QString message;
        QList<K> kinds;
        QString backend;
    } table[] = {
        {M::baseMultilingual,
         &ScriptedOutcome::pushSuccess,
         "Base model downloaded.",
         {K::installed, K::installed, K::notInstalled, K::notInstalled, K::notInstalled},
         "-"},
        {M::smallMultilingual,
         &ScriptedOutcome::pushSuccess,
         "Small model downloaded.",
         {K::installed, K::notInstalled, K::installed, K::notInstalled, K::notInstalled},
         "local"},
        {M::largeV3,
         [](auto& s) { s.pushFailure(LocalModelManagerError::integrityCheckFailed("Large v3 file")); },
         "Large v3 file model could not be verified. Download it again.",
         {K::installed, K::notInstalled, K::notInstalled, K::notInstalled, K::failed},
         "-"},
        {M::largeV3,
         [](auto& s) { s.pushFailure(std::runtime_error("disk full")); },
         "Large v3 could not be downloaded.",
         {K::installed, K::notInstalled, K::notInstalled, K::notInstalled, K::failed},
         "-"},
    };
    for (const Row& row : table) {
        fakes.userDefaults->removeValue(QString::fromLatin1(SettingsKeys::selectedTranscriptionBackend));
        fakes.localModels->records.clear();
        fakes.localModels->install(M::tinyMultilingual);
        row.script(fakes.localModels->downloadOutcome);
        make();
        fakes.localModels->held.setHolding(true);
        models().downloadLocalModel(row.model);
        EXPECT_EQ(models()
                      .localModelStatuses()
                      .at(selectableLocalTranscriptionModelIDs().indexOf(row.model))
                      .installState.kind(),
                  K::downloading);
        fakes.localModels->held.releaseAll();
        settle();
        EXPECT_EQ(message(), row.message);
        EXPECT_EQ(kinds(), row.kinds) << row.message.toStdString();
        EXPECT_EQ(storedBackend(), row.backend) << row.message.toStdString();
        EXPECT_EQ(models().localModelStatuses().at(2).isSelected, true);
    }
    EXPECT_EQ(models().localModelStatuses().at(4).installState.failureMessage(),
              QStringLiteral("Download could not be completed"));
}

// Reports a stopped transfer as an ordinary failure, as a network layer may.
class PlainErrorOnStop final : public LocalModelManaging {
public:
    std::shared_ptr<FakeLocalModelManager> inner;
    LocalRuntimeAvailability runtimeAvailability() const override { return inner->runtimeAvailability(); }
    QMap<M, LocalModelInstallationRecord> loadRecords() const override { return inner->loadRecords(); }
    QCoro::Task<LocalModelInstallationRecord> download(M id, DownloadProgress, std::stop_token stop) override {
        try {
            co_return co_await inner->download(id, {}, stop);
        } catch (const CancellationError&) {
        }
        throw std::runtime_error("Operation canceled");
    }
    void deleteModel(M id) override { inner->deleteModel(id); }
    QString modelsDirectoryPath() const override { return inner->modelsDirectoryPath(); }
};

TEST_F(LocalModels, CancelledDownloadIsNoFailureAndLeavesANewerDownloadAlone) {
    auto manager = std::make_shared<PlainErrorOnStop>();
    manager->inner = fakes.localModels;
    AppBootstrap services = fakes.bootstrap();
    services.localModelManager = manager;
    make(services);
    fakes.localModels->held.setHolding(true);
    models().downloadLocalModel(M::tinyMultilingual);
    models().downloadLocalModel(M::baseMultilingual);
    EXPECT_EQ(message(), QStringLiteral("Tiny is downloading. Finish or cancel it before starting a new download."));
    models().cancelLocalModelDownload(M::baseMultilingual);
    models().cancelLocalModelDownload(M::tinyMultilingual);
    models().downloadLocalModel(M::baseMultilingual);
    settle();
    EXPECT_EQ(message(), QStringLiteral("Tiny download cancelled."));
    EXPECT_EQ(kinds(), QList({K::notInstalled, K::downloading, K::notInstalled, K::notInstalled, K::notInstalled}));
    models().downloadLocalModel(M::tinyMultilingual);
    EXPECT_EQ(message(), QStringLiteral("Base is downloading. Finish or cancel it before starting a new download."));
    fakes.localModels->held.releaseAll();
    settle();
    EXPECT_EQ(message(), QStringLiteral("Base model downloaded."));
}

TEST_F(LocalModels, SettingsActionsAndTheirMessages) {
    make();
    struct Row {
        std::function<void()> action;
        QString message;
        QString backend;
    } table[] = {
        {[&] { models().selectTranscriptionBackend(TranscriptionBackend::cloud); },
         "Transcription mode is already active.", "-"},
        {[&] { models().selectTranscriptionBackend(TranscriptionBackend::local); },
         "Download a model before using Local mode.", "-"},
        {[&] {
             fakes.localModels->install(M::tinyMultilingual);
             models().refreshLocalModelStatuses();
             models().selectTranscriptionBackend(TranscriptionBackend::local);
         },
         "Embedded runtime is not ready for Local mode.", "-"},
        {[&] { models().selectLocalModel(M::tinyMultilingual); }, "Local model selection updated: Tiny.", "-"},
        {[&] { models().selectTranscriptionBackend(TranscriptionBackend::local); },
         "Transcription mode updated to Local.", "local"},
        {[&] { models().setLocalWhisperAccelerationMode(LocalWhisperAccelerationMode::accelerated); },
         "Local runtime mode updated: GPU / Neural Engine.", "local"},
        {[&] { models().deleteLocalModel(M::tinyMultilingual); }, "Tiny model deleted.", "local"},
        {[&] {
             fakes.localModels->deleteOutcome.pushFailure(std::runtime_error("busy"));
             models().deleteLocalModel(M::tinyMultilingual);
         },
         "Tiny model could not be deleted.", "local"},
        {[&] { models().selectLocalModel(M::baseMultilingual); },
         "Local model selected. Download it before activating.", "local"},
        {[&] { models().selectTranscriptionBackend(TranscriptionBackend::cloud); },
         "Transcription mode updated to Cloud.", "cloud"},
    };
    for (const Row& row : table) {
        row.action();
        EXPECT_EQ(message(), row.message);
        EXPECT_EQ(storedBackend(), row.backend) << row.message.toStdString();
    }
    EXPECT_EQ(fakes.settingsStore->selectedLocalModelID(), M::baseMultilingual);
    EXPECT_FALSE(models().isLocalModeReady());
}

}  // namespace
}  // namespace quorvelle::test
