#include "forms/web/AttrValue.h"

#include "forms/lang/Text.h"

namespace quill::web {

namespace {

// Character positions are signed 16-bit numbers counted from 1.
constexpr long kLastPosition = 32767;

}  // namespace

std::wstring AttrValue(std::wstring_view name, std::wstring_view source)
{
    const std::wstring opening = std::wstring(name) + L"=\"";
    const long at = forms::InStr(source, opening, forms::CompareMode::Text);
    if (at == 0 || at > kLastPosition)
        return {};
    const long valueStart = at + forms::Len(opening);
    const long close = forms::InStr(valueStart, source, L"\"");
    if (close == 0)
        return forms::Mid(source, valueStart);
    return forms::Mid(source, valueStart, close - valueStart);
}

}  // namespace quill::web
