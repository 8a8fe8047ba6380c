#include "workspace/EntryFields.h"

#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "session/RepayType.h"

#include <cmath>
#include <functional>
#include <optional>

namespace quill::workspace {

namespace {

// The repayment types a day term can have: due with interest, and interest
// when the loan is full.
constexpr std::int32_t kDayTypes[] = {1, 6};
constexpr std::int32_t kTypeCount = 6;

// A number as the submit reads it; a number beyond the double range fails
// the check it is read for.
std::optional<double> Leniently(std::wstring_view text)
{
    try {
        return forms::Val(text);
    } catch (const forms::RuntimeError&) {
        return std::nullopt;
    }
}

bool Within(std::wstring_view text, double low, double high)
{
    const std::optional<double> value = Leniently(text);
    return value && *value >= low && *value <= high;
}

// A term is above 0 and at most five years.
bool TermWithin(std::wstring_view term, bool inDays)
{
    const std::optional<double> value = Leniently(term);
    return value && *value > 0 && *value <= (inDays ? kLongestTermDays : kLongestTermMonths);
}

bool ValueDateWithin(std::wstring_view text, double today)
{
    const std::optional<double> date = forms::ReadDate(text);
    if (!date)
        return false;
    return *date >= forms::DateSerial(2010, 1, 1) &&
           forms::DateDiff(forms::DateInterval::Day, today, *date) <= 10;
}

std::wstring Blanked(std::wstring text, std::wstring_view separators)
{
    for (wchar_t& c : text)
        if (separators.find(c) != std::wstring_view::npos)
            c = L' ';
    return text;
}

}  // namespace

std::wstring WithoutBrackets(std::wstring_view text)
{
    // Removing a "[]" can only bring a "[" before it next to a "]" after it,
    // so each "]" that meets a "[" still kept cancels it: what removing "[]"
    // again and again leaves, in one pass over a pasted text of any depth.
    std::wstring cleaned;
    cleaned.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L']' && !cleaned.empty() && cleaned.back() == L'[')
            cleaned.pop_back();
        else
            cleaned.push_back(c);
    }
    return cleaned;
}

const std::vector<EntryRow>& EntryRows()
{
    static const std::vector<EntryRow> rows{
        {L"Addptmc", L"平台名称：", L"* 输入投资平台名称，方便分类管理查询统计，如陆金所", 0, 0},
        {L"Addptid", L"平台账号：", L"如果在同一平台有多个登录账号，方便记忆与筛选管理", 0, 1},
        {L"Addxmmc", L"项目名称：", L"* 平台上标明的投资项目名称或期数", 20, -1},
        {L"AddDateB", L"起息日期：", L"* 选择投资起息日期，注意不是投资日期", 10, 2},
        {L"Addday", L"投资期限：", L"* 项目借款天数或月数，月标要选择[月]", 4, 3},
        {L"AddDateE", L"到期日期：", L"自动计算出投资结束日期，也可先指定日期后手动转换为天数", 10, 4},
        {L"Addmoney", L"投资金额：", L"* 本项目总的投资金额(含代金券的总和)，元", 8, 5},
        {L"Addlilu", L"年化利率：", L"* 只适用年化利率百分比，单位：％", 5, 6},
        {L"Myear0", L"年化基准：", L"年化利率计算一年的基准，一般为360天", 0, -1},
        {L"Addtype", L"投资类型：", L"* 还本还息类型。选择正确的投资期限单位，才能显示天标和月标类型", 0, -1},
        {L"Jieshu0", L"是否结束：", L"是否已经完成的项目", 0, -1},
        {L"Addquan", L"使用代金券：", L"平台各抵扣券、金币等可抵扣本金金额，单位：元", 10, -1},
        {L"Addadd", L"额外收入：", L"投资奖励、逾期罚息等收入项，单位：元", 10, -1},
        {L"Addpay", L"额外支出：", L"管理费、手续费、坏账、债权转让等，单位：元", 10, -1},
        {L"Addlixifei", L"利息管理费：", L"平台收取的利息管理费，单位%", 5, 7},
        {L"Addbz", L"备注：", L"30个字以内，提醒自己的事项", 30, -1},
    };
    return rows;
}

std::wstring NormalisedNumber(std::wstring_view text)
{
    return forms::NumberText(std::fabs(forms::Val(text)));
}

std::wstring EntryCheckMessage(const EntryTexts& t, double today)
{
    const struct {
        std::function<bool()> passes;
        const wchar_t* message;
    } checks[] = {
        {[&] {
             return !t.platform.empty() && !t.projectName.empty() && !t.valueDate.empty() &&
                    !t.term.empty() && !t.amount.empty() && !t.annualRate.empty();
         },
         kRequiredMessage},
        {[&] { return TermWithin(t.term, t.termInDays); },
         t.termInDays ? kTermDaysMessage : kTermMonthsMessage},
        {[&] { return ValueDateWithin(t.valueDate, today); }, kValueDateMessage},
        {[&] { return Within(t.amount, 100, 100000000); }, kAmountMessage},
        {[&] { return Within(t.annualRate, 1, 50); }, kRateMessage},
        {[&] { return Within(t.voucher, 0, 10000); }, kVoucherMessage},
        {[&] { return Within(t.interestFee, 0, 50); }, kFeeMessage},
        {[&] { return session::RepayTypeCode(t.repayType) > 0; }, kRepayTypeMessage},
    };
    for (const auto& check : checks)
        if (!check.passes())
            return check.message;
    return {};
}

std::wstring CleanedName(std::wstring_view text)
{
    return Blanked(WithoutBrackets(text), L",|:");
}

std::wstring CleanedRemark(std::wstring_view text)
{
    return Blanked(WithoutBrackets(text), L",|");
}

void CleanEntry(EntryTexts& texts)
{
    texts.platform = CleanedName(texts.platform);
    texts.account = CleanedName(texts.account);
    texts.projectName = CleanedName(texts.projectName);
    texts.remark = CleanedRemark(texts.remark);
}

protocol::AddFields EntryAddFields(const EntryTexts& t, std::int32_t id)
{
    return {.platform = t.platform,
            .account = t.account,
            .projectName = t.projectName,
            .valueDate = t.valueDate,
            .term = t.term,
            .termInDays = t.termInDays,
            .amount = t.amount,
            .annualRate = t.annualRate,
            .repayTypeCode = session::RepayTypeCode(t.repayType),
            .finished = t.finished,
            .voucher = t.voucher,
            .extraIncome = t.extraIncome,
            .extraExpense = t.extraExpense,
            .remark = t.remark,
            .interestFeeRate = t.interestFee,
            .yearBasis360 = t.yearBasis360,
            .id = id};
}

std::vector<std::wstring> RepayTypesFor(bool termInDays)
{
    std::vector<std::wstring> names;
    if (termInDays) {
        for (std::int32_t code : kDayTypes)
            names.push_back(session::RepayTypeName(code));
    } else {
        for (std::int32_t code = 1; code <= kTypeCount; ++code)
            names.push_back(session::RepayTypeName(code));
    }
    return names;
}

DueDateResult CoverToDate(std::wstring_view valueDate, std::wstring_view term, bool termInDays)
{
    DueDateResult result;
    const std::optional<double> start = forms::ReadDate(valueDate);
    if (!start)
        return result;
    const double count = forms::Val(term);
    if (count > (termInDays ? kLongestTermDays : kLongestTermMonths)) {
        result.kind = DueDateResult::Kind::TermTooLong;
        result.message = termInDays ? kTermDaysMessage : kTermMonthsMessage;
        return result;
    }
    const auto interval = termInDays ? forms::DateInterval::Day : forms::DateInterval::Month;
    result.kind = DueDateResult::Kind::DueDate;
    result.dueDate = forms::DateText(forms::DateAdd(interval, forms::ToInt32(count), *start));
    return result;
}

TermResult TermFromDates(bool termInDays, std::wstring_view valueDate, std::wstring_view dueDate)
{
    if (!termInDays)
        return {kCoverNeedsDaysMessage, {}};
    const std::optional<double> start = forms::ReadDate(valueDate);
    if (!start)
        return {kCoverNeedsValueDateMessage, {}};
    const std::optional<double> end = forms::ReadDate(dueDate);
    if (!end)
        return {kCoverNeedsDueDateMessage, {}};
    if (*start > *end)
        return {kCoverDueBeforeValueMessage, {}};
    return {{}, std::to_wstring(forms::DateDiff(forms::DateInterval::Day, *start, *end))};
}

EntryTexts EditEntry(const protocol::ProjectRecord& record)
{
    using R = protocol::ProjectRecord;
    EntryTexts t;
    t.platform = record.Text(R::PlatformName);
    t.projectName = record.Text(R::ProjectName);
    t.account = record.Text(R::PlatformAccount);
    t.valueDate = record.Text(R::ValueDate);
    t.dueDate = record.Text(R::DueDate);
    t.annualRate = record.Text(R::AnnualRate);
    t.term = record.Text(R::Term);
    t.termInDays = record.TermInDays();
    t.amount = record.Text(R::Amount);
    t.finished = record.IsFinished();
    t.voucher = record.Text(R::Voucher);
    t.extraIncome = record.Text(R::ExtraIncome);
    t.extraExpense = record.Text(R::ExtraExpense);
    t.interestFee = record.Text(R::InterestFeeRate);
    t.remark = record.Text(R::Remark);
    t.repayType = session::RepayTypeName(record.StrictInt32(R::RepayType));
    t.yearBasis360 = record.YearBasisDays() == 360;
    return t;
}

bool ListHoldsEntry(std::wstring_view list, const EntryTexts& texts)
{
    using R = protocol::ProjectRow;
    // The service keeps names as sent and may write numbers and dates in
    // forms of its own ("5000.00", "2026-01-05"): those compare by value.
    auto sameNumber = [](double a, double b) { return std::fabs(a - b) < 0.005; };
    const std::optional<double> valueDate = forms::ReadDate(texts.valueDate);
    const std::optional<double> amount = Leniently(texts.amount), rate = Leniently(texts.annualRate),
                                term = Leniently(texts.term);
    if (!valueDate || !amount || !rate || !term)
        return false;
    auto same = [&](const R& row) {
        return forms::Trim(row.Text(R::PlatformName)) == forms::Trim(texts.platform) &&
               forms::Trim(row.Text(R::PlatformAccount)) == forms::Trim(texts.account) &&
               forms::Trim(row.Text(R::ProjectName)) == forms::Trim(texts.projectName) &&
               row.StrictDate(R::ValueDate) == *valueDate && row.TermInDays() == texts.termInDays &&
               sameNumber(row.Strict(R::Term), *term) && sameNumber(row.Strict(R::Amount), *amount) &&
               sameNumber(row.Strict(R::AnnualRate), *rate);
    };
    for (const R& row : protocol::ReadRows<R>(list)) {
        try {
            if (same(row))
                return true;
        } catch (const forms::RuntimeError&) {
        }
    }
    return false;
}

}  // namespace quill::workspace
