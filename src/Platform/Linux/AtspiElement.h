#pragma once

#include "Platform/Linux/AtspiTextOffsets.h"
#include "Services/Delivery/AccessibilityElement.h"

#include <memory>

typedef struct _AtspiAccessible AtspiAccessible;

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

private:
    AtspiAccessible* m_accessible;
    AtspiOffsetUnit m_offsetUnit;
};

// Null when `adopted` is null.
std::shared_ptr<AtspiElement> adoptAtspiElement(AtspiAccessible* adopted, AtspiOffsetUnit offsetUnit);

}  // namespace quorvelle
