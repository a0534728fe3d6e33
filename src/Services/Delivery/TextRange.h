#pragma once

#include <QtGlobal>

namespace quorvelle {

// A span of a text field's value, in UTF-16 code units (what QString counts).
struct TextRange {
    qsizetype location = 0;
    qsizetype length = 0;

    qsizetype end() const { return location + length; }
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

}  // namespace quorvelle
