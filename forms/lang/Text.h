// The text functions of the platform's language that our code relies on,
// with positions counted from 1 as the language counts them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::forms {

// Binary compares UTF-16 codes; Text ignores letter case and the width of
// full-width Latin letters and digits, then compares codes.
enum class CompareMode { Binary, Text };

// Position of the first `sought` in `text` at or after `start`, 0 when there
// is none; an empty `sought` is found at `start`. start < 1 raises 5.
long InStr(std::wstring_view text, std::wstring_view sought, CompareMode mode = CompareMode::Binary);
long InStr(long start, std::wstring_view text, std::wstring_view sought,
           CompareMode mode = CompareMode::Binary);

// The characters from `start` (to the end, or `length` of them); start < 1
// or length < 0 raises 5. Parts beyond the text are simply not there.
std::wstring Mid(std::wstring_view text, long start);
std::wstring Mid(std::wstring_view text, long start, long length);
std::wstring Left(std::wstring_view text, long length);
std::wstring Right(std::wstring_view text, long length);

// Every `find` replaced, from left to right; an empty `find` changes nothing.
std::wstring Replace(std::wstring_view text, std::wstring_view find, std::wstring_view replacement,
                     CompareMode mode = CompareMode::Binary);

// The pieces between delimiters: "a,,b" gives "a", "", "b"; an empty text
// gives no pieces at all; an empty delimiter gives the whole text.
std::vector<std::wstring> Split(std::wstring_view text, std::wstring_view delimiter);

// Spaces (only U+0020) removed at the start, the end or both.
std::wstring LTrim(std::wstring_view text);
std::wstring RTrim(std::wstring_view text);
std::wstring Trim(std::wstring_view text);

// Latin (ASCII, Latin-1, full-width), Greek and Cyrillic letters lowered or
// raised; everything else unchanged.
std::wstring LCase(std::wstring_view text);
std::wstring UCase(std::wstring_view text);

// -1, 0 or 1 as `a` sorts before, equal to or after `b`.
int StrComp(std::wstring_view a, std::wstring_view b, CompareMode mode = CompareMode::Binary);
// Equal when compared as text (ignoring case).
bool TextEquals(std::wstring_view a, std::wstring_view b);

inline long Len(std::wstring_view text)
{
    return static_cast<long>(text.size());
}

}  // namespace quill::forms
