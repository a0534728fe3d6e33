#include "Services/Delivery/FocusedTargetIdentityScore.h"

#include <cmath>

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

    if (earlier.app.processIdentifier == current.app.processIdentifier) {
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

    if (a.frame && b.frame) {
        if (similarFrames(*a.frame, *b.frame)) {
            add(20, "similar frame");
        } else {
            add(-40, "different frame");
        }
    }

    if (a.size && b.size && similarSizes(*a.size, *b.size)) add(10, "similar size");

    result.isSameSurface = result.score >= sameSurfaceThreshold;
    return result;
}

}  // namespace quorvelle
