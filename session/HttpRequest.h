// The one road to the service: a blocking form POST with the session token,
// waiting with the windows alive. The values every request reads (the base
// URLs, AuthQuery) are the session's (Session.h).
#pragma once

#include <cstdint>
#include <string>

namespace quill::session {

// Posts body (with "&session=" and a fresh token appended) to url, or GETs url
// when body is empty, and returns the reply decoded from charset; "" on any
// failure or when no complete reply came within timeout seconds (0 means 6,
// written back). The limit holds for the whole transfer; a reply that did not
// arrive whole (see WholeReply.h) or that is larger than any account's is no
// reply either, and one whose headers announce too much is read no further
// than the transfer's first look after them. A connection that nothing
// takes fails at once.
// Window messages are pumped while it waits, so handlers can run inside it,
// other requests included. A reply that begins with "err=" is
// the service saying the token was stale: the request is sent once more with a
// token computed from the service's time that follows it.
std::wstring HttpRequest(const std::wstring& url, const std::wstring& body, int16_t& timeout,
                         const std::wstring& charset, const std::wstring& cookie, bool noCache);

// Removes url from the system's internet cache; never a local file path.
void DropUrlCache(const std::wstring& url);

}  // namespace quill::session
