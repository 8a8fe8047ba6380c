#include "updater/UpdatePath.h"

#include "forms/lang/Text.h"
#include "updater/Utf8.h"

#include <array>
#include <cstdint>

namespace quill::updater {
namespace {

constexpr std::size_t ComponentLimit = 255;
constexpr std::size_t PathLimit = 259;

bool IsForbiddenCharacter(wchar_t c)
{
    return c < 0x20 || c == 0x7F || std::wstring_view(L":<>\"|?*").find(c) != std::wstring_view::npos;
}

// The names the system opens as devices whatever folder they stand in.
bool IsDeviceName(std::wstring_view component)
{
    std::wstring_view base = component.substr(0, component.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.remove_suffix(1);
    const std::wstring upper = forms::UCase(base);
    static constexpr std::array<std::wstring_view, 6> Fixed{L"CON", L"PRN",    L"AUX",
                                                            L"NUL", L"CONIN$", L"CONOUT$"};
    for (std::wstring_view name : Fixed)
        if (upper == name)
            return true;
    if (upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT"))) {
        const wchar_t n = upper[3];
        return (n >= L'0' && n <= L'9') || n == L'\u00B9' || n == L'\u00B2' || n == L'\u00B3';
    }
    return false;
}

bool IsPlainComponent(std::wstring_view c)
{
    if (c.empty() || c.size() > ComponentLimit || c == L"." || c == L"..")
        return false;
    for (wchar_t ch : c)
        if (IsForbiddenCharacter(ch))
            return false;
    if (c.back() == L'.' || c.back() == L' ')
        return false;
    return !IsDeviceName(c);
}

bool IsUnreserved(unsigned char b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' ||
           b == '.' || b == '_' || b == '~';
}

std::wstring Joined(const std::vector<std::wstring>& parts, wchar_t separator)
{
    std::wstring out;
    for (const std::wstring& part : parts) {
        if (!out.empty())
            out += separator;
        out += part;
    }
    return out;
}

}  // namespace

std::optional<UpdatePath> UpdatePath::Parse(std::wstring_view path)
{
    if (path.empty() || path.size() > PathLimit)
        return std::nullopt;
    UpdatePath result;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find_first_of(L"/\\", start);
        const std::wstring_view component =
            path.substr(start, end == std::wstring_view::npos ? end : end - start);
        if (!IsPlainComponent(component))
            return std::nullopt;
        result.components_.emplace_back(component);
        if (end == std::wstring_view::npos)
            return result;
        start = end + 1;
    }
}

std::wstring UpdatePath::WindowsPath() const
{
    return Joined(components_, L'\\');
}

std::wstring UpdatePath::SameFileKey() const
{
    return forms::UCase(Joined(components_, L'\\'));
}

std::wstring UpdatePath::UrlPath() const
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::wstring out;
    for (const std::wstring& component : components_) {
        if (!out.empty())
            out += L'/';
        for (unsigned char b : Utf8(component)) {
            if (IsUnreserved(b)) {
                out += static_cast<wchar_t>(b);
            } else {
                out += L'%';
                out += static_cast<wchar_t>(Hex[b >> 4]);
                out += static_cast<wchar_t>(Hex[b & 15]);
            }
        }
    }
    return out;
}

}  // namespace quill::updater
