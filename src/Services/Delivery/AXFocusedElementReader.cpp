#include "Services/Delivery/AXFocusedElementReader.h"

#include "Services/Delivery/FocusedTargetInspectionError.h"

#include <QQueue>
#include <QSet>

namespace quorvelle {

AXFocusedElementReader::AXFocusedElementReader(AccessibilityElementNavigating& navigator,
                                               int maximumCandidateSearchCount)
    : navigator_(navigator), maximumCandidateSearchCount_(maximumCandidateSearchCount) {}

FocusedElementReading AXFocusedElementReader::readFocusedElement(qint32 processIdentifier) {
    // Only the application that owns the input focus is asked: walking every application lets one
    // hung program stall the whole lookup.
    if (AccessibilityElementRef focused = navigator_.focusedElement(processIdentifier)) {
        return bestCandidate(focused);
    }
    if (AccessibilityElementRef window = navigator_.focusedWindow(processIdentifier)) {
        return bestCandidate(window);
    }
    throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable);
}

QList<AccessibilityElementRef> AXFocusedElementReader::collectCandidates(const AccessibilityElementRef& start) {
    QList<AccessibilityElementRef> candidates{start};
    QSet<QString> visited{start->identityKey()};

    AccessibilityElementRef ancestor = start;
    for (int step = 0; step < kMaximumAncestorCount; ++step) {
        ancestor = navigator_.parent(*ancestor);
        if (!ancestor) break;
        // A repeated ancestor means a cycle; going on would only repeat it.
        if (visited.contains(ancestor->identityKey())) break;
        visited.insert(ancestor->identityKey());
        candidates.append(ancestor);
    }

    QQueue<AccessibilityElementRef> queue;
    queue.enqueue(start);
    while (!queue.isEmpty() && candidates.size() < maximumCandidateSearchCount_) {
        const AccessibilityElementRef element = queue.dequeue();
        for (const AccessibilityElementRef& child : navigator_.children(*element)) {
            if (!child) continue;
            const QString key = child->identityKey();
            if (visited.contains(key)) continue;
            visited.insert(key);
            candidates.append(child);
            queue.enqueue(child);
            if (candidates.size() >= maximumCandidateSearchCount_) break;
        }
    }
    return candidates;
}

FocusedElementReading AXFocusedElementReader::bestCandidate(const AccessibilityElementRef& start) {
    FocusedElementReading best;
    int bestScore = -1;
    for (const AccessibilityElementRef& candidate : collectCandidates(start)) {
        RawFocusedElementMetadata metadata = navigator_.readMetadata(*candidate);
        const int score = metadata.candidateScore();
        if (score > bestScore) {
            bestScore = score;
            best = FocusedElementReading{candidate, std::move(metadata)};
        }
    }
    return best;
}

}  // namespace quorvelle
