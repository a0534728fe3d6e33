#pragma once

#include <QString>
#include <memory>

namespace quorvelle {

// An element of another application's accessibility tree. The platform layer subclasses it; the
// delivery logic only passes it around and compares identities.
class AccessibilityElement {
public:
    virtual ~AccessibilityElement() = default;
    // Equal for two references to the same element of the same application.
    virtual QString identityKey() const = 0;
};

using AccessibilityElementRef = std::shared_ptr<AccessibilityElement>;

}  // namespace quorvelle
