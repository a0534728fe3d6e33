#include "FakeBackendServer.h"
#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Models/QuorvelleError.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/ApplicationSupportLocalModelManager.h"
#include "Services/Transcription/LocalModelManagerError.h"
#include "Support/CancellationError.h"
#include "Support/JsonCoding.h"
#include "Support/TestEventLoop.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <stop_token>

namespace quorvelle {
namespace {

using Model = LocalTranscriptionModelID;
using Records = QMap<LocalTranscriptionModelID, LocalModelInstallationRecord>;
using test::FakeBackendServer;
using test::FakeResponse;

class FixedRuntime final : public LocalRuntimeInspecting {
public:
    LocalRuntimeAvailability availability() const override {
        return LocalRuntimeAvailability::unavailable(QStringLiteral("local runtime bundle eksik"));
    }
};

QString hex(const QByteArray& bytes, QCryptographicHash::Algorithm algorithm) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, algorithm).toHex());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

LocalModelInstallationRecord record(Model model, qint64 size, std::optional<QString> sha1 = std::nullopt) {
    return {model, QString(64, QLatin1Char('a')), json::dateFromSecondsSinceReferenceDate(1000), size, sha1};
}

class LocalModelManagerTest : public ::testing::Test {
protected:
    QTemporaryDir directory;
    QString base = directory.filePath(QStringLiteral("LocalModels"));
    FakeBackendServer server;
    QNetworkAccessManager network;
    // The bodies the fake host serves, and the checksums the catalogue expects of them.
    QMap<Model, QByteArray> expectedBodies;
    QDateTime now = json::dateFromSecondsSinceReferenceDate(800'000'000);

    LocalTranscriptionModelDescriptor descriptor(Model model) const {
        LocalTranscriptionModelDescriptor row = localModelDescriptor(model, {server.url(QStringLiteral("/owner"))});
        row.expectedSHA1 = hex(expectedBodies.value(model, QByteArray("model bytes")), QCryptographicHash::Sha1);
        return row;
    }

    std::unique_ptr<ApplicationSupportLocalModelManager> makeManager() {
        return std::make_unique<ApplicationSupportLocalModelManager>(
            &network, std::make_shared<FixedRuntime>(), [this](Model model) { return descriptor(model); }, base,
            [this] { return now; });
    }

    QString modelPath(Model model) const {
        return QDir(base).filePath(QStringLiteral("Models/") + descriptor(model).filename);
    }
    QString downloadPath(Model model) const { return "/owner/whisper.cpp/resolve/main/" + descriptor(model).filename; }

    void serve(Model model, const QByteArray& body, bool matchesCatalogue = true) {
        expectedBodies.insert(model, matchesCatalogue ? body : QByteArray("something else"));
        server.respond("GET", downloadPath(model), FakeResponse::raw(200, body));
    }

    void writeRegistry(const QList<LocalModelInstallationRecord>& records) {
        QJsonArray array;
        for (const auto& r : records)
            array.append(r.toJson());
        QDir().mkpath(base);
        writeFile(QDir(base).filePath(QStringLiteral("local-models.json")), QJsonDocument(array).toJson());
    }

    QByteArray registryBytes() const { return readFile(QDir(base).filePath(QStringLiteral("local-models.json"))); }

    template <typename Error>
    std::optional<Error> downloadFailing(ApplicationSupportLocalModelManager& manager, Model model,
                                         LocalModelManaging::DownloadProgress progress = {},
                                         std::stop_token stop = {}) {
        return test::failureOf<Error>(manager.download(model, std::move(progress), stop));
    }
};

TEST_F(LocalModelManagerTest, StartMakesTheFoldersAndKeepsOnlyRecordsWhoseFilesExistWrittenSorted) {
    const QString models = makeManager()->modelsDirectoryPath();
    EXPECT_TRUE(QFileInfo(models).isDir());
    EXPECT_EQ(QJsonDocument::fromJson(registryBytes()).array(), QJsonArray());

    writeRegistry({record(Model::tinyMultilingual, 3, QString(40, QLatin1Char('b'))), record(Model::largeV3, 9),
                   record(Model::baseMultilingual, 5)});
    writeFile(modelPath(Model::tinyMultilingual), "abc");
    writeFile(modelPath(Model::baseMultilingual), "abcde");
    writeFile(modelPath(Model::mediumMultilingual), "a file without a record");

    const auto manager = makeManager();
    const Records records = manager->loadRecords();
    EXPECT_EQ(records.keys(), (QList<Model>{Model::tinyMultilingual, Model::baseMultilingual}));
    EXPECT_EQ(records.value(Model::tinyMultilingual),
              record(Model::tinyMultilingual, 3, QString(40, QLatin1Char('b'))));
    EXPECT_TRUE(QFile::exists(modelPath(Model::mediumMultilingual)));  // extra files are left alone

    // Written sorted by model, without a verifiedSHA1 key when there is none.
    const QJsonArray written = QJsonDocument::fromJson(registryBytes()).array();
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(written[0].toObject().value(QStringLiteral("modelID")).toString(), QStringLiteral("baseMultilingual"));
    EXPECT_FALSE(written[0].toObject().contains(QStringLiteral("verifiedSHA1")));
    EXPECT_TRUE(registryBytes().contains("    {\n        \"checksumSHA256\""));
}

TEST_F(LocalModelManagerTest, UnreadableRegistriesReadAsEmptyAndDuplicatesKeepTheLastRecord) {
    const auto manager = makeManager();
    for (const QByteArray& content : {QByteArray("not json"), QByteArray("{\"modelID\": \"largeV3\"}"),
                                      QByteArray("[{\"modelID\": \"largeV3\"}]")}) {
        writeFile(manager->registryFilePath(), content);
        EXPECT_TRUE(manager->loadRecords().isEmpty()) << content.constData();
    }
    writeRegistry({record(Model::largeV3, 1), record(Model::largeV3, 2)});
    EXPECT_EQ(manager->loadRecords().value(Model::largeV3).fileSizeBytes, 2);
}

TEST_F(LocalModelManagerTest, DownloadStreamsVerifiesInstallsAndRecords) {
    const auto manager = makeManager();
    const QByteArray body = QByteArray("ggml").repeated(50'000);
    // The model host sends the file from elsewhere, as the public one does.
    expectedBodies.insert(Model::smallMultilingual, body);
    server.respond("GET", downloadPath(Model::smallMultilingual),
                   FakeResponse::raw(302).header("Location", server.url(QStringLiteral("/cdn/small")).toEncoded()));
    server.respond("GET", QStringLiteral("/cdn/small"), FakeResponse::raw(200, body));
    QList<std::pair<qint64, qint64>> progress;
    const LocalModelInstallationRecord installed =
        test::runTask(manager->download(Model::smallMultilingual, [&](qint64 received, qint64 total) {
            progress.append({received, total});
        }));

    EXPECT_EQ(installed, (LocalModelInstallationRecord{Model::smallMultilingual, hex(body, QCryptographicHash::Sha256),
                                                       now, body.size(), hex(body, QCryptographicHash::Sha1)}));
    EXPECT_EQ(readFile(modelPath(Model::smallMultilingual)), body);
    EXPECT_FALSE(QFile::exists(modelPath(Model::smallMultilingual) + ".download"));
    EXPECT_EQ(manager->loadRecords(), (Records{{Model::smallMultilingual, installed}}));
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().first, body.size());
    EXPECT_TRUE(progress.last().second == body.size() || progress.last().second == -1) << progress.last().second;

    // Again: the file and the record are replaced, with the new time.
    const QByteArray newer = QByteArray("ggml v2");
    server.clearScript();
    serve(Model::smallMultilingual, newer);
    now = now.addSecs(60);
    const LocalModelInstallationRecord again = test::runTask(manager->download(Model::smallMultilingual));
    EXPECT_EQ(readFile(modelPath(Model::smallMultilingual)), newer);
    EXPECT_EQ(manager->loadRecords(), (Records{{Model::smallMultilingual, again}}));
}

TEST_F(LocalModelManagerTest, FailedDownloadsLeaveTheInstalledModelTheRegistryAndNoStagingFile) {
    const auto manager = makeManager();
    serve(Model::tinyMultilingual, "installed model");
    const LocalModelInstallationRecord installed = test::runTask(manager->download(Model::tinyMultilingual));
    const QString staging = modelPath(Model::tinyMultilingual) + ".download";

    struct Case {
        const char* name;
        FakeResponse answer;
        bool matchesCatalogue;
        std::function<void()> check;  // runs the download and checks the error
    };
    const auto expectQuorvelleError = [&](QuorvelleErrorCase expected) {
        return [&, expected] {
            EXPECT_EQ(downloadFailing<QuorvelleError>(*manager, Model::tinyMultilingual), QuorvelleError(expected));
        };
    };
    const QList<Case> cases{
        {"404", FakeResponse::raw(404, "missing"), true, expectQuorvelleError(QuorvelleErrorCase::networkUnavailable)},
        {"empty", FakeResponse::raw(200), true, expectQuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure)},
        {"wrong sha1", FakeResponse::raw(200, "tampered model"), false,
         [&] {
             EXPECT_EQ(downloadFailing<LocalModelManagerError>(*manager, Model::tinyMultilingual),
                       LocalModelManagerError::integrityCheckFailed(QStringLiteral("Tiny")));
         }},
        {"dropped", FakeResponse::dropConnection(), true,
         [&] {
             EXPECT_EQ(downloadFailing<WebRequestError>(*manager, Model::tinyMultilingual)->errorCase(),
                       WebRequestError::Case::transportFailure);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(staging, "left from an earlier attempt");
        expectedBodies.insert(Model::tinyMultilingual, c.matchesCatalogue ? c.answer.body : QByteArray("other"));
        server.clearScript();
        server.respond("GET", downloadPath(Model::tinyMultilingual), c.answer);
        c.check();
        EXPECT_FALSE(QFile::exists(staging));
        EXPECT_EQ(readFile(modelPath(Model::tinyMultilingual)), QByteArray("installed model"));
        EXPECT_EQ(manager->loadRecords(), (Records{{Model::tinyMultilingual, installed}}));
    }
}

// A host that gives every request the same raw answer and hangs up.
class HangingUpHost {
public:
    explicit HangingUpHost(QByteArray answer) : m_answer(std::move(answer)) {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            QTcpSocket* socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                socket->readAll();
                socket->write(m_answer);
                socket->disconnectFromHost();
            });
        });
    }
    QUrl ownerURL() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/owner").arg(m_server.serverPort())); }

private:
    QByteArray m_answer;
    QTcpServer m_server;
};

TEST_F(LocalModelManagerTest, ABodyShorterThanItsDeclaredLengthIsAnInterruptedTransfer) {
    const QByteArray part(4096, 'x');
    const QList<QPair<const char*, QByteArray>> answers = {
        {"closed halfway", "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\nConnection: close\r\n\r\n" + part},
        // Complete as far as the chunks go, and matching the catalogue's checksum: only the length tells.
        {"chunks short of the length",
         "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\nTransfer-Encoding: chunked\r\n"
         "Connection: close\r\n\r\n1000\r\n" +
             part + "\r\n0\r\n\r\n"},
    };
    for (const auto& [name, answer] : answers) {
        SCOPED_TRACE(name);
        HangingUpHost host(answer);
        ApplicationSupportLocalModelManager manager(
            &network, std::make_shared<FixedRuntime>(),
            [&](Model model) {
                LocalTranscriptionModelDescriptor row = localModelDescriptor(model, {host.ownerURL()});
                row.expectedSHA1 = hex(part, QCryptographicHash::Sha1);
                return row;
            },
            base);
        const QString staging = modelPath(Model::baseMultilingual) + ".download";
        bool sawStagingFile = false;
        const auto interrupted = downloadFailing<WebRequestError>(
            manager, Model::baseMultilingual,
            [&](qint64, qint64) { sawStagingFile = sawStagingFile || QFile::exists(staging); });
        EXPECT_TRUE(sawStagingFile);
        ASSERT_TRUE(interrupted);
        EXPECT_EQ(interrupted->networkError(), QNetworkReply::RemoteHostClosedError);
        EXPECT_FALSE(QFile::exists(staging));
        EXPECT_FALSE(QFile::exists(modelPath(Model::baseMultilingual)));
        EXPECT_TRUE(manager.loadRecords().isEmpty());
    }
}

TEST_F(LocalModelManagerTest, AStopRequestCancelsTheTransfer) {
    FakeBackendServer silentHost;
    silentHost.respond("GET", downloadPath(Model::largeV3), FakeResponse::silence());
    std::stop_source stop;
    ApplicationSupportLocalModelManager manager(
        &network, std::make_shared<FixedRuntime>(),
        [&](Model model) { return localModelDescriptor(model, {silentHost.url(QStringLiteral("/owner"))}); }, base);
    QObject::connect(&silentHost, &FakeBackendServer::requestReceived, [&] { stop.request_stop(); });
    EXPECT_TRUE(downloadFailing<CancellationError>(manager, Model::largeV3, {}, stop.get_token()));
    EXPECT_FALSE(QFile::exists(modelPath(Model::largeV3) + ".download"));
}

TEST_F(LocalModelManagerTest, AModelThatCannotBeMovedIntoPlaceIsReportedAndNotRecorded) {
    const auto manager = makeManager();
    // A folder with content in the model's place: rename(2) refuses to replace it.
    QDir().mkpath(modelPath(Model::mediumMultilingual) + "/inside");
    serve(Model::mediumMultilingual, "medium model");
    const auto error = downloadFailing<LocalModelFileError>(*manager, Model::mediumMultilingual);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->errorCase(), LocalModelFileError::Case::moveFailed);
    EXPECT_TRUE(QFileInfo(modelPath(Model::mediumMultilingual) + "/inside").isDir());
    EXPECT_FALSE(QFile::exists(modelPath(Model::mediumMultilingual) + ".download"));
    EXPECT_TRUE(manager->loadRecords().isEmpty());
}

TEST_F(LocalModelManagerTest, DeleteRemovesFileAndRecordAndToleratesWhatIsAlreadyGone) {
    const auto manager = makeManager();
    serve(Model::tinyMultilingual, "tiny");
    serve(Model::baseMultilingual, "base");
    test::runTask(manager->download(Model::tinyMultilingual));
    const auto base = test::runTask(manager->download(Model::baseMultilingual));

    manager->deleteModel(Model::tinyMultilingual);
    EXPECT_FALSE(QFile::exists(modelPath(Model::tinyMultilingual)));
    EXPECT_EQ(manager->loadRecords(), (Records{{Model::baseMultilingual, base}}));

    QFile::remove(modelPath(Model::baseMultilingual));  // removed by hand
    manager->deleteModel(Model::baseMultilingual);
    manager->deleteModel(Model::largeV3);  // never installed
    EXPECT_TRUE(manager->loadRecords().isEmpty());

    // A file that cannot be removed keeps its record.
    writeRegistry({record(Model::smallMultilingual, 1)});
    QDir().mkpath(modelPath(Model::smallMultilingual) + "/inside");
    try {
        manager->deleteModel(Model::smallMultilingual);
        ADD_FAILURE() << "expected removeFailed";
    } catch (const LocalModelFileError& error) {
        EXPECT_EQ(error.errorCase(), LocalModelFileError::Case::removeFailed);
    }
    EXPECT_EQ(manager->loadRecords().keys(), QList<Model>{Model::smallMultilingual});
}

}  // namespace
}  // namespace quorvelle
