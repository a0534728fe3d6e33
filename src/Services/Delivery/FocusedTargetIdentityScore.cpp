#include "Services/Delivery/FocusedTargetIdentityScore.h"

#include <cmath>

#include "Services/Delivery/ElementHandleStorage.h"
#include "Services/Delivery/FocusedTargetSnapshot.h"

namespace quorvelle {
namespace {

constexpr double kTolerancePoints = 4.0;

bool within(double a, double b) {
    return std::abs(a - b) <= kTolerancePoints;
}

bool similarFrames(const QRectF& a, const QRectF& b) {
    return within(a.center().x(), b.center().x()) && within(a.center().y(), b.center().y()) &&
           within(a.width(), b.width()) && within(a.height(), b.height());
}

bool similarSizes(const QSizeF& a, const QSizeF& b) {
    return within(a.width(), b.width()) && within(a.height(), b.height());
}

// Toolkits answer an empty or negative extent (Firefox: -1,-1 -1x-1) while they do not know the
// bounds yet; such an answer says nothing about where the element is.
std::optional<QRectF> knownFrame(const std::optional<QRectF>& frame) {
    if (!frame || frame->width() <= 0 || frame->height() <= 0) return std::nullopt;
    return frame;
}

// Both looks found the very same accessibility object of the same process.
bool sameElement(const FocusedTargetSnapshot& a, const FocusedTargetSnapshot& b) {
    const AccessibilityElementRef elementA = elementOf(a.elementHandle), elementB = elementOf(b.elementHandle);
    return elementA && elementB && a.app.processIdentifier == b.app.processIdentifier &&
           elementA->identityKey() == elementB->identityKey();
}

std::optional<QSizeF> knownSize(const std::optional<QSizeF>& size) {
    if (!size || size->width() <= 0 || size->height() <= 0) return std::nullopt;
    return size;
}

}  // namespace

FocusedTargetIdentityScore FocusedTargetIdentityScore::compute(const FocusedTargetSnapshot& earlier,
                                                               const FocusedTargetSnapshot& current) {
    FocusedTargetIdentityScore result;
    auto add = [&](int points, const char* reason) {
        result.score += points;
        result.reasons.append(QString::fromLatin1(reason));
    };
    const FocusedElementMetadata& a = earlier.element;
    const FocusedElementMetadata& b = current.element;

    const bool sameApplication = earlier.app.isSameApplication(current.app);
    if (sameApplication) {
        add(20, "same process id");
    } else {
        add(0, "different process id");
    }

    // std::optional equality also holds when both are absent, which these rules count as a match.
    if (earlier.app.bundleIdentifier == current.app.bundleIdentifier) add(20, "same bundle id");

    const bool bothIdentified = a.identifier && b.identifier;
    if (bothIdentified) {
        if (*a.identifier == *b.identifier) {
            add(35, "same AXIdentifier");
        } else {
            add(-30, "different AXIdentifier");
        }
    }

    if (a.role == b.role && a.subrole == b.subrole) add(15, "same role/subrole");

    if (a.title == b.title) {
        add(10, "same title");
    } else if (!bothIdentified) {
        add(-20, "different title");
    }

    const std::optional<QRectF> frameA = knownFrame(a.frame), frameB = knownFrame(b.frame);
    if (frameA && frameB) {
        if (similarFrames(*frameA, *frameB)) {
            add(20, "similar frame");
        } else if (sameElement(earlier, current)) {
            // The page or window moved under a field that kept the focus (a bar shown above it).
            add(0, "same element, moved");
        } else {
            add(-40, "different frame");
        }
    }

    const std::optional<QSizeF> sizeA = knownSize(a.size), sizeB = knownSize(b.size);
    if (sizeA && sizeB && similarSizes(*sizeA, *sizeB)) add(10, "similar size");

    // Two processes of one program show alike fields in alike windows (GTK 4 tells window-relative
    // extents): points cannot tell them apart, but a field of another process is never the same one.
    result.isSameSurface = sameApplication && result.score >= sameSurfaceThreshold;
    return result;
}

}  // namespace quorvelle
