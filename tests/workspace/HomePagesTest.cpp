// The list, platform and report pages and the list filter on the real window
// against the reference service: the demo account's pages 2 to 7 clicked as a
// user does, what they list, chart and show on screen, where a double click on
// a row leads, the service's failures, and the window going away while a page
// or a filter run lets messages through.
#include "HomeFixture.h"

#include "workspace/HomePages.h"
#include "workspace/ListFilter.h"
#include "workspace/ListPages.h"
#include "workspace/PageIds.h"
#include "workspace/ProjectRows.h"

#include "forms/lang/Clock.h"
#include "forms/Loaded.h"
#include "forms/TimerControl.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "workspace/FormatWan.h"
#include "session/HttpRequest.h"
#include "session/Md5.h"
#include "session/Login.h"
#include "session/Session.h"
#include "forms/Gdi.h"
#include "forms/lang/Ansi.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"

#include <functional>
#include <map>
#include <regex>
#include <set>

using namespace quill;
using workspace::Home;

namespace quill::test {
namespace {

// Runs `step` once at every look at the message queue while it lives, until
// it answers true: a timer of the window on the program clock, made due again
// by each step, so the step comes at each pump and at nothing else.
class AtEveryPump {
public:
    AtEveryPump(Home& w, std::function<bool()> step) : clock_(forms::Now()), step_(std::move(step))
    {
        timer_.Load(w, {.name = L"AtEveryPump"}, forms::TimerArgs{.interval = 1, .enabled = true});
        timer_->Timer = [this] {
            if (!done_)
                done_ = step_();
            clock_.Advance(1);
        };
        clock_.Advance(1);
    }
    bool Done() const { return done_; }

private:
    forms::ClockOverride clock_;
    std::function<bool()> step_;
    forms::Loaded<forms::TimerControl> timer_;
    bool done_ = false;
};

// A point of row `row`'s second column, in the list's client area.
template <class List>
POINT PointOfRow(List& list, int row)
{
    const int x = 50 + 60;  // inside column 1, right of the 50-pixel column 0
    if constexpr (requires { list.RowFromPoint(0, 0); }) {
        RECT client{};
        GetClientRect(list.hWnd(), &client);
        for (int y = 0; y < client.bottom; ++y)
            if (list.RowFromPoint(x, y) == row)
                return {x, y + list.ItemHeight() / 2};
        ADD_FAILURE() << "no row " << row << " in the list";
        return {x, 0};
    } else {
        // A header row as high as a row, then the rows.
        const int height = list.ItemHeight();
        return {x, (row + 1) * height + height / 2};
    }
}

class HomePagesTest : public HomeTest {
protected:
    // A click on tab `index`, and the wait until its page is built.
    void ClickTab(Home& w, int index)
    {
        ClickAt(w.StyledButton1[index].hWnd());
        ASSERT_TRUE(PumpUntil([&] { return !w.IsLoaded() || (w.NowId == index && !w.ActionBusy); }));
    }

    POINT RowPoint(Home& w, int row) { return PointOfRow(*w.ListView, row); }

    // A double click on row 1 of the list, and the wait until the page it
    // leads to is built.
    void DoubleClickRow(Home& w, std::int32_t page)
    {
        DoubleClickAt(w.ListView->hWnd(), RowPoint(w, 1));
        ASSERT_TRUE(PumpUntil([&] { return !w.IsLoaded() || (w.NowId == page && !w.ActionBusy); })) << page;
    }
};

std::vector<std::wstring> Column(Home& w, int column)
{
    std::vector<std::wstring> texts;
    for (int32_t r = 0; r < w.ListView->ItemCount(); ++r)
        texts.push_back(w.ListView->ItemText(r, column));
    return texts;
}

// The colours of a chart text's sets, as pixel values (red in the low byte).
std::set<uint32_t> SetColours(const std::wstring& xml)
{
    std::set<uint32_t> colours;
    const std::wregex colour(L"color=\"([0-9A-F]{6})\"");
    for (auto it = std::wsregex_iterator(xml.begin(), xml.end(), colour); it != std::wsregex_iterator();
         ++it) {
        const auto rgb = static_cast<uint32_t>(std::stoul((*it)[1].str(), nullptr, 16));
        colours.insert(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
    }
    return colours;
}

int SetCount(const std::wstring& xml)
{
    int count = 0;
    for (size_t at = xml.find(L"<set "); at != std::wstring::npos; at = xml.find(L"<set ", at + 1))
        ++count;
    return count;
}

// A control's rectangle in the window's client area, in pixels.
RECT PixelRect(const forms::Control& c)
{
    const int x = session::CurrentSession().TwipsPerPixelX, y = session::CurrentSession().TwipsPerPixelY;
    return {c.Left() / x, c.Top() / y, (c.Left() + c.Width()) / x, (c.Top() + c.Height()) / y};
}

// What the screen shows: the chart frame holds the colours of the page's
// sets, and the list's rows below its header hold dark text.
void AssertScreenShowsThePage(Home& w, const std::wstring& chartXml)
{
    RedrawWindow(w.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    forms::DoEvents();
    const RECT client = ClientAreaOnScreen(w.hWnd());
    const std::vector<uint32_t> pixels = ScreenPixels(client);
    const int width = client.right - client.left, height = client.bottom - client.top;
    ASSERT_EQ(pixels.size(), static_cast<size_t>(width * height));
    auto count = [&](RECT r, const std::function<bool(uint32_t)>& wanted) {
        int n = 0;
        for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, height); ++y)
            for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, width); ++x)
                n += wanted(pixels[static_cast<size_t>(y * width + x)]) ? 1 : 0;
        return n;
    };
    // Every page shown here charts its rows: a chart text without sets has
    // lost them.
    const std::set<uint32_t> colours = SetColours(chartXml);
    EXPECT_FALSE(colours.empty()) << "the chart text holds no coloured sets";
    EXPECT_GT(count(PixelRect(*w.Flashole1), [&](uint32_t c) { return colours.count(c & 0xFFFFFF) > 0; }),
              50);
    RECT rows = PixelRect(*w.ListView);
    rows.top += w.ListView->ItemHeight();
    EXPECT_GT(count(rows,
                    [](uint32_t c) {
                        return (c & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60;
                    }),
              100);
}

// The demo account's month rows: the interest held per year, summed.
std::map<std::wstring, double> YearTotals()
{
    std::map<std::wstring, double> totals;
    for (const protocol::MonthRow& row :
         protocol::ReadRows<protocol::MonthRow>(session::CurrentSession().MonthlySection))
        totals[row.YearText()] += row.Lenient(protocol::MonthRow::HoldingInterest);
    return totals;
}

// Shares of one column added up: about 100% when the denominator is the sum.
double ShareSum(Home& w, int column)
{
    double sum = 0;
    for (const std::wstring& share : Column(w, column))
        sum += forms::Val(share);
    return sum;
}

TEST_F(HomePagesTest, PagesTwoToSevenOfTheDemoAccount)
{
    Home& w = Open(DemoLogin());
    const protocol::UserInfo& info = session::CurrentSession().UserInfo;

    // Page 2: the current projects, fetched.
    ClickTab(w, 2);
    EXPECT_TRUE(boxes.Boxes().empty());
    const std::vector<protocol::ProjectRow> current =
        protocol::ReadRows<protocol::ProjectRow>(session::CurrentSession().CurrentListCache);
    ASSERT_EQ(current.size(), 26u);
    EXPECT_EQ(forms::Val(info.Text(protocol::UserInfo::CurrentProjectCount)), 26);
    EXPECT_EQ(w.CaptionL->Caption(), L"当前持有项目明细（双击项目:操作/查看详情）");
    ASSERT_EQ(w.ListView->ColumnCount(), 11);
    EXPECT_EQ(w.ListView->ColumnCaption(1), L"平台&&项目名称  ");
    ASSERT_EQ(w.ListView->ItemCount(), 26);
    const double today = forms::Today();
    for (int32_t r = 0; r < 26; ++r) {
        const protocol::ProjectRow& row = current[static_cast<size_t>(r)];
        EXPECT_EQ(w.ListView->ItemTag(r), row.Id());
        const std::wstring name = row.Text(1) + L" " + row.Text(2);
        EXPECT_EQ(w.ListView->ItemText(r, 1), name + std::wstring(name.size(), L' '));
        EXPECT_EQ(w.ListView->ItemText(r, 10), forms::NumberText(forms::ToDate(row.Text(4)) - today));
    }
    EXPECT_EQ(Column(w, 10).front(), L"3");  // the demo's nearest project is due in 3 days
    EXPECT_EQ(SetCount(w.PageChartXml1), 20);
    EXPECT_NE(w.PageChartXml1.find(L"caption=\"当前持有项目-实际收益(显示最近到期20项)\""),
              std::wstring::npos);
    EXPECT_EQ(w.ChartLabelAngle, -25);
    EXPECT_EQ(w.Flashole1->Left(), 0);  // 26 projects: the chart spans the window
    EXPECT_EQ(w.Ole1Label[1].Caption(), L"当前持有项目：");
    EXPECT_EQ(w.Ole1Money[1].Caption(), L"26");
    EXPECT_TRUE(w.Ole2->Visible());
    EXPECT_TRUE(w.ListView->Visible());
    EXPECT_FALSE(w.Loadingole->Visible());
    AssertScreenShowsThePage(w, w.PageChartXml1);
    Picture(w, L"page-2-current-projects");

    // Page 3: the current platforms, from the snapshot.
    ClickTab(w, 3);
    const std::vector<protocol::PlatformRow> platforms =
        protocol::ReadRows<protocol::PlatformRow>(session::CurrentSession().CurrentPlatformSection);
    ASSERT_GE(platforms.size(), 5u);
    EXPECT_EQ(w.CaptionL->Caption(), L"当前持有平台明细（双击项目查看平台项目）");
    ASSERT_EQ(w.ListView->ColumnCount(), 12);
    ASSERT_EQ(w.ListView->ItemCount(), static_cast<int32_t>(platforms.size()));
    EXPECT_EQ(w.ListView->ItemText(0, 1),
              platforms[0].Text(0) + std::wstring(platforms[0].Text(0).size(), L' '));
    EXPECT_NEAR(ShareSum(w, 3), 100, 0.05 * platforms.size());  // the principal held is the platforms' sum
    EXPECT_EQ(SetCount(w.PageChartXml1), static_cast<int>(platforms.size()));
    EXPECT_EQ(SetCount(w.PageChartXml2), static_cast<int>(platforms.size()));
    EXPECT_EQ(SetColours(w.PageChartXml1), SetColours(w.PageChartXml2));
    EXPECT_EQ(w.Ole1Money[1].Caption(), std::to_wstring(platforms.size()));
    EXPECT_TRUE(w.Flashole2->Visible());
    EXPECT_FALSE(w.Ole2->Visible());
    EXPECT_EQ(w.ChartLabelAngle, -25);  // left as page 2 set it
    AssertScreenShowsThePage(w, w.PageChartXml1);
    Picture(w, L"page-3-current-platforms");

    // Page 4: the finished projects (the bad debt among them), fetched.
    ClickTab(w, 4);
    const std::vector<protocol::ProjectRow> finished =
        protocol::ReadRows<protocol::ProjectRow>(session::CurrentSession().FinishedListCache);
    ASSERT_EQ(finished.size(), 14u);
    ASSERT_EQ(w.ListView->ItemCount(), 14);
    EXPECT_EQ(Column(w, 10), std::vector<std::wstring>(14, L"-"));
    EXPECT_EQ(w.ListView->ItemTag(13), finished[13].Id());
    EXPECT_EQ(SetCount(w.PageChartXml1), 14);
    EXPECT_EQ(w.ChartLabelAngle, -25);
    EXPECT_EQ(w.Ole1Label[3].Caption(), L"已完结加权利率：");
    EXPECT_EQ(w.Ole1Money[2].Caption(), info.Text(protocol::UserInfo::FinishedProjectCount));
    EXPECT_TRUE(w.Ole2->Visible());
    AssertScreenShowsThePage(w, w.PageChartXml1);
    Picture(w, L"page-4-finished-projects");

    // Page 5: the finished platforms; their shares divide by the rows' sums.
    ClickTab(w, 5);
    const size_t finishedPlatforms =
        protocol::ListRows(session::CurrentSession().FinishedPlatformSection).size();
    ASSERT_GE(finishedPlatforms, 3u);
    ASSERT_EQ(w.ListView->ItemCount(), static_cast<int32_t>(finishedPlatforms));
    EXPECT_NEAR(ShareSum(w, 3), 100, 0.05 * finishedPlatforms);
    EXPECT_EQ(w.CaptionL->Caption(), L"已经完结平台明细（双击项目查看平台项目）");
    AssertScreenShowsThePage(w, w.PageChartXml1);
    Picture(w, L"page-5-finished-platforms");

    // Page 6: the monthly report; every month with figures is listed.
    ClickTab(w, 6);
    const std::vector<protocol::MonthRow> months =
        protocol::ReadRows<protocol::MonthRow>(session::CurrentSession().MonthlySection);
    ASSERT_GE(months.size(), 12u);
    EXPECT_EQ(w.ListView->ItemCount(), static_cast<int32_t>(months.size()));
    EXPECT_EQ(w.ChartItemCount, static_cast<int32_t>(months.size()));
    const protocol::MonthRow& first = months.front();
    EXPECT_EQ(w.ListView->ItemText(0, 1),
              first.Text(0).substr(0, 4) + L"年" + first.Text(0).substr(4) + L"月  ");
    EXPECT_EQ(w.ListView->ItemText(0, 6), workspace::FormatWan(first.Strict(2)));
    EXPECT_EQ(w.CaptionL->Caption(), L"综合月度收益明细（双击项目查看月度回款项）");
    EXPECT_GT(SetCount(w.PageChartXml1), 0);
    AssertScreenShowsThePage(w, w.PageChartXml1);
    Picture(w, L"page-6-monthly-report");

    // Page 7: one row per year, its total summed once.
    ClickTab(w, 7);
    const std::map<std::wstring, double> years = YearTotals();
    ASSERT_EQ(w.ListView->ItemCount(), static_cast<int32_t>(years.size()));
    int32_t r = 0;
    for (const auto& [year, total] : years) {
        EXPECT_EQ(w.ListView->ItemText(r, 1), year + L"年 ");
        EXPECT_EQ(w.ListView->ItemText(r, 4), workspace::FormatWan(forms::Round(total, 2)) + L" 元 ");
        ++r;
    }
    EXPECT_EQ(SetCount(w.PageChartXml1), static_cast<int>(years.size()));
    EXPECT_EQ(w.ChartLabelAngle, 0);
    EXPECT_EQ(w.CaptionL->Caption(), L"综合年度收益明细（双击项目查看年度回款项目）");
    AssertScreenShowsThePage(w, w.PageChartXml1);
    Picture(w, L"page-7-yearly-report");
    EXPECT_TRUE(boxes.Boxes().empty());
}

// The widest text of a list column as the list's own font measures it in a
// real DC, and its row.
struct WidestText {
    int32_t row = -1;
    std::wstring text;
    int width = 0;
};

WidestText WidestInColumn(Home& w, int column)
{
    quill::test::DibCanvas dc(1, 1);
    forms::gdi::FontHandle font = w.ListView->Font()->CreateHandle();
    forms::gdi::Selection selected(dc.Dc(), font);
    WidestText widest;
    for (int32_t r = 0; r < w.ListView->ItemCount(); ++r) {
        const std::wstring text = w.ListView->ItemText(r, column);
        SIZE size{};
        GetTextExtentPoint32W(dc.Dc(), text.c_str(), static_cast<int>(text.size()), &size);
        if (size.cx > widest.width)
            widest = {r, text, static_cast<int>(size.cx)};
    }
    return widest;
}

// Where the screen shows ink in a cell of the list (pixels unlike the cell's
// background, at its top left corner), against the text drawn whole, centred
// and not cut short, into a cell of the same size with the list's font: an
// empty text when both show the same, else where they part.
std::string CellDrawnWhole(Home& w, int32_t row, int column, const std::wstring& text)
{
    listview::ListView& list = *w.ListView;
    list.MakeSureVisible(row);
    RedrawWindow(list.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    forms::DoEvents();
    int left = 0;
    for (int c = 0; c < column; ++c)
        left += list.ColumnWidth(c);
    const POINT at = PointOfRow(list, row);
    const int height = list.ItemHeight();
    const int top = at.y - height / 2;
    const int width = list.ColumnWidth(column);
    const RECT onScreen = ClientAreaOnScreen(list.hWnd());
    const std::vector<uint32_t> shown =
        ScreenPixels({onScreen.left + left, onScreen.top + top, onScreen.left + left + width,
                      onScreen.top + top + height});
    if (shown.size() != static_cast<size_t>(width * height))
        return "the cell is not on the screen";

    quill::test::DibCanvas canvas(width, height);
    RECT all{0, 0, width, height};
    FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    forms::gdi::FontHandle font = list.Font()->CreateHandle();
    forms::gdi::Selection selected(canvas.Dc(), font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), RGB(0, 0, 0));
    RECT area{list.ItemPaddingLeft(), 0, width - list.ItemPaddingRight(), height};
    DrawTextW(canvas.Dc(), text.c_str(), static_cast<int>(text.size()), &area,
              DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    const std::vector<uint32_t> whole = canvas.Pixels();

    // The rows' edges are left out: the focus frame runs along them.
    const uint32_t background = shown[static_cast<size_t>(width + 1)] & 0xFFFFFF;
    for (int y = 1; y < height - 1; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t i = static_cast<size_t>(y * width + x);
            const bool inkShown = (shown[i] & 0xFFFFFF) != background;
            const bool inkWhole = (whole[i] & 0xFFFFFF) != 0xFFFFFF;
            if (inkShown != inkWhole)
                return "differs at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    return {};
}

// The dates of the project lists are ten characters wide at most; each must
// show whole in its 90-pixel column (the font's digits half as wide as its
// characters), not cut short with an ellipsis.
TEST_F(HomePagesTest, TheWidestDatesOfTheDemoAccountShowWholeInTheirColumns)
{
    Home& w = Open(DemoLogin());
    size_t longest = 0;
    for (int page : {2, 4}) {
        ClickTab(w, page);
        for (int column : {2, 3}) {
            SCOPED_TRACE(testing::Message() << "page " << page << ", column " << column);
            const WidestText widest = WidestInColumn(w, column);
            ASSERT_GE(widest.row, 0);
            longest = std::max(longest, widest.text.size());
            EXPECT_EQ(w.ListView->ColumnWidth(column), 90);
            const int room = w.ListView->ColumnWidth(column) - w.ListView->ItemPaddingLeft() -
                             w.ListView->ItemPaddingRight();
            EXPECT_LE(widest.width, room) << forms::TextToAnsi(widest.text);
            EXPECT_EQ(CellDrawnWhole(w, widest.row, column, widest.text), "")
                << forms::TextToAnsi(widest.text);
        }
    }
    EXPECT_EQ(longest, 10u);  // a month and a day of two digits among them
}

// The monthly report's double-byte cells, the month and the count of
// projects held ("17项"), each show whole in their columns: each carries a
// blank for each double-byte character, as the list draws only as many bytes
// as the text has characters.
TEST_F(HomePagesTest, TheMonthlyReportsDoubleByteCellsShowWhole)
{
    Home& w = Open(DemoLogin());
    ClickTab(w, workspace::MonthlyReportPage);
    for (int column : {1, 2}) {
        SCOPED_TRACE(testing::Message() << "column " << column);
        const WidestText widest = WidestInColumn(w, column);
        ASSERT_GE(widest.row, 0);
        const std::wstring shown = forms::RTrim(widest.text);
        EXPECT_EQ(forms::TextToAnsi(shown).size(), widest.text.size()) << forms::TextToAnsi(widest.text);
        EXPECT_EQ(CellDrawnWhole(w, widest.row, column, shown), "") << forms::TextToAnsi(widest.text);
    }
    // The widest count has two digits: the demo account holds ten or more
    // projects in some month.
    EXPECT_GE(forms::RTrim(WidestInColumn(w, 2).text).size(), 3u);
}

// The rows of a project list reply that the filter would keep.
std::vector<protocol::ProjectRow> RowsWhere(const std::wstring& cache,
                                            const std::function<bool(const protocol::ProjectRow&)>& keep)
{
    std::vector<protocol::ProjectRow> rows;
    for (const auto& row : protocol::ReadRows<protocol::ProjectRow>(cache))
        if (keep(row))
            rows.push_back(row);
    return rows;
}

TEST_F(HomePagesTest, ADoubleClickOnAProjectOpensItsDetailPage)
{
    Home& w = Open(DemoLogin());
    for (int tab : {0, 2, 4}) {
        if (w.NowId != tab)
            ClickTab(w, tab);
        const int32_t id = w.ListView->ItemTag(1);
        DoubleClickRow(w, workspace::DetailPage);
        EXPECT_EQ(session::CurrentSession().CurrentProjectId, id) << tab;
        ClickTab(w, tab == 0 ? 2 : tab == 2 ? 4 : 0);
    }
}

TEST_F(HomePagesTest, ADoubleClickOnAPlatformListsItsProjects)
{
    Home& w = Open(DemoLogin());
    for (const auto& [tab, list] : {std::pair{3, 2}, std::pair{5, 4}}) {
        ClickTab(w, tab);
        const std::wstring shown = w.ListView->ItemText(1, 1);
        const std::wstring platform = forms::Trim(shown);
        EXPECT_NE(shown, platform);  // handed on with its blanks
        w.SXKey->Text(L"x");
        w.SXdateb->Text(L"2020-1-1");
        DoubleClickRow(w, list);
        EXPECT_EQ(w.Combo1->Text(), platform);
        EXPECT_EQ(w.Combo2->ListIndex(), 0);
        EXPECT_EQ(w.SXKey->Text() + w.SXdateb->Text() + w.SXdatee->Text(), L"");
        const auto expected = RowsWhere(
            list == 2 ? session::CurrentSession().CurrentListCache
                      : session::CurrentSession().FinishedListCache,
            [&](const auto& row) { return row.Text(protocol::ProjectRow::PlatformName) == platform; });
        ASSERT_FALSE(expected.empty()) << tab;
        EXPECT_EQ(w.ListView->ItemCount(), static_cast<int32_t>(expected.size())) << tab;
    }

    // A platform the box does not hold lists nothing, not the platform the box keeps.
    ClickTab(w, 3);
    w.ListView->ItemText(1, 1, L"无此平台 ");
    DoubleClickRow(w, 2);
    EXPECT_FALSE(w.Combo1->Text().empty());
    EXPECT_EQ(w.ListView->ItemCount(), 0);
    // The next run of the button filters by the box again.
    ClickAt(w.StyledButton4->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.ListView->ItemCount() > 0 && !w.ActionBusy; }));
}

TEST_F(HomePagesTest, ADoubleClickOnAMonthOrAYearListsTheProjectsDueInIt)
{
    Home& w = Open(DemoLogin());
    for (int tab : {6, 7}) {
        ClickTab(w, tab);
        const std::wstring shown = w.ListView->ItemText(1, 1);
        const bool month = tab == 6;
        EXPECT_EQ(shown.size(), month ? 10u : 6u);  // "2026年05月  ", "2026年 "
        const double first = forms::ToDate(month ? forms::Trim(shown) : forms::Trim(shown) + L"1月1日");
        const double last =
            forms::DateAdd(month ? forms::DateInterval::Month : forms::DateInterval::Year, 1, first) - 1;
        if (w.Combo1->ListCount() > 1)
            w.Combo1->ListIndex(1);
        const int32_t list = forms::DateDiff(month ? forms::DateInterval::Month : forms::DateInterval::Year,
                                             first, forms::Today()) <= 0
                                 ? 2
                                 : 4;
        DoubleClickRow(w, list);
        EXPECT_EQ(forms::ToDate(w.SXdateb->Text()), first) << tab;
        EXPECT_EQ(forms::ToDate(w.SXdatee->Text()), last) << tab;
        EXPECT_EQ(w.Combo5->ListIndex(), 1);
        EXPECT_EQ(w.Combo1->ListIndex(), 0);
        EXPECT_EQ(w.Combo2->ListIndex(), 0);
        const auto expected = RowsWhere(list == 2 ? session::CurrentSession().CurrentListCache
                                                  : session::CurrentSession().FinishedListCache,
                                        [&](const auto& row) {
                                            const double due = row.StrictDate(protocol::ProjectRow::DueDate);
                                            return due >= first && due <= last;
                                        });
        EXPECT_EQ(w.ListView->ItemCount(), static_cast<int32_t>(expected.size())) << tab;
    }
}

// A platform's or a month's list that the service does not send: the
// failure picture alone, no filter run and no filter chart over it.
TEST_F(HomePagesTest, APlatformOrMonthWhoseListFailsShowsOnlyTheFailurePicture)
{
    Home& w = Open(DemoLogin());
    for (int tab : {3, 6}) {
        ClickTab(w, tab);
        Service().Control(R"({"op":"fault","kind":"empty","on":["list","overlist"],"times":1})");
        const size_t before = boxes.Boxes().size();
        DoubleClickAt(w.ListView->hWnd(), RowPoint(w, 1));
        ASSERT_TRUE(PumpUntil([&] { return (w.NowId == 2 || w.NowId == 4) && !w.ActionBusy; })) << tab;
        EXPECT_TRUE(w.Loadingole->Visible()) << tab;
        EXPECT_EQ(w.LoadingLabel->Caption(), L"呃，加载失败，请再试或稍候再试。");
        EXPECT_FALSE(w.Flashole1->Visible()) << tab;
        EXPECT_FALSE(w.Ole2->Visible()) << tab;
        EXPECT_FALSE(w.ListView->Visible()) << tab;
        EXPECT_EQ(w.Flash1xml.find(L"筛选"), std::wstring::npos) << tab;
        EXPECT_TRUE(w.StyledButton4->Enabled()) << tab;
        EXPECT_EQ(boxes.Boxes().size(), before) << tab;
    }
}

// A double click on the rows that a long filter run is adding: the run owns
// the list and the chart until it ends, so the detail page is refused; once
// the run has ended the same double click opens it.
TEST_F(HomePagesTest, ADoubleClickWhileTheFilterAddsItsRowsIsRefused)
{
    constexpr int kRows = 10000;
    Service().Control(R"({"op":"seed_projects","name":"many","password":"many123","count":)" +
                      std::to_string(kRows) + "}");
    session::CurrentSession().AuthQuery =
        L"username=many&password=" + session::MD5Hex(L"many123", 32, false) + L"&v=1.3";
    // The service works out a long list once; the page's own request must
    // not wait for that.
    int16_t timeout = 120;
    const std::wstring url = Service().Primary() + L"softcenter.asp";
    session::HttpRequest(url, L"do=list&" + session::CurrentSession().AuthQuery, timeout, L"GB2312", L"",
                         false);
    timeout = 120;
    Home& w = Open(session::HttpRequest(url, L"do=login&" + session::CurrentSession().AuthQuery, timeout,
                                        L"GB2312", L"", false));
    ClickTab(w, 2);
    ASSERT_EQ(w.ListView->ItemCount(), kRows);

    int doubleClicks = 0;
    w.ListView->DblClick = [&](std::int32_t item) {
        ++doubleClicks;
        w.ListView_DblClick(item);
    };
    bool clicked = false;
    PumpedAction user([&] {
        clicked = true;
        DoubleClickAt(w.ListView->hWnd(), RowPoint(w, 1));
    });
    user.When([&] { return w.ActionBusy && w.ListView->ItemCount() >= 100; });
    w.StyledButton4_Click();
    ASSERT_TRUE(clicked);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(w.NowId, 2);
    EXPECT_EQ(session::CurrentSession().CurrentProjectId, 0);
    EXPECT_EQ(w.ListView->ColumnCount(), 11);
    EXPECT_EQ(w.ListView->ItemCount(), kRows);
    EXPECT_EQ(w.ListView->ItemText(kRows - 1, 0), std::to_wstring(kRows));
    EXPECT_NE(w.PageChartXml1.find(L"caption=\"当前持有项目 - 筛选\""), std::wstring::npos);
    EXPECT_FALSE(w.ole3->Visible());
    EXPECT_FALSE(w.ActionBusy);
    EXPECT_TRUE(boxes.Boxes().empty());

    const int32_t id = w.ListView->ItemTag(1);
    DoubleClickRow(w, workspace::DetailPage);
    EXPECT_EQ(doubleClicks, 2);
    EXPECT_EQ(session::CurrentSession().CurrentProjectId, id);
}

TEST_F(HomePagesTest, TheFilterPanelNarrowsTheCurrentProjects)
{
    Home& w = Open(DemoLogin());
    ClickTab(w, 2);
    const std::vector<protocol::ProjectRow> all =
        protocol::ReadRows<protocol::ProjectRow>(session::CurrentSession().CurrentListCache);
    // A platform from the filter's box.
    w.Combo1->ListIndex(2);
    const std::wstring platform = w.Combo1->Text();
    size_t expected = 0;
    for (const protocol::ProjectRow& row : all)
        expected += row.Text(1).find(platform) != std::wstring::npos ? 1 : 0;
    ASSERT_GT(expected, 0u);
    ClickAt(w.StyledButton4->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.ListView->ItemCount() == static_cast<int32_t>(expected); }));
    ASSERT_TRUE(PumpUntil([&] { return !w.ActionBusy; }));
    for (const std::wstring& text : Column(w, 1))
        EXPECT_EQ(text.find(platform), 0u);
    EXPECT_EQ(Column(w, 0).front(), L"1");
    EXPECT_NE(w.Flash1xml.find(L"caption=\"当前持有项目 - 筛选\""), std::wstring::npos);
    EXPECT_EQ(w.NowId, 2);
    EXPECT_TRUE(w.StyledButton4->Enabled());

    // Value dates from a start date to today (the end box is filled in).
    w.Combo1->ListIndex(0);
    w.SXdateb->Text(forms::DateText(forms::Today() - 10));
    w.StyledButton4_Click();
    EXPECT_EQ(w.SXdatee->Text(), forms::DateText(forms::Today()));
    for (const std::wstring& date : Column(w, 2)) {
        EXPECT_GE(forms::ToDate(date), forms::Today() - 10);
        EXPECT_LE(forms::ToDate(date), forms::Today());
    }
    // An end before the start: a message, nothing else.
    const int32_t rows = w.ListView->ItemCount();
    w.SXdatee->Text(forms::DateText(forms::Today() - 11));
    w.StyledButton4_Click();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].prompt, workspace::kEndBeforeStartMessage);
    EXPECT_EQ(boxes.Boxes()[0].buttons, forms::vbInformation);
    EXPECT_EQ(w.ListView->ItemCount(), rows);
    // A double click empties a date box; the key's focus hides the calendar.
    DoubleClickAt(w.SXdatee->hWnd(), {10, 5});
    ASSERT_TRUE(PumpUntil([&] { return w.SXdatee->Text().empty(); }));
    EXPECT_TRUE(w.Mdateole->Visible());  // the click that began the double click opened it
    EXPECT_EQ(w.DatePickTarget, 2);
    ClickAt(w.SXKey->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return !w.Mdateole->Visible(); }));
    // The start box's click opens the calendar under it; a day goes into it.
    ClickAt(w.SXdateb->hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.Mdateole->Visible(); }));
    EXPECT_EQ(w.DatePickTarget, 1);
    EXPECT_EQ(w.Mdateole->Left(), w.Ole2->Left() + w.SXdateb->Left());
    EXPECT_EQ(w.Mdateole->Top(), w.Ole2->Top() + w.SXdateb->Top() + w.SXdateb->Height());
    const forms::Control& day = w.Mdatesel[14];
    ClickAt(w.Mdateole->hWnd(),
            static_cast<int>((day.Left() + day.Width() / 2) / session::CurrentSession().TwipsPerPixelX),
            static_cast<int>((day.Top() + day.Height() / 2) / session::CurrentSession().TwipsPerPixelY));
    ASSERT_TRUE(PumpUntil([&] { return !w.Mdateole->Visible(); }));
    EXPECT_EQ(forms::Day(forms::ToDate(w.SXdateb->Text())), 15);
    EXPECT_EQ(forms::Month(forms::ToDate(w.SXdateb->Text())), std::stoi(w.Combo4->Text()));
}

TEST_F(HomePagesTest, AFilterRunHoldsTheTabsAndItsButtonAndStopsAtALogout)
{
    Home& w = Open(DemoLogin());
    ClickTab(w, 2);
    // Every click the user makes while the run lets messages through.
    int stage = 0;
    AtEveryPump user(w, [&] {
        if (stage == 0 && w.ActionBusy && w.ListView->ItemCount() >= 3) {
            EXPECT_FALSE(w.StyledButton4->Enabled());
            w.StyledButton1_Click(4);  // a tab: refused
            w.StyledButton4_Click();   // the run again: refused
            stage = 1;
        } else if (stage == 1 && w.ListView->ItemCount() >= 6) {
            w.StyledButton3_Click();  // logout
            stage = 2;
            return true;
        }
        return false;
    });
    w.StyledButton4_Click();
    ASSERT_TRUE(PumpUntil([&] { return user.Done(); }));
    EXPECT_EQ(stage, 2);
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_FALSE(w.ActionBusy);
    EXPECT_TRUE(session::LoginWindow().Visible());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(HomePagesTest, ALogoutOrTheCloseBoxWhileAPageAddsItsRowsStopsIt)
{
    // The close box first: a logout empties the session's query, and the
    // page opened after it would list nothing.
    for (bool logout : {false, true}) {
        Home& w = Open(DemoLogin());
        // The list holds the overview's rows until the page empties it: the
        // window goes once the page has added four rows of its own.
        bool emptied = false;
        AtEveryPump user(w, [&] {
            if (w.NowId == 2 && w.ListView->ItemCount() == 0)
                emptied = true;
            if (emptied && w.ListView->ItemCount() >= 4) {
                if (logout)
                    w.StyledButton3_Click();
                else
                    SendMessageW(w.hWnd(), WM_CLOSE, 0, 0);
                return true;
            }
            return false;
        });
        ClickAt(w.StyledButton1[2].hWnd());
        ASSERT_TRUE(PumpUntil([&] { return user.Done(); }));
        EXPECT_TRUE(emptied) << logout;
        EXPECT_FALSE(w.IsLoaded()) << logout;
        EXPECT_FALSE(w.ActionBusy) << logout;
        EXPECT_EQ(session::LoginWindow().Visible(), logout);
        EXPECT_TRUE(boxes.Boxes().empty());
        session::LoginWindow().Unload();
    }
}

// Pages look at the queue once per row; the messages run at the first look,
// when a timer of the program is due, and once the interval has passed.
TEST_F(HomePagesTest, APageLetsMessagesRunAtItsFirstLookADueTimerOrAfterTheInterval)
{
    Home& w = Open(DemoLogin());
    forms::ClockOverride clock(forms::Now());
    constexpr UINT kProbe = WM_APP + 0x7E;
    auto post = [] { PostThreadMessageW(GetCurrentThreadId(), kProbe, 0, 0); };
    auto waiting = [] {
        MSG m;
        return PeekMessageW(&m, nullptr, kProbe, kProbe, PM_NOREMOVE) != FALSE;
    };
    workspace::HomePages pages(w);
    post();
    EXPECT_TRUE(pages.DoEvents());
    EXPECT_FALSE(waiting());
    post();
    EXPECT_TRUE(pages.DoEvents());
    EXPECT_TRUE(waiting());
    clock.Advance(workspace::HomePages::kPumpIntervalMs - 1);
    EXPECT_TRUE(pages.DoEvents());
    EXPECT_TRUE(waiting());
    clock.Advance(1);
    EXPECT_TRUE(pages.DoEvents());
    EXPECT_FALSE(waiting());

    int ticks = 0;
    forms::Loaded<forms::TimerControl> timer;
    timer.Load(w, {.name = L"PumpProbe"}, forms::TimerArgs{.interval = 5, .enabled = true});
    timer->Timer = [&] { ++ticks; };
    post();
    EXPECT_TRUE(pages.DoEvents());
    EXPECT_TRUE(waiting());
    clock.Advance(5);
    EXPECT_TRUE(pages.DoEvents());
    EXPECT_FALSE(waiting());
    EXPECT_EQ(ticks, 1);

    // Gone is reported at every look, pumped or not.
    w.Unload();
    EXPECT_FALSE(pages.DoEvents());
}

TEST_F(HomePagesTest, TheServicesFailuresOnTheProjectPages)
{
    Home& w = Open(DemoLogin());
    const struct {
        const char* fault;
        const wchar_t* message;  // the "出错" box, or none
        int32_t rows;
    } cases[] = {
        {R"({"op":"fault","kind":"empty","on":["list"],"times":1})", nullptr, -1},
        // Cut replies are no replies either: not 12 of the 26 rows.
        {R"({"op":"fault","kind":"reset_in_body","bytes":1100,"on":["list"],"times":1})", nullptr, -1},
        {R"({"op":"fault","kind":"long_length","on":["list"],"times":1})", nullptr, -1},
        // Without a length, in chunks or ended by the close, the list is
        // taken as it came, and it came whole.
        {R"({"op":"fault","kind":"chunked","chunk":500,"on":["list"],"times":1})", nullptr, 26},
        {R"({"op":"fault","kind":"close_delimited","on":["list"],"times":1})", nullptr, 26},
        // Without "|" while the summary counts projects: an error page or a
        // lasting stale-token answer is no empty list.
        {R"({"op":"fault","kind":"http500","pipe":false,"on":["list"],"times":1})", nullptr, -1},
        {R"({"op":"fault","kind":"err","on":["list"],"times":2})", nullptr, -1},
        // An error page with a "|" inside: no row list ends there.
        {R"({"op":"fault","kind":"http500","pipe":true,"on":["list"],"times":1})", nullptr, -1},
        {R"({"op":"fault","kind":"short_rows","row":3,"on":["list"],"times":1})", L"下标越界", 3},
        {R"({"op":"fault","kind":"bad_number","row":2,"on":["list"],"times":1})", L"类型不匹配", 3},
        {R"({"op":"fault","kind":"bad_number","row":1,"item":4,"text":"soon","on":["list"],"times":1})",
         L"类型不匹配", 2},
    };
    for (const auto& c : cases) {
        ClickTab(w, 0);
        Service().Control(c.fault);
        const size_t before = boxes.Boxes().size();
        ClickTab(w, 2);
        if (c.rows < 0) {
            // No list: the failure picture, nothing of the page.
            EXPECT_TRUE(w.Loadingole->Visible()) << c.fault;
            EXPECT_EQ(w.LoadingLabel->Caption(), L"呃，加载失败，请再试或稍候再试。");
            EXPECT_FALSE(w.ListView->Visible());
            EXPECT_EQ(boxes.Boxes().size(), before);
            continue;
        }
        EXPECT_EQ(w.ListView->ItemCount(), c.rows) << c.fault;
        if (c.message) {
            ASSERT_EQ(boxes.Boxes().size(), before + 1) << c.fault;
            EXPECT_EQ(boxes.Boxes().back().prompt, c.message);
            EXPECT_EQ(boxes.Boxes().back().title, L"出错");
        } else {
            EXPECT_EQ(boxes.Boxes().size(), before) << c.fault;
            EXPECT_TRUE(w.ListView->Visible());
        }
    }
    // After all that the page builds whole again.
    ClickTab(w, 0);
    ClickTab(w, 2);
    EXPECT_EQ(w.ListView->ItemCount(), 26);
}

// A list cut inside a row, in chunks cut short or broken, is no list: the
// failure picture, not the rows before the cut. (The platform ends such a
// body as if whole.)
TEST_F(HomePagesTest, AListCutInsideARowIsNoList)
{
    Home& w = Open(DemoLogin());
    // Five rows and ten bytes into the sixth, whatever the rows' lengths today.
    ClickTab(w, 2);
    const std::string bytes = forms::TextToAnsi(session::CurrentSession().CurrentListCache);
    size_t cut = 0;
    for (int row = 0; row < 5; ++row)
        cut = bytes.find('|', cut) + 1;
    ASSERT_LT(cut + 10, bytes.size());
    cut += 10;
    for (const char* broken : {"cut", "bad_size"}) {
        ClickTab(w, 0);
        Service().Control(std::string(R"({"op":"fault","kind":"chunked","chunk":500,"broken":")") + broken +
                          R"(","after":)" + std::to_string(cut) + R"(,"on":["list"],"times":1})");
        ClickTab(w, 2);
        EXPECT_TRUE(w.Loadingole->Visible()) << broken;
        EXPECT_EQ(w.LoadingLabel->Caption(), L"呃，加载失败，请再试或稍候再试。") << broken;
        EXPECT_FALSE(w.ListView->Visible()) << broken;
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    // The whole list, in the same chunks.
    ClickTab(w, 0);
    Service().Control(R"({"op":"fault","kind":"chunked","chunk":500,"on":["list"],"times":1})");
    ClickTab(w, 2);
    EXPECT_EQ(w.ListView->ItemCount(), 26);
}

TEST_F(HomePagesTest, BrokenSnapshotRowsOnThePlatformAndReportPages)
{
    Service().Control(
        R"({"op":"fault","kind":"bad_number","section":2,"item":1,"text":"many","on":["login"],"times":1})");
    Home& w = Open(DemoLogin());
    ClickTab(w, 3);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"类型不匹配");
    EXPECT_EQ(w.ListView->ItemCount(), 1);
    EXPECT_FALSE(w.ActionBusy);

    Service().Control(R"({"op":"fault","kind":"short_rows","section":1,"items":3,"on":["login"],"times":1})");
    w.ReLoad(DemoLogin());
    ClickTab(w, 6);
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[1].prompt, L"下标越界");
    // The yearly page reads only the interest held: three items are enough.
    ClickTab(w, 7);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_GT(w.ListView->ItemCount(), 0);
}

}  // namespace
}  // namespace quill::test
