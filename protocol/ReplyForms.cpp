#include "protocol/ReplyForms.h"

#include "protocol/ServiceRecords.h"

#include "forms/lang/Text.h"

#include <array>

namespace quill::protocol {

namespace {

// A refusal is a code of two characters and "|".
constexpr std::size_t kRefusalLength = 3;
struct LoginRefusal {
    std::wstring_view code;
    std::wstring_view message;
};
constexpr std::array<LoginRefusal, 5> kLoginRefusals{{
    {L"-1", L"登录频繁，要求输入验证码或者输入的验证码不正确。"},
    {L"-2", L"输入的账号密码不正确。"},
    {L"-3", L"输入的用户名与密码不匹配，请检查是否输入正确。"},
    {L"-4", L"登录时系统产生错误，请稍候系统工程师进行修复，或联系客服进行反馈。"},
    {L"-5", L"当前版本已经不支持登录使用，请升级到新版本。"},
}};

bool Holds(std::wstring_view text, std::wstring_view sought)
{
    return text.find(sought) != std::wstring_view::npos;
}

constexpr std::int64_t kLargestId = 2147483647;

// A positive whole number of at most ten digits within the 32-bit range.
std::optional<std::int32_t> ReadSavedId(std::wstring_view text)
{
    if (text.empty() || text.size() > 10)
        return std::nullopt;
    std::int64_t id = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        id = id * 10 + (c - L'0');
    }
    if (id <= 0 || id > kLargestId)
        return std::nullopt;
    return static_cast<std::int32_t>(id);
}

}  // namespace

bool LoginNeedsBackup(std::wstring_view reply)
{
    return reply.empty() || (!Holds(reply, L"|") && !Holds(reply, L"[]"));
}

LoginVerdict ClassifyLoginReply(std::wstring_view reply)
{
    if (!Holds(reply, L"|"))
        return {LoginOutcome::Unreachable, {}, {}};
    if (reply.size() == kRefusalLength) {
        const std::wstring_view code = reply.substr(0, 2);
        for (const LoginRefusal& refusal : kLoginRefusals)
            if (code == refusal.code)
                return {LoginOutcome::Refused, std::wstring(code), std::wstring(refusal.message)};
    }
    // An unlisted code, a lone "|" or a page that came in place of the
    // service's would open a main window with nothing to show: no login.
    if (!SnapshotReadable(reply))
        return {LoginOutcome::Unreachable, {}, {}};
    return {LoginOutcome::Accepted, {}, {}};
}

bool ReloginNeedsBackup(std::wstring_view reply)
{
    return !Holds(reply, L"[]");
}

bool ReloginRefused(std::wstring_view reply)
{
    return reply.size() == kRefusalLength;
}

bool ListReplyFailed(std::wstring_view reply, double projectCount)
{
    if (reply.empty())
        return true;
    // Every row ends with "|": a reply whose last row does not was cut
    // inside it.
    if (Holds(reply, L"|"))
        return reply.back() != L'|';
    return projectCount > 0;
}

bool RecordReplyUsable(std::wstring_view reply)
{
    return Holds(reply, L"|");
}

bool ActionReplyRejected(std::wstring_view reply)
{
    return (Holds(reply, L"|") && reply.size() == kRefusalLength) || !Holds(reply, L"[]");
}

bool SnapshotReadable(std::wstring_view text)
{
    const AccountSnapshot snapshot(text);
    if (snapshot.SectionCount() < AccountSnapshot::kSectionCount)
        return false;
    return snapshot.ReadUserInfo().Count() > UserInfo::FinishedWeightedRate;
}

SaveVerdict ClassifySaveReply(std::wstring_view reply)
{
    SaveVerdict verdict;
    if (reply.empty()) {
        verdict.outcome = SaveOutcome::Unknown;
    } else if (reply.size() == kRefusalLength) {
        verdict.outcome = SaveOutcome::Refused;
    } else if (reply.starts_with(L"-F|")) {
        verdict.outcome = SaveOutcome::Message;
        verdict.message = forms::Replace(reply, L"-F|", L"");
    } else if (!Holds(reply, L"[]") || !Holds(reply, L"|")) {
        verdict.outcome = SaveOutcome::NotSaved;
    } else if (const std::size_t comma = reply.find(L','); comma == std::wstring_view::npos) {
        verdict.outcome = SaveOutcome::WithoutId;
    } else if (const std::optional<std::int32_t> id = ReadSavedId(reply.substr(0, comma));
               !id || !SnapshotReadable(reply.substr(comma + 1))) {
        verdict.outcome = SaveOutcome::WithoutId;
    } else {
        verdict.outcome = SaveOutcome::Saved;
        verdict.id = id;
        verdict.snapshot = reply.substr(comma + 1);
    }
    return verdict;
}

}  // namespace quill::protocol
