// LocalRuntimeAvailability: whether the on-device engine can be used, with the reason when not;
// LocalRuntimeInspecting: who can tell.
#pragma once

#include "Support/QmlValues.h"

#include <QObject>
#include <QString>

#include <optional>

namespace quorvelle {

class LocalRuntimeAvailability {
    Q_GADGET
    Q_PROPERTY(bool isReady READ isReady)
    Q_PROPERTY(QVariant unavailableReason READ unavailableReasonValue)

public:
    // Ready. The views' meta-type system needs a default value to read it into.
    LocalRuntimeAvailability() = default;
    static LocalRuntimeAvailability ready() { return LocalRuntimeAvailability(std::nullopt); }
    static LocalRuntimeAvailability unavailable(QString reason) { return LocalRuntimeAvailability(std::move(reason)); }

    bool isReady() const { return !m_unavailableReason.has_value(); }
    // None when ready.
    const std::optional<QString>& unavailableReason() const { return m_unavailableReason; }
    QVariant unavailableReasonValue() const { return optionalValue(m_unavailableReason); }

    bool operator==(const LocalRuntimeAvailability&) const = default;

private:
    explicit LocalRuntimeAvailability(std::optional<QString> reason) : m_unavailableReason(std::move(reason)) {}

    std::optional<QString> m_unavailableReason;
};

class LocalRuntimeInspecting {
public:
    virtual ~LocalRuntimeInspecting() = default;

    // Repeats its checks at every call; callable from any thread.
    virtual LocalRuntimeAvailability availability() const = 0;
};

}  // namespace quorvelle
