// The entry form's rules: number boxes, the checks of a submit at their
// bounds (dates through the program clock), the cleaning, the body's
// fields, the due date and the term computed from each other, and what the
// edit form fills in.
#include "workspace/EntryFields.h"

#include "tests/support/ErrorNumber.h"
#include "tests/support/WithoutBracketsByPasses.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace quill::workspace {
namespace {

using test::DateAt;

// A form that passes every check on 2016-2-20.
EntryTexts ValidEntry()
{
    EntryTexts t;
    t.platform = L"陆金所";
    t.account = L"acc1";
    t.projectName = L"稳盈-安e 7";
    t.valueDate = L"2016-2-1";
    t.term = L"90";
    t.termInDays = true;
    t.amount = L"20000";
    t.annualRate = L"8.4";
    t.repayType = L"到期还本息";
    t.voucher = L"0";
    t.extraIncome = L"0";
    t.extraExpense = L"0";
    t.interestFee = L"0";
    return t;
}

TEST(EntryFields, NumberBoxesKeepTheAbsoluteValueOfTheLeadingNumber)
{
    const struct {
        const wchar_t* typed;
        const wchar_t* shown;
    } cases[] = {
        {L"12abc", L"12"},   {L"-5", L"5"},           {L"", L"0"},        {L"abc", L"0"},
        {L"1e3", L"1000"},   {L"1e9", L"1000000000"}, {L" 7.50", L"7.5"}, {L"0.01", L"0.01"},
        {L"1 000", L"1000"}, {L"-0", L"0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalisedNumber(c.typed), c.shown) << c.typed;
    EXPECT_EQ(test::ErrorOf([] { NormalisedNumber(L"1e400"); }), 6);
}

// The bounds of every field, at and just past each end, read as the submit
// reads them; the value date against the program's clock.
TEST(EntryFields, ChecksOfASubmitAtTheirBounds)
{
    const forms::ClockOverride clock(DateAt(2016, 2, 20, 9, 30, 0));
    using Change = std::function<void(EntryTexts&)>;
    const struct {
        const char* what;
        Change change;
        const wchar_t* message;
    } cases[] = {
        {"valid", [](EntryTexts&) {}, L""},
        {"no platform", [](EntryTexts& t) { t.platform.clear(); }, kRequiredMessage},
        {"no project name", [](EntryTexts& t) { t.projectName.clear(); }, kRequiredMessage},
        {"no value date", [](EntryTexts& t) { t.valueDate.clear(); }, kRequiredMessage},
        {"no term", [](EntryTexts& t) { t.term.clear(); }, kRequiredMessage},
        {"no amount", [](EntryTexts& t) { t.amount.clear(); }, kRequiredMessage},
        {"no rate", [](EntryTexts& t) { t.annualRate.clear(); }, kRequiredMessage},
        {"no account", [](EntryTexts& t) { t.account.clear(); }, L""},
        {"no remark, no voucher", [](EntryTexts& t) { t.remark.clear(), t.voucher.clear(); }, L""},
        // A name made only of "[]" is not empty yet: the cleaning empties it.
        {"name of brackets", [](EntryTexts& t) { t.projectName = L"[]"; }, L""},
        {"1 day", [](EntryTexts& t) { t.term = L"1"; }, L""},
        {"0 days", [](EntryTexts& t) { t.term = L"0"; }, kTermDaysMessage},
        {"1825 days", [](EntryTexts& t) { t.term = L"1825"; }, L""},
        {"1826 days", [](EntryTexts& t) { t.term = L"1826"; }, kTermDaysMessage},
        {"60 months", [](EntryTexts& t) { t.term = L"60", t.termInDays = false; }, L""},
        {"61 months", [](EntryTexts& t) { t.term = L"61", t.termInDays = false; }, kTermMonthsMessage},
        {"0 months", [](EntryTexts& t) { t.term = L"0", t.termInDays = false; }, kTermMonthsMessage},
        {"2010-1-1", [](EntryTexts& t) { t.valueDate = L"2010-1-1"; }, L""},
        {"2009-12-31", [](EntryTexts& t) { t.valueDate = L"2009-12-31"; }, kValueDateMessage},
        {"today + 10", [](EntryTexts& t) { t.valueDate = L"2016-3-1"; }, L""},
        {"today + 11", [](EntryTexts& t) { t.valueDate = L"2016-3-2"; }, kValueDateMessage},
        {"no date", [](EntryTexts& t) { t.valueDate = L"yesterday"; }, kValueDateMessage},
        {"amount 100", [](EntryTexts& t) { t.amount = L"100"; }, L""},
        {"amount 99.99", [](EntryTexts& t) { t.amount = L"99.99"; }, kAmountMessage},
        {"amount 1e8", [](EntryTexts& t) { t.amount = L"100000000"; }, L""},
        {"amount 1e8 + 0.01", [](EntryTexts& t) { t.amount = L"100000000.01"; }, kAmountMessage},
        {"amount 1e9", [](EntryTexts& t) { t.amount = NormalisedNumber(L"1e9"); }, kAmountMessage},
        {"amount 1e400", [](EntryTexts& t) { t.amount = L"1e400"; }, kAmountMessage},
        {"rate 1", [](EntryTexts& t) { t.annualRate = L"1"; }, L""},
        {"rate 0.99", [](EntryTexts& t) { t.annualRate = L"0.99"; }, kRateMessage},
        {"rate 50", [](EntryTexts& t) { t.annualRate = L"50"; }, L""},
        {"rate 50.01", [](EntryTexts& t) { t.annualRate = L"50.01"; }, kRateMessage},
        {"voucher 10000", [](EntryTexts& t) { t.voucher = L"10000"; }, L""},
        {"voucher 10000.01", [](EntryTexts& t) { t.voucher = L"10000.01"; }, kVoucherMessage},
        {"voucher -1", [](EntryTexts& t) { t.voucher = L"-1"; }, kVoucherMessage},
        {"fee 50", [](EntryTexts& t) { t.interestFee = L"50"; }, L""},
        {"fee 50.5", [](EntryTexts& t) { t.interestFee = L"50.5"; }, kFeeMessage},
        {"fee -0.1", [](EntryTexts& t) { t.interestFee = L"-0.1"; }, kFeeMessage},
        // Extra income and expense have no bounds.
        {"extra 1e7", [](EntryTexts& t) { t.extraIncome = t.extraExpense = L"10000000"; }, L""},
        // An edited project's type that the program does not know goes back to the service as no type.
        {"unknown type", [](EntryTexts& t) { t.repayType = L"未知类型，请升级程序"; }, kRepayTypeMessage},
        {"no type", [](EntryTexts& t) { t.repayType.clear(); }, kRepayTypeMessage},
        {"a months type in days", [](EntryTexts& t) { t.repayType = L"等额本息"; }, L""},
        // The first failing check speaks.
        {"term and amount", [](EntryTexts& t) { t.term = L"0", t.amount = L"1"; }, kTermDaysMessage},
        {"amount and rate", [](EntryTexts& t) { t.amount = L"1", t.annualRate = L"99"; }, kAmountMessage},
    };
    for (const auto& c : cases) {
        EntryTexts texts = ValidEntry();
        c.change(texts);
        EXPECT_EQ(EntryCheckMessage(texts, forms::Today()), c.message) << c.what;
    }
}

TEST(EntryFields, CleaningKeepsNoSeparatorOfTheLists)
{
    const struct {
        const wchar_t* typed;
        const wchar_t* name;
        const wchar_t* remark;
    } cases[] = {
        {L"a,b|c:d", L"a b c d", L"a b c:d"},
        {L"[]", L"", L""},
        {L"[[]]", L"", L""},
        {L"a[[[]]]b", L"ab", L"ab"},
        {L"[,]", L"[ ]", L"[ ]"},
        {L"x:y", L"x y", L"x:y"},
        {L"第一行\r\n第二行,末", L"第一行\r\n第二行 末", L"第一行\r\n第二行 末"},
        {L"x&id=5", L"x&id=5", L"x&id=5"},
        {L"陆金所", L"陆金所", L"陆金所"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CleanedName(c.typed), c.name) << c.typed;
        EXPECT_EQ(CleanedRemark(c.typed), c.remark) << c.typed;
    }
    EntryTexts texts = ValidEntry();
    texts.platform = L"P,1";
    texts.account = L"A|1";
    texts.projectName = L"a,b|c:d";
    texts.remark = L"r:1,2";
    CleanEntry(texts);
    EXPECT_EQ(texts.platform, L"P 1");
    EXPECT_EQ(texts.account, L"A 1");
    EXPECT_EQ(texts.projectName, L"a b c d");
    EXPECT_EQ(texts.remark, L"r:1 2");
}

// One pass gives what removing "[]" again and again until none is left gives.
TEST(EntryFields, BracketsGoInOnePassAsTheyWentPassByPass)
{
    const struct {
        const wchar_t* typed;
        const wchar_t* cleaned;
    } cases[] = {
        {L"", L""},
        {L"[", L"["},
        {L"]", L"]"},
        {L"][", L"]["},
        {L"[]", L""},
        {L"[][]", L""},
        {L"[[]]", L""},
        {L"[[[[]]]]", L""},
        {L"[[][]]", L""},
        {L"[[]][[]]", L""},
        {L"[[]", L"["},
        {L"[]]", L"]"},
        {L"][]][[]", L"]]["},
        {L"[a]", L"[a]"},
        {L"[[a]]", L"[[a]]"},
        {L"a[[b[]]c]d", L"a[[b]c]d"},
        {L"[[][x][]]", L"[[x]]"},
        {L"陆金所[[]]理财[计划]", L"陆金所理财[计划]"},
        {L"［］[]", L"［］"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WithoutBrackets(c.typed), c.cleaned) << c.typed;
        EXPECT_EQ(test::WithoutBracketsByPasses(c.typed), c.cleaned) << c.typed;
    }

    // Random texts, brackets mostly, some of them long and deeply nested.
    std::mt19937 random(20261211);
    const wchar_t alphabet[] = L"[[[]]]a陆,";
    std::uniform_int_distribution<size_t> pick(0, std::size(alphabet) - 2);
    for (int n = 0; n < 3000; ++n) {
        std::wstring text(n % 100 == 0 ? 3000 : n % 40, L' ');
        for (wchar_t& c : text)
            c = alphabet[pick(random)];
        ASSERT_EQ(WithoutBrackets(text), test::WithoutBracketsByPasses(text)) << text;
    }
}

// The fields go out in the service's order, v1 to v17 without v13, then id;
// every typed value arrives as typed, whatever it holds.
TEST(EntryFields, TheSavesBodyInItsOrderWithEveryValueEscaped)
{
    EntryTexts texts = ValidEntry();
    texts.termInDays = false;
    texts.term = L"6";
    texts.repayType = L"等额本息";
    texts.finished = true;
    texts.yearBasis360 = false;
    texts.interestFee = L"10";
    texts.remark = L"x&id=5\r\n第2行 50%+#";
    CleanEntry(texts);
    const protocol::ServiceRequest request =
        protocol::SaveRequest(L"username=demo&password=d&v=1.3", EntryAddFields(texts, 0));
    EXPECT_EQ(request.timeoutSeconds, 15);
    EXPECT_EQ(request.body,
              L"do=add&username=demo&password=d&v=1.3&v1=陆金所&v14=acc1&v2=稳盈-安e 7&v3=2016-2-1&v4=6&v15=1"
              L"&v5=20000&v6=8.4&v7=2&v8=2&v9=0&v10=0&v11=0&v12=x%26id%3D5%0D%0A第2行 50%25%2B%23&v16=10"
              L"&v17=365&id=0");

    const protocol::AddFields edited = EntryAddFields(ValidEntry(), 41);
    EXPECT_EQ(edited.Text(),
              L"v1=陆金所&v14=acc1&v2=稳盈-安e 7&v3=2016-2-1&v4=90&v15=0&v5=20000&v6=8.4&v7=1&v8=0"
              L"&v9=0&v10=0&v11=0&v12=&v16=0&v17=360&id=41");
    // No type selected: the code of no name.
    EntryTexts untyped = ValidEntry();
    untyped.repayType.clear();
    EXPECT_EQ(EntryAddFields(untyped, 0).repayTypeCode, -1);
}

TEST(EntryFields, RepaymentTypesOfEachUnit)
{
    EXPECT_EQ(RepayTypesFor(true), (std::vector<std::wstring>{L"到期还本息", L"标满付息到期还本"}));
    EXPECT_EQ(RepayTypesFor(false),
              (std::vector<std::wstring>{L"到期还本息", L"等额本息", L"等额本金", L"按月还息到期还本",
                                         L"按月还息按季还本", L"标满付息到期还本"}));
}

TEST(EntryFields, DueDateFromTheValueDateAndTheTerm)
{
    using Kind = DueDateResult::Kind;
    const struct {
        const wchar_t* valueDate;
        const wchar_t* term;
        bool days;
        Kind kind;
        const wchar_t* due;
    } cases[] = {
        {L"2016-1-31", L"30", true, Kind::DueDate, L"2016/3/1"},
        {L"2016-1-31", L"1", false, Kind::DueDate, L"2016/2/29"},
        {L"2015-1-31", L"1", false, Kind::DueDate, L"2015/2/28"},
        {L"2015-12-3", L"1825", true, Kind::DueDate, L"2020/12/1"},
        {L"2015-12-3", L"60", false, Kind::DueDate, L"2020/12/3"},
        {L"2015-12-3", L"1826", true, Kind::TermTooLong, L""},
        {L"2015-12-3", L"61", false, Kind::TermTooLong, L""},
        {L"", L"30", true, Kind::Nothing, L""},
        {L"2015-13-3", L"30", true, Kind::Nothing, L""},
    };
    for (const auto& c : cases) {
        const DueDateResult result = CoverToDate(c.valueDate, c.term, c.days);
        EXPECT_EQ(result.kind, c.kind) << c.valueDate << " " << c.term;
        EXPECT_EQ(result.dueDate, c.due) << c.valueDate << " " << c.term;
        if (c.kind == Kind::TermTooLong) {
            EXPECT_EQ(result.message, c.days ? kTermDaysMessage : kTermMonthsMessage);
        }
    }
}

TEST(EntryFields, TermFromTheTwoDatesChecksInOrder)
{
    const struct {
        bool days;
        const wchar_t* valueDate;
        const wchar_t* dueDate;
        const wchar_t* message;
        const wchar_t* term;
    } cases[] = {
        {false, L"", L"", kCoverNeedsDaysMessage, L""},
        {false, L"2015-1-1", L"2015-2-1", kCoverNeedsDaysMessage, L""},
        {true, L"", L"2015-2-1", kCoverNeedsValueDateMessage, L""},
        {true, L"2015-1-1", L"", kCoverNeedsDueDateMessage, L""},
        {true, L"2015-2-2", L"2015-2-1", kCoverDueBeforeValueMessage, L""},
        {true, L"2015-2-1", L"2015-2-1", L"", L"0"},
        {true, L"2016-2-1", L"2016/3/1", L"", L"29"},
        {true, L"2015-12-3", L"2020/12/1", L"", L"1825"},
    };
    for (const auto& c : cases) {
        const TermResult result = TermFromDates(c.days, c.valueDate, c.dueDate);
        EXPECT_EQ(result.message, c.message) << c.valueDate << " " << c.dueDate;
        EXPECT_EQ(result.term, c.term) << c.valueDate << " " << c.dueDate;
    }
}

TEST(EntryFields, TheEditFormShowsEveryFieldOfTheRecord)
{
    const protocol::ProjectRecord record(
        L"陆金所,稳盈-安e 7,acc1,2015-1-5,2015-7-5,20000,6,1,8.4,8.1,10,84,756,786.5,2,0,50,"
        L"80.5,3,提醒,201502:24:110.5:3200:130:2015-2-5|,365");
    EntryTexts expected;
    expected.platform = L"陆金所";
    expected.projectName = L"稳盈-安e 7";
    expected.account = L"acc1";
    expected.valueDate = L"2015-1-5";
    expected.dueDate = L"2015-7-5";
    expected.annualRate = L"8.4";
    expected.term = L"6";
    expected.termInDays = false;
    expected.amount = L"20000";
    expected.finished = false;
    expected.voucher = L"50";
    expected.extraIncome = L"80.5";
    expected.extraExpense = L"3";
    expected.interestFee = L"10";
    expected.remark = L"提醒";
    expected.repayType = L"等额本息";
    expected.yearBasis360 = false;
    EXPECT_EQ(EditEntry(record), expected);

    const EntryTexts finished = EditEntry(protocol::ProjectRecord(
        L"P,N,,2015-1-5,2015-2-5,100,31,0,5,5,0,0,0,0,1,2,0,0,0,,201501:1:1:0:0:d|,360"));
    EXPECT_TRUE(finished.finished);
    EXPECT_TRUE(finished.termInDays);
    EXPECT_TRUE(finished.yearBasis360);
    EXPECT_EQ(finished.account, L"");
    EXPECT_EQ(test::ErrorOf([] { EditEntry(protocol::ProjectRecord(L"P,N,A")); }), 9);
}

// A list holds the form's project when the row carries its platform,
// account, name, value date, term and unit, amount and rate, however the
// service writes its numbers and dates; any other difference, or a row that
// does not read, is another project.
TEST(EntryFields, AListHoldsTheFormsProjectOnlyWhenEveryIdentifyingFieldMatches)
{
    const EntryTexts form = ValidEntry();  // 陆金所, acc1, 稳盈-安e 7, 2016-2-1, 90 days, 20000, 8.4
    const std::wstring same =
        L"31,陆金所,稳盈-安e 7,2016-02-01,2016-05-01,20000.00,90,8.4000,8.1,1,386.4,386.4,1,acc1";
    const struct {
        std::wstring row;
        bool held;
    } cases[] = {
        {same, true},
        {L"31,陆金所,稳盈-安e 7,2016-2-1,2016-5-1,20000,90,8.4,8.1,1,386.4,386.4,1,acc1", true},
        {L"31,人人贷,稳盈-安e 7,2016-2-1,2016-5-1,20000,90,8.4,8.1,1,386.4,386.4,1,acc1", false},
        {L"31,陆金所,稳盈-安e 8,2016-2-1,2016-5-1,20000,90,8.4,8.1,1,386.4,386.4,1,acc1", false},
        {L"31,陆金所,稳盈-安e 7,2016-2-2,2016-5-2,20000,90,8.4,8.1,1,386.4,386.4,1,acc1", false},
        {L"31,陆金所,稳盈-安e 7,2016-2-1,2016-5-1,20001,90,8.4,8.1,1,386.4,386.4,1,acc1", false},
        {L"31,陆金所,稳盈-安e 7,2016-2-1,2016-5-1,20000,91,8.4,8.1,1,386.4,386.4,1,acc1", false},
        {L"31,陆金所,稳盈-安e 7,2016-2-1,2016-5-1,20000,90,8.5,8.1,1,386.4,386.4,1,acc1", false},
        {L"31,陆金所,稳盈-安e 7,2016-2-1,2016-5-1,20000,90,8.4,8.1,1,386.4,386.4,0,acc1", false},
        {L"31,陆金所,稳盈-安e 7,2016-2-1,2016-5-1,20000,90,8.4,8.1,1,386.4,386.4,1,acc2", false},
        {L"31,陆金所,稳盈-安e 7,2016-2-1,2016-5-1,20000,90,8.4", false},
        {L"31,陆金所,稳盈-安e 7,x,2016-5-1,20000,90,8.4,8.1,1,386.4,386.4,1,acc1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.row));
        EXPECT_EQ(ListHoldsEntry(c.row + L"|", form), c.held);
        // Among other rows, first or last.
        const std::wstring other = L"7,P,N,2015-1-1,2015-2-1,100,31,5,5,1,0,0,1,A|";
        EXPECT_EQ(ListHoldsEntry(other + c.row + L"|" + other, form), c.held);
    }
    EXPECT_FALSE(ListHoldsEntry(L"", form));
    EXPECT_FALSE(ListHoldsEntry(L"0", form));
    EntryTexts months = form;
    months.termInDays = false;
    months.term = L"3";
    EXPECT_TRUE(ListHoldsEntry(
        L"31,陆金所,稳盈-安e 7,2016-2-1,2016-5-1,20000,3,8.4,8.1,2,386.4,386.4,0,acc1|", months));
}

TEST(EntryFields, RowsLimitsAndKeepTicks)
{
    const std::vector<EntryRow>& rows = EntryRows();
    ASSERT_EQ(rows.size(), 16u);
    const struct {
        const wchar_t* control;
        int maxLength;
        int keepTick;
    } expected[] = {
        {L"Addptmc", 0, 0},  {L"Addptid", 0, 1},   {L"Addxmmc", 20, -1},  {L"AddDateB", 10, 2},
        {L"Addday", 4, 3},   {L"AddDateE", 10, 4}, {L"Addmoney", 8, 5},   {L"Addlilu", 5, 6},
        {L"Myear0", 0, -1},  {L"Addtype", 0, -1},  {L"Jieshu0", 0, -1},   {L"Addquan", 10, -1},
        {L"Addadd", 10, -1}, {L"Addpay", 10, -1},  {L"Addlixifei", 5, 7}, {L"Addbz", 30, -1},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(std::wstring(rows[i].control), expected[i].control);
        EXPECT_EQ(rows[i].maxLength, expected[i].maxLength) << rows[i].control;
        EXPECT_EQ(rows[i].keepTick, expected[i].keepTick) << rows[i].control;
    }
    EXPECT_EQ(std::wstring(rows[0].label), L"平台名称：");
    EXPECT_EQ(std::wstring(rows[15].hint), L"30个字以内，提醒自己的事项");
}

}  // namespace
}  // namespace quill::workspace
