#include "Services/Delivery/AXFocusedElementReader.h"

#include "Services/Delivery/FocusedTargetInspectionError.h"
#include "Services/Delivery/FocusedTargetTables.h"

#include <QQueue>
#include <QSet>

namespace quorvelle {

AXFocusedElementReader::AXFocusedElementReader(AccessibilityElementNavigating& navigator,
                                               int maximumCandidateSearchCount)
    : m_navigator(navigator), m_maximumCandidateSearchCount(maximumCandidateSearchCount) {}

namespace {

[[noreturn]] void throwFocusInAnotherWindow() {
    throw FocusedTargetInspectionError::focusInAnotherWindow();
}

}  // namespace

FocusedElementReading AXFocusedElementReader::readFocusedElement(const FocusedAppMetadata& app,
                                                                 const AccessibilityElement* earlier) {
    const qint32 processIdentifier = app.processIdentifier;
    // Only the application that owns the input focus is asked: walking every application lets one
    // hung program stall the whole lookup.
    if (AccessibilityElementRef focused = m_navigator.focusedElement(processIdentifier)) {
        // A busy application tells of the focus a newly activated window of it took late: until then
        // the element it names lies in the window that was in front before. Also where it is the
        // earlier choice: that was read just as late.
        if (liesInAnotherWindow(focused, app)) throwFocusInAnotherWindow();
        // Each element looked at is several calls into an application that is often still busy
        // taking the focus back.
        if (earlier && focused->identityKey() == earlier->identityKey()) {
            RawFocusedElementMetadata metadata = m_navigator.readScoringMetadata(*focused);
            if (metadata.candidateScore() >= RawFocusedElementMetadata::kWritableScore) {
                m_navigator.readDescription(*focused, metadata);
                return FocusedElementReading{focused, std::move(metadata), true};
            }
        }
        FocusedElementReading reading = bestCandidate(focused);
        reading.isFocused = reading.element == focused || reading.metadata.isFocused.value_or(false);
        return reading;
    }
    if (AccessibilityElementRef window = m_navigator.focusedWindow(processIdentifier)) {
        if (liesInAnotherWindow(window, app)) throwFocusInAnotherWindow();
        FocusedElementReading reading = bestCandidate(window);
        reading.isFocused = reading.metadata.isFocused.value_or(false);
        return reading;
    }
    // Nothing to read inside a window whose application has no accessibility tree: the caller
    // describes the window instead. An application that tells its focus but shows none is an error.
    if (!m_navigator.hasApplication(processIdentifier)) {
        // A window shown a moment ago whose tree is on its way: what it holds is read once it came
        // (awaitApplication), never by holding the thread here.
        if (m_navigator.isApplicationArriving(processIdentifier)) {
            FocusedElementReading arriving;
            arriving.isApplicationArriving = true;
            return arriving;
        }
        // An application on the bus that cannot tell its focus (GTK 4 while the hot key holds the
        // keyboard, or before its focus first moved): its window stands for the field, unless it
        // shows a password field, which may be the one holding the focus. A password field anywhere
        // among a focused window's candidates is chosen likewise.
        for (const AccessibilityElementRef& window : m_navigator.shownWindows(processIdentifier)) {
            if (FocusedElementReading reading = secureCandidate(window); reading.element) return reading;
        }
        return FocusedElementReading{};
    }
    throw FocusedTargetInspectionError(FocusedTargetInspectionError::Case::focusedElementUnavailable);
}

FocusedElementReading AXFocusedElementReader::readFocusedSecurity(const FocusedAppMetadata& app,
                                                                  const AccessibilityElement* earlier) {
    AccessibilityElementRef focused = m_navigator.focusedElement(app.processIdentifier);
    if (!focused) return readFocusedElement(app, earlier);
    // The dictation's own field still holds the focus: a password field near it lost to it at the press.
    if (!earlier || focused->identityKey() != earlier->identityKey()) {
        if (FocusedElementReading secure = secureCandidate(focused); secure.element) return secure;
    }
    RawFocusedElementMetadata metadata = m_navigator.readScoringMetadata(*focused);
    return FocusedElementReading{std::move(focused), std::move(metadata), true};
}

QCoro::Task<void> AXFocusedElementReader::awaitApplication(qint32 processIdentifier, std::stop_token stopToken) {
    return m_navigator.awaitApplication(processIdentifier, std::move(stopToken));
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
        // Past a writable field only a secure one can rank higher, and the subrole alone tells that:
        // the other reads are saved (each is a call into the application).
        if (bestScore >= RawFocusedElementMetadata::kWritableScore &&
            m_navigator.readSubrole(*candidate) != FocusedTargetTables::secureTextFieldSubrole) {
            continue;
        }
        RawFocusedElementMetadata metadata = m_navigator.readScoringMetadata(*candidate);
        const int score = metadata.candidateScore();
        if (score > bestScore) {
            bestScore = score;
            best = FocusedElementReading{candidate, std::move(metadata)};
        }
        if (bestScore == RawFocusedElementMetadata::kSecureScore) break;
    }
    if (best.element) m_navigator.readDescription(*best.element, best.metadata);
    return best;
}

FocusedElementReading AXFocusedElementReader::secureCandidate(const AccessibilityElementRef& start) {
    for (const AccessibilityElementRef& candidate : collectCandidates(start)) {
        if (m_navigator.readSubrole(*candidate) != FocusedTargetTables::secureTextFieldSubrole) continue;
        FocusedElementReading reading{candidate, m_navigator.readScoringMetadata(*candidate)};
        m_navigator.readDescription(*candidate, reading.metadata);
        reading.isFocused = reading.metadata.isFocused.value_or(false);
        return reading;
    }
    return {};
}

AccessibilityElementRef AXFocusedElementReader::windowOf(const AccessibilityElementRef& element) {
    AccessibilityElementRef current = element;
    for (int depth = 0; depth < kMaximumWindowDepth; ++depth) {
        AccessibilityElementRef above = m_navigator.parent(*current);
        if (!above) return current;
        current = std::move(above);
    }
    return nullptr;
}

bool AXFocusedElementReader::liesInAnotherWindow(const AccessibilityElementRef& element,
                                                 const FocusedAppMetadata& app) {
    if (!app.windowTitle && !app.windowFrame) return false;
    const auto sameTitle = [&app](const RawFocusedElementMetadata& facts) {
        return app.windowTitle && facts.title == app.windowTitle;
    };
    const auto sameFrame = [&app](const RawFocusedElementMetadata& facts) {
        return app.windowFrame && facts.frame == app.windowFrame;
    };
    try {
        const AccessibilityElementRef window = windowOf(element);
        if (!window) return false;
        RawFocusedElementMetadata own;
        const bool ownAnswered = m_navigator.readDescription(*window, own);
        if (sameTitle(own)) return false;
        // A title or frame left unanswered may be the very one that would tell: of the element's window,
        // or of the front one among the others.
        if (!ownAnswered) return true;
        bool otherHasTitle = false;
        bool otherHasFrame = false;
        for (const AccessibilityElementRef& other : m_navigator.shownWindows(app.processIdentifier)) {
            if (!other || other->identityKey() == window->identityKey()) continue;
            RawFocusedElementMetadata facts;
            if (!m_navigator.readDescription(*other, facts)) return true;
            otherHasTitle = otherHasTitle || sameTitle(facts);
            otherHasFrame = otherHasFrame || sameFrame(facts);
        }
        // Two windows of one size in one place (documents opened one over the other) are told apart by
        // the title alone.
        return otherHasTitle || (otherHasFrame && !sameFrame(own));
    } catch (const FocusedTargetInspectionError& error) {
        // An application too busy to answer in time tells no window, its front one included.
        if (error.errorCase() != FocusedTargetInspectionError::Case::focusedElementUnavailable) throw;
        return true;
    }
}

}  // namespace quorvelle
