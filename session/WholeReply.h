// When a reply that came is the whole reply: the rules the request routine
// applies to the headers and the byte count of a finished transfer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quill::session {

// The largest reply the client takes. The largest a real account produces is
// its list of current projects: 100,000 projects at about 85 bytes a row is
// 8.5 MB; this leaves room for rows of 335 bytes (long names) on average.
inline constexpr std::uint64_t LargestReplyBytes = std::uint64_t(32) << 20;

// Whether a Content-Length announces more than LargestReplyBytes, however it
// is written (leading zeros, more digits than 64 bits hold): the reply can be
// refused before it has all come.
bool AnnouncesTooLarge(std::wstring_view contentLength);
// The same for another bound (the updater's descriptor).
bool AnnouncesMoreThan(std::wstring_view contentLength, std::uint64_t bound);

// Whether `received` bytes are the whole reply: exactly as many as its
// Content-Length says, and no more than LargestReplyBytes. The platform
// decodes a compressed reply and its length counts the compressed bytes, so
// only the limit applies to one. A reply without a length (chunked, or ended
// by the connection's close) is taken as the request object delivered it:
// the platform here reports cut or broken chunks and a connection closed
// early as a normal end, so nothing tells such a cut from a whole reply.
bool ArrivedWhole(std::wstring_view contentLength, std::wstring_view contentEncoding, std::size_t received);

// The same rule without the client's size limit (the updater's downloads have
// limits of their own): as many bytes as the Content-Length says, any count
// for a compressed reply or for one without a length.
bool MatchesItsLength(std::wstring_view contentLength, std::wstring_view contentEncoding,
                      std::size_t received);

}  // namespace quill::session
