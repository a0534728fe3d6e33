#include "Models/LocalTranscriptionModelDescriptor.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace quorvelle {
namespace {

using M = LocalTranscriptionModelID;

TEST(LocalModelCatalogue, EveryIdHasAFileOfItsOwnAChecksumAndADownloadAddressOnTheHost) {
    EXPECT_EQ(localModelDescriptor(M::tinyMultilingual).downloadURL,
              QUrl(QStringLiteral("https://huggingface.co/ggerganov/whisper.cpp/resolve/main/ggml-tiny.bin"
                                  "?download=true")));
    const QRegularExpression sha1Form(QStringLiteral("^[0-9a-f]{40}$"));
    const LocalModelHostConfiguration fake{QUrl(QStringLiteral("http://127.0.0.1:8765/owner"))};
    const LocalModelHostConfiguration fakeWithSlash{QUrl(QStringLiteral("http://127.0.0.1:8765/owner/"))};
    QSet<QString> filenames;
    for (M id : allCases<M>()) {
        const auto descriptor = localModelDescriptor(id, fake);
        SCOPED_TRACE(descriptor.filename.toStdString());
        EXPECT_TRUE(sha1Form.match(descriptor.expectedSHA1).hasMatch());
        filenames.insert(descriptor.filename);
        EXPECT_EQ(descriptor.downloadURL.toString(),
                  QStringLiteral("http://127.0.0.1:8765/owner/whisper.cpp/resolve/main/") + descriptor.filename +
                      QStringLiteral("?download=true"));
        EXPECT_EQ(localModelDescriptor(id, fakeWithSlash).downloadURL, descriptor.downloadURL);
    }
    EXPECT_EQ(filenames.size(), allCases<M>().size());
}

}  // namespace
}  // namespace quorvelle
