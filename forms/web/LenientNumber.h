// The chart texts' and report pages' lenient reading of a number.
#pragma once

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"

#include <limits>
#include <string_view>

namespace quill::web {

// Val's reading, except that a number beyond a double's range, for which Val
// raises 6, reads as the infinity of its sign: a reader's range check then
// caps or refuses it as it does any other number too large, and a text the
// reader is given never stops it.
inline double LenientNumber(std::wstring_view text)
{
    try {
        return forms::Val(text);
    } catch (const forms::RuntimeError&) {
        const size_t first = text.find_first_not_of(L" \t\n");
        const bool negative = first != std::wstring_view::npos && text[first] == L'-';
        return negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
}

}  // namespace quill::web
