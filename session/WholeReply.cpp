#include "session/WholeReply.h"

#include <optional>

namespace quill::session {
namespace {

// The header's decimal value (spaces around it allowed), however many digits
// it is written with: one beyond 64 bits reads as the largest value, which
// no reply can match and every bound refuses. Nothing for any other text or
// an empty one.
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
        if (c < L'0' || c > L'9')
            return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - L'0');
        value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
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
    return AnnouncesMoreThan(contentLength, LargestReplyBytes);
}

bool AnnouncesMoreThan(std::wstring_view contentLength, std::uint64_t bound)
{
    const std::optional<std::uint64_t> length = Length(contentLength);
    return length && *length > bound;
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
