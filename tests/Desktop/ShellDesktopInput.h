#pragma once

#include <QStringList>
#include <QtGlobal>

struct xcb_connection_t;

// Keyboard and a second X client for the shell's desktop tests. (Kept apart from the tests: Xlib's
// macros collide with GoogleTest's names.)
namespace quorvelle::test {

// Presses (or releases, in reverse order) the keys, by X keysym name, through XTEST.
void sendKeys(const QStringList& keySymNames, bool pressed);
// Presses Num Lock when it is not in that state; returns whether it is on now.
bool setNumLock(bool on);
// Key auto-repeat after 300 ms, or back to the X server's defaults (on, after 660 ms, 25 a second).
void setQuickAutoRepeat(bool quick);

// Another program on the same X server, with a connection of its own.
class OtherXClient {
public:
    OtherXClient();
    ~OtherXClient();
    // Grabs the key with exactly these X modifier bits on the root window; the X error code, or 0.
    int grabKey(const char* keySymName, quint16 modifiers);

private:
    xcb_connection_t* m_connection;
};

}  // namespace quorvelle::test
