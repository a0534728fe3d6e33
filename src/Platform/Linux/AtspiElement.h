#pragma once

#include "Platform/Linux/AtspiTextOffsets.h"
#include "Services/Delivery/AccessibilityElement.h"

#include <memory>

typedef struct _AtspiAccessible AtspiAccessible;
typedef struct _AtspiStateSet AtspiStateSet;

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

private:
    AtspiAccessible* m_accessible;
    AtspiOffsetUnit m_offsetUnit;
    mutable std::shared_ptr<AtspiStateSet> m_states;
};

// Null when `adopted` is null.
std::shared_ptr<AtspiElement> adoptAtspiElement(AtspiAccessible* adopted, AtspiOffsetUnit offsetUnit);

}  // namespace quorvelle
