#pragma once

#include "Platform/Linux/AtspiElement.h"
#include "Services/Delivery/AccessibilityElementNavigating.h"

#include <QHash>

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

    bool hasApplication(qint32 processIdentifier) override;
    AccessibilityElementRef focusedElement(qint32 processIdentifier) override;
    AccessibilityElementRef focusedWindow(qint32 processIdentifier) override;
    AccessibilityElementRef parent(const AccessibilityElement& element) override;
    QList<AccessibilityElementRef> children(const AccessibilityElement& element) override;
    std::optional<QString> readSubrole(const AccessibilityElement& element) override;
    RawFocusedElementMetadata readScoringMetadata(const AccessibilityElement& element) override;
    void readDescription(const AccessibilityElement& element, RawFocusedElementMetadata& metadata) override;
    // Everything at once.
    RawFocusedElementMetadata readMetadata(const AccessibilityElement& element);

    // The application object of that process on the accessibility bus; null when it has none.
    std::shared_ptr<AtspiElement> application(qint32 processIdentifier);

private:
    // What is known of each application seen, by bus name. A bus name is never reused and its
    // process never changes, so once found an application need not be searched for again (a
    // search costs a call per application on the desktop).
    struct KnownApplication {
        qint32 processIdentifier = 0;
        std::optional<AtspiOffsetUnit> offsetUnit;  // once its toolkit was asked
    };
    QHash<QString, KnownApplication> m_applications;

    QList<std::shared_ptr<AtspiElement>> childElements(const AtspiElement& element);
    QList<std::shared_ptr<AtspiElement>> windowsActiveFirst(const AtspiElement& application);
};

}  // namespace quorvelle
