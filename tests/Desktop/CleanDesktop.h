#pragma once

#include <QStringList>

// The test desktop as every desktop test expects to find it. ctest runs its desktop tests one after
// another on one desktop and kills a test whose time is up: it takes down the test's processes, but
// a key the test held through XTEST stays down at the X server, and a program the session bus started
// for the test (GNOME Terminal's server) or one that outlived the test's process keeps its windows.
// (Kept apart from the tests: Xlib's macros collide with GoogleTest's names.)
namespace quorvelle::test {

// Marks this process, so that every program it starts from now on can be told apart as its own, and
// puts the desktop back: programs of an earlier test of this desktop whose process is gone are ended,
// and with them every window the session bus's programs show; every key and mouse button still down
// goes up, no modifier stays locked or latched, key repeat is back at the X server's defaults; the
// input focus is on the root window, for the test to put where it wants; no account session is kept
// in the keyring. What could not be put back, empty when all was. Every desktop test program does
// this before its first case.
QStringList startFromCleanDesktop();

}  // namespace quorvelle::test
