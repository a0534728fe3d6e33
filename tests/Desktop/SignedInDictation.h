#pragma once

#include "AppUnderTest.h"
#include "FakeBackendServer.h"
#include "TestMicrophone.h"

#include <QString>
#include <QStringList>

namespace quorvelle::test {

// The real executable signed in (the test keyring holds its session until this object goes), its
// backend a fake that answers every clip with the words given, and the test microphone to speak
// into it.
class SignedInDictation {
public:
    explicit SignedInDictation(const QString& words);
    ~SignedInDictation();
    SignedInDictation(const SignedInDictation&) = delete;
    SignedInDictation& operator=(const SignedInDictation&) = delete;

    // The backend answers the clips from now on with these words.
    void answerWith(const QString& words);
    // Starts a copy that may paste (the clipboard allowed) and waits until it grabbed its hot key.
    bool start();
    // Presses the hot key, lets the microphone say its sentence and lets go.
    void dictate();
    // Clips the backend was sent so far.
    qsizetype uploads() const;

    static constexpr int kLong = 30000;
    static const QStringList& hotkey();

    FakeBackendServer server;
    AppUnderTest app{server.baseUrl()};
    TestMicrophone microphone;
};

// Takes the clipboard with `text` as a copy in another application would: this test's own, served by
// its event loop. Whether the clipboard is ours now.
bool copyAsTheUser(const QString& text);

}  // namespace quorvelle::test
