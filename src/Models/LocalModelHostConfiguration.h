// LocalModelHostConfiguration: where the ggml model files are downloaded from. A model's address
// is the owner URL, then "/whisper.cpp/resolve/main/", the file name and "?download=true". The
// default is the public host of the whisper.cpp models; tests point it at a local server.
#pragma once

#include <QUrl>

namespace quorvelle {

struct LocalModelHostConfiguration {
    // Scheme, host (with port, if any) and the path of the repository's owner, no trailing slash.
    QUrl ownerURL = QUrl(QStringLiteral("https://huggingface.co/ggerganov"));

    friend bool operator==(const LocalModelHostConfiguration&, const LocalModelHostConfiguration&) = default;
};

}  // namespace quorvelle
