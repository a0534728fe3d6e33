#include "Views/Common/Motion.h"

#include <atomic>

namespace quorvelle {

namespace {

std::atomic<bool> gAnimationsEnabled{true};

}  // namespace

Motion::Motion(QObject* parent) : QObject(parent), m_enabled(gAnimationsEnabled.load()) {}

void Motion::setAnimationsEnabled(bool enabled) {
    gAnimationsEnabled.store(enabled);
}

bool Motion::animationsEnabled() {
    return gAnimationsEnabled.load();
}

}  // namespace quorvelle
