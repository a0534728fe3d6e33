#pragma once

#include "FakeBootstrap.h"
#include "Platform/Linux/LinuxTextDeliveryServices.h"
#include "RealApp.h"
#include "ViewModel/AppViewModel.h"

#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Dictation into the applications a Debian desktop starts with (Firefox ESR, LibreOffice Writer):
// the view model over the real hot key and delivery services, the backend a fake that answers at
// once or after a second. Shared by the desktop tests and the delivery benchmark.
namespace quorvelle::test {

class RealAppDictation {
public:
    // `adjust` may replace services before the view model is made over them.
    explicit RealAppDictation(const std::function<void(AppBootstrap&)>& adjust = {});
    // False when the hot key could not be registered.
    bool isReady() const;
    // The hot key the view model listens for: X key names, pressed in this order.
    static const QStringList& hotkey();
    // Waits for the accessibility bus to report the focus on a text element other than `previous`
    // (it follows the X focus late); its identity, empty when none came.
    QString focusedTextElement(const QString& previous = {});
    // Waits until the focused text element is the same object at the same place in two looks a
    // moment apart: a page still being laid out moves its field, and a field that moved between
    // the press and the delivery is taken for another target.
    bool focusedFieldHoldsStill();

    // How long after the key's release the words showed, by the given sign.
    struct ReleaseToText {
        std::function<bool(const QString& words)> shown;
        double milliseconds = -1;
    };
    // Holds the hot key, speaks, lets go and waits for the session to end; the outcome. The stand-in
    // transcriber answers with `words`, whatever earlier rounds left unanswered. `whileHeld` runs once
    // the recording started, before the key lets go.
    std::optional<TranscriptHistoryCompletionKind> dictate(const QString& words, bool slowBackend = false,
                                                           ReleaseToText* releaseToText = nullptr,
                                                           const std::function<void()>& whileHeld = {});

    // What a dictation over the user's copy was told: the outcome, the kind of the newest history
    // entry where it holds the words, the status line, and what the clipboard holds after it.
    struct Told {
        std::optional<TranscriptHistoryCompletionKind> kind, entry;
        QString message, clipboard;
    };
    // Puts `usersCopy` on the clipboard as the user's, dictates `words` (as dictate does) and reads
    // what it was told, once the copy came back or 5 s went by.
    Told dictateOverTheUsersCopy(const QString& words, const QString& usersCopy, bool slowBackend = false);

    // The focused text element with its application, when the focus rests on one.
    std::optional<FocusedTargetSnapshot> focusedTextTarget();

    FakeBootstrap fakes;
    // Called the moment the hot key is let go, e.g. to send a key at a set time after it.
    std::function<void()> afterRelease;
    std::shared_ptr<LinuxTextDeliveryServices> delivery = std::make_shared<LinuxTextDeliveryServices>();
    std::unique_ptr<AppViewModel> vm;
    // Profiles and documents live in the test desktop's private folders.
    QTemporaryDir folder{qEnvironmentVariable("XDG_CACHE_HOME", QDir::tempPath()) + u"/apps-XXXXXX"_qs};
};

}  // namespace quorvelle::test
