// The entry form's rules, apart from its window: the rows and their limits,
// what a number box makes of its text, the checks of a submit with their
// messages, the cleaning of the texts that go out, the due date and the term
// computed from each other, the body's fields, what the edit form fills in,
// and the messages of the save's replies.
#pragma once

#include "protocol/ServiceRecords.h"
#include "protocol/ServiceRequests.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill::workspace {

// One row of the form: its control, label, hint, the most characters the
// user can type (0: no limit set), and its keep tick (-1: none).
struct EntryRow {
    const wchar_t* control;
    const wchar_t* label;
    const wchar_t* hint;
    int maxLength;
    int keepTick;
};
const std::vector<EntryRow>& EntryRows();

// The form's texts and choices as the submit reads them.
struct EntryTexts {
    std::wstring platform;      // Addptmc
    std::wstring account;       // Addptid
    std::wstring projectName;   // Addxmmc
    std::wstring valueDate;     // AddDateB
    std::wstring term;          // Addday
    bool termInDays = true;     // TY0 (else TY1, months)
    std::wstring dueDate;       // AddDateE (never sent)
    std::wstring amount;        // Addmoney
    std::wstring annualRate;    // Addlilu
    bool yearBasis360 = true;   // Myear0 (else Myear1, 365 days)
    std::wstring repayType;     // Addtype's selected name
    bool finished = false;      // Jieshu1 (else Jieshu0)
    std::wstring voucher;       // Addquan
    std::wstring extraIncome;   // Addadd
    std::wstring extraExpense;  // Addpay
    std::wstring interestFee;   // Addlixifei
    std::wstring remark;        // Addbz

    bool operator==(const EntryTexts&) const = default;
};

// A number box's text once it loses the focus: the plain decimal text of
// the absolute value of its leading number ("12abc" "12", "-5" "5", "" "0",
// "1e3" "1000"). A number beyond the double range raises 6 and the text
// stays as typed.
std::wstring NormalisedNumber(std::wstring_view text);

inline constexpr wchar_t kRequiredMessage[] = L"带 * 号的必填项，至少有一项您没有填写。";
inline constexpr wchar_t kTermDaysMessage[] = L"输入的投资日期不能小于1天或大于5年(1825天).";
inline constexpr wchar_t kTermMonthsMessage[] = L"输入的投资日期不能小于1个月或大于5年(60个月).";
inline constexpr wchar_t kValueDateMessage[] =
    L"输入的起息日期不正确，不能小于2010-1-1或大于当前日期10天后。";
inline constexpr wchar_t kAmountMessage[] = L"投资金额不能小于100元或大于1亿元.";
inline constexpr wchar_t kRateMessage[] = L"输入的年化利率不能小于1%或大于50%.";
inline constexpr wchar_t kVoucherMessage[] = L"输入的代金券不能大于10000元.";
inline constexpr wchar_t kFeeMessage[] = L"输入的管理费率不能大于50%.";
// An edited project whose stored type this program does not know: the form
// shows it, but cannot send it back.
inline constexpr wchar_t kRepayTypeMessage[] = L"【投资类型】无法识别，请重新选择投资类型后再提交。";

// The longest terms: five years.
inline constexpr int kLongestTermDays = 1825;
inline constexpr int kLongestTermMonths = 60;

// The message of the first check of a submit that fails, "" when all pass.
// Numbers are read leniently (an empty text is 0); `today` is a date value.
// The value date must read as a date from 2010-1-1 to today + 10 days, and
// the repayment type must be one of the six names.
std::wstring EntryCheckMessage(const EntryTexts& texts, double today);

// "[]" removed until none is left: "[[]]" and "[][[]]" leave nothing, "[a]"
// and "][" stay.
std::wstring WithoutBrackets(std::wstring_view text);
// The cleaning before a submit: the text without brackets, then ",", "|" and
// ":" (the remark keeps its ":") replaced by a blank, so that no text can
// break the lists and sections it comes back in.
std::wstring CleanedName(std::wstring_view text);
std::wstring CleanedRemark(std::wstring_view text);
// The platform, account, project name and remark cleaned.
void CleanEntry(EntryTexts& texts);

// The body's fields of the form's texts; the project's id is 0 for a new one.
protocol::AddFields EntryAddFields(const EntryTexts& texts, std::int32_t id);

// The repayment types Addtype offers for a term unit: the two day types, or
// all six for months.
std::vector<std::wstring> RepayTypesFor(bool termInDays);

// The due date from the value date and the term (CoverToDate).
struct DueDateResult {
    enum class Kind {
        Nothing,      // the value date is no date
        TermTooLong,  // message shown, the term set to "0"
        DueDate,      // dueDate holds the system's short date text
    } kind = Kind::Nothing;
    std::wstring message;
    std::wstring dueDate;
};
DueDateResult CoverToDate(std::wstring_view valueDate, std::wstring_view term, bool termInDays);

// The term in days from the two dates ("转换为天数"): either a message and
// nothing changes, or the term's new text.
struct TermResult {
    std::wstring message;
    std::wstring term;
};
TermResult TermFromDates(bool termInDays, std::wstring_view valueDate, std::wstring_view dueDate);

// What the edit form shows of a project read whole (every field set, none
// left from before). Raises like the record's readings.
EntryTexts EditEntry(const protocol::ProjectRecord& record);

// Whether a project list ("do=list&" or "do=overlist&") holds a project as
// the form would send it: the same platform, account and name, value date,
// term and unit, amount and rate. A save whose answer was lost may have
// stored it, and sending the form again would store it twice. A row that
// does not read is no such project.
bool ListHoldsEntry(std::wstring_view list, const EntryTexts& texts);

// The messages of a save's replies.
inline constexpr wchar_t kRefusedCharactersMessage[] =
    L"输入的数据中有不被接受的字符，请删除非中英文、数字以外的字符后，再试提交。";
inline constexpr wchar_t kNotSavedMessage[] = L"数据未提交成功，请重试或稍候重试。";
// No answer came: the service may have stored the project all the same, or
// may still receive it later.
inline constexpr wchar_t kUnknownOutcomeMessage[] =
    L"没有收到服务器的回应，数据可能已经提交成功，也可能稍后才到达服务器。"
    L"现在重新读取项目列表，请先查看该项目是否已在列表中（稍后才到达的不会立即显示），"
    L"再决定是否重新提交。";
// No answer came to an edit: the project is listed either way.
inline constexpr wchar_t kUnknownEditOutcomeMessage[] =
    L"没有收到服务器的回应，对项目的修改可能已经保存，也可能稍后才到达服务器。"
    L"请稍后打开该项目，查看修改是否已经保存。";
// Before a form given back after a save without an answer is sent again.
inline constexpr wchar_t kSendAgainQuestion[] =
    L"上次提交此项目时没有收到服务器的回应，该项目可能已经保存，也可能稍后才到达服务器。"
    L"再次提交可能会重复记账，保存第二个相同的项目。\r\n确定要再次提交吗？";
inline constexpr wchar_t kNoIdMessage[] = L"数据返回失败.";
inline constexpr wchar_t kSavedMessage[] = L"添加/编辑数据成功。";
inline constexpr wchar_t kSavedTitle[] = L"成功添加";
// Next to a form given back after a save without an answer, when the list
// fetched since holds the same project.
inline constexpr wchar_t kAlreadyListedNote[] =
    L"列表中已有与此相同的项目，请确认是否已提交成功，避免重复记账。";

// The messages of "转换为天数".
inline constexpr wchar_t kCoverNeedsDaysMessage[] =
    L"需要先设定【投资期限】的单位为【天】才可以使用【转换为天数】功能。。";
inline constexpr wchar_t kCoverNeedsValueDateMessage[] =
    L"需要先指定【起息日期】，才可以转换为【投资期限】。";
inline constexpr wchar_t kCoverNeedsDueDateMessage[] =
    L"【到期日期】没有指定，请指定【到期日期】才可以转换为【投资期限】。";
inline constexpr wchar_t kCoverDueBeforeValueMessage[] = L"指定的【到期日期】不能小于【起息日期】。";

}  // namespace quill::workspace
