#pragma once

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <memory>

// What a user does with keyboard and window manager, done for the tests. (Kept apart from the tests:
// Xlib's macros collide with GoogleTest's names.)
namespace quorvelle::test {

// Presses or lets go of the key of that X key name ("Alt_L"), as the user would; whether it is down.
void setKeyDown(const char* keyName, bool down);
bool isKeyDown(const char* keyName);
// Taps the key after `delay` from a thread and a display connection of its own, whatever the
// caller's thread is doing meanwhile (an application busy in a call); returns at once.
void tapKeyLater(const char* keyName, std::chrono::microseconds delay);

// Has the window manager activate the process's window as a task bar click would; false without one.
bool activateWindowOf(qint64 processIdentifier);

// Grabs the keyboard, as a hot key does from its press to its release, until the result goes; null when
// the grab was refused.
std::shared_ptr<void> grabKeyboard();

// Hides the root window's _NET_ACTIVE_WINDOW, as without an EWMH window manager, until the result goes.
std::shared_ptr<void> hideActiveWindowProperty();

}  // namespace quorvelle::test
