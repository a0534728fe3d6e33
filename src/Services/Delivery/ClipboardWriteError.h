#pragma once

#include <stdexcept>

namespace quorvelle {

class ClipboardWriteError : public std::runtime_error {
public:
    enum class Case { snapshotFailed, writeFailed, restoreFailed };

    explicit ClipboardWriteError(Case errorCase);
    Case errorCase() const noexcept { return m_case; }

private:
    Case m_case;
};

}  // namespace quorvelle
