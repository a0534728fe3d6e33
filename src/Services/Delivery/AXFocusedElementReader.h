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

    explicit AXFocusedElementReader(AccessibilityElementNavigating& navigator,
                                    int maximumCandidateSearchCount = kDefaultMaximumCandidateSearchCount);

    // A writable field that holds the focus and was the choice before is chosen again without a
    // look around it: its neighbours did not outrank it then.
    FocusedElementReading readFocusedElement(qint32 processIdentifier, const AccessibilityElement* earlier) override;
    // The element that holds the focus is read alone where it is `earlier`, and otherwise only for
    // whether it, or an element near it, is a password field: no writable field is looked for.
    FocusedElementReading readFocusedSecurity(qint32 processIdentifier, const AccessibilityElement* earlier) override;
    QCoro::Task<void> awaitApplication(qint32 processIdentifier, std::stop_token stopToken) override;

    // The start element, up to four ancestors, then descendants breadth first, without repeats.
    QList<AccessibilityElementRef> collectCandidates(const AccessibilityElementRef& start);
    // The first candidate with the highest score.
    FocusedElementReading bestCandidate(const AccessibilityElementRef& start);
    // The first secure field among the candidates; none when there is none.
    FocusedElementReading secureCandidate(const AccessibilityElementRef& start);

private:
    AccessibilityElementNavigating& m_navigator;
    int m_maximumCandidateSearchCount;
};

}  // namespace quorvelle
