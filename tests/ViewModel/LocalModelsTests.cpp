#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/LocalModelManagerError.h"
#include "Support/CancellationError.h"
#include "ViewModelTestSupport.h"

namespace quorvelle::test {
namespace {

using M = LocalTranscriptionModelID;
using K = LocalModelInstallState::Kind;

class LocalModels : public ViewModelTest {
protected:
    QList<K> kinds() const {
        QList<K> list;
        for (const LocalModelStatus& status : viewModel->localModels()->localModelStatuses())
            list << status.installState.kind();
        return list;
    }
};

TEST_F(LocalModels, DownloadOutcomesAndTheRows) {
    const auto fails = [](auto error) { return [=](ScriptedOutcome& s) { s.pushFailure(error); }; };
    const std::function<void(ScriptedOutcome&)> succeeds = &ScriptedOutcome::pushSuccess;
    const QString unverified = "L3 model could not be verified. Download it again.";
    const struct {
        M model;
        std::function<void(ScriptedOutcome&)> script;
        QString message, failure, backend;  // the row's failure text; the stored backend afterwards
    } rows[] = {
        {M::baseMultilingual, succeeds, "Base model downloaded.", "", "-"},
        {M::smallMultilingual, succeeds, "Small model downloaded.", "", "local"},
        {M::largeV3, fails(LocalModelManagerError::integrityCheckFailed("L3")), unverified, unverified, "-"},
        {M::largeV3, fails(std::runtime_error("disk full")), "Large v3 could not be downloaded.",
         "Download could not be completed", "-"},
        // The row and the banner say why, and what to do next.
        {M::largeV3, fails(WebRequestError::transportFailure(QNetworkReply::HostNotFoundError, "")),
         "Large v3 could not be downloaded. The network or the model host is unreachable. Check your internet "
         "connection and try again.",
         "Download could not be completed: the network or the model host is unreachable. Check your internet "
         "connection and try again.",
         "-"},
        {M::largeV3, fails(LocalModelFileError(LocalModelFileError::Case::noSpace, "/m", "No space left on device")),
         "Large v3 could not be downloaded. There is not enough disk space. Free up some space and try again.",
         "Download could not be completed: there is not enough disk space. Free up some space and try again.", "-"},
    };
    for (const auto& row : rows) {
        fakes.userDefaults->removeValue(SettingsKeys::selectedTranscriptionBackend);
        fakes.localModels->records.clear();
        row.script(fakes.localModels->downloadOutcome);
        make().localModels()->downloadLocalModel(row.model);
        settle();
        const LocalModelStatus status =
            models().localModelStatuses().at(selectableLocalTranscriptionModelIDs().indexOf(row.model));
        EXPECT_EQ(message(), row.message);
        EXPECT_EQ(status.installState.kind(), row.failure.isEmpty() ? K::installed : K::failed);
        EXPECT_EQ(status.installState.failureMessage().value_or(""), row.failure);
        EXPECT_EQ(fakes.userDefaults->string(SettingsKeys::selectedTranscriptionBackend).value_or("-"), row.backend);
    }

    // In Turkish too; a later download that succeeds clears that model's failure only.
    fakes.localModels->records.clear();
    fakes.localModels->downloadOutcome.pushFailure(WebRequestError::timedOut());
    make("turkish").localModels()->downloadLocalModel(M::largeV3);
    settle();
    EXPECT_EQ(models().localModelStatuses().last().installState.failureMessage(),
              "İndirme tamamlanamadı: indirme ilerlemiyor. İnternet bağlantınızı kontrol edip tekrar deneyin.");
    EXPECT_EQ(message(),
              "Large v3 indirilemedi. İndirme ilerlemiyor. İnternet bağlantınızı kontrol edip tekrar deneyin.");
    fakes.localModels->downloadOutcome.pushFailure(WebRequestError::timedOut());
    models().downloadLocalModel(M::tinyMultilingual);
    settle();
    models().downloadLocalModel(M::tinyMultilingual);
    settle();
    EXPECT_EQ(kinds().first(), K::installed);
    EXPECT_EQ(kinds().last(), K::failed);
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
    models().cancelLocalModelDownload(M::baseMultilingual);
    models().cancelLocalModelDownload(M::tinyMultilingual);
    models().downloadLocalModel(M::baseMultilingual);
    settle();
    EXPECT_EQ(message(), "Tiny download cancelled.");
    EXPECT_EQ(kinds(), QList({K::notInstalled, K::downloading, K::notInstalled, K::notInstalled, K::notInstalled}));
    EXPECT_EQ(models().localModelCopy().statusDetail(),
              "Base is downloading. Finish or cancel it before starting another model.");
    fakes.localModels->held.releaseAll();
    settle();
    EXPECT_EQ(message(), "Base model downloaded.");
}

TEST_F(LocalModels, AnOnDeviceRunReportReplacesOnlyTheDetailsItNamesAndAFailedDeleteKeepsTheRow) {
    fakes.localModels->install(M::tinyMultilingual);
    fakes.localModels->deleteOutcome.pushFailure(std::runtime_error("busy"));
    make();
    Q_EMIT viewModel->session()->localRunReported({LocalTranscriptionDiagnostics{3, 0.4, 7, u"tr"_qs}, u"failed"_qs});
    EXPECT_EQ(models().lastLocalRuntimeError(), QStringLiteral("failed"));
    Q_EMIT viewModel->session()->localRunReported({std::nullopt, std::optional<QString>()});
    EXPECT_EQ(models().lastLocalSegmentCount(), 3);
    EXPECT_EQ(models().lastLocalDetectedLanguage(), QStringLiteral("tr"));
    EXPECT_EQ(models().lastLocalNoSpeechProbability(), 0.4);
    EXPECT_EQ(models().lastLocalRuntimeError(), std::nullopt);
    Q_EMIT viewModel->session()->localRunReported(LocalRunReport::cleared());
    EXPECT_EQ(models().lastLocalSegmentCount(), std::nullopt);

    models().deleteLocalModel(M::tinyMultilingual);
    EXPECT_EQ(message(), "Tiny model could not be deleted.");
    EXPECT_EQ(kinds().first(), K::installed);
    models().deleteLocalModel(M::tinyMultilingual);
    EXPECT_EQ(message(), "Tiny model deleted.");
    EXPECT_EQ(kinds().first(), K::notInstalled);
}

}  // namespace
}  // namespace quorvelle::test
