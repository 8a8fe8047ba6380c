#pragma once
// The bracket cleaning as the entry form once did it: the whole text replaced
// again for every level of nesting, so a deeply nested text takes time that
// grows with its square. The one-pass cleaning is checked and timed against it.
#include "forms/lang/Text.h"

#include <string>
#include <string_view>

namespace quill::test {

inline std::wstring WithoutBracketsByPasses(std::wstring_view text)
{
    std::wstring cleaned(text);
    while (cleaned.find(L"[]") != std::wstring::npos)
        cleaned = forms::Replace(cleaned, L"[]", L"");
    return cleaned;
}

}  // namespace quill::test
