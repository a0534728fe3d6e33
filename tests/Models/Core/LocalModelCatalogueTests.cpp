#include "Models/LocalModelStatus.h"
#include "Models/LocalTranscriptionModelDescriptor.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using M = LocalTranscriptionModelID;
using T = LocalModelWarningTier;

TEST(LocalModelCatalogue, EveryIdHasAWellFormedRowOfItsOwn) {
    const QRegularExpression sha1Form(QStringLiteral("^[0-9a-f]{40}$"));
    QSet<QString> filenames;
    for (M id : allCases<M>()) {
        const auto descriptor = localModelDescriptor(id);
        SCOPED_TRACE(rawValue(id).toStdString());
        EXPECT_EQ(descriptor.id, id);
        EXPECT_FALSE(descriptor.title.isEmpty());
        EXPECT_FALSE(descriptor.sizeLabel.isEmpty());
        EXPECT_FALSE(descriptor.subtitle.isEmpty());
        EXPECT_GT(descriptor.diskSizeBytes, 0);
        EXPECT_TRUE(sha1Form.match(descriptor.expectedSHA1).hasMatch());
        filenames.insert(descriptor.filename);
    }
    EXPECT_EQ(filenames.size(), allCases<M>().size());
}

TEST(LocalModelCatalogue, SampleRowsAndTheWarningTiers) {
    const auto large = localModelDescriptor(M::largeV3);
    EXPECT_EQ(large.title, QStringLiteral("Large v3"));
    EXPECT_EQ(large.diskSizeBytes, 3113541018);
    EXPECT_EQ(large.filename, QStringLiteral("ggml-large-v3.bin"));
    EXPECT_EQ(large.expectedSHA1, QStringLiteral("ad82bf6a9043ceed055076d0fd39f5f186ff8062"));
    EXPECT_EQ(large.tags, (QStringList{"Best quality", "Multilingual", "Largest"}));
    EXPECT_EQ(large.warningTier, T::heavy);
    EXPECT_EQ(localModelDescriptor(M::mediumMultilingual).warningTier, T::elevated);
    EXPECT_EQ(localModelDescriptor(M::smallMultilingual).warningTier, T::none);
    EXPECT_TRUE(localModelDescriptor(M::smallMultilingual).isRecommended);
    EXPECT_FALSE(localModelDescriptor(M::tinyMultilingual).isRecommended);
    EXPECT_EQ(localModelDescriptor(M::tinyEnglish).filename, QStringLiteral("ggml-tiny.en.bin"));
    // The English-only models share one subtitle.
    const QString legacy = QStringLiteral("Legacy English-only model kept for compatibility.");
    for (M id : {M::tinyEnglish, M::baseEnglish, M::smallEnglish})
        EXPECT_EQ(localModelDescriptor(id).subtitle, legacy) << rawValue(id).toStdString();
    EXPECT_EQ(localModelDescriptor(M::smallMultilingual).subtitle,
              QStringLiteral("Varsayilan secenek. Hala hizli, ama kalite tarafinda daha guclu."));
}

TEST(LocalModelCatalogue, SelectableIdsLeaveOutTheEnglishOnlyModels) {
    EXPECT_EQ(
        selectableLocalTranscriptionModelIDs(),
        (QList<M>{M::tinyMultilingual, M::baseMultilingual, M::smallMultilingual, M::mediumMultilingual, M::largeV3}));
}

TEST(LocalModelCatalogue, DownloadAddressesFollowTheHostPattern) {
    EXPECT_EQ(localModelDescriptor(M::tinyMultilingual).downloadURL,
              QUrl(QStringLiteral("https://huggingface.co/ggerganov/whisper.cpp/resolve/main/ggml-tiny.bin"
                                  "?download=true")));

    const LocalModelHostConfiguration fake{QUrl(QStringLiteral("http://127.0.0.1:8765/owner"))};
    const LocalModelHostConfiguration fakeWithSlash{QUrl(QStringLiteral("http://127.0.0.1:8765/owner/"))};
    for (M id : allCases<M>()) {
        const auto descriptor = localModelDescriptor(id, fake);
        const QUrl& url = descriptor.downloadURL;
        SCOPED_TRACE(descriptor.filename.toStdString());
        EXPECT_EQ(url.toString(), QStringLiteral("http://127.0.0.1:8765/owner/whisper.cpp/resolve/main/") +
                                      descriptor.filename + QStringLiteral("?download=true"));
        EXPECT_EQ(url.fileName(), descriptor.filename);
        EXPECT_EQ(url.query(), QStringLiteral("download=true"));
        EXPECT_EQ(localModelDescriptor(id, fakeWithSlash).downloadURL, url);
        EXPECT_EQ(localModelDescriptor(id).downloadURL.scheme(), QStringLiteral("https"));
    }
}

TEST(LocalModelStatus, InstallStatesCompareByKindAndPayload) {
    const LocalModelInstallationRecord record{
        M::smallMultilingual, "abc", QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC), 488636416, std::nullopt};
    LocalModelInstallationRecord otherRecord = record;
    otherRecord.checksumSHA256 = "def";

    EXPECT_EQ(LocalModelInstallState(), LocalModelInstallState::notInstalled());
    EXPECT_EQ(LocalModelInstallState::installed(record).record(), record);
    EXPECT_NE(LocalModelInstallState::installed(record), LocalModelInstallState::installed(otherRecord));
    EXPECT_EQ(LocalModelInstallState::failed("x").failureMessage(), QStringLiteral("x"));
    EXPECT_NE(LocalModelInstallState::failed("x"), LocalModelInstallState::failed("y"));
    EXPECT_NE(LocalModelInstallState::downloading(), LocalModelInstallState::notInstalled());

    const LocalModelStatus status{M::largeV3, localModelDescriptor(M::largeV3), LocalModelInstallState::downloading(),
                                  true};
    LocalModelStatus unselected = status;
    unselected.isSelected = false;
    EXPECT_NE(status, unselected);
}

}  // namespace
}  // namespace quorvelle
