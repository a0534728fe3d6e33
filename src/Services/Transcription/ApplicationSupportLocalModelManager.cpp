#include "Services/Transcription/ApplicationSupportLocalModelManager.h"

#include "Models/QuorvelleError.h"
#include "Services/Storage/DamagedFile.h"
#include "Services/Storage/StoreFile.h"
#include "Services/Transcription/LocalModelManagerError.h"
#include "Services/Transcription/ModelFileDigest.h"
#include "Services/Transcription/ModelFileDownload.h"
#include "Support/AppPaths.h"
#include "Support/PrivateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtDebug>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quorvelle {
namespace {

const QString kRegistryFileName = QStringLiteral("local-models.json");
const QString kModelsFolderName = QStringLiteral("Models");
const QString kStagingSuffix = QStringLiteral(".download");
// A registry lists a handful of models: anything near this is not one.
constexpr qint64 kMaximumRegistrySize = 1 << 20;

void removeQuietly(const QString& path) {
    if (QFileInfo::exists(path)) QFile::remove(path);
}

// rename(2) replaces the destination in one step, so an installed model is never missing, not
// even for a moment, and a failed move leaves it as it was.
void replaceFile(const QString& source, const QString& destination) {
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(destination).constData()) != 0) {
        const QString message = QString::fromLocal8Bit(std::strerror(errno));
        throw LocalModelFileError(LocalModelFileError::Case::moveFailed, destination, message);
    }
}

// The record a model file present on disk earns when its SHA-1 is the catalogue's; nothing otherwise.
std::optional<LocalModelInstallationRecord> recordFromFile(const LocalTranscriptionModelDescriptor& descriptor,
                                                           const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    ModelFileDigest digest;
    QByteArray chunk;
    while (!(chunk = file.read(1 << 20)).isEmpty())
        digest.addData(chunk);
    if (file.error() != QFileDevice::NoError || file.size() == 0) return std::nullopt;
    const QString sha1Text = digest.sha1();
    if (sha1Text != descriptor.expectedSHA1) return std::nullopt;
    return LocalModelInstallationRecord{descriptor.id, digest.sha256(), QFileInfo(path).lastModified().toUTC(),
                                        file.size(), sha1Text};
}

}  // namespace

QString ApplicationSupportLocalModelManager::defaultBaseDirectory() {
    QString support = AppPaths::applicationSupportDirectory();
    if (support.isEmpty()) support = QDir(QDir::tempPath()).filePath(QString::fromLatin1(kApplicationIdentifier));
    return QDir(support).filePath(QStringLiteral("LocalModels"));
}

ApplicationSupportLocalModelManager::ApplicationSupportLocalModelManager(
    QNetworkAccessManager* session, std::shared_ptr<LocalRuntimeInspecting> runtime,
    DescriptorProvider descriptorProvider, std::optional<QString> baseDirectory, Clock now,
    std::shared_ptr<const ConnectionReading> connections)
    : m_session(session),
      m_connections(std::move(connections)),
      m_runtime(std::move(runtime)),
      m_descriptorProvider(std::move(descriptorProvider)),
      m_now(std::move(now)) {
    const QDir base(baseDirectory.value_or(defaultBaseDirectory()));
    m_registryFile = base.filePath(kRegistryFileName);
    m_modelsDirectory = base.filePath(kModelsFolderName);
    ensureDirectory();
    reconcileRecords();
}

LocalRuntimeAvailability ApplicationSupportLocalModelManager::runtimeAvailability() const {
    return m_runtime->availability();
}

QMap<LocalTranscriptionModelID, LocalModelInstallationRecord> ApplicationSupportLocalModelManager::loadRecords() const {
    return readRegistry().value_or(Records());
}

std::optional<ApplicationSupportLocalModelManager::Records> ApplicationSupportLocalModelManager::readRegistry() const {
    Records records;
    const StoreFile file = StoreFile::read(m_registryFile, kMaximumRegistrySize);
    if (file.outcome == StoreFile::Outcome::missing) return records;
    if (file.outcome == StoreFile::Outcome::refused) {
        qWarning("Model registry %s refused: %s", qUtf8Printable(m_registryFile), qUtf8Printable(file.reason));
        return std::nullopt;
    }
    const QJsonDocument document = QJsonDocument::fromJson(file.bytes);
    if (!document.isArray()) return std::nullopt;
    for (const QJsonValue& value : document.array()) {
        const std::optional<LocalModelInstallationRecord> record = LocalModelInstallationRecord::fromJson(value);
        // One bad record makes the whole file unreadable, as a whole-array decode would.
        if (!record) return std::nullopt;
        // A hand-edited file may list a model twice: the later record wins.
        records.insert(record->modelID, *record);
    }
    return records;
}

std::optional<ApplicationSupportLocalModelManager::Records> ApplicationSupportLocalModelManager::recordsForUpdate()
    const {
    if (auto records = readRegistry()) return records;
    // Written over, a damaged registry would make every installed model look uninstalled: keep it
    // aside and rebuild the records from the verified files present.
    const auto asidePath = setAsideDamagedFile(m_registryFile, m_now());
    if (!asidePath) {
        qWarning("Model registry %s did not decode and could not be moved aside", qUtf8Printable(m_registryFile));
        return std::nullopt;
    }
    qWarning("Model registry %s did not decode; kept as %s, rebuilt from the model files",
             qUtf8Printable(m_registryFile), qUtf8Printable(*asidePath));
    Records records;
    for (const LocalTranscriptionModelID modelID : allCases<LocalTranscriptionModelID>()) {
        if (const auto record = recordFromFile(m_descriptorProvider(modelID), modelFilePath(modelID)))
            records.insert(modelID, *record);
    }
    return records;
}

QCoro::Task<LocalModelInstallationRecord> ApplicationSupportLocalModelManager::download(
    LocalTranscriptionModelID modelID, DownloadProgress progress, std::stop_token stopToken) {
    ensureDirectory();
    const LocalTranscriptionModelDescriptor descriptor = m_descriptorProvider(modelID);
    const QString modelPath = modelFilePath(modelID);
    const QString stagingPath = modelPath + kStagingSuffix;

    // The body goes straight into the staging file; a leftover from an earlier attempt is replaced.
    removeQuietly(stagingPath);
    DownloadedFile downloaded;
    try {
        ModelFileDownloadRequest request{descriptor.downloadURL, stagingPath, std::move(progress)};
        request.connections = m_connections;
        // Well past the catalogue's size, the host is sending something else: stop before the disk fills.
        if (descriptor.diskSizeBytes > 0)
            request.maximumSize = descriptor.diskSizeBytes + descriptor.diskSizeBytes / 2 + 64 * 1024 * 1024;
        QCoro::Task<DownloadedFile> transfer = downloadModelFile(m_session, std::move(request), stopToken);
        downloaded = co_await transfer;
        if (downloaded.byteCount == 0) throw QuorvelleError(QuorvelleErrorCase::unexpectedRuntimeFailure);
        if (downloaded.sha1 != descriptor.expectedSHA1)
            throw LocalModelManagerError::integrityCheckFailed(descriptor.title);
        replaceFile(stagingPath, modelPath);
    } catch (...) {
        // Never leave a partial or unverified file where a later step could take it for a model.
        removeQuietly(stagingPath);
        throw;
    }

    const LocalModelInstallationRecord record{modelID, downloaded.sha256, m_now(), downloaded.byteCount,
                                              downloaded.sha1};
    upsertRecord(record);
    co_return record;
}

void ApplicationSupportLocalModelManager::deleteModel(LocalTranscriptionModelID modelID) {
    const QString path = modelFilePath(modelID);
    QFile file(path);
    if (file.exists() && !file.remove())
        throw LocalModelFileError(LocalModelFileError::Case::removeFailed, path, file.errorString());
    auto records = recordsForUpdate();
    if (!records) throw LocalModelFileError(LocalModelFileError::Case::writeFailed, m_registryFile, QString());
    records->remove(modelID);
    if (const auto failure = saveRecords(*records))
        throw LocalModelFileError(LocalModelFileError::Case::writeFailed, m_registryFile, *failure);
}

QString ApplicationSupportLocalModelManager::modelFilePath(LocalTranscriptionModelID modelID) const {
    return QDir(m_modelsDirectory).filePath(m_descriptorProvider(modelID).filename);
}

void ApplicationSupportLocalModelManager::ensureDirectory() const {
    // A failure shows later, when a file cannot be written there.
    PrivateFile::makeFolder(m_modelsDirectory);
}

std::optional<QString> ApplicationSupportLocalModelManager::saveRecords(const Records& records) const {
    QList<LocalModelInstallationRecord> sorted = records.values();
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return rawValue(a.modelID) < rawValue(b.modelID); });
    QJsonArray array;
    for (const LocalModelInstallationRecord& record : sorted)
        array.append(record.toJson());
    // On failure the registry keeps its old content.
    return PrivateFile::write(m_registryFile, QJsonDocument(array).toJson(QJsonDocument::Indented));
}

void ApplicationSupportLocalModelManager::upsertRecord(const LocalModelInstallationRecord& record) const {
    auto records = recordsForUpdate();
    if (!records) throw LocalModelFileError(LocalModelFileError::Case::writeFailed, m_registryFile, QString());
    records->insert(record.modelID, record);
    if (const auto failure = saveRecords(*records))
        throw LocalModelFileError(LocalModelFileError::Case::writeFailed, m_registryFile, *failure);
}

void ApplicationSupportLocalModelManager::reconcileRecords() const {
    auto records = recordsForUpdate();
    if (!records) return;
    records->removeIf([this](const auto& entry) { return !QFileInfo::exists(modelFilePath(entry.key())); });
    if (const auto failure = saveRecords(*records))
        qWarning("Cannot write model registry %s: %s", qUtf8Printable(m_registryFile), qUtf8Printable(*failure));
}

}  // namespace quorvelle
