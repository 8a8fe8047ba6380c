#include "updater/UpdateDescriptor.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Text.h"

namespace quill::updater {
namespace {

// The profile reader's blanks: what C's isspace counts in the ASCII range.
bool IsProfileBlank(wchar_t c)
{
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

std::wstring_view TrimBlanks(std::wstring_view text)
{
    while (!text.empty() && IsProfileBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsProfileBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && forms::LCase(a) == forms::LCase(b);
}

// The next line of `text` from `pos`, without its line break (CR, LF or CR LF).
std::wstring_view NextLine(std::wstring_view text, std::size_t& pos)
{
    const std::size_t start = pos;
    const std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring_view::npos) {
        pos = text.size();
        return text.substr(start);
    }
    pos = end + 1;
    if (text[end] == L'\r' && pos < text.size() && text[pos] == L'\n')
        ++pos;
    return text.substr(start, end - start);
}

constexpr std::size_t ValueLimit = 1023;

// Whether the bytes read as code-page 936 text: single bytes up to 0x7F
// (no zero), or a lead byte 0x81-0xFE with a trail byte 0x40-0xFE other than 0x7F.
bool IsCodePageText(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == 0)
            return false;
        if (b < 0x80)
            continue;
        if (b == 0x80 || b == 0xFF || i + 1 == bytes.size())
            return false;
        const auto trail = static_cast<unsigned char>(bytes[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
            return false;
    }
    return true;
}

}  // namespace

std::optional<std::wstring> DescriptorText(std::string_view bytes)
{
    // A byte-order mark would read as code-page characters, and swallow the "[".
    const bool marked =
        bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    if (bytes.empty() || bytes.size() > DescriptorByteLimit || marked || !IsCodePageText(bytes))
        return std::nullopt;
    return forms::AnsiToText(bytes);
}

bool HasUpdateMarkers(std::wstring_view text)
{
    return forms::InStr(text, L"[Update]", forms::CompareMode::Text) > 0 &&
           forms::InStr(text, L"[/Update]", forms::CompareMode::Text) > 0;
}

std::wstring ProfileString(std::wstring_view text, std::wstring_view section, std::wstring_view key)
{
    return ProfileSection(text, section).Value(key);
}

ProfileSection::ProfileSection(std::wstring_view text, std::wstring_view section)
{
    section = TrimBlanks(section);
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::wstring_view line = TrimBlanks(NextLine(text, pos));
        if (!line.empty() && line.front() == L'[') {
            const std::size_t close = line.rfind(L']');
            if (close == 0 || close == std::wstring_view::npos)
                continue;  // no header; a stray line of the section it stands in
            if (inSection)
                return;  // only the first section of the name counts
            inSection = SameName(TrimBlanks(line.substr(1, close - 1)), section);
            continue;
        }
        if (!inSection)
            continue;
        const std::size_t equals = line.find(L'=');
        if (equals == std::wstring_view::npos)
            continue;
        std::wstring_view value = TrimBlanks(line.substr(equals + 1));
        if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        values_.emplace(forms::LCase(TrimBlanks(line.substr(0, equals))), value.substr(0, ValueLimit));
    }
}

std::wstring ProfileSection::Value(std::wstring_view key) const
{
    const auto found = values_.find(forms::LCase(TrimBlanks(key)));
    return found == values_.end() ? L"" : found->second;
}

}  // namespace quill::updater
