#include "Services/Delivery/SyntheticPasteError.h"

namespace quorvelle {

namespace {

const char* describe(SyntheticPasteError::Case errorCase) {
    switch (errorCase) {
        case SyntheticPasteError::Case::frontmostApplicationChanged: return "another application is in front";
        case SyntheticPasteError::Case::eventSourceUnavailable: return "synthetic key events are not available";
        case SyntheticPasteError::Case::eventCreationFailed: return "the paste keys could not be made";
    }
    return "synthetic paste failed";
}

}  // namespace

SyntheticPasteError::SyntheticPasteError(Case errorCase) : std::runtime_error(describe(errorCase)), m_case(errorCase) {}

}  // namespace quorvelle
