#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace quorvelle {

// One running copy of the program per user: two copies would each overwrite the other's settings
// and history. The lock is a file in the user's private runtime folder, held until this object goes;
// a lock left by a copy that died is taken over.
class SingleInstanceLock final {
public:
    enum class Outcome {
        acquired,
        // Another live copy holds it.
        heldElsewhere,
        // No private folder, or the lock file cannot be made.
        unavailable,
    };

    // `folder` is where the lock file lives; AppPaths::privateTemporaryDirectory() when empty.
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
