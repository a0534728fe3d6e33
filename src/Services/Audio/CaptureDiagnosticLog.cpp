#include "CaptureDiagnosticLog.h"

#include "Support/AppPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace quorvelle {

CaptureDiagnosticLog::CaptureDiagnosticLog(bool enabled, QString folder, std::function<double()> now)
    : m_enabled(enabled), m_folder(std::move(folder)), m_now(std::move(now)) {
    if (!m_now) m_now = [] { return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0; };
}

bool CaptureDiagnosticLog::isEnabled(const std::optional<QString>& environmentValue, std::optional<bool> storedSwitch) {
    if (environmentValue) {
        const QString value = environmentValue->trimmed().toLower();
        return value == QLatin1String("1") || value == QLatin1String("true") || value == QLatin1String("yes") ||
               value == QLatin1String("on");
    }
    return storedSwitch.value_or(false);
}

QString CaptureDiagnosticLog::filePath() const {
    const QString folder = m_folder.isEmpty() ? AppPaths::privateTemporaryDirectory() : m_folder;
    if (folder.isEmpty()) return {};
    return QDir(folder).filePath(QStringLiteral("quorvelle_diag.log"));
}

void CaptureDiagnosticLog::append(const QString& line) const {
    if (!m_enabled) return;
    const QString path = filePath();
    if (path.isEmpty()) return;
    const QByteArray entry = (QString::number(m_now(), 'f', 6) + QLatin1Char(' ') + line + QLatin1Char('\n')).toUtf8();
    // Appends are atomic per write; O_NOFOLLOW keeps a planted link from redirecting the trace.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const ssize_t written = ::write(fd, entry.constData(), static_cast<size_t>(entry.size()));
    (void)written;
    ::close(fd);
}

}  // namespace quorvelle
