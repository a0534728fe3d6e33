#pragma once

#include <unicode/uchar.h>

// Unicode general categories that the text rules test one code point against.
namespace quorvelle::CharacterClasses {

// \p{L} or \p{N}: what the whole-word guards and "between two letters or digits" mean.
inline bool isLetterOrNumber(char32_t c) {
    return (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_N_MASK)) != 0;
}

// Letters with the combining marks, the set a sentence's first letter is looked for in.
inline bool isLetterOrMark(char32_t c) {
    return (U_GET_GC_MASK(c) & (U_GC_L_MASK | U_GC_M_MASK)) != 0;
}

inline bool isPunctuation(char32_t c) {
    return (U_GET_GC_MASK(c) & U_GC_P_MASK) != 0;
}

}  // namespace quorvelle::CharacterClasses
