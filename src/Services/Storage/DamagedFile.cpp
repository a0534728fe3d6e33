#include "Services/Storage/DamagedFile.h"

#include <QFile>
#include <QTimeZone>

namespace quorvelle {

std::optional<QString> setAsideDamagedFile(const QString& path, const QDateTime& now) {
    const QString stamp = now.toTimeZone(QTimeZone::utc()).toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    const QString base = path + QStringLiteral(".corrupt-") + stamp;
    // Never replace an earlier damaged copy: rename refuses an existing target, so try further names.
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const QString target = attempt == 1 ? base : base + QLatin1Char('-') + QString::number(attempt);
        if (QFile::exists(target)) continue;
        if (QFile::rename(path, target)) return target;
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace quorvelle
