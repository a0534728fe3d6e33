#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QtGlobal>

// What a user does with keyboard and window manager, done for the tests. (Kept apart from the tests:
// Xlib's macros collide with GoogleTest's names.)
namespace quorvelle::test {

// Sends Control+C to the focused window.
void pressCopyKeys();

// Presses Alt and leaves it down, as a hot key still held would.
void holdAltKey();

// Lets go of it again (harmless when it is up).
void releaseAltKey();

// Whether the left Alt key is down now.
bool isAltKeyDown();

// Asks the window manager to activate the window of that process, as a task bar click would
// (an application's own request may be refused as focus stealing). False when it has no window.
bool activateWindowOf(qint64 processIdentifier);

// The environment of a Qt program as it runs where accessibility is off, named `instanceName` when
// given. Qt still joins an accessibility bus it can reach with QT_ACCESSIBILITY=0, so the bus is put
// out of its reach.
QProcessEnvironment environmentWithoutAccessibility(const QString& instanceName = {});

// Removes the window manager's _NET_ACTIVE_WINDOW from the root window for its lifetime, as on a
// desktop without an EWMH window manager; puts the old value back after.
class ActiveWindowPropertyHidden {
public:
    ActiveWindowPropertyHidden();
    ~ActiveWindowPropertyHidden();
    ActiveWindowPropertyHidden(const ActiveWindowPropertyHidden&) = delete;
    ActiveWindowPropertyHidden& operator=(const ActiveWindowPropertyHidden&) = delete;

private:
    unsigned long m_saved = 0;
};

}  // namespace quorvelle::test
