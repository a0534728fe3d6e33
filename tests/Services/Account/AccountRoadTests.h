#pragma once

#include "Services/Backend/SecretItemStoring.h"

#include <memory>
#include <ostream>
#include <vector>

namespace quorvelle::test {

// The keyring the sign-in road runs against; a null store means it is not available here and the
// tests skip.
struct KeyringKind {
    const char* name;
    std::shared_ptr<SecretItemStoring> (*make)();
};

inline void PrintTo(const KeyringKind& kind, std::ostream* out) {
    *out << kind.name;
}

// The keyrings of this test binary.
std::vector<KeyringKind> keyringKinds();

}  // namespace quorvelle::test
