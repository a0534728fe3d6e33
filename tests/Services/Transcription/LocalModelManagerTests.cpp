#include "FakeBackendServer.h"
#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Models/QuorvelleError.h"
#include "Platform/Linux/TcpConnectionReading.h"
#include "RawAnswerServer.h"
#include "ScriptedWhisperEngine.h"
#include "Services/Backend/WebRequestError.h"
#include "Services/Transcription/ApplicationSupportLocalModelManager.h"
#include "Services/Transcription/EmbeddedWhisperLocalTranscriber.h"
#include "Services/Transcription/LocalModelManagerError.h"
#include "Services/Transcription/LocalTranscriptionRuntimeError.h"
#include "Services/Transcription/ModelFileDownload.h"
#include "Support/CancellationError.h"
#include "Support/JsonCoding.h"
#include "Support/TestEventLoop.h"
#include "TranscriptionTestSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

namespace quorvelle {
namespace {

using Model = LocalTranscriptionModelID;
using Records = QMap<LocalTranscriptionModelID, LocalModelInstallationRecord>;
using Download = QCoro::Task<LocalModelInstallationRecord>;
using Mode = LocalWhisperAccelerationMode;
using test::FakeResponse;

QString hex(const QByteArray& bytes, QCryptographicHash::Algorithm algorithm = QCryptographicHash::Sha1) {
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
    return {model, QString(64, 'a'), json::dateFromSecondsSinceReferenceDate(1000), size, sha1};
}

class LocalModelManagerTest : public ::testing::Test {
protected:
    QTemporaryDir directory;
    QString base = directory.filePath(QStringLiteral("LocalModels"));
    test::FakeBackendServer server;
    QNetworkAccessManager network;
    QUrl owner = server.url(QStringLiteral("/owner"));
    QMap<Model, QByteArray> expectedBodies;
    QDateTime now = json::dateFromSecondsSinceReferenceDate(800'000'000);
    std::shared_ptr<test::ScriptedWhisperEngine> engine = std::make_shared<test::ScriptedWhisperEngine>();
    std::shared_ptr<EmbeddedWhisperRuntime> runtime = std::make_shared<EmbeddedWhisperRuntime>(engine, 4);

    LocalTranscriptionModelDescriptor descriptor(Model model) const {
        LocalTranscriptionModelDescriptor row = localModelDescriptor(model, {owner});
        row.expectedSHA1 = hex(expectedBodies.value(model, QByteArray("model bytes")));
        return row;
    }
    std::unique_ptr<ApplicationSupportLocalModelManager> makeManager() {
        return std::make_unique<ApplicationSupportLocalModelManager>(
            &network, runtime, [this](Model model) { return descriptor(model); }, base, [this] { return now; });
    }
    QString modelPath(Model model) const {
        return QDir(base).filePath(QStringLiteral("Models/") + descriptor(model).filename);
    }
    QString downloadPath(Model model) const { return "/owner/whisper.cpp/resolve/main/" + descriptor(model).filename; }

    void serve(Model model, const QByteArray& body) {
        expectedBodies.insert(model, body);
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
};

TEST_F(LocalModelManagerTest, StartKeepsRecordsWhoseFilesExistWrittenSortedAndUnreadableRegistriesReadAsEmpty) {
    EXPECT_TRUE(QFileInfo(makeManager()->modelsDirectoryPath()).isDir());
    EXPECT_EQ(QJsonDocument::fromJson(registryBytes()).array(), QJsonArray());

    const auto tiny = record(Model::tinyMultilingual, 3, QString(40, 'b'));
    writeRegistry({tiny, record(Model::largeV3, 9), record(Model::baseMultilingual, 5)});
    writeFile(modelPath(Model::tinyMultilingual), "abc");
    writeFile(modelPath(Model::baseMultilingual), "abcde");
    writeFile(modelPath(Model::mediumMultilingual), "a file without a record");
    const Records records = makeManager()->loadRecords();
    EXPECT_EQ(records.keys(), (QList<Model>{Model::tinyMultilingual, Model::baseMultilingual}));
    EXPECT_EQ(records.value(Model::tinyMultilingual), tiny);
    EXPECT_TRUE(QFile::exists(modelPath(Model::mediumMultilingual)));  // extra files are left alone

    // Written sorted by model: the first, baseMultilingual, without a verifiedSHA1 key as it has none.
    EXPECT_FALSE(QJsonDocument::fromJson(registryBytes()).array().at(0).toObject().contains("verifiedSHA1"));

    const auto manager = makeManager();
    for (const QByteArray& content : {QByteArray("not json"), QByteArray("{\"modelID\": \"largeV3\"}"),
                                      QByteArray("[{\"modelID\": \"largeV3\"}]")}) {
        writeFile(manager->registryFilePath(), content);
        EXPECT_TRUE(manager->loadRecords().isEmpty()) << content.constData();
    }
    writeRegistry({record(Model::largeV3, 1), record(Model::largeV3, 2)});
    EXPECT_EQ(manager->loadRecords().value(Model::largeV3).fileSizeBytes, 2);

    // Damaged at a start, the registry is kept aside and rebuilt from the files that pass the checksum.
    writeFile(manager->registryFilePath(), "not json");
    writeFile(modelPath(Model::smallMultilingual), "model bytes");
    writeFile(modelPath(Model::tinyMultilingual), "");
    expectedBodies.insert(Model::tinyMultilingual, "");
    const Records rebuilt = makeManager()->loadRecords();
    EXPECT_EQ(rebuilt.keys(), QList<Model>{Model::smallMultilingual});
    EXPECT_EQ(rebuilt.value(Model::smallMultilingual).verifiedSHA1, hex("model bytes"));
    EXPECT_EQ(QDir(base).entryList(QDir::Files).size(), 2);
}

TEST_F(LocalModelManagerTest, DownloadStreamsVerifiesInstallsAndRecords) {
    const auto manager = makeManager();
    const QByteArray body = QByteArray("ggml").repeated(50'000);
    // The model host sends the file from elsewhere, as the public one does: each address is asked once,
    // and only the last answer's body is the model.
    expectedBodies.insert(Model::smallMultilingual, body);
    server.respond("GET", downloadPath(Model::smallMultilingual),
                   FakeResponse::raw(302, "moved").header("Location", server.url("/cdn/small").toEncoded()));
    server.respond("GET", QStringLiteral("/cdn/small"), FakeResponse::raw(307, "again").header("Location", "small2"));
    server.respond("GET", QStringLiteral("/cdn/small2"), FakeResponse::raw(200, body));
    QList<std::pair<qint64, qint64>> progress;
    const auto installed =
        test::runTask(manager->download(Model::smallMultilingual, [&](qint64 received, qint64 total) {
            progress.append({received, total});
        }));

    EXPECT_EQ(installed, (LocalModelInstallationRecord{Model::smallMultilingual, hex(body, QCryptographicHash::Sha256),
                                                       now, body.size(), hex(body)}));
    EXPECT_EQ(readFile(modelPath(Model::smallMultilingual)), body);
    EXPECT_FALSE(QFile::exists(modelPath(Model::smallMultilingual) + ".download"));
    EXPECT_EQ(manager->loadRecords(), (Records{{Model::smallMultilingual, installed}}));
    EXPECT_EQ(progress.value(progress.size() - 1), std::pair(qint64(body.size()), qint64(body.size())));
    EXPECT_EQ(server.requests().size(), 3);

    server.clearScript();
    serve(Model::smallMultilingual, "ggml v2");
    now = now.addSecs(60);
    const auto again = test::runTask(manager->download(Model::smallMultilingual));
    EXPECT_EQ(readFile(modelPath(Model::smallMultilingual)), "ggml v2");
    EXPECT_EQ(manager->loadRecords(), (Records{{Model::smallMultilingual, again}}));
}

// With the connection reader wired as the app wires it, a body served as fast as the machine goes
// (megabytes between two of Qt's progress reports) is the answer moving, not a head that never ends,
// whether its length is announced or it comes in chunks.
TEST_F(LocalModelManagerTest, AModelServedAtFullSpeedInstallsWithTheConnectionReaderWired) {
    using Framing = test::RawAnswerServer::Framing;
    for (const auto& [framing, size] :
         {std::pair(Framing::contentLength, qint64(200) << 20), std::pair(Framing::chunked, qint64(64) << 20)}) {
        SCOPED_TRACE(int(framing));
        test::RawAnswerServer host(framing, size);
        const QByteArray piece = test::RawAnswerServer::bodyPiece();
        QCryptographicHash sha1(QCryptographicHash::Sha1);
        for (qint64 hashed = 0; hashed < size; hashed += piece.size())
            sha1.addData(piece);
        LocalTranscriptionModelDescriptor row = localModelDescriptor(Model::smallMultilingual, {host.url()});
        row.expectedSHA1 = QString::fromLatin1(sha1.result().toHex());
        ApplicationSupportLocalModelManager manager(
            &network, runtime, [&row](Model) { return row; }, base, [this] { return now; },
            std::make_shared<TcpConnectionReading>());
        const auto installed = test::runTask(manager.download(Model::smallMultilingual));
        EXPECT_EQ(std::tuple(installed.fileSizeBytes, installed.verifiedSHA1), std::tuple(size, row.expectedSHA1));
        EXPECT_EQ(QFileInfo(QDir(base).filePath("Models/" + row.filename)).size(), size);
    }
}

TEST_F(LocalModelManagerTest, FailedOrStoppedDownloadsLeaveTheInstalledModelTheRegistryAndNoStagingFile) {
    const auto manager = makeManager();
    serve(Model::tinyMultilingual, "installed model");
    const auto installed = test::runTask(manager->download(Model::tinyMultilingual));
    const QString staging = modelPath(Model::tinyMultilingual) + ".download";
    const auto failsWith = [](auto expected) {
        return [expected](Download d) { EXPECT_EQ(test::failureOf<decltype(expected)>(std::move(d)), expected); };
    };
    struct Row {
        FakeResponse answer;
        bool matchesCatalogue;
        std::function<void(Download)> check;
    };
    const auto failsOnTheNetwork = [](QNetworkReply::NetworkError expected) {
        return [expected](Download d) {
            EXPECT_EQ(test::failureOf<WebRequestError>(std::move(d)).value().networkError(), expected);
        };
    };
    const auto redirect = [](const QByteArray& location) {
        return FakeResponse::raw(302).header("Location", location);
    };
    const QList<Row> rows{
        {FakeResponse::raw(404, "missing"), true, failsWith(QuorvelleError(QuorvelleErrorCase::networkUnavailable))},
        // A redirect loop ends after ten hops; a redirect off http(s) is refused.
        {redirect(downloadPath(Model::tinyMultilingual).toUtf8()), true,
         [&](Download d) {
             const qsizetype before = server.requests().size();
             failsOnTheNetwork(QNetworkReply::TooManyRedirectsError)(std::move(d));
             EXPECT_EQ(server.requests().size() - before, 11);
         }},
        {redirect("ftp://127.0.0.1/ggml-tiny.bin"), true, failsOnTheNetwork(QNetworkReply::InsecureRedirectError)},
        {FakeResponse::raw(200), true, failsWith(QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure))},
        {FakeResponse::raw(200, "tampered"), false, failsWith(LocalModelManagerError::integrityCheckFailed("Tiny"))},
        {FakeResponse::dropConnection(), true,
         [](Download d) {
             EXPECT_EQ(test::failureOf<WebRequestError>(std::move(d)).value().errorCase(),
                       WebRequestError::Case::transportFailure);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.answer.status);
        writeFile(staging, "left from an earlier attempt");
        expectedBodies.insert(Model::tinyMultilingual, row.matchesCatalogue ? row.answer.body : QByteArray("other"));
        server.clearScript();
        server.respond("GET", downloadPath(Model::tinyMultilingual), row.answer);
        row.check(manager->download(Model::tinyMultilingual));
        EXPECT_FALSE(QFile::exists(staging));
        EXPECT_EQ(readFile(modelPath(Model::tinyMultilingual)), QByteArray("installed model"));
        EXPECT_EQ(manager->loadRecords(), (Records{{Model::tinyMultilingual, installed}}));
    }

    server.respond("GET", "/full", FakeResponse::raw(200, "model bytes"));
    ModelFileDownloadRequest toFullDisk;
    toFullDisk.url = server.url("/full");
    toFullDisk.destinationPath = "/dev/full";
    const auto full = test::failureOf<LocalModelFileError>(downloadModelFile(&network, toFullDisk, {}));
    EXPECT_EQ(full.value().errorCase(), LocalModelFileError::Case::noSpace);

    server.respond("GET", downloadPath(Model::largeV3), FakeResponse::silence());
    std::stop_source stop;
    QObject::connect(&server, &test::FakeBackendServer::requestReceived, [&] { stop.request_stop(); });
    EXPECT_TRUE(test::failureOf<CancellationError>(manager->download(Model::largeV3, {}, stop.get_token())));
    EXPECT_FALSE(QFile::exists(modelPath(Model::largeV3) + ".download"));
}

// The file is written by a thread of its own: a stop or a full disk in the middle of a large
// transfer still ends the transfer at once, that thread with it, and leaves no partial file.
TEST_F(LocalModelManagerTest, AStopOrAFullDiskMidTransferEndsTheTransferItsWriterAndThePartialFile) {
    constexpr qint64 kSize = qint64(256) << 20;
    const auto threads = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Threads:")) return line.mid(8).trimmed().toInt();
        return -1;
    };
    test::RawAnswerServer host(test::RawAnswerServer::Framing::contentLength, kSize);
    LocalTranscriptionModelDescriptor row = localModelDescriptor(Model::largeV3, {host.url()});
    ApplicationSupportLocalModelManager manager(
        &network, runtime, [&row](Model) { return row; }, base, [this] { return now; });
    // Once, so that the network's own threads are there before they are counted.
    serve(Model::tinyMultilingual, "tiny");
    test::runTask(makeManager()->download(Model::tinyMultilingual));
    const int before = threads();

    std::stop_source stop;
    const auto stopped = test::failureOf<CancellationError>(manager.download(
        Model::largeV3,
        [&](qint64 received, qint64) {
            if (received >= qint64(8) << 20) stop.request_stop();
        },
        stop.get_token()));
    EXPECT_TRUE(stopped);
    EXPECT_LT(host.sent(), kSize / 2);
    EXPECT_FALSE(QFile::exists(QDir(base).filePath("Models/" + row.filename + ".download")));
    EXPECT_EQ(threads(), before);

    ModelFileDownloadRequest toFullDisk;
    toFullDisk.url = host.url();
    toFullDisk.destinationPath = QStringLiteral("/dev/full");
    const qint64 sentBefore = host.sent();
    const auto full = test::failureOf<LocalModelFileError>(downloadModelFile(&network, toFullDisk, {}));
    EXPECT_EQ(full.value().errorCase(), LocalModelFileError::Case::noSpace);
    EXPECT_LT(host.sent() - sentBefore, kSize / 2);
    EXPECT_EQ(threads(), before);
}

TEST_F(LocalModelManagerTest, ABodyShorterThanItsDeclaredLengthIsAnInterruptedTransfer) {
    const QByteArray part(4096, 'x');
    expectedBodies.insert(Model::baseMultilingual, part);
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\nConnection: close\r\n";
    for (const QByteArray& answer : {head + "\r\n" + part,
                                     // Complete as far as the chunks go, and matching the catalogue's
                                     // checksum: only the length tells.
                                     head + "Transfer-Encoding: chunked\r\n\r\n1000\r\n" + part + "\r\n0\r\n\r\n"}) {
        // A host that gives every request this raw answer and hangs up.
        QTcpServer host;
        host.listen(QHostAddress::LocalHost);
        QObject::connect(&host, &QTcpServer::newConnection, [&] {
            QTcpSocket* socket = host.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, answer] {
                socket->readAll();
                socket->write(answer);
                socket->disconnectFromHost();
            });
        });
        owner = QUrl(QStringLiteral("http://127.0.0.1:%1/owner").arg(host.serverPort()));
        const auto manager = makeManager();
        const QString staging = modelPath(Model::baseMultilingual) + ".download";
        bool sawStagingFile = false;
        const auto interrupted =
            test::failureOf<WebRequestError>(manager->download(Model::baseMultilingual, [&](qint64, qint64) {
                sawStagingFile = sawStagingFile || QFile::exists(staging);
            }));
        EXPECT_TRUE(sawStagingFile);
        EXPECT_EQ(interrupted.value().networkError(), QNetworkReply::RemoteHostClosedError);
        EXPECT_FALSE(QFile::exists(staging));
        EXPECT_FALSE(QFile::exists(modelPath(Model::baseMultilingual)));
        EXPECT_TRUE(manager->loadRecords().isEmpty());
    }
}

TEST_F(LocalModelManagerTest, DeleteToleratesWhatIsGoneAndAModelThatCannotBeMovedOrRemovedKeepsTheRecords) {
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

    // A folder with content in the model's place: rename(2) refuses to replace it, and it cannot be removed.
    QDir().mkpath(modelPath(Model::smallMultilingual) + "/inside");
    serve(Model::smallMultilingual, "small model");
    EXPECT_EQ(test::failureOf<LocalModelFileError>(manager->download(Model::smallMultilingual)).value().errorCase(),
              LocalModelFileError::Case::moveFailed);
    EXPECT_FALSE(QFile::exists(modelPath(Model::smallMultilingual) + ".download"));
    EXPECT_TRUE(manager->loadRecords().isEmpty());
    writeRegistry({record(Model::smallMultilingual, 1)});
    EXPECT_THROW(manager->deleteModel(Model::smallMultilingual), LocalModelFileError);
    EXPECT_EQ(manager->loadRecords().keys(), QList<Model>{Model::smallMultilingual});
}

// The device's transcriber runs the runtime only on a model with both a record and a file.
TEST_F(LocalModelManagerTest, TheDeviceTranscriberNeedsBothTheRecordAndTheFile) {
    makeManager();  // makes the folders
    for (const Model model : {Model::smallMultilingual, Model::baseMultilingual, Model::largeV3})
        writeFile(modelPath(model), "ggml");
    writeRegistry({record(Model::smallMultilingual, 4), record(Model::baseMultilingual, 4)});  // none for largeV3
    EmbeddedWhisperLocalTranscriber transcriber(makeManager(), runtime);
    QFile::remove(modelPath(Model::baseMultilingual));  // deleted by hand after the start
    for (const Model model : {Model::baseMultilingual, Model::largeV3, Model::tinyMultilingual}) {
        EXPECT_EQ(test::failureOf<LocalTranscriptionRuntimeError>(
                      transcriber.transcribe(test::wavClip({1}), model, std::nullopt, Mode::cpu, std::nullopt)),
                  LocalTranscriptionRuntimeError::modelMissing(localModelDescriptor(model).title));
    }
    EXPECT_TRUE(engine->loads.isEmpty());

    EXPECT_EQ(test::runTask(transcriber.transcribe(test::wavClip({1, 2}), Model::smallMultilingual, "TR",
                                                   Mode::accelerated, QStringLiteral("Kısa"))),
              QStringLiteral("ok"));
    EXPECT_EQ(engine->loads.value(0).path, modelPath(Model::smallMultilingual));
    EXPECT_TRUE(engine->loads.value(0).params.useGpu);
    EXPECT_EQ(engine->recordedRuns[0].params.language, QByteArray("tr"));
    EXPECT_EQ(engine->recordedRuns[0].params.initialPrompt, QByteArray("Kısa"));
}

}  // namespace
}  // namespace quorvelle
