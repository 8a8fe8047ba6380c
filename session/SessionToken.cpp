#include "session/SessionToken.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Text.h"

namespace quill::session {
namespace {

std::int32_t Wrap(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::int64_t SecondOfDay(const forms::DateParts& p)
{
    return (p.hour * 60LL + p.minute) * 60 + p.second;
}

}  // namespace

std::int32_t SecondsSinceEpoch2015(std::wstring_view text)
{
    const double epoch = forms::ToDate(L"2015-1-1 0:0:0");
    const double moment = forms::ReadDate(text).value_or(forms::Now());
    // Days and seconds apart, so that no 32-bit difference can overflow.
    const std::int64_t days = forms::DateDiff(forms::DateInterval::Day, epoch, moment);
    return Wrap(days * 86400 + SecondOfDay(forms::SplitDate(moment)) - SecondOfDay(forms::SplitDate(epoch)));
}

std::int32_t MakeSessionToken(std::wstring_view text)
{
    const forms::DateParts today = forms::SplitDate(forms::Today());
    return Wrap(static_cast<std::int64_t>(SecondsSinceEpoch2015(text)) + today.year + today.month +
                today.day + TokenConstant);
}

bool IsStaleTokenReply(std::wstring_view reply)
{
    return reply.substr(0, 4) == L"err=";
}

std::int32_t TokenAfterStaleReply(std::wstring_view reply)
{
    return MakeSessionToken(forms::Replace(reply, L"err=", L""));
}

}  // namespace quill::session
