// The three changing actions of the detail page (bad debt, delete, finish):
// their questions, requests, replies and the messages that close them.
#pragma once

#include "protocol/ServiceRequests.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quill::workspace {

enum class DetailAction { BadDebt, Delete, Finish };

struct DetailActionTexts {
    // Yes/No, question icon, No the default; every one titled kConfirmTitle.
    const wchar_t* confirmation;
    const wchar_t* successText;
    const wchar_t* successTitle;
};
const DetailActionTexts& TextsOf(DetailAction action);

inline constexpr wchar_t kConfirmTitle[] = L"删除项目";
// Finish is refused, with the program's title, while the project is not due.
inline constexpr wchar_t kNotDueMessage[] =
    L"当前项目还未到期，无法设置为已完成！\r\n如果项目已经提前还款或债权转让，请编辑项目设置正确的到期日。";
// A rejected reply: this message titled "出错", then logout.
inline constexpr wchar_t kActionFailedMessage[] = L"操作过程中产生错误，请执行重新登录操作。";
inline constexpr wchar_t kActionFailedTitle[] = L"出错";

// Finish is refused while the due date is later than today.
bool FinishRefused(double dueDate, double today);

protocol::ServiceRequest DetailActionRequest(DetailAction action, std::int32_t projectId,
                                             std::wstring_view authQuery);

}  // namespace quill::workspace
