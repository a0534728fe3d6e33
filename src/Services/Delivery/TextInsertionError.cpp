#include "Services/Delivery/TextInsertionError.h"

namespace quorvelle {

namespace {

const char* describe(TextInsertionError::Case errorCase) {
    switch (errorCase) {
        case TextInsertionError::Case::accessibilityPermissionMissing: return "accessibility is not available";
        case TextInsertionError::Case::missingTargetReference: return "the target holds no element";
        case TextInsertionError::Case::unsupportedTarget: return "the target cannot take text directly";
        case TextInsertionError::Case::insertionLocationUnavailable: return "no place to insert the text";
        case TextInsertionError::Case::replacementHintMismatch: return "the text to replace has changed";
        case TextInsertionError::Case::writeFailed: return "the element refused the write";
    }
    return "text insertion failed";
}

}  // namespace

TextInsertionError::TextInsertionError(Case errorCase) : std::runtime_error(describe(errorCase)), m_case(errorCase) {}

}  // namespace quorvelle
