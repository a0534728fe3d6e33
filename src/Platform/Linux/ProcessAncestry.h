#pragma once

#include <QtGlobal>
#include <functional>
#include <optional>

namespace quorvelle {

// What the kernel tells of a process that matters for telling whether it works for another one.
struct ProcessRecord {
    qint32 parent = 0;
    qint64 session = 0;
    quint32 user = 0;
    // Clock ticks after boot: tells the process from a later one given the same number.
    quint64 startTime = 0;
};

// Some applications draw part of a window in helper processes of their own (a browser's web content
// process, reaching the accessibility bus through sandbox launchers and a bus proxy): the focused
// field then belongs to a process other than the one that owns the window.
namespace ProcessAncestry {

// How far below the window's process a helper may sit (WebKitGTK: two sandbox launchers, then the
// content process or its bus proxy).
inline constexpr int kMaximumGenerations = 4;

using Reader = std::function<std::optional<ProcessRecord>(qint32 processIdentifier)>;

// The record in /proc; none when the process is gone or cannot be read.
std::optional<ProcessRecord> readProcessRecord(qint32 processIdentifier);

// True when `candidate` is `owner`, or descends from it within kMaximumGenerations with every
// process on the way in the owner's session and of the owner's user: a program of another user or
// session cannot pass for a part of the application, however it was started.
bool isPartOfApplication(qint32 owner, qint32 candidate, const Reader& read = &readProcessRecord);

}  // namespace ProcessAncestry
}  // namespace quorvelle
