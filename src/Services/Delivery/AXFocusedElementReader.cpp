#include "Services/Delivery/AXFocusedElementReader.h"

#include "Services/Delivery/FocusedTargetInspectionError.h"

#include <QQueue>
#include <QSet>

namespace quorvelle {

AXFocusedElementReader::AXFocusedElementReader(AccessibilityElementNavigating& navigator,
                                               int maximumCandidateSearchCount)
    : m_navigator(navigator), m_maximumCandidateSearchCount(maximumCandidateSearchCount) {}

FocusedElementReading AXFocusedElementReader::readFocusedElement(qint32 processIdentifier) {
    // Only the application that owns the input focus is asked: walking every application lets one
    // hung program stall the whole lookup.
    if (AccessibilityElementRef focused = m_navigator.focusedElement(processIdentifier)) {
        return bestCandidate(focused);
    }
    if (AccessibilityElementRef window = m_navigator.focusedWindow(processIdentifier)) {
        return bestCandidate(window);
    }
    throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable);
}

QList<AccessibilityElementRef> AXFocusedElementReader::collectCandidates(const AccessibilityElementRef& start) {
    QList<AccessibilityElementRef> candidates{start};
    QSet<QString> visited{start->identityKey()};

    AccessibilityElementRef ancestor = start;
    for (int step = 0; step < kMaximumAncestorCount; ++step) {
        ancestor = m_navigator.parent(*ancestor);
        if (!ancestor) break;
        // A repeated ancestor means a cycle; going on would only repeat it.
        if (visited.contains(ancestor->identityKey())) break;
        visited.insert(ancestor->identityKey());
        candidates.append(ancestor);
    }

    QQueue<AccessibilityElementRef> queue;
    queue.enqueue(start);
    while (!queue.isEmpty() && candidates.size() < m_maximumCandidateSearchCount) {
        const AccessibilityElementRef element = queue.dequeue();
        for (const AccessibilityElementRef& child : m_navigator.children(*element)) {
            if (!child) continue;
            const QString key = child->identityKey();
            if (visited.contains(key)) continue;
            visited.insert(key);
            candidates.append(child);
            queue.enqueue(child);
            if (candidates.size() >= m_maximumCandidateSearchCount) break;
        }
    }
    return candidates;
}

FocusedElementReading AXFocusedElementReader::bestCandidate(const AccessibilityElementRef& start) {
    FocusedElementReading best;
    int bestScore = -1;
    for (const AccessibilityElementRef& candidate : collectCandidates(start)) {
        RawFocusedElementMetadata metadata = m_navigator.readMetadata(*candidate);
        const int score = metadata.candidateScore();
        if (score > bestScore) {
            bestScore = score;
            best = FocusedElementReading{candidate, std::move(metadata)};
        }
    }
    return best;
}

}  // namespace quorvelle
