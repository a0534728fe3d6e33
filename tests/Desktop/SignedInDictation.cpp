#include "SignedInDictation.h"

#include "Platform/Linux/X11ClipboardOwnership.h"
#include "Services/Storage/SettingsKeys.h"
#include "ShellDesktopInput.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quorvelle::test {

namespace {

const QString kUploadPath = QStringLiteral("/v1/transcriptions");

}  // namespace

SignedInDictation::SignedInDictation(const QString& words) {
    seedSignedInSession();
    answerWith(words);
    app.defaults().setBool(QString::fromLatin1(SettingsKeys::clipboardFallbackEnabled), true);
}

SignedInDictation::~SignedInDictation() {
    app.stop();
    clearStoredSession();
}

const QStringList& SignedInDictation::hotkey() {
    static const QStringList keys{QStringLiteral("Control_L"), QStringLiteral("Alt_L"), QStringLiteral("space")};
    return keys;
}

void SignedInDictation::answerWith(const QString& words) {
    server.clearScript();
    answerTranscriptionsWith(server, words);
    server.respond("POST", QStringLiteral("/v1/internal/log-events"), FakeResponse::json(202, "{}"));
}

bool SignedInDictation::start() {
    app.start();
    return app.waitUntilHotkeyRegistered(kLong);
}

void SignedInDictation::dictate() {
    speakWithHotkeyDown(microphone, hotkey());
    sendKeys(hotkey(), false);
}

qsizetype SignedInDictation::uploads() const {
    return server.requestsTo(kUploadPath).size();
}

bool copyAsTheUser(const QString& text) {
    if (!X11ClipboardOwnership::refreshServerTime()) return false;
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    return X11ClipboardOwnership::ownsClipboard();
}

}  // namespace quorvelle::test
