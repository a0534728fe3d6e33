#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QLockFile;

namespace quorvelle {

// One running copy of the program per user: two copies would each overwrite the other's settings
// and history. A lock file lies beside the settings and another beside the history, so copies
// started with different runtime folders still meet, and a settings folder out of reach still leaves
// the history guarded. Each is held until this object goes; a lock left by a copy that died is
// taken over.
class SingleInstanceLock final {
public:
    enum class Outcome {
        // Every lock that could be made is ours, and at least one could.
        acquired,
        // Another live copy holds one of them.
        heldElsewhere,
        // No lock file could be made at all.
        unavailable,
    };

    // `folders` are where the lock files live; the settings folder and the history folder when
    // empty.
    explicit SingleInstanceLock(QStringList folders = {});
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Takes the locks without waiting; taking them again while held is a no-op. Nothing stays
    // held unless the outcome is `acquired`.
    Outcome acquire();

    // The folders whose lock could not be made at the last acquire, for the message that says so.
    const QStringList& unavailableFolders() const { return m_unavailable; }

private:
    QStringList m_folders;
    std::vector<std::unique_ptr<QLockFile>> m_locks;
    QStringList m_unavailable;
};

}  // namespace quorvelle
