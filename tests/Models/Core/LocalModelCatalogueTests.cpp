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
        EXPECT_EQ(localModelDescriptor(id, fakeWithSlash).downloadURL, url);
        EXPECT_EQ(localModelDescriptor(id).downloadURL.scheme(), QStringLiteral("https"));
    }
}

}  // namespace
}  // namespace quorvelle
