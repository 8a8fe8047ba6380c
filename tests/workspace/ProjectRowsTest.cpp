#include "workspace/ProjectRows.h"

#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

using namespace quill;
using namespace quill::protocol;
using namespace quill::workspace;

namespace {

std::vector<std::wstring> Texts(const ProjectRow& row, int position, DueColumn due, double today)
{
    std::vector<std::wstring> texts;
    for (int c = 0; c < kProjectRowColumns; ++c)
        texts.push_back(ProjectRowText(row, c, position, due, today));
    return texts;
}

TEST(ProjectRows, TheTextsOfAProjectRow)
{
    const double today = test::DateAt(2015, 6, 30);
    const ProjectRow row(L"1,P2P-A,Loan 7,2015-1-5,2015-7-5,20000,6,12,11.5,x,1200,1150,2,acc");
    const std::vector<std::wstring> expected{L"1",        L"P2P-A Loan 7            ",
                                             L"2015-1-5", L"2015-7-5",
                                             L"2,0000",   L"6 月 ",
                                             L"12%",      L"11.5%",
                                             L"1200",     L"1150",
                                             L"5"};
    EXPECT_EQ(Texts(row, 0, DueColumn::DaysLeft, today), expected);
    EXPECT_EQ(ProjectRowText(row, 0, 24, DueColumn::DaysLeft, today), L"25");
    EXPECT_EQ(ProjectRowText(row, 10, 0, DueColumn::Dash, today), L"-");
    EXPECT_EQ(ProjectRowText(ProjectRow(L"1,P,N,a,2015-7-5,1,6,1,1,x,1,1,1,a"), 5, 0, DueColumn::Dash, today),
              L"6 天 ");
    EXPECT_EQ(
        ProjectRowText(ProjectRow(L"1,P,N,a,2015-7-5,1,6,1,1,x,1,1,01,a"), 5, 0, DueColumn::Dash, today),
        L"6 天 ");
    // Double-byte names keep their blanks: one per character.
    EXPECT_EQ(ProjectRowText(ProjectRow(L"9,人人贷,U计划,a,b"), 1, 0, DueColumn::Dash, today),
              L"人人贷 U计划       ");  // seven characters, seven blanks
    EXPECT_EQ(ProjectRowText(row, 10, 0, DueColumn::DaysLeft, test::DateAt(2015, 7, 8)), L"-3");
}

TEST(ProjectRows, StrictReadingsStopTheRow)
{
    const double today = test::DateAt(2015, 6, 30);
    const ProjectRow text(L"1,P,N,2015-1-5,soon,20000,6,12,11.5,x,1200,1150,2");
    EXPECT_EQ(test::ErrorOf([&] { ProjectRowText(text, 10, 0, DueColumn::DaysLeft, today); }), 13);
    EXPECT_EQ(test::ErrorOf([&] { ProjectRowText(text, 10, 0, DueColumn::Dash, today); }), 0);
    const ProjectRow shortRow(L"1,P,N,2015-1-5,2015-7-5,20000");
    EXPECT_EQ(test::ErrorOf([&] { ProjectRowText(shortRow, 4, 0, DueColumn::Dash, today); }), 0);
    EXPECT_EQ(test::ErrorOf([&] { ProjectRowText(shortRow, 5, 0, DueColumn::Dash, today); }), 9);
    EXPECT_EQ(
        test::ErrorOf([&] { ProjectRowText(ProjectRow(L"1,P,N,a,b,abc"), 4, 0, DueColumn::Dash, today); }),
        13);
}

TEST(ProjectRows, TheFiveColumnSets)
{
    const struct {
        std::int32_t kind;
        size_t columns;
        int firstWidth;
    } cases[] = {{ProjectList, 11, 50},
                 {PlatformList, 12, 50},
                 {MonthList, 7, 50},
                 {YearList, 5, 80},
                 {ScheduleList, 8, 60},
                 {0, 0, 0},
                 {6, 0, 0},
                 {-1, 0, 0}};
    for (const auto& c : cases) {
        const auto& columns = ListColumns(c.kind);
        ASSERT_EQ(columns.size(), c.columns) << c.kind;
        if (!columns.empty()) {
            EXPECT_EQ(columns.front().width, c.firstWidth);
            EXPECT_EQ(columns.front().key, L"LV1");
            EXPECT_EQ(columns.back().key, L"LV" + std::to_wstring(c.columns));
        }
    }
    EXPECT_EQ(ListColumns(ProjectList)[1].caption, L"平台&&项目名称  ");
    EXPECT_EQ(ListColumns(PlatformList)[9].caption, L"代金券   ");
    EXPECT_EQ(ListColumns(ScheduleList)[3].caption, L"月度回款本金      ");
}

}  // namespace
