#include "forms/lang/Text.h"

#include "forms/lang/Error.h"

#include <algorithm>

namespace quill::forms {
namespace {

// Pairs of first capital, first small letter and count, for the scripts that
// change case by a fixed distance.
struct CaseRange {
    wchar_t upper;
    wchar_t lower;
    wchar_t count;
};

constexpr CaseRange kCaseRanges[] = {
    {0x0041, 0x0061, 26},  // A-Z
    {0x00C0, 0x00E0, 23},  // À-Ö
    {0x00D8, 0x00F8, 7},   // Ø-Þ
    {0x0391, 0x03B1, 17},  // Α-Ρ
    {0x03A3, 0x03C3, 9},   // Σ-Ω
    {0x0400, 0x0450, 16},  // Ѐ-Џ
    {0x0410, 0x0430, 32},  // А-Я
    {0xFF21, 0xFF41, 26},  // Ａ-Ｚ
};

wchar_t Lower(wchar_t c)
{
    for (const CaseRange& r : kCaseRanges)
        if (c >= r.upper && c < r.upper + r.count)
            return static_cast<wchar_t>(c - r.upper + r.lower);
    return c;
}

wchar_t Upper(wchar_t c)
{
    for (const CaseRange& r : kCaseRanges)
        if (c >= r.lower && c < r.lower + r.count)
            return static_cast<wchar_t>(c - r.lower + r.upper);
    return c;
}

// The form in which text comparison sees a character.
wchar_t Fold(wchar_t c, CompareMode mode)
{
    if (mode == CompareMode::Binary)
        return c;
    if (c >= 0xFF01 && c <= 0xFF5E)  // full-width ASCII
        c = static_cast<wchar_t>(c - 0xFEE0);
    return Lower(c);
}

bool MatchesAt(std::wstring_view text, size_t at, std::wstring_view sought, CompareMode mode)
{
    for (size_t k = 0; k < sought.size(); ++k)
        if (Fold(text[at + k], mode) != Fold(sought[k], mode))
            return false;
    return true;
}

// Zero-based index of `sought` at or after `from`, or npos.
size_t Find(std::wstring_view text, std::wstring_view sought, size_t from, CompareMode mode)
{
    if (mode == CompareMode::Binary)
        return text.find(sought, from);
    if (sought.size() > text.size())
        return std::wstring_view::npos;
    for (size_t at = from; at + sought.size() <= text.size(); ++at)
        if (MatchesAt(text, at, sought, mode))
            return at;
    return std::wstring_view::npos;
}

std::wstring Mapped(std::wstring_view text, wchar_t (*map)(wchar_t))
{
    std::wstring result(text);
    std::transform(result.begin(), result.end(), result.begin(), map);
    return result;
}

}  // namespace

long InStr(std::wstring_view text, std::wstring_view sought, CompareMode mode)
{
    return InStr(1, text, sought, mode);
}

long InStr(long start, std::wstring_view text, std::wstring_view sought, CompareMode mode)
{
    if (start < 1)
        throw RuntimeError(kInvalidCall);
    if (static_cast<unsigned long>(start) > text.size())
        return 0;
    if (sought.empty())
        return start;
    const size_t at = Find(text, sought, static_cast<size_t>(start - 1), mode);
    return at == std::wstring_view::npos ? 0 : static_cast<long>(at + 1);
}

std::wstring Mid(std::wstring_view text, long start)
{
    if (start < 1)
        throw RuntimeError(kInvalidCall);
    const size_t from = static_cast<size_t>(start - 1);
    return from >= text.size() ? std::wstring() : std::wstring(text.substr(from));
}

std::wstring Mid(std::wstring_view text, long start, long length)
{
    if (length < 0)
        throw RuntimeError(kInvalidCall);
    return Left(Mid(text, start), length);
}

std::wstring Left(std::wstring_view text, long length)
{
    if (length < 0)
        throw RuntimeError(kInvalidCall);
    return std::wstring(text.substr(0, static_cast<size_t>(length)));
}

std::wstring Right(std::wstring_view text, long length)
{
    if (length < 0)
        throw RuntimeError(kInvalidCall);
    const size_t n = std::min(text.size(), static_cast<size_t>(length));
    return std::wstring(text.substr(text.size() - n));
}

std::wstring Replace(std::wstring_view text, std::wstring_view find, std::wstring_view replacement,
                     CompareMode mode)
{
    if (find.empty())
        return std::wstring(text);
    std::wstring result;
    size_t from = 0;
    for (size_t at; (at = Find(text, find, from, mode)) != std::wstring_view::npos; from = at + find.size()) {
        result.append(text.substr(from, at - from));
        result.append(replacement);
    }
    result.append(text.substr(from));
    return result;
}

std::vector<std::wstring> Split(std::wstring_view text, std::wstring_view delimiter)
{
    std::vector<std::wstring> pieces;
    if (text.empty())
        return pieces;
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    size_t from = 0;
    for (size_t at; (at = text.find(delimiter, from)) != std::wstring_view::npos;
         from = at + delimiter.size())
        pieces.emplace_back(text.substr(from, at - from));
    pieces.emplace_back(text.substr(from));
    return pieces;
}

std::wstring LTrim(std::wstring_view text)
{
    const size_t first = text.find_first_not_of(L' ');
    return first == std::wstring_view::npos ? std::wstring() : std::wstring(text.substr(first));
}

std::wstring RTrim(std::wstring_view text)
{
    const size_t last = text.find_last_not_of(L' ');
    return last == std::wstring_view::npos ? std::wstring() : std::wstring(text.substr(0, last + 1));
}

std::wstring Trim(std::wstring_view text)
{
    return LTrim(RTrim(text));
}

std::wstring LCase(std::wstring_view text)
{
    return Mapped(text, Lower);
}
std::wstring UCase(std::wstring_view text)
{
    return Mapped(text, Upper);
}

int StrComp(std::wstring_view a, std::wstring_view b, CompareMode mode)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t k = 0; k < n; ++k) {
        const unsigned ca = static_cast<unsigned>(Fold(a[k], mode));
        const unsigned cb = static_cast<unsigned>(Fold(b[k], mode));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool TextEquals(std::wstring_view a, std::wstring_view b)
{
    return StrComp(a, b, CompareMode::Text) == 0;
}

}  // namespace quill::forms
