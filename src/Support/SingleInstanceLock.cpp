#include "Support/SingleInstanceLock.h"

#include "Support/AppPaths.h"
#include "Support/PrivateFile.h"

#include <QDir>
#include <QLockFile>

namespace quorvelle {

SingleInstanceLock::SingleInstanceLock(QString folder) : m_folder(std::move(folder)) {}

SingleInstanceLock::~SingleInstanceLock() = default;

SingleInstanceLock::Outcome SingleInstanceLock::acquire() {
    if (m_lock && m_lock->isLocked()) return Outcome::acquired;
    const QString folder = m_folder.isEmpty() ? AppPaths::configDirectory() : m_folder;
    if (folder.isEmpty() || !PrivateFile::makeFolder(folder)) return Outcome::unavailable;
    m_lock = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral("instance.lock")));
    // The lock lives as long as the program: it never turns stale by age, only by its owner's death.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) return Outcome::acquired;
    return m_lock->error() == QLockFile::LockFailedError ? Outcome::heldElsewhere : Outcome::unavailable;
}

}  // namespace quorvelle
