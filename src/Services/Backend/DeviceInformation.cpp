#include "Services/Backend/DeviceInformation.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSysInfo>

namespace quorvelle {

namespace {

std::optional<QString> nonEmpty(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    return text;
}

// An os-release value: shell-like, either bare or in single or double quotes; inside double quotes
// a backslash escapes the next character.
QString unquotedValue(QStringView raw) {
    if (raw.size() >= 2 && raw.front() == QLatin1Char('\'') && raw.back() == QLatin1Char('\'')) {
        return raw.sliced(1, raw.size() - 2).toString();
    }
    if (raw.size() < 2 || raw.front() != QLatin1Char('"') || raw.back() != QLatin1Char('"')) {
        return raw.toString();
    }
    const QStringView inner = raw.sliced(1, raw.size() - 2);
    QString value;
    value.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner.at(i) == QLatin1Char('\\') && i + 1 < inner.size()) ++i;
        value.append(inner.at(i));
    }
    return value;
}

}  // namespace

DeviceInformationReader::DeviceInformationReader() : DeviceInformationReader(Options{}) {}

DeviceInformationReader::DeviceInformationReader(Options options) : m_options(std::move(options)) {
    if (!m_options.hostName) m_options.hostName = [] { return QSysInfo::machineHostName(); };
}

DeviceInformation DeviceInformationReader::read() const {
    return DeviceInformation{nonEmpty(m_options.hostName()), osVersion(), m_options.appVersion, m_options.build};
}

std::optional<QString> DeviceInformationReader::osVersion() const {
    for (const QString& path : m_options.osReleasePaths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            return prettyNameOfOSRelease(QString::fromUtf8(file.readAll()));
        }
    }
    return std::nullopt;
}

std::optional<QString> DeviceInformationReader::prettyNameOfOSRelease(const QString& text) {
    static const QLatin1String key("PRETTY_NAME=");
    std::optional<QString> prettyName;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const QStringView trimmed = line.trimmed();
        // A later assignment overrides an earlier one, as when the file is sourced by a shell.
        if (trimmed.startsWith(key)) prettyName = unquotedValue(trimmed.sliced(key.size()).trimmed());
    }
    return prettyName ? nonEmpty(*prettyName) : std::nullopt;
}

QString deviceFingerprintHash(const QString& installID) {
    const QByteArray input = QStringLiteral("com.dovent.Quorvelle|").toUtf8() + installID.toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex());
}

}  // namespace quorvelle
