#pragma once

#include "Services/Delivery/AccessibilityElement.h"
#include "Services/Delivery/RawFocusedElementMetadata.h"

#include <QCoroTask>
#include <QList>
#include <QtGlobal>

#include <stop_token>

namespace quorvelle {

// The reads the focused-element search makes of another application's accessibility tree. Element
// lookups answer null when there is nothing; they throw FocusedTargetInspectionError only when
// accessibility is unavailable or the application stopped answering.
class AccessibilityElementNavigating {
public:
    virtual ~AccessibilityElementNavigating() = default;

    // Whether that process has an application on the accessibility bus that can tell where its focus
    // is (many windows have none: terminals, toolkits without accessibility, programs with it
    // switched off; some toolkits tell nothing until the focus first moves).
    virtual bool hasApplication(qint32 processIdentifier) = 0;
    // A process with no application on the bus that carries a toolkit registering one only a moment
    // after its first window shows (GTK 4, GTK 3's bridge), and whose application was not waited for in
    // vain before: it may still come.
    virtual bool isApplicationArriving(qint32 processIdentifier) = 0;
    // For such a process, waits a bounded while for its application, without holding the thread; a
    // process whose application did not come is not waited for again. At once for every other process.
    // A stop ends it with CancellationError.
    virtual QCoro::Task<void> awaitApplication(qint32 processIdentifier, std::stop_token stopToken) = 0;
    // The element that has the keyboard focus inside the application of that process.
    virtual AccessibilityElementRef focusedElement(qint32 processIdentifier) = 0;
    // The application's active window.
    virtual AccessibilityElementRef focusedWindow(qint32 processIdentifier) = 0;
    // The windows the application of that process shows, active or not (none without an application
    // on the bus): where it cannot tell its focus, what they hold is all there is to go by. A window
    // whose states cannot be read is among them: it may be shown.
    virtual QList<AccessibilityElementRef> shownWindows(qint32 processIdentifier) = 0;
    // Null above a window: the application itself is never a candidate.
    virtual AccessibilityElementRef parent(const AccessibilityElement& element) = 0;
    virtual QList<AccessibilityElementRef> children(const AccessibilityElement& element) = 0;
    // Every read is a call into another process, so an element is read in parts, each only when it
    // can matter. None throws but for a time-out: what cannot be read stays absent.
    // The subrole alone: enough to tell a secure field.
    virtual std::optional<QString> readSubrole(const AccessibilityElement& element) = 0;
    // Role, subrole and the flags that decide the candidate score.
    virtual RawFocusedElementMetadata readScoringMetadata(const AccessibilityElement& element) = 0;
    // Adds title, identifier, frame and size. False where the application did not answer for the title
    // or the frame (an error): an absent one then does not say the element has none.
    virtual bool readDescription(const AccessibilityElement& element, RawFocusedElementMetadata& metadata) = 0;
    // Whether the element's application answers a question now, asked afresh (nothing kept from an
    // earlier answer): one that waits on the thread serving its accessibility does not.
    virtual bool answers(const AccessibilityElement& element) = 0;
};

}  // namespace quorvelle
