#include "Platform/Linux/ProcessAncestry.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>

namespace quorvelle::ProcessAncestry {

std::optional<ProcessRecord> readProcessRecord(qint32 processIdentifier) {
    if (processIdentifier <= 0) return std::nullopt;
    const QString folder = QStringLiteral("/proc/%1").arg(processIdentifier);
    QFile stat(folder + QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray line = stat.readAll();
    // "pid (name) state ppid pgrp session ...": the name may hold spaces and parentheses, so the
    // fields are counted from the last closing parenthesis.
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0) return std::nullopt;
    const QList<QByteArray> fields = line.mid(nameEnd + 1).simplified().split(' ');
    if (fields.size() < 20) return std::nullopt;
    bool parentRead = false, sessionRead = false, startRead = false;
    ProcessRecord record;
    record.parent = fields.at(1).toInt(&parentRead);
    record.session = fields.at(3).toLongLong(&sessionRead);
    record.startTime = fields.at(19).toULongLong(&startRead);
    // The process's folder belongs to its real user.
    const QFileInfo info(folder);
    if (!parentRead || !sessionRead || !startRead || !info.exists()) return std::nullopt;
    record.user = info.ownerId();
    return record;
}

bool isPartOfApplication(qint32 owner, qint32 candidate, const Reader& read) {
    if (owner <= 0 || candidate <= 0) return false;
    if (owner == candidate) return true;
    const std::optional<ProcessRecord> ownerRecord = read(owner);
    if (!ownerRecord) return false;
    qint32 current = candidate;
    for (int generation = 0; generation < kMaximumGenerations; ++generation) {
        const std::optional<ProcessRecord> record = read(current);
        if (!record || record->session != ownerRecord->session || record->user != ownerRecord->user) return false;
        if (record->parent == owner) return true;
        if (record->parent <= 1) return false;
        current = record->parent;
    }
    return false;
}

}  // namespace quorvelle::ProcessAncestry
