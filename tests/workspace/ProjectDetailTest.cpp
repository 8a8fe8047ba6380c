// The detail page read from a project's record: which replies are taken, the
// summary lines, the schedule, the buttons offered, where a platform, month
// or year row leads; and the three changing actions' texts and requests.
#include "workspace/DetailActions.h"
#include "workspace/ProjectDetail.h"

#include "tests/support/ErrorNumber.h"

#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::workspace {
namespace {

using test::DateAt;

const wchar_t kSchedule[] = L"201502:24:110.5:3200:130:2015-2-5|201503:31:120:13220.4:110:2015-3-5|";

// A project's 22 items, with some replaced.
std::wstring Record(const std::vector<std::pair<int, std::wstring>>& changes = {})
{
    std::vector<std::wstring> items{
        L"陆金所", L"稳盈-安e 7", L"acc1", L"2015-1-5", L"2015-7-5", L"20000", L"6", L"1",
        L"8.4",    L"8.1",        L"10",   L"84",       L"756",      L"786.5", L"2", L"0",
        L"50",     L"80.5",       L"0",    L"",         kSchedule,   L"360",
    };
    for (const auto& [item, text] : changes)
        items[static_cast<size_t>(item)] = text;
    std::wstring record;
    for (size_t i = 0; i < items.size(); ++i)
        record += (i ? L"," : L"") + items[i];
    return record;
}

std::wstring ScheduleOf(int rows)
{
    std::wstring schedule;
    for (int r = 0; r < rows; ++r)
        schedule += L"201501:30:1:0:0:2015-1-1|";
    return schedule;
}

TEST(ProjectDetail, SixteenLinesOfAHeldProject)
{
    const ProjectDetail page = ReadProjectDetail(Record(), DateAt(2015, 7, 2));
    EXPECT_EQ(page.pageCaption, L"陆金所 稳盈-安e 7 分月详情");
    EXPECT_EQ(page.chartCaption, L"陆金所 稳盈-安e 7 详情");
    const std::vector<DetailLine> expected{
        {L"交易平台：", L"陆金所"},
        {L"项目名称：", L"稳盈-安e 7"},
        {L"平台账号：", L"acc1"},
        {L"项目状态：", L"收款中,回款天数:3天"},
        {L"起息日期：", L"2015-1-5"},
        {L"到期日期：", L"2015-7-5"},
        {L"投资期限：", L"6个月"},
        {L"项目类型：：", L"等额本息"},
        {L"投入本金：", L"2,0000元"},
        {L"预期收益：", L"756元"},
        {L"实际收益：", L"786.5元"},
        {L"到期回款：", L"2,0736.50元"},
        {L"标称/实际收益率：", L"8.4% / 8.1 %"},
        {L"代金券/额外收入：", L"50元 / 80.5元"},
        {L"额外支出/利息管理费：", L"0/84(10%)"},
        {L"备注：", L"无"},
    };
    EXPECT_EQ(std::vector<DetailLine>(page.lines.begin(), page.lines.end()), expected);
    EXPECT_EQ(page.statusColour, kPendingColour);
    EXPECT_EQ(page.dueDate, DateAt(2015, 7, 5));
    EXPECT_FALSE(page.finished);
}

TEST(ProjectDetail, StatusLineCountsCalendarDaysToTheDueDate)
{
    const struct {
        double today;
        const wchar_t* status;
        const wchar_t* dueDate;
        std::wstring text;
        std::int32_t colour;
    } cases[] = {
        {DateAt(2015, 7, 5), L"0", L"2015-7-5", L"收款中,回款天数:0天", kDueColour},
        {DateAt(2015, 7, 4, 23, 59, 59), L"0", L"2015-7-5", L"收款中,回款天数:1天", kPendingColour},
        {DateAt(2015, 7, 8), L"0", L"2015-7-5", L"收款中,回款天数:-3天", kDueColour},
        // Finished: the fixed text, coloured by the days all the same.
        {DateAt(2015, 7, 1), L"2", L"2015-7-5", L"已完结回款", kPendingColour},
        {DateAt(2015, 8, 1), L"2", L"2015/7/5", L"已完结回款", kDueColour},
    };
    for (const auto& c : cases) {
        const ProjectDetail page = ReadProjectDetail(Record({{15, c.status}, {4, c.dueDate}}), c.today);
        EXPECT_EQ(page.lines[3].value, c.text);
        EXPECT_EQ(page.statusColour, c.colour) << c.text;
        EXPECT_EQ(page.finished, std::wstring(c.status) != L"0");
    }
}

TEST(ProjectDetail, TermUnitRemarkAndRepaymentType)
{
    const ProjectDetail days = ReadProjectDetail(
        Record({{6, L"90"}, {7, L"0"}, {14, L"6"}, {19, L"到期前提醒"}}), DateAt(2015, 1, 1));
    EXPECT_EQ(days.lines[6].value, L"90天");
    EXPECT_EQ(days.lines[7].value, L"标满付息到期还本");
    EXPECT_EQ(days.lines[15].value, L"到期前提醒");
    // The unit reads leniently: a text without a number is days.
    EXPECT_EQ(ReadProjectDetail(Record({{7, L"x"}}), DateAt(2015, 1, 1)).lines[6].value, L"6天");
    EXPECT_EQ(ReadProjectDetail(Record({{14, L"9"}}), DateAt(2015, 1, 1)).lines[7].value,
              L"未知类型，请升级程序");
    // The repayment sum reads leniently too.
    EXPECT_EQ(ReadProjectDetail(Record({{16, L"abc"}}), DateAt(2015, 1, 1)).lines[11].value, L"2,0786.50元");
}

TEST(ProjectDetail, ScheduleRowsAndTheirChartSets)
{
    const ProjectDetail page = ReadProjectDetail(Record(), DateAt(2015, 1, 1));
    ASSERT_EQ(page.schedule.size(), 2u);
    using Texts = std::array<std::wstring, kScheduleColumns>;
    EXPECT_EQ(page.schedule[0].texts,
              (Texts{L"1", L"2015年02月  ", L"24天 ", L"3200", L"130", L"3330", L"2015-2-5", L"110.5"}));
    EXPECT_EQ(page.schedule[1].texts, (Texts{L"2", L"2015年03月  ", L"31天 ", L"1,3220.40", L"110",
                                             L"1,3330.40", L"2015-3-5", L"120"}));
    EXPECT_EQ(page.schedule[1].month, L"201503");
    EXPECT_EQ(page.schedule[1].holdingInterest, L"120");
    EXPECT_EQ(page.chartItemCount, 2);
    EXPECT_EQ(page.chartLabelAngle, 0);
}

TEST(ProjectDetail, ChartItemCountAndLabelAngleFollowTheScheduleRows)
{
    const struct {
        std::wstring schedule;
        std::int32_t count, angle;
        size_t rows;
    } cases[] = {
        {L"", -1, 0, 0},
        {ScheduleOf(1), 1, 0, 1},
        {ScheduleOf(12), 12, 0, 12},
        {ScheduleOf(13), 13, -25, 13},
        // A last row without its "|" is no row.
        {L"201501:1:1:0:0:x|201502:1:1:0:0:x", 1, 0, 1},
    };
    for (const auto& c : cases) {
        const ProjectDetail page = ReadProjectDetail(Record({{20, c.schedule}}), DateAt(2015, 1, 1));
        EXPECT_EQ(page.chartItemCount, c.count) << c.schedule;
        EXPECT_EQ(page.chartLabelAngle, c.angle) << c.schedule;
        EXPECT_EQ(page.schedule.size(), c.rows) << c.schedule;
    }
}

// Only a reply that holds a whole project whose strict items read is shown
// (and cached by the page): a refusal, an error page that happens to hold
// "|", or a record whose numbers do not read is not.
TEST(ProjectDetail, RepliesTakenAndRefused)
{
    const std::wstring htmlPage =
        L"<html><head><title>500 - 内部服务器错误</title></head><body>a|b, c</body></html>";
    const struct {
        std::wstring reply;
        DetailReading reading;
        int error;
    } cases[] = {
        {L"", DetailReading::Unusable, 0},
        {L"-9", DetailReading::Unusable, 0},
        {L"-2|", DetailReading::Unusable, 0},
        {htmlPage, DetailReading::Unusable, 0},
        // 22 items without a "|" anywhere: an empty schedule fetched wrongly.
        {Record({{20, L""}}), DetailReading::Unusable, 0},
        // 21 items.
        {Record().substr(0, Record().rfind(L',')) + L"|", DetailReading::Unusable, 0},
        {Record(), DetailReading::Read, 0},
        {Record() + L",extra", DetailReading::Read, 0},
        {Record({{5, L"abc"}}), DetailReading::Broken, forms::kTypeMismatch},
        {Record({{4, L"soon"}}), DetailReading::Broken, forms::kTypeMismatch},
        {Record({{15, L""}}), DetailReading::Broken, forms::kTypeMismatch},
        {Record({{14, L"2.5x"}}), DetailReading::Broken, forms::kTypeMismatch},
        {Record({{13, L"1e20"}}), DetailReading::Broken, forms::kOverflow},
        {Record({{20, L"201501:1:1:x:0:d|"}}), DetailReading::Broken, forms::kTypeMismatch},
        // A schedule row cut short.
        {Record({{20, L"201501:1|"}}), DetailReading::Broken, forms::kSubscriptOutOfRange},
    };
    for (const auto& c : cases) {
        const DetailVerdict verdict = ClassifyDetailReply(c.reply, DateAt(2015, 1, 1));
        EXPECT_EQ(verdict.reading, c.reading) << c.reply;
        EXPECT_EQ(verdict.error.Number(), c.error) << c.reply;
        EXPECT_EQ(DetailReplyUsable(c.reply), c.reading != DetailReading::Unusable) << c.reply;
    }
}

TEST(ProjectDetail, ErrorMessageIsTheDescriptionAndTheNumber)
{
    const DetailVerdict verdict = ClassifyDetailReply(Record({{5, L"abc"}}), DateAt(2015, 1, 1));
    EXPECT_EQ(DetailErrorMessage(verdict.error), forms::ErrorDescription(13) + L"\r\nErr:13");
}

TEST(Showinfo, WorkByThePageShown)
{
    const struct {
        std::int32_t nowId;
        ShowinfoWork work;
    } cases[] = {
        {0, ShowinfoWork::OpenDetail}, {1, ShowinfoWork::OpenDetail},   {2, ShowinfoWork::OpenDetail},
        {4, ShowinfoWork::OpenDetail}, {3, ShowinfoWork::PlatformList}, {5, ShowinfoWork::PlatformList},
        {6, ShowinfoWork::MonthList},  {7, ShowinfoWork::YearList},     {20, ShowinfoWork::Nothing},
        {21, ShowinfoWork::Nothing},   {-1, ShowinfoWork::Nothing},     {8, ShowinfoWork::Nothing},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShowinfoWorkOn(c.nowId), c.work) << c.nowId;
}

TEST(Showinfo, PlatformMonthAndYearRowsFillTheFilter)
{
    const double today = DateAt(2016, 3, 15);
    const ShowinfoFilter platform = ShowinfoFilterFor(ShowinfoWork::PlatformList, 3, L" 陆金所      ", today);
    EXPECT_EQ(platform.tab, 2);
    EXPECT_EQ(platform.platform, L"陆金所");
    EXPECT_EQ(ShowinfoFilterFor(ShowinfoWork::PlatformList, 5, L"P", today).tab, 4);

    const struct {
        ShowinfoWork work;
        const wchar_t* showid;
        std::int16_t tab;
        double start, end;
    } cases[] = {
        {ShowinfoWork::MonthList, L"2016年03月  ", 2, DateAt(2016, 3, 1), DateAt(2016, 3, 31)},
        {ShowinfoWork::MonthList, L"2016年04月  ", 2, DateAt(2016, 4, 1), DateAt(2016, 4, 30)},
        {ShowinfoWork::MonthList, L"2016年02月  ", 4, DateAt(2016, 2, 1), DateAt(2016, 2, 29)},
        {ShowinfoWork::MonthList, L"2015年12月  ", 4, DateAt(2015, 12, 1), DateAt(2015, 12, 31)},
        {ShowinfoWork::YearList, L"2016年 ", 2, DateAt(2016, 1, 1), DateAt(2016, 12, 31)},
        {ShowinfoWork::YearList, L"2017年 ", 2, DateAt(2017, 1, 1), DateAt(2017, 12, 31)},
        {ShowinfoWork::YearList, L"2015年 ", 4, DateAt(2015, 1, 1), DateAt(2015, 12, 31)},
    };
    for (const auto& c : cases) {
        const ShowinfoFilter filter = ShowinfoFilterFor(c.work, 6, c.showid, today);
        EXPECT_EQ(filter.tab, c.tab) << c.showid;
        // The filter reads the texts back as dates.
        EXPECT_EQ(forms::ToDate(filter.start), c.start) << c.showid;
        EXPECT_EQ(forms::ToDate(filter.end), c.end) << c.showid;
        EXPECT_EQ(filter.dateKind, 1);
        EXPECT_EQ(filter.platform, L"");
    }
    EXPECT_EQ(test::ErrorOf([&] { ShowinfoFilterFor(ShowinfoWork::MonthList, 6, L"合计", today); }), 13);
}

TEST(DetailActions, QuestionsRequestsAndSuccessMessages)
{
    const std::wstring auth = L"username=demo&password=x&v=1.3";
    const struct {
        DetailAction action;
        std::wstring body;
        const wchar_t* firstLine;
        const wchar_t* success;
        const wchar_t* title;
    } cases[] = {
        {DetailAction::BadDebt, L"do=bad&id=12&" + auth, L"确定要设置该项目为坏账状态吗？",
         L"成功该项目为坏账状态。", L"设置坏账成功"},
        {DetailAction::Delete, L"do=del&id=12&" + auth, L"确定要删除该项吗？删除后无法恢复！",
         L"成功删除该项目。", L"删除成功"},
        {DetailAction::Finish, L"do=overinfo&id=12&" + auth, L"确定设置该项目为完成状态吗？",
         L"成功设置项目到完成状态。", L"设置完成状态成功"},
    };
    for (const auto& c : cases) {
        const protocol::ServiceRequest request = DetailActionRequest(c.action, 12, auth);
        EXPECT_EQ(request.body, c.body);
        EXPECT_EQ(request.timeoutSeconds, 6);
        const DetailActionTexts& texts = TextsOf(c.action);
        EXPECT_EQ(forms::Split(texts.confirmation, L"\r\n").front(), c.firstLine);
        EXPECT_EQ(std::wstring(texts.successText), c.success);
        EXPECT_EQ(std::wstring(texts.successTitle), c.title);
    }
    EXPECT_EQ(forms::Split(TextsOf(DetailAction::Finish).confirmation, L"\r\n").size(), 3u);
    EXPECT_EQ(forms::Split(TextsOf(DetailAction::BadDebt).confirmation, L"\r\n").size(), 2u);
}

TEST(DetailActions, FinishIsRefusedOnlyBeforeTheDueDate)
{
    EXPECT_TRUE(FinishRefused(DateAt(2015, 7, 6), DateAt(2015, 7, 5)));
    EXPECT_FALSE(FinishRefused(DateAt(2015, 7, 5), DateAt(2015, 7, 5)));
    EXPECT_FALSE(FinishRefused(DateAt(2015, 7, 4), DateAt(2015, 7, 5)));
}

}  // namespace
}  // namespace quill::workspace
