#include "workspace/ProjectDetail.h"

#include "forms/lang/Dates.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "protocol/ReplyForms.h"
#include "workspace/FormatWan.h"
#include "session/RepayType.h"
#include "workspace/PageIds.h"

namespace quill::workspace {

namespace {

using R = protocol::ProjectRecord;

std::wstring Wan(const protocol::ReplyItems& items, int item)
{
    return FormatWan(items.Strict(item)) + L"元";
}

std::wstring StatusText(const protocol::ProjectRecord& record, std::int32_t daysLeft)
{
    if (record.IsFinished())
        return L"已完结回款";
    return L"收款中,回款天数:" + std::to_wstring(daysLeft) + L"天";
}

ScheduleListRow ReadScheduleRow(const protocol::ScheduleRow& row, int position)
{
    using S = protocol::ScheduleRow;
    const std::wstring& month = row.Text(S::YearMonth);
    ScheduleListRow list;
    list.texts = {
        std::to_wstring(position + 1),
        forms::Left(month, 4) + L"年" + forms::Mid(month, 5) + L"月  ",
        row.Text(S::Days) + L"天 ",
        FormatWan(row.Strict(S::RepaidPrincipal)),
        FormatWan(row.Strict(S::RepaidInterest)),
        FormatWan(row.Lenient(S::RepaidPrincipal) + row.Lenient(S::RepaidInterest)),
        row.Text(S::RepayDate),
        FormatWan(row.Strict(S::HoldingInterest)),
    };
    list.month = month;
    list.holdingInterest = row.Text(S::HoldingInterest);
    return list;
}

}  // namespace

bool DetailReplyUsable(std::wstring_view reply)
{
    return protocol::RecordReplyUsable(reply) && protocol::ProjectRecord(reply).Count() >= R::kItemCount;
}

ProjectDetail ReadProjectDetail(std::wstring_view reply, double today)
{
    const protocol::ProjectRecord record(reply);
    ProjectDetail page;
    const std::wstring title = record.Text(R::PlatformName) + L" " + record.Text(R::ProjectName);
    page.chartCaption = title + L" 详情";
    page.pageCaption = title + L" 分月详情";

    page.dueDate = record.StrictDate(R::DueDate);
    const std::int32_t daysLeft = forms::DateDiff(forms::DateInterval::Day, today, page.dueDate);
    page.statusColour = daysLeft > 0 ? kPendingColour : kDueColour;
    const std::wstring& remark = record.Text(R::Remark);
    page.lines = {{
        {L"交易平台：", record.Text(R::PlatformName)},
        {L"项目名称：", record.Text(R::ProjectName)},
        {L"平台账号：", record.Text(R::PlatformAccount)},
        {L"项目状态：", StatusText(record, daysLeft)},
        {L"起息日期：", record.Text(R::ValueDate)},
        {L"到期日期：", record.Text(R::DueDate)},
        {L"投资期限：", record.Text(R::Term) + (record.TermInDays() ? L"天" : L"个月")},
        {L"项目类型：：", session::RepayTypeName(record.StrictInt32(R::RepayType))},
        {L"投入本金：", Wan(record, R::Amount)},
        {L"预期收益：", Wan(record, R::ExpectedIncome)},
        {L"实际收益：", Wan(record, R::ActualIncome)},
        {L"到期回款：",
         FormatWan(record.Lenient(R::Amount) + record.Lenient(R::ActualIncome) - record.Lenient(R::Voucher)) +
             L"元"},
        {L"标称/实际收益率：", record.Text(R::AnnualRate) + L"% / " + record.Text(R::ActualRate) + L" %"},
        {L"代金券/额外收入：", record.Text(R::Voucher) + L"元 / " + record.Text(R::ExtraIncome) + L"元"},
        {L"额外支出/利息管理费：", record.Text(R::ExtraExpense) + L"/" + record.Text(R::InterestFee) + L"(" +
                                       record.Text(R::InterestFeeRate) + L"%)"},
        {L"备注：", remark.empty() ? L"无" : remark},
    }};
    page.finished = record.IsFinished();

    const std::vector<protocol::ScheduleRow> rows = record.ScheduleRows();
    // The highest index of the schedule's pieces: the number of rows, since
    // every row ends with "|", and -1 for an empty schedule, which splits
    // into no piece at all.
    page.chartItemCount = record.Text(R::Schedule).empty() ? -1 : static_cast<std::int32_t>(rows.size());
    page.chartLabelAngle = page.chartItemCount > 12 ? -25 : 0;
    for (size_t r = 0; r < rows.size(); ++r)
        page.schedule.push_back(ReadScheduleRow(rows[r], static_cast<int>(r)));
    return page;
}

DetailVerdict ClassifyDetailReply(std::wstring_view reply, double today)
{
    DetailVerdict verdict;
    if (!DetailReplyUsable(reply))
        return verdict;
    try {
        verdict.detail = ReadProjectDetail(reply, today);
        verdict.reading = DetailReading::Read;
    } catch (const forms::RuntimeError& e) {
        verdict.reading = DetailReading::Broken;
        verdict.error = e;
    }
    return verdict;
}

std::wstring DetailErrorMessage(const forms::RuntimeError& error)
{
    return error.Description() + L"\r\nErr:" + std::to_wstring(error.Number());
}

ShowinfoWork ShowinfoWorkOn(std::int32_t nowId)
{
    switch (nowId) {
    case OverviewPage:
    case EntryPage:
    case CurrentProjectsPage:
    case FinishedProjectsPage:
        return ShowinfoWork::OpenDetail;
    case CurrentPlatformsPage:
    case FinishedPlatformsPage:
        return ShowinfoWork::PlatformList;
    case MonthlyReportPage:
        return ShowinfoWork::MonthList;
    case YearlyReportPage:
        return ShowinfoWork::YearList;
    default:
        return ShowinfoWork::Nothing;
    }
}

ShowinfoFilter ShowinfoFilterFor(ShowinfoWork work, std::int32_t nowId, std::wstring_view showid,
                                 double today)
{
    using forms::DateInterval;
    ShowinfoFilter filter;
    const std::wstring trimmed = forms::Trim(showid);
    switch (work) {
    case ShowinfoWork::PlatformList:
        filter.tab = nowId == FinishedPlatformsPage ? FinishedProjectsPage : CurrentProjectsPage;
        filter.platform = trimmed;
        return filter;
    case ShowinfoWork::MonthList:
    case ShowinfoWork::YearList: {
        // "2015年12月" is day 1 of the month; "2015年" becomes January 1.
        const bool month = work == ShowinfoWork::MonthList;
        const double first = forms::ToDate(month ? trimmed : trimmed + L"1月1日");
        const DateInterval span = month ? DateInterval::Month : DateInterval::Year;
        // The current or a later month (year) is held; an earlier one is finished.
        filter.tab = forms::DateDiff(span, first, today) <= 0 ? CurrentProjectsPage : FinishedProjectsPage;
        filter.start = forms::DateText(first);
        filter.end = forms::DateText(forms::DateAdd(span, 1, first) - 1);
        filter.dateKind = 1;
        return filter;
    }
    case ShowinfoWork::OpenDetail:
    case ShowinfoWork::Nothing:
        break;
    }
    return filter;
}

}  // namespace quill::workspace
