#pragma once

#include "Platform/Linux/AtspiElement.h"
#include "Services/Delivery/AccessibilityElementNavigating.h"

namespace quorvelle {

class AtspiCallError;

// Reads other applications' accessibility trees over AT-SPI. Looks only inside the application of
// the given process, and gives up on an application that stops answering.
class AtspiElementNavigator final : public AccessibilityElementNavigating {
public:
    // Bounds the search for the focused object in a large window.
    static constexpr int kMaximumFocusSearchCount = 4000;

    // Starts following AT-SPI's focus events.
    AtspiElementNavigator();

    AccessibilityElementRef focusedElement(qint32 processIdentifier) override;
    AccessibilityElementRef focusedWindow(qint32 processIdentifier) override;
    AccessibilityElementRef parent(const AccessibilityElement& element) override;
    QList<AccessibilityElementRef> children(const AccessibilityElement& element) override;
    RawFocusedElementMetadata readMetadata(const AccessibilityElement& element) override;

    // The application object of that process on the accessibility bus; null when it has none.
    std::shared_ptr<AtspiElement> application(qint32 processIdentifier);

private:
    QList<std::shared_ptr<AtspiElement>> childElements(const AtspiElement& element);
    QList<std::shared_ptr<AtspiElement>> windowsActiveFirst(const AtspiElement& application);
};

}  // namespace quorvelle
