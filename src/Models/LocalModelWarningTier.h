// LocalModelWarningTier: how strongly the interface warns about a local model's resource use.
#pragma once

namespace quorvelle {

enum class LocalModelWarningTier {
    none,
    elevated,
    heavy,
};

}  // namespace quorvelle
