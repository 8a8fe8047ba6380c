// The session token that every request carries, and how a stale one is told.
#pragma once

#include "quill/Config.h"

#include <cstdint>
#include <string_view>

namespace quill::session {

// Shared with the service; set by the build.
constexpr std::int32_t TokenConstant = config::TokenConstant;

// Whole seconds from 2015-01-01 00:00:00 to the local date-time that text
// reads as, or to now (the forms clock) when it reads as none. Taken as a
// signed 32-bit number, wrapping as the service's does.
std::int32_t SecondsSinceEpoch2015(std::wstring_view text);

// The token: those seconds plus today's year, month and day (today's also
// when the seconds come from the service's time) plus TokenConstant, wrapping
// to a signed 32-bit number.
std::int32_t MakeSessionToken(std::wstring_view text);

// Only a reply that begins with "err=" tells that the token was stale; a
// data reply that merely contains "err=" (in a project's remark, say) is not
// one, so a change is never sent twice because of it.
bool IsStaleTokenReply(std::wstring_view reply);

// The token for the repeated request: computed from the service's time that
// follows "err=" (from now when that is no date-time).
std::int32_t TokenAfterStaleReply(std::wstring_view reply);

}  // namespace quill::session
