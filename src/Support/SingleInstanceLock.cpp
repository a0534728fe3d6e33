#include "Support/SingleInstanceLock.h"

#include "Support/AppPaths.h"
#include "Support/PrivateFile.h"

#include <QDir>
#include <QLockFile>

namespace quorvelle {

SingleInstanceLock::SingleInstanceLock(QStringList folders)
    : m_folders(folders.isEmpty() ? QStringList{AppPaths::configDirectory(), AppPaths::applicationSupportDirectory()}
                                  : std::move(folders)) {}

SingleInstanceLock::~SingleInstanceLock() = default;

SingleInstanceLock::Outcome SingleInstanceLock::acquire() {
    if (!m_locks.empty()) return Outcome::acquired;
    m_unavailable.clear();
    std::vector<std::unique_ptr<QLockFile>> locks;
    for (const QString& folder : m_folders) {
        if (folder.isEmpty() || !PrivateFile::makeFolder(folder)) {
            m_unavailable.append(folder);
            continue;
        }
        auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral("instance.lock")));
        // The lock lives as long as the program: it never turns stale by age, only by its owner's death.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            locks.push_back(std::move(lock));
        } else if (lock->error() == QLockFile::LockFailedError) {
            // The locks taken so far go with `locks`: the other copy is the one that runs.
            return Outcome::heldElsewhere;
        } else {
            m_unavailable.append(folder);
        }
    }
    if (locks.empty()) return Outcome::unavailable;
    m_locks = std::move(locks);
    return Outcome::acquired;
}

}  // namespace quorvelle
