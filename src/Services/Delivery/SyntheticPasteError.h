#pragma once

#include <stdexcept>

namespace quorvelle {

class SyntheticPasteError : public std::runtime_error {
public:
    enum class Case { frontmostApplicationChanged, eventSourceUnavailable, eventCreationFailed };

    explicit SyntheticPasteError(Case errorCase);
    Case errorCase() const noexcept { return m_case; }

private:
    Case m_case;
};

}  // namespace quorvelle
