#pragma once

#include <QStringList>
#include <QtGlobal>

struct xcb_connection_t;

// Keyboard and X clients for the shell's desktop tests. (Kept apart from the tests: Xlib's macros
// collide with GoogleTest's names.)
namespace quorvelle::test {

// Presses the keys (X keysym names) in order through XTEST; releases them in reverse.
void pressKeys(const QStringList& keySymNames);
void releaseKeys(const QStringList& keySymNames);

// Turns the server's key auto-repeat on, with a short delay, for its lifetime; then puts back what
// was there before.
class AutoRepeatOn {
public:
    AutoRepeatOn();
    ~AutoRepeatOn();
    AutoRepeatOn(const AutoRepeatOn&) = delete;
    AutoRepeatOn& operator=(const AutoRepeatOn&) = delete;

private:
    bool m_wasOn = false;
    unsigned int m_delay = 0;
    unsigned int m_interval = 0;
};

bool isNumLockOn();
// Presses and releases Num Lock until its state is `on`.
void setNumLock(bool on);

// A second program on the same X server, with a connection of its own.
class OtherXClient {
public:
    OtherXClient();
    ~OtherXClient();
    OtherXClient(const OtherXClient&) = delete;
    OtherXClient& operator=(const OtherXClient&) = delete;

    // Grabs the key with exactly these X modifier bits on the root window; the X error code, or 0.
    int grabKey(const char* keySymName, quint16 modifiers);

private:
    xcb_connection_t* m_connection = nullptr;
};

}  // namespace quorvelle::test
