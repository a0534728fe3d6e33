#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace quorvelle {

// One running copy of the program per user: two copies would each overwrite the other's settings
// and history. The lock is a file beside the settings it protects, so copies started with different
// runtime folders still meet; it is held until this object goes, and a lock left by a copy that died
// is taken over.
class SingleInstanceLock final {
public:
    enum class Outcome {
        acquired,
        // Another live copy holds it.
        heldElsewhere,
        // No settings folder, or the lock file cannot be made.
        unavailable,
    };

    // `folder` is where the lock file lives; AppPaths::configDirectory() when empty.
    explicit SingleInstanceLock(QString folder = {});
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Takes the lock without waiting; taking it again while held is a no-op.
    Outcome acquire();

private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace quorvelle
