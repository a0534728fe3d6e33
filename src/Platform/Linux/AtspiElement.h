#pragma once

#include "Platform/Linux/AtspiTextOffsets.h"
#include "Services/Delivery/AccessibilityElement.h"

#include <memory>
#include <optional>

typedef struct _AtspiAccessible AtspiAccessible;
typedef struct _AtspiStateSet AtspiStateSet;
typedef struct _GError GError;

namespace quorvelle {

// Holds one AT-SPI object (a reference of its own) and the offset unit of its application's toolkit.
class AtspiElement final : public AccessibilityElement {
public:
    // Takes over the caller's reference.
    AtspiElement(AtspiAccessible* adopted, AtspiOffsetUnit offsetUnit);
    ~AtspiElement() override;
    AtspiElement(const AtspiElement&) = delete;
    AtspiElement& operator=(const AtspiElement&) = delete;

    AtspiAccessible* accessible() const { return m_accessible; }
    AtspiOffsetUnit offsetUnit() const { return m_offsetUnit; }
    QString identityKey() const override;

    // The states as first read (null when unreadable). Looking around one element asks for them
    // several times, each a call into the application; element objects are made afresh for each
    // inspection, so the answer is as old as the inspection.
    AtspiStateSet* states() const;
    // Takes over a state set the caller read just now.
    void rememberStates(AtspiStateSet* adopted);
    // The role (an AtspiRole) as first read, for the same reason. A failed read is not kept: `error`
    // then holds why, and is left alone once the role is known.
    int role(GError** error) const;

private:
    AtspiAccessible* m_accessible;
    AtspiOffsetUnit m_offsetUnit;
    mutable std::shared_ptr<AtspiStateSet> m_states;
    mutable std::optional<int> m_role;
};

// Null when `adopted` is null.
std::shared_ptr<AtspiElement> adoptAtspiElement(AtspiAccessible* adopted, AtspiOffsetUnit offsetUnit);

}  // namespace quorvelle
