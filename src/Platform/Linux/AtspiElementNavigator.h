#pragma once

#include "Platform/Linux/AtspiElement.h"
#include "Platform/Linux/AtspiFocusTracker.h"
#include "Services/Delivery/AccessibilityElementNavigating.h"
#include "Services/Delivery/ApplicationArrivalWait.h"

#include <QHash>

namespace quorvelle {

class AtspiCallError;

// Reads other applications' accessibility trees over AT-SPI. Looks only inside the application of
// the given process (with the helper processes that draw parts of its window), and gives up on an
// application that stops answering.
class AtspiElementNavigator final : public AccessibilityElementNavigating {
public:
    // Bounds the search for the focused object in a large window.
    static constexpr int kMaximumFocusSearchCount = 4000;
    // How long a window that shows no focus is given to tell which field lost it to the hot key.
    static constexpr std::chrono::milliseconds kGrabFocusLossWait{500};

    // Starts following AT-SPI's focus events.
    AtspiElementNavigator();

    bool hasApplication(qint32 processIdentifier) override;
    bool isApplicationArriving(qint32 processIdentifier) override;
    QCoro::Task<void> awaitApplication(qint32 processIdentifier, std::stop_token stopToken) override;
    // How long a window shown a moment ago is given to bring its application onto the bus.
    static constexpr std::chrono::milliseconds kApplicationArrivalWait{1000};
    AccessibilityElementRef focusedElement(qint32 processIdentifier) override;
    AccessibilityElementRef focusedWindow(qint32 processIdentifier) override;
    QList<AccessibilityElementRef> shownWindows(qint32 processIdentifier) override;
    AccessibilityElementRef parent(const AccessibilityElement& element) override;
    QList<AccessibilityElementRef> children(const AccessibilityElement& element) override;
    std::optional<QString> readSubrole(const AccessibilityElement& element) override;
    RawFocusedElementMetadata readScoringMetadata(const AccessibilityElement& element) override;
    bool readDescription(const AccessibilityElement& element, RawFocusedElementMetadata& metadata) override;
    bool answers(const AccessibilityElement& element) override;
    // Everything at once.
    RawFocusedElementMetadata readMetadata(const AccessibilityElement& element);

    // Asks the application of that process which of its objects holds the focus, for the focus
    // tracker while no focus event told it of any: the user's field may hold the focus since before
    // we listened.
    void learnFocus(qint32 processIdentifier);

    // The application object of that process on the accessibility bus; null when it has none.
    std::shared_ptr<AtspiElement> application(qint32 processIdentifier);

private:
    // What is known of each application seen, by bus name. A bus name is never reused and its
    // process never changes, so once found an application need not be searched for again (a
    // search costs a call per application on the desktop).
    struct KnownApplication {
        qint32 processIdentifier = 0;
        std::optional<AtspiOffsetUnit> offsetUnit;  // once its toolkit was asked
        // GTK 4 reports `showing` for windows only: below them, `visible` is all there is.
        bool reportsShowingBelowWindows = true;
        // Gecko declares EditableText on its fields, answers every write with success and changes
        // nothing: only a paste reaches them.
        bool carriesOutTextWrites = true;
    };
    QHash<QString, KnownApplication> m_applications;
    ApplicationArrivalWait m_arrivals;

    // The entry for the application that object belongs to; null when the bus cannot say.
    KnownApplication* knownApplication(AtspiAccessible* accessible);
    // Asks the toolkit once per application.
    AtspiOffsetUnit offsetUnitOf(KnownApplication& known, AtspiAccessible* accessible);
    // False only for an application whose toolkit is known to drop direct text writes.
    bool carriesOutTextWrites(AtspiAccessible* accessible) const;
    // Objects of the application of that process or of one of its helper processes.
    AtspiFocusTracker::Membership membershipOf(qint32 processIdentifier);
    // The object the focus events name for the application; throws while the focus is on its way back.
    std::shared_ptr<AtspiElement> trackedFocus(const AtspiFocusTracker::Membership& belongs,
                                               const AtspiFocusTracker::LookInside& lookInside,
                                               const AtspiFocusTracker::SearchWindow& searchWindow,
                                               std::chrono::milliseconds wait);
    // What a walk through windows, depth first, found.
    struct WindowWalk {
        std::shared_ptr<AtspiElement> focusedText;  // claims the focus, takes text and shows
        std::shared_ptr<AtspiElement> firstClaim;   // the first other element to claim the focus
        std::shared_ptr<AtspiElement> sheet;        // the first spreadsheet sheet that shows
        // The paragraph holding the caret in a text document that shows and manages its descendants
        // (Writer's, whose paragraph drops its focused state while our hot key grabs the keyboard):
        // the active window's, else the only one; none where several show and no window is active.
        std::shared_ptr<AtspiElement> caretParagraph;
    };
    // Hidden subtrees and containers that manage their own (often huge) descendants are not entered;
    // stops at the first focused element that takes text.
    WindowWalk walk(const QList<std::shared_ptr<AtspiElement>>& windows, bool showingReported);
    // The field of that window the user types into, else its spreadsheet sheet (which drops its
    // focused state while our hot key grabs the keyboard); never a field that does not claim the focus.
    std::shared_ptr<AtspiElement> focusInWindow(const std::shared_ptr<AtspiElement>& window);
    // The field focused inside content that another process draws into a focused view of the
    // application (a browser's web view), whose own focus events may never reach us.
    std::shared_ptr<AtspiElement> focusInsideEmbeddedContent(const std::shared_ptr<AtspiElement>& view,
                                                             const AtspiFocusTracker::Membership& belongs);
    std::shared_ptr<AtspiElement> focusedTextInDocument(const AtspiElement& document);
    QList<std::shared_ptr<AtspiElement>> childElements(const AtspiElement& element);
    QList<std::shared_ptr<AtspiElement>> windowsActiveFirst(const AtspiElement& application);
};

}  // namespace quorvelle
