#include "session/WholeReply.h"

#include <optional>

namespace quill::session {
namespace {

// The header's decimal value (spaces around it allowed); nothing for any
// other text, an empty one or one beyond 64 bits.
std::optional<std::uint64_t> Length(std::wstring_view text)
{
    while (!text.empty() && text.front() == L' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == L' ')
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9' || value > (UINT64_MAX - 9) / 10)
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    return value;
}

bool Compressed(std::wstring_view contentEncoding)
{
    return !contentEncoding.empty() && contentEncoding != L"identity";
}

}  // namespace

bool AnnouncesTooLarge(std::wstring_view contentLength)
{
    const std::optional<std::uint64_t> length = Length(contentLength);
    return length && *length > LargestReplyBytes;
}

bool ArrivedWhole(std::wstring_view contentLength, std::wstring_view contentEncoding, std::size_t received)
{
    return received <= LargestReplyBytes && MatchesItsLength(contentLength, contentEncoding, received);
}

bool MatchesItsLength(std::wstring_view contentLength, std::wstring_view contentEncoding,
                      std::size_t received)
{
    if (Compressed(contentEncoding) || contentLength.empty())
        return true;
    const std::optional<std::uint64_t> length = Length(contentLength);
    return length && *length == received;
}

}  // namespace quill::session
