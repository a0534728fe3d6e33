#include "Services/Delivery/ClipboardWriteError.h"

namespace quorvelle {

namespace {

const char* describe(ClipboardWriteError::Case errorCase) {
    switch (errorCase) {
        case ClipboardWriteError::Case::snapshotFailed: return "the clipboard could not be read";
        case ClipboardWriteError::Case::writeFailed: return "the clipboard refused the text";
        case ClipboardWriteError::Case::restoreFailed: return "the clipboard could not be restored";
    }
    return "clipboard failure";
}

}  // namespace

ClipboardWriteError::ClipboardWriteError(Case errorCase) : std::runtime_error(describe(errorCase)), m_case(errorCase) {}

}  // namespace quorvelle
