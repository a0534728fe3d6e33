#pragma once

#include "Services/Delivery/AccessibilityElementNavigating.h"
#include "Services/Delivery/FocusedElementSnapshotReading.h"

namespace quorvelle {

// Finds the element that will receive the text: the reported focus is not taken alone, its
// ancestors and descendants are scored as well (a focused group often holds the real text field).
class AXFocusedElementReader final : public FocusedElementSnapshotReading {
public:
    static constexpr int kDefaultMaximumCandidateSearchCount = 256;
    static constexpr int kMaximumAncestorCount = 4;
    // Bounds the climb from an element to its window.
    static constexpr int kMaximumWindowDepth = 64;

    explicit AXFocusedElementReader(AccessibilityElementNavigating& navigator,
                                    int maximumCandidateSearchCount = kDefaultMaximumCandidateSearchCount);

    // A writable field that holds the focus and was the choice before is chosen again without a
    // look around it: its neighbours did not outrank it then.
    // An element of another window than `app` (the application has not told yet of the focus its
    // window in front took) is not the focus: FocusedTargetInspectionError (focusedElementUnavailable).
    FocusedElementReading readFocusedElement(const FocusedAppMetadata& app,
                                             const AccessibilityElement* earlier) override;
    // The element that holds the focus is read alone where it is `earlier`, and otherwise only for
    // whether it, or an element near it, is a password field: no writable field is looked for.
    FocusedElementReading readFocusedSecurity(const FocusedAppMetadata& app,
                                              const AccessibilityElement* earlier) override;
    QCoro::Task<void> awaitApplication(qint32 processIdentifier, std::stop_token stopToken) override;
    bool answers(const AccessibilityElement& element) override { return m_navigator.answers(element); }

    // The start element, up to four ancestors, then descendants breadth first, without repeats.
    QList<AccessibilityElementRef> collectCandidates(const AccessibilityElementRef& start);
    // The first candidate with the highest score.
    FocusedElementReading bestCandidate(const AccessibilityElementRef& start);
    // The first secure field among the candidates; none when there is none.
    FocusedElementReading secureCandidate(const AccessibilityElementRef& start);

private:
    // Whether the element lies in a window of the application other than the front window `app`, or
    // may: where the application did not answer for a window's title or frame (an error, a time-out),
    // its element is not taken for the front window's. Titles and frames are not told alike by every
    // toolkit (Qt adds the application's name to the title the window system shows): only another of
    // its windows that matches the front one says so; where all were read and none does, nothing tells.
    bool liesInAnotherWindow(const AccessibilityElementRef& element, const FocusedAppMetadata& app);
    // The element's topmost ancestor (its window); null past the bound.
    AccessibilityElementRef windowOf(const AccessibilityElementRef& element);

    AccessibilityElementNavigating& m_navigator;
    int m_maximumCandidateSearchCount;
};

}  // namespace quorvelle
