#include "CaptureDiagnosticLog.h"

#include "Support/AppPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace quorvelle {

CaptureDiagnosticLog::CaptureDiagnosticLog(bool enabled, QString folder, std::function<double()> now)
    : enabled_(enabled), folder_(std::move(folder)), now_(std::move(now)) {
    if (!now_) now_ = [] { return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0; };
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
    const QString folder = folder_.isEmpty() ? AppPaths::privateTemporaryDirectory() : folder_;
    if (folder.isEmpty()) return {};
    return QDir(folder).filePath(QStringLiteral("quorvelle_diag.log"));
}

void CaptureDiagnosticLog::append(const QString& line) const {
    if (!enabled_) return;
    const QString path = filePath();
    if (path.isEmpty()) return;
    const QByteArray entry = (QString::number(now_(), 'f', 6) + QLatin1Char(' ') + line + QLatin1Char('\n')).toUtf8();
    // Appends are atomic per write; O_NOFOLLOW keeps a planted link from redirecting the trace.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
                          0600);
    if (fd < 0) return;
    const ssize_t written = ::write(fd, entry.constData(), static_cast<size_t>(entry.size()));
    (void)written;
    ::close(fd);
}

}  // namespace quorvelle
