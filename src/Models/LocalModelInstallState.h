// LocalModelInstallState: where a local model stands: installed (with its record), failed (with
// the failure message), not installed, or downloading.
#pragma once

#include "Models/LocalModelInstallationRecord.h"

#include "Support/QmlValues.h"

#include <QObject>
#include <QString>

#include <optional>

namespace quorvelle {

class LocalModelInstallState {
    Q_GADGET
    // "installed", "failed", "notInstalled" or "downloading".
    Q_PROPERTY(QString kind READ kindName)
    Q_PROPERTY(QVariant failureMessage READ failureMessageValue)

public:
    enum class Kind { installed, failed, notInstalled, downloading };

    LocalModelInstallState() = default;  // notInstalled

    static LocalModelInstallState installed(const LocalModelInstallationRecord& record);
    static LocalModelInstallState failed(const QString& message);
    static LocalModelInstallState notInstalled() { return LocalModelInstallState(Kind::notInstalled); }
    static LocalModelInstallState downloading() { return LocalModelInstallState(Kind::downloading); }

    Kind kind() const { return m_kind; }
    const std::optional<LocalModelInstallationRecord>& record() const { return m_record; }
    const std::optional<QString>& failureMessage() const { return m_failureMessage; }
    QString kindName() const;
    QVariant failureMessageValue() const { return optionalValue(m_failureMessage); }

    friend bool operator==(const LocalModelInstallState&, const LocalModelInstallState&) = default;

private:
    explicit LocalModelInstallState(Kind kind) : m_kind(kind) {}

    Kind m_kind = Kind::notInstalled;
    std::optional<LocalModelInstallationRecord> m_record;
    std::optional<QString> m_failureMessage;
};

}  // namespace quorvelle
