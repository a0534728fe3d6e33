#pragma once

#include <QList>
#include <QtGlobal>

namespace quorvelle {

// The keys that this connection's XTEST keyboard holds down: a process killed between a synthetic
// press and its release (in the middle of the paste's chord) leaves them down in the X server, and
// every key typed afterwards goes out with them. Only that device: the user's own keyboard is another
// device of the same master, whose keys stay as the user holds them. Main thread only.
namespace XTestHeldKeys {

// The key codes the XTEST keyboard paired with this connection's pointer holds down.
QList<quint32> held();
// Lets every one of them go; the key codes let go.
QList<quint32> releaseAll();

}  // namespace XTestHeldKeys
}  // namespace quorvelle
