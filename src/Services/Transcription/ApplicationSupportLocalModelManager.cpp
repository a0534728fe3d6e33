#include "Services/Transcription/ApplicationSupportLocalModelManager.h"

#include "Models/QuorvelleError.h"
#include "Services/Transcription/LocalModelManagerError.h"
#include "Services/Transcription/ModelFileDownload.h"
#include "Support/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quorvelle {
namespace {

const QString kRegistryFileName = QStringLiteral("local-models.json");
const QString kModelsFolderName = QStringLiteral("Models");
const QString kStagingSuffix = QStringLiteral(".download");

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

}  // namespace

QString ApplicationSupportLocalModelManager::defaultBaseDirectory() {
    QString support = AppPaths::applicationSupportDirectory();
    if (support.isEmpty()) support = QDir(QDir::tempPath()).filePath(QString::fromLatin1(kApplicationIdentifier));
    return QDir(support).filePath(QStringLiteral("LocalModels"));
}

ApplicationSupportLocalModelManager::ApplicationSupportLocalModelManager(
    QNetworkAccessManager* session, std::shared_ptr<LocalRuntimeInspecting> runtime,
    DescriptorProvider descriptorProvider, std::optional<QString> baseDirectory, Clock now)
    : m_session(session),
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
    QMap<LocalTranscriptionModelID, LocalModelInstallationRecord> records;
    QFile file(m_registryFile);
    if (!file.open(QIODevice::ReadOnly)) return records;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isArray()) return records;
    for (const QJsonValue& value : document.array()) {
        const std::optional<LocalModelInstallationRecord> record = LocalModelInstallationRecord::fromJson(value);
        // One bad record makes the whole file unreadable, as a whole-array decode would.
        if (!record) return {};
        // A hand-edited file may list a model twice: the later record wins.
        records.insert(record->modelID, *record);
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
    auto records = loadRecords();
    records.remove(modelID);
    saveRecords(records);
}

QString ApplicationSupportLocalModelManager::modelFilePath(LocalTranscriptionModelID modelID) const {
    return QDir(m_modelsDirectory).filePath(m_descriptorProvider(modelID).filename);
}

void ApplicationSupportLocalModelManager::ensureDirectory() const {
    // A failure shows later, when a file cannot be written there.
    QDir().mkpath(m_modelsDirectory);
}

void ApplicationSupportLocalModelManager::saveRecords(
    const QMap<LocalTranscriptionModelID, LocalModelInstallationRecord>& records) const {
    QList<LocalModelInstallationRecord> sorted = records.values();
    std::sort(sorted.begin(), sorted.end(),
              [](const auto& a, const auto& b) { return rawValue(a.modelID) < rawValue(b.modelID); });
    QJsonArray array;
    for (const LocalModelInstallationRecord& record : sorted)
        array.append(record.toJson());

    // Failures are ignored: the registry keeps its old content and a later write tries again.
    QSaveFile file(m_registryFile);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(QJsonDocument(array).toJson(QJsonDocument::Indented));
    file.commit();
}

void ApplicationSupportLocalModelManager::upsertRecord(const LocalModelInstallationRecord& record) const {
    auto records = loadRecords();
    records.insert(record.modelID, record);
    saveRecords(records);
}

void ApplicationSupportLocalModelManager::reconcileRecords() const {
    auto records = loadRecords();
    records.removeIf([this](const auto& entry) { return !QFileInfo::exists(modelFilePath(entry.key())); });
    saveRecords(records);
}

}  // namespace quorvelle
