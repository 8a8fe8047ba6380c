// Reading the service's records by position, and the shared splitting rule.
#include "protocol/ServiceRecords.h"

#include "tests/support/ErrorNumber.h"

#include "forms/lang/Dates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::protocol {
namespace {

using Texts = std::vector<std::wstring>;

TEST(ReplyText, RowsAreThePiecesBeforeTheLastSeparator)
{
    const struct {
        const wchar_t* list;
        Texts rows;
    } cases[] = {
        {L"a,b|c,d|", {L"a,b", L"c,d"}}, {L"a,b|c,d", {L"a,b"}}, {L"", {}}, {L"x", {}}, {L"|", {L""}},
        {L"a||", {L"a", L""}},           {L"[]|", {L"[]"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListRows(c.list), c.rows) << c.list;
    EXPECT_EQ(ListNames(L"P1,P2,"), (Texts{L"P1", L"P2"}));
    EXPECT_EQ(ListNames(L"P1"), Texts{});
}

TEST(ReplyText, ReadRowsReadsEveryRowOfAList)
{
    const std::vector<MonthRow> rows = ReadRows<MonthRow>(L"201511:2:10.4:0:5|201512:3:20:100:6|");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].Text(MonthRow::YearMonth), L"201512");
    EXPECT_EQ(rows[1].Strict(MonthRow::RepaidPrincipal), 100);
    EXPECT_TRUE(ReadRows<PlatformRow>(L"P,1,2,3,4,5,6,7,8").empty());
}

TEST(AccountSnapshot, SplitsIntoSectionsAtEveryPairOfBrackets)
{
    const AccountSnapshot snapshot(L"name|1|2[]201512:1:2:3:4|[][]P,1,2,3,4,5,6,7,8|[]P1,|A1,[]");
    ASSERT_EQ(snapshot.SectionCount(), 6);
    EXPECT_EQ(snapshot.Section(AccountSnapshot::UserInfoItems), L"name|1|2");
    EXPECT_EQ(snapshot.Section(AccountSnapshot::Monthly), L"201512:1:2:3:4|");
    EXPECT_EQ(snapshot.Section(AccountSnapshot::CurrentPlatforms), L"");
    EXPECT_EQ(snapshot.Section(AccountSnapshot::FinishedPlatforms), L"P,1,2,3,4,5,6,7,8|");
    EXPECT_EQ(snapshot.Section(AccountSnapshot::PlatformList), L"P1,|A1,");
    EXPECT_EQ(snapshot.Section(AccountSnapshot::DueSoon), L"");
    EXPECT_EQ(snapshot.ReadUserInfo().Text(UserInfo::UserName), L"name");
}

TEST(AccountSnapshot, AMissingSectionIsSubscriptOutOfRange)
{
    const AccountSnapshot shortSnapshot(L"name|1[]201512:1:2:3:4|[]");
    EXPECT_EQ(shortSnapshot.SectionCount(), 3);
    EXPECT_EQ(test::ErrorOf([&] { shortSnapshot.Section(AccountSnapshot::DueSoon); }), 9);
    EXPECT_EQ(test::ErrorOf([&] { AccountSnapshot(L"").ReadUserInfo(); }), 9);
    EXPECT_EQ(test::ErrorOf([&] { shortSnapshot.Section(-1); }), 9);
}

std::wstring UserInfoText(int items)
{
    std::wstring text = L"演示用户";
    for (int i = 1; i < items; ++i)
        text += L"|" + std::to_wstring(i * 10);
    return text;
}

TEST(UserInfo, NineteenItemsAreReadByPosition)
{
    const UserInfo info(L"演示用户|1|40|262493.8|10582.04|13457.99|1686.88|0|26|14|33427.59|705.34|1.3"
                        L"|0|0|0|145453.54|10.8|9.96");
    ASSERT_EQ(info.Count(), 19);
    EXPECT_EQ(info.Text(UserInfo::UserName), L"演示用户");
    EXPECT_EQ(info.Strict(UserInfo::CurrentPrincipal), 262493.8);
    EXPECT_EQ(info.Strict(UserInfo::FinishedInterest), 10582.04);
    EXPECT_EQ(info.Strict(UserInfo::PendingInterest), 13457.99);
    EXPECT_EQ(info.Strict(UserInfo::MonthHoldingInterest), 1686.88);
    EXPECT_EQ(info.Text(UserInfo::CurrentProjectCount), L"26");
    EXPECT_EQ(info.Text(UserInfo::FinishedProjectCount), L"14");
    EXPECT_EQ(info.Strict(UserInfo::MonthRepaidPrincipal), 33427.59);
    EXPECT_EQ(info.Strict(UserInfo::MonthRepaidInterest), 705.34);
    EXPECT_EQ(info.Text(UserInfo::LatestVersion), L"1.3");
    EXPECT_EQ(info.Strict(UserInfo::FinishedPrincipal), 145453.54);
    EXPECT_EQ(info.Strict(UserInfo::CurrentWeightedRate), 10.8);
    EXPECT_EQ(info.Strict(UserInfo::FinishedWeightedRate), 9.96);
    EXPECT_FALSE(info.NothingRecorded());
    EXPECT_FALSE(info.UserNameSignalsServerFailure());
}

TEST(UserInfo, ShortUserInfoFailsOnlyWhereAMissingItemIsRead)
{
    const UserInfo nine(UserInfoText(9));
    EXPECT_EQ(nine.Text(UserInfo::CurrentProjectCount), L"80");
    EXPECT_EQ(test::ErrorOf([&] { nine.NothingRecorded(); }), 9);
    EXPECT_EQ(test::ErrorOf([&] { nine.Lenient(UserInfo::MonthRepaidInterest); }), 9);
    const UserInfo twelve(UserInfoText(12));
    EXPECT_EQ(test::ErrorOf([&] { twelve.Text(UserInfo::LatestVersion); }), 9);
    EXPECT_EQ(test::ErrorOf([&] { twelve.Strict(UserInfo::MonthRepaidInterest); }), 0);
}

TEST(UserInfo, StrictAndLenientReadings)
{
    const UserInfo info(L"u|||1000|x|25.5|||||| 7 |abc|");
    EXPECT_EQ(info.Strict(UserInfo::CurrentPrincipal), 1000);
    EXPECT_EQ(info.Lenient(UserInfo::CurrentPrincipal) + info.Lenient(UserInfo::PendingInterest), 1025.5);
    EXPECT_EQ(info.Lenient(UserInfo::FinishedInterest), 0);
    EXPECT_EQ(test::ErrorOf([&] { info.Strict(UserInfo::FinishedInterest); }), 13);
    // An empty item is no number either.
    EXPECT_EQ(test::ErrorOf([&] { info.Strict(UserInfo::MonthHoldingInterest); }), 13);
    EXPECT_EQ(info.Lenient(UserInfo::MonthHoldingInterest), 0);
    EXPECT_EQ(info.Strict(UserInfo::MonthRepaidInterest), 7);
    EXPECT_EQ(info.Lenient(UserInfo::LatestVersion), 0);
}

TEST(UserInfo, NothingRecordedComparesTheCountsAsTexts)
{
    const struct {
        const wchar_t* current;
        const wchar_t* finished;
        bool nothing;
    } cases[] = {
        {L"0", L"0", true},  {L"0.0", L"0", false}, {L"0", L" 0", false},
        {L"1", L"0", false}, {L"0", L"2", false},
    };
    for (const auto& c : cases) {
        const UserInfo info(std::wstring(L"u|1|2|3|4|5|6|7|") + c.current + L"|" + c.finished);
        EXPECT_EQ(info.NothingRecorded(), c.nothing) << c.current << L"/" << c.finished;
    }
}

TEST(UserInfo, AUserNameOfMoreThanFiftyCharactersMeansAServerFailure)
{
    EXPECT_FALSE(UserInfo(std::wstring(50, L'用') + L"|1").UserNameSignalsServerFailure());
    EXPECT_TRUE(UserInfo(std::wstring(51, L'u') + L"|1").UserNameSignalsServerFailure());
    EXPECT_FALSE(UserInfo(L"").Count() > 0);
    EXPECT_EQ(test::ErrorOf([] { UserInfo(L"").UserNameSignalsServerFailure(); }), 9);
}

// A version that is missing or no number (a cut or broken reply) is
// unreadable: it neither ends the program for maintenance nor offers an update.
TEST(UserInfo, LatestVersionComparesAsNumbers)
{
    const struct {
        const wchar_t* latest;  // nullptr: a UserInfo of twelve items
        const wchar_t* own;
        LatestVersionState state;
    } cases[] = {
        {L"1.3", L"1.3", LatestVersionState::NotNewer},
        {L"1.4", L"1.3", LatestVersionState::Newer},
        {L"1.10", L"1.3", LatestVersionState::NotNewer},  // 1.1
        {L"1.30", L"1.3", LatestVersionState::NotNewer},
        {L"2", L"1.3", LatestVersionState::Newer},
        {L"1.3", L"1.10", LatestVersionState::Newer},
        {L"0", L"1.3", LatestVersionState::Maintenance},
        {L"-1", L"1.3", LatestVersionState::Maintenance},
        {L"0.0", L"1.3", LatestVersionState::Maintenance},
        {L"", L"1.3", LatestVersionState::Unreadable},
        {L"abc", L"1.3", LatestVersionState::Unreadable},
        {L"1.4beta", L"1.3", LatestVersionState::Unreadable},
        {nullptr, L"1.3", LatestVersionState::Unreadable},
        {L"-1.4x", L"1.3", LatestVersionState::Unreadable},
        // Written with a comma for the decimal point: the number before it.
        {L"1,4", L"1.3", LatestVersionState::NotNewer},
        {L"2,0", L"1.3", LatestVersionState::Newer},
        {L"1,000", L"1.3", LatestVersionState::NotNewer},
        {L",4", L"1.3", LatestVersionState::Unreadable},
    };
    for (const auto& c : cases) {
        const UserInfo info(c.latest ? UserInfoText(12) + L"|" + c.latest + L"|0" : UserInfoText(12));
        EXPECT_EQ(CompareLatestVersion(info, c.own), c.state)
            << (c.latest ? c.latest : L"(missing)") << L" against " << c.own;
    }
}

TEST(NameLists, PlatformsThenAccounts)
{
    const struct {
        const wchar_t* section;
        bool present;
        Texts platforms, accounts;
    } cases[] = {
        {L"P1,P2,|A1,", true, {L"P1", L"P2"}, {L"A1"}},
        {L"|", true, {}, {}},
        {L"P1|A1", true, {}, {}},
        {L",|,", true, {L""}, {L""}},
        {L"P1,P2,", false, {}, {}},
        {L"", false, {}, {}},
        {L"P1,|A1,|B1,", true, {L"P1"}, {L"A1"}},
    };
    for (const auto& c : cases) {
        const std::optional<NameLists> names = ReadNameLists(c.section);
        ASSERT_EQ(names.has_value(), c.present) << c.section;
        if (!names)
            continue;
        EXPECT_EQ(names->platforms, c.platforms) << c.section;
        EXPECT_EQ(names->accounts, c.accounts) << c.section;
    }
}

TEST(MonthRow, YearAndMonthOfYearMonth)
{
    const MonthRow row(L"201512:3:10.4:0:5");
    EXPECT_EQ(row.YearText(), L"2015");
    EXPECT_EQ(row.MonthStart(), forms::DateSerial(2015, 12, 1));
    EXPECT_EQ(row.Strict(MonthRow::HoldingInterest), 10.4);
    EXPECT_EQ(MonthRow(L"20151:1").MonthStart(), forms::DateSerial(2015, 1, 1));
    EXPECT_EQ(test::ErrorOf([] { MonthRow(L"201513:1").MonthStart(); }), 13);
    EXPECT_EQ(test::ErrorOf([] { MonthRow(L"201:1").MonthStart(); }), 13);
    EXPECT_EQ(test::ErrorOf([] { MonthRow(L"201512:1:2:3").Text(MonthRow::RepaidInterest); }), 9);
}

TEST(PlatformRow, NineItems)
{
    const PlatformRow row(L"陆金所,2500,120.5,3,9.5,9.8,50,10,5");
    ASSERT_EQ(row.Count(), 9);
    EXPECT_EQ(row.Text(PlatformRow::PlatformName), L"陆金所");
    EXPECT_EQ(row.Strict(PlatformRow::Principal), 2500);
    EXPECT_EQ(row.Text(PlatformRow::AverageRate), L"9.5");
    EXPECT_EQ(row.Strict(PlatformRow::OtherExpense), 5);
    EXPECT_EQ(test::ErrorOf([] { PlatformRow(L"P,1,2,3,4,5,6,7").Text(PlatformRow::OtherExpense); }), 9);
}

const wchar_t kProjectRow[] = L"1,P2P-A,Loan 7,2015-1-5,2015-7-5,20000,6,12,11.5,x,1200,1150,2,acc";

TEST(ProjectRow, FourteenItems)
{
    const ProjectRow row(kProjectRow);
    ASSERT_EQ(row.Count(), 14);
    EXPECT_EQ(row.Id(), 1);
    EXPECT_EQ(row.Text(ProjectRow::PlatformName), L"P2P-A");
    EXPECT_EQ(row.Text(ProjectRow::ProjectName), L"Loan 7");
    EXPECT_EQ(row.StrictDate(ProjectRow::ValueDate), forms::DateSerial(2015, 1, 5));
    EXPECT_EQ(row.StrictDate(ProjectRow::DueDate), forms::DateSerial(2015, 7, 5));
    EXPECT_EQ(row.Strict(ProjectRow::Amount), 20000);
    EXPECT_EQ(row.Text(ProjectRow::Term), L"6");
    EXPECT_EQ(row.Text(ProjectRow::AnnualRate), L"12");
    EXPECT_EQ(row.Text(ProjectRow::ActualRate), L"11.5");
    EXPECT_EQ(row.Strict(ProjectRow::ExpectedIncome), 1200);
    EXPECT_EQ(row.Strict(ProjectRow::ActualIncome), 1150);
    EXPECT_EQ(row.Text(ProjectRow::PlatformAccount), L"acc");
    EXPECT_FALSE(row.TermInDays());
}

std::wstring WithItem(std::wstring_view row, int position, std::wstring_view value)
{
    std::vector<std::wstring> items = ReplyItems(row, L",").Items();
    items.at(position) = value;
    std::wstring text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? L"" : L",") + items[i];
    return text;
}

TEST(ProjectRow, TermDaysFlagOneMeansDays)
{
    const struct {
        const wchar_t* flag;
        bool days;
        int error;
    } cases[] = {
        {L"1", true, 0},  {L"01", true, 0},  {L"1.0", true, 0}, {L"0", false, 0},
        {L"2", false, 0}, {L"x", false, 13}, {L"", false, 13},
    };
    for (const auto& c : cases) {
        const ProjectRow row(WithItem(kProjectRow, ProjectRow::TermDaysFlag, c.flag));
        bool days = false;
        EXPECT_EQ(test::ErrorOf([&] { days = row.TermInDays(); }), c.error) << c.flag;
        EXPECT_EQ(days, c.days) << c.flag;
    }
}

TEST(ProjectRow, IdIsTheStrictIntegerOfItemZero)
{
    const struct {
        const wchar_t* id;
        std::int32_t value;
        int error;
    } cases[] = {
        {L"12", 12, 0},        {L" 12 ", 12, 0}, {L"2.5", 2, 0}, {L"3.5", 4, 0},
        {L"-7", -7, 0},        {L"12a", 0, 13},  {L"", 0, 13},   {L"2147483647", 2147483647, 0},
        {L"2147483648", 0, 6},
    };
    for (const auto& c : cases) {
        std::int32_t id = 0;
        EXPECT_EQ(test::ErrorOf([&] { id = ProjectRow(WithItem(kProjectRow, 0, c.id)).Id(); }), c.error)
            << c.id;
        EXPECT_EQ(id, c.value) << c.id;
    }
}

TEST(ProjectRow, AShortRowFailsWhereItsMissingItemIsRead)
{
    const ProjectRow row(L"1,P,N,2015-1-5,2015-7-5,20000,6,12,11.5,x,1200,1150");
    EXPECT_EQ(row.Count(), 12);
    EXPECT_EQ(test::ErrorOf([&] { row.Strict(ProjectRow::ActualIncome); }), 0);
    EXPECT_EQ(test::ErrorOf([&] { row.TermInDays(); }), 9);
    EXPECT_EQ(test::ErrorOf([&] { ProjectRow(L"1,P,N,2015-1-5,x").StrictDate(ProjectRow::DueDate); }), 13);
}

const wchar_t kRecord[] =
    L"陆金所,稳盈-安e,demo_lu,2026-11-13,2026-12-13,10000,30,0,13.2,13.2,0,0,108.49,108.49,1,0,0,0,0,,"
    L"202611:18:65.09:0:0:-|202612:12:43.4:10000:108.49:2026-12-13|,365";

TEST(ProjectRecord, TwentyTwoItemsAndTheSchedule)
{
    const ProjectRecord record(kRecord);
    ASSERT_EQ(record.Count(), ProjectRecord::kItemCount);
    EXPECT_EQ(record.Text(ProjectRecord::PlatformName), L"陆金所");
    EXPECT_EQ(record.Text(ProjectRecord::PlatformAccount), L"demo_lu");
    EXPECT_EQ(record.StrictDate(ProjectRecord::DueDate), forms::DateSerial(2026, 12, 13));
    EXPECT_EQ(record.Strict(ProjectRecord::ExpectedIncome), 108.49);
    EXPECT_EQ(record.StrictInt32(ProjectRecord::RepayType), 1);
    EXPECT_EQ(record.Text(ProjectRecord::Remark), L"");
    EXPECT_TRUE(record.TermInDays());
    EXPECT_FALSE(record.IsFinished());
    EXPECT_EQ(record.YearBasisDays(), 365);

    const std::vector<ScheduleRow> schedule = record.ScheduleRows();
    ASSERT_EQ(schedule.size(), 2u);
    EXPECT_EQ(schedule[0].Text(ScheduleRow::YearMonth), L"202611");
    EXPECT_EQ(schedule[0].Text(ScheduleRow::Days), L"18");
    EXPECT_EQ(schedule[0].Text(ScheduleRow::RepayDate), L"-");
    EXPECT_EQ(schedule[1].Strict(ScheduleRow::RepaidPrincipal), 10000);
    EXPECT_EQ(schedule[1].Strict(ScheduleRow::RepaidInterest), 108.49);
    EXPECT_EQ(schedule[1].StrictDate(ScheduleRow::RepayDate), forms::DateSerial(2026, 12, 13));
}

TEST(ProjectRecord, TermUnitZeroMeansDaysTheOppositeOfARow)
{
    const struct {
        const wchar_t* unit;
        bool days;
    } cases[] = {
        {L"0", true},    {L"1", false}, {L"2", false},    {L"", true},
        {L"0abc", true}, {L"x", true},  {L"1abc", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProjectRecord(WithItem(kRecord, ProjectRecord::TermUnit, c.unit)).TermInDays(), c.days)
            << c.unit;

    // The same digit means the opposite in a project row.
    EXPECT_TRUE(ProjectRow(WithItem(kProjectRow, ProjectRow::TermDaysFlag, L"1")).TermInDays());
    EXPECT_FALSE(ProjectRecord(WithItem(kRecord, ProjectRecord::TermUnit, L"1")).TermInDays());
}

TEST(ProjectRecord, StatusAndYearBasis)
{
    const struct {
        const wchar_t* status;
        bool finished;
        int error;
    } statuses[] = {{L"0", false, 0}, {L"2", true, 0}, {L"1", true, 0}, {L"x", false, 13}};
    for (const auto& c : statuses) {
        bool finished = false;
        const ProjectRecord record(WithItem(kRecord, ProjectRecord::ProjectStatus, c.status));
        EXPECT_EQ(test::ErrorOf([&] { finished = record.IsFinished(); }), c.error) << c.status;
        EXPECT_EQ(finished, c.finished) << c.status;
    }
    const struct {
        const wchar_t* basis;
        int days;
    } bases[] = {{L"360", 360}, {L"360.0", 360}, {L" 360", 360}, {L"365", 365},
                 {L"", 365},    {L"abc", 365},   {L"0", 365}};
    for (const auto& c : bases)
        EXPECT_EQ(ProjectRecord(WithItem(kRecord, ProjectRecord::YearBasis, c.basis)).YearBasisDays(), c.days)
            << c.basis;
}

TEST(ProjectRecord, AnEmptyScheduleHasNoRowsAndAShortRecordFailsOnItsMissingItems)
{
    const ProjectRecord noSchedule(WithItem(kRecord, ProjectRecord::Schedule, L""));
    EXPECT_TRUE(noSchedule.ScheduleRows().empty());
    const ProjectRecord shortRecord(L"P,N,acc,2015-1-5");
    EXPECT_EQ(test::ErrorOf([&] { shortRecord.ScheduleRows(); }), 9);
    EXPECT_EQ(test::ErrorOf([&] { shortRecord.YearBasisDays(); }), 9);
}

}  // namespace
}  // namespace quill::protocol
