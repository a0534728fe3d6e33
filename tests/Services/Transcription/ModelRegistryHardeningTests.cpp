#include "Models/LocalTranscriptionModelDescriptor.h"
#include "Services/Transcription/ApplicationSupportLocalModelManager.h"
#include "Services/Transcription/LocalModelManagerError.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>

namespace quorvelle {
namespace {

using Model = LocalTranscriptionModelID;

class NoRuntime final : public LocalRuntimeInspecting {
public:
    LocalRuntimeAvailability availability() const override { return LocalRuntimeAvailability::unavailable({}); }
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray bodyOf(Model model) {
    return "weights of " + rawValue(model).toLatin1();
}

class ModelRegistryHardeningTest : public ::testing::Test {
protected:
    QTemporaryDir directory;
    QString base = directory.filePath(QStringLiteral("data/LocalModels"));
    QNetworkAccessManager network;
    QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);

    static LocalTranscriptionModelDescriptor descriptor(Model model) {
        LocalTranscriptionModelDescriptor row = localModelDescriptor(model);
        row.expectedSHA1 =
            QString::fromLatin1(QCryptographicHash::hash(bodyOf(model), QCryptographicHash::Sha1).toHex());
        return row;
    }
    std::unique_ptr<ApplicationSupportLocalModelManager> makeManager() {
        return std::make_unique<ApplicationSupportLocalModelManager>(&network, std::make_shared<NoRuntime>(),
                                                                     &descriptor, base, [this] { return now; });
    }
    QString modelPath(Model model) const { return base + QStringLiteral("/Models/") + descriptor(model).filename; }
    QString registryPath() const { return base + QStringLiteral("/local-models.json"); }
};

TEST_F(ModelRegistryHardeningTest, AnUndecodableRegistryIsKeptAsideAndRebuiltFromMatchingModelFiles) {
    ASSERT_TRUE(writeFile(registryPath(), "[{\"modelID\": \"tinyMulti"));
    ASSERT_TRUE(writeFile(modelPath(Model::baseMultilingual), bodyOf(Model::baseMultilingual)));
    ASSERT_TRUE(writeFile(modelPath(Model::largeV3), "not the catalogue's weights"));

    const auto manager = makeManager();
    const auto records = manager->loadRecords();
    ASSERT_EQ(records.keys(), QList<Model>{Model::baseMultilingual});
    const LocalModelInstallationRecord& rebuilt = records.first();
    EXPECT_EQ(rebuilt.fileSizeBytes, bodyOf(Model::baseMultilingual).size());
    EXPECT_EQ(rebuilt.verifiedSHA1, descriptor(Model::baseMultilingual).expectedSHA1);
    EXPECT_EQ(rebuilt.checksumSHA256,
              QCryptographicHash::hash(bodyOf(Model::baseMultilingual), QCryptographicHash::Sha256).toHex());
    EXPECT_EQ(makeManager()->loadRecords(), records);

    const QStringList aside = QDir(base).entryList({QStringLiteral("local-models.json.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(QDir(base).filePath(aside.first())), "[{\"modelID\": \"tinyMulti");
}

TEST_F(ModelRegistryHardeningTest, ModelFoldersAreOwnerOnly) {
    ::umask(022);
    makeManager();
    for (const QString& folder : {directory.filePath(QStringLiteral("data")), base, base + QStringLiteral("/Models")}) {
        SCOPED_TRACE(folder.toStdString());
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(folder).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }
}

[[noreturn]] void deleteOnFullDisk(ApplicationSupportLocalModelManager& manager) {
    const rlimit limit{64, 64};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        manager.deleteModel(Model::largeV3);
    } catch (const LocalModelFileError& error) {
        std::_Exit(error.errorCase() == LocalModelFileError::Case::writeFailed ? 0 : 2);
    }
    std::_Exit(1);
}

TEST_F(ModelRegistryHardeningTest, AFullDiskLeavesTheRegistryAsItWasAndTheWriteFails) {
    ASSERT_TRUE(writeFile(modelPath(Model::baseMultilingual), bodyOf(Model::baseMultilingual)));
    ASSERT_TRUE(writeFile(registryPath(), "not a registry"));
    auto manager = makeManager();
    const QByteArray before = readFile(registryPath());
    ASSERT_GT(before.size(), 64);

    // A child process, its file size limited as a full disk would.
    EXPECT_EXIT(deleteOnFullDisk(*manager), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(registryPath()), before);
}

}  // namespace
}  // namespace quorvelle
