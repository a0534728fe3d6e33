#include "Models/LocalModelStatus.h"
#include "Models/LocalTranscriptionModelDescriptor.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using M = LocalTranscriptionModelID;
using T = LocalModelWarningTier;

struct Row {
    M id;
    const char* title;  // null where the wording is ours
    const char* sizeLabel;
    qint64 bytes;
    const char* filename;
    const char* sha1;
    bool recommended;
    T tier;
    QStringList tags;
};

const Row kRows[] = {
    {M::tinyMultilingual, "Tiny", "75 MiB", 78643200, "ggml-tiny.bin", "bd577a113a864445d4c299885e0cb97d4ba92b5f",
     false, T::none, {"Fast", "Small", "Multilingual"}},
    {M::baseMultilingual, "Base", "142 MiB", 148897792, "ggml-base.bin", "465707469ff3a37a2b9b8d8f89f2f99de7299dac",
     false, T::none, {"Balanced", "Compact", "Multilingual"}},
    {M::tinyEnglish, nullptr, "75 MB", 78643200, "ggml-tiny.en.bin", "c78c86eb1a8faa21b369bcd33207cc90d64ae9df",
     false, T::none, {"Fast", "English"}},
    {M::baseEnglish, "Base (English)", "142 MB", 148897792, "ggml-base.en.bin",
     "137c40403d78fd54d454da0f9bd998f78703390c", true, T::none, {"Balanced", "English"}},
    {M::smallEnglish, "Small (English)", nullptr, 488636416, "ggml-small.en.bin",
     "db8a495a91d927739e50b3fc1cc4c6b8f6c2d022", false, T::none, {"Sharper", "English"}},
    {M::smallMultilingual, "Small", nullptr, 488636416, "ggml-small.bin", "55356645c2b361a969dfd0ef2c5a50d530afd8d5",
     true, T::none, {"Recommended", "Multilingual", "Offline"}},
    {M::mediumMultilingual, "Medium", "1.5 GiB", 1610612736, "ggml-medium.bin",
     "fd9727b6e1217c2f614f9b698455c4ffd82463b4", false, T::elevated, {"Quality", "Multilingual", "Heavy"}},
    {M::largeV3, "Large v3", nullptr, 3113541018, "ggml-large-v3.bin", "ad82bf6a9043ceed055076d0fd39f5f186ff8062",
     false, T::heavy, {"Best quality", "Multilingual", "Largest"}},
};

TEST(LocalModelCatalogue, EveryIdHasItsRow)
{
    ASSERT_EQ(std::size(kRows), size_t(allCases<M>().size()));
    const QRegularExpression sha1Form(QStringLiteral("^[0-9a-f]{40}$"));
    for (const Row& row : kRows) {
        const auto descriptor = localModelDescriptor(row.id);
        SCOPED_TRACE(row.filename);
        EXPECT_EQ(descriptor.id, row.id);
        if (row.title)
            EXPECT_EQ(descriptor.title, QString::fromLatin1(row.title));
        else
            EXPECT_FALSE(descriptor.title.isEmpty());
        if (row.sizeLabel)
            EXPECT_EQ(descriptor.sizeLabel, QString::fromLatin1(row.sizeLabel));
        else
            EXPECT_FALSE(descriptor.sizeLabel.isEmpty());
        EXPECT_EQ(descriptor.diskSizeBytes, row.bytes);
        EXPECT_EQ(descriptor.filename, QString::fromLatin1(row.filename));
        EXPECT_EQ(descriptor.expectedSHA1, QString::fromLatin1(row.sha1));
        EXPECT_TRUE(sha1Form.match(descriptor.expectedSHA1).hasMatch());
        EXPECT_EQ(descriptor.isRecommended, row.recommended);
        EXPECT_EQ(descriptor.warningTier, row.tier);
        EXPECT_EQ(descriptor.tags, row.tags);
    }
}

TEST(LocalModelCatalogue, SubtitlesAreTheFixedTexts)
{
    const QString legacy = QStringLiteral("Legacy English-only model kept for compatibility.");
    const struct {
        M id;
        QString subtitle;
    } rows[] = {
        {M::tinyMultilingual, "En hizli local model. Kisa notlar ve hiz odakli kullanim icin uygun."},
        {M::baseMultilingual, "Hiz ve kalite dengesi. Gunluk kullanim icin hafif bir secenek."},
        {M::smallMultilingual, "Varsayilan secenek. Hala hizli, ama kalite tarafinda daha guclu."},
        {M::mediumMultilingual, "Daha yuksek kalite. Daha fazla disk ve bellek kullanir."},
        {M::largeV3, "En yuksek kalite. En agir model; ilk yukleme ve transcription daha uzun surebilir."},
        {M::tinyEnglish, legacy},
        {M::baseEnglish, legacy},
        {M::smallEnglish, legacy},
    };
    for (const auto& row : rows)
        EXPECT_EQ(localModelDescriptor(row.id).subtitle, row.subtitle) << rawValue(row.id).toStdString();
}

TEST(LocalModelCatalogue, SelectableIdsLeaveOutTheEnglishOnlyModels)
{
    EXPECT_EQ(selectableLocalTranscriptionModelIDs(),
              (QList<M>{M::tinyMultilingual, M::baseMultilingual, M::smallMultilingual, M::mediumMultilingual,
                        M::largeV3}));
}

TEST(LocalModelCatalogue, DownloadAddressesFollowTheHostPattern)
{
    EXPECT_EQ(localModelDescriptor(M::tinyMultilingual).downloadURL,
              QUrl(QStringLiteral("https://huggingface.co/ggerganov/whisper.cpp/resolve/main/ggml-tiny.bin"
                                  "?download=true")));

    const LocalModelHostConfiguration fake{QUrl(QStringLiteral("http://127.0.0.1:8765/owner"))};
    const LocalModelHostConfiguration fakeWithSlash{QUrl(QStringLiteral("http://127.0.0.1:8765/owner/"))};
    for (M id : allCases<M>()) {
        const auto descriptor = localModelDescriptor(id, fake);
        const QUrl& url = descriptor.downloadURL;
        SCOPED_TRACE(descriptor.filename.toStdString());
        EXPECT_EQ(url.toString(), QStringLiteral("http://127.0.0.1:8765/owner/whisper.cpp/resolve/main/")
                                      + descriptor.filename + QStringLiteral("?download=true"));
        EXPECT_EQ(url.fileName(), descriptor.filename);
        EXPECT_EQ(url.query(), QStringLiteral("download=true"));
        EXPECT_EQ(localModelDescriptor(id, fakeWithSlash).downloadURL, url);
        EXPECT_EQ(localModelDescriptor(id).downloadURL.scheme(), QStringLiteral("https"));
    }
}

TEST(LocalModelStatus, InstallStatesCompareByKindAndPayload)
{
    const LocalModelInstallationRecord record{M::smallMultilingual, "abc",
                                              QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC), 488636416,
                                              std::nullopt};
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
