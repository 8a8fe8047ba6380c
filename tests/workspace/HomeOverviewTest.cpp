// The tab handler and the overview page on the real window: the demo
// account's chart text, summary lines, due-soon list and reminder; the charts
// through the chart control and through the HTML page, read back by pixels.
#include "HomeFixture.h"

#include "workspace/ChartSlot.h"
#include "workspace/ChartXml.h"
#include "session/Session.h"

#include "forms/ChartControl.h"
#include "forms/ChartPainter.h"
#include "forms/Files.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Numbers.h"
#include "forms/Screen.h"
#include "forms/web/ChartText.h"
#include "workspace/FormatWan.h"
#include "tests/support/ChartPixels.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"

#include <algorithm>
#include <regex>

using namespace quill;
using workspace::Home;

namespace quill::test {
namespace {

// The colours of a chart text's sets, in order.
std::vector<std::wstring> SetColours(const std::wstring& xml)
{
    std::vector<std::wstring> colours;
    const std::wregex colour(L"color=\"([0-9A-F]{6})\"");
    for (auto it = std::wsregex_iterator(xml.begin(), xml.end(), colour); it != std::wsregex_iterator(); ++it)
        colours.push_back((*it)[1]);
    return colours;
}

Pixels BrowserPixels(forms::WebBrowser& web)
{
    RECT client{};
    GetClientRect(web.hWnd(), &client);
    DibCanvas canvas(client.right, client.bottom);
    SendMessageW(web.hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    return {client.right, client.bottom, canvas.Pixels()};
}

// The bars along the row just above the baseline: the lowest row with any of the colours.
std::vector<ColourRun> Bars(const Pixels& p, const std::function<bool(uint32_t)>& isBar)
{
    for (int y = p.height - 1; y >= 0; --y) {
        std::vector<ColourRun> runs = RowRuns(p, y, isBar);
        if (!runs.empty())
            return runs;
    }
    return {};
}

// A bar in its set's colour for every set tall enough for a pixel (beside
// the principal, a small sum may have none), in order, along the row just
// above the baseline.
void ExpectBars(const Pixels& pixels, const web::Chart& chart,
                const std::function<uint32_t(const web::Chart&, size_t)>& colourOf)
{
    DibCanvas measure(1, 1);
    const web::ColumnLayout layout =
        forms::ChartPainter(measure.Dc(), chart).Columns(RECT{0, 0, pixels.width, pixels.height}, 0);
    std::vector<uint32_t> expected;
    for (size_t i = 0; i < layout.bars.size(); ++i)
        if (layout.bars[i].box.Height() > 0)
            expected.push_back(colourOf(chart, i));
    EXPECT_GE(expected.size(), 5u);
    const std::vector<ColourRun> bars = Bars(pixels, [&](uint32_t c) {
        for (size_t i = 0; i < chart.sets.size(); ++i)
            if (c == colourOf(chart, i))
                return true;
        return false;
    });
    ASSERT_EQ(bars.size(), expected.size());
    for (size_t i = 0; i < bars.size(); ++i)
        EXPECT_EQ(bars[i].colour, expected[i]) << i;
}

std::wstring Item(int i)
{
    return session::CurrentSession().UserInfo.Text(i);
}

std::wstring Sum(int a, int b)
{
    return forms::NumberText(forms::Val(Item(a)) + forms::Val(Item(b)));
}

TEST_F(HomeTest, TheDemoAccountsOverview)
{
    Home& w = Open(DemoLogin());
    EXPECT_EQ(w.NowId, 0);
    EXPECT_FALSE(w.ActionBusy);
    EXPECT_TRUE(boxes.Boxes().empty());

    // The chart text, byte for byte (the colours are random but for the red one).
    const std::vector<std::wstring> colours = SetColours(w.PageChartXml1);
    ASSERT_EQ(colours.size(), 8u);
    EXPECT_EQ(colours[1], L"FF0000");
    const std::wstring expected =
        L"<chart caption=\"账号概览\" yAxisName=\"Quillmoor\" baseFontSize=\"14\" showNames=\"1\" "
        L"decimalPrecision=\"0\" formatNumberScale=\"0\">"
        L"<set name=\"总投入本金\" value=\"" +
        Item(3) + L"\" color=\"" + colours[0] +
        L"\"/>"
        L"<set name=\"总待收利息\" value=\"" +
        Item(5) +
        L"\" color=\"FF0000\"/>"
        L"<set name=\"总待收本息\" value=\"" +
        Sum(3, 5) + L"\" color=\"" + colours[2] +
        L"\"/>"
        L"<set name=\"本月持有利息\" value=\"" +
        Item(6) + L"\" color=\"" + colours[3] +
        L"\"/>"
        L"<set name=\"本月回款利息\" value=\"" +
        Item(11) + L"\" color=\"" + colours[4] +
        L"\"/>"
        L"<set name=\"本月回款本金\" value=\"" +
        Item(10) + L"\" color=\"" + colours[5] +
        L"\"/>"
        L"<set name=\"本月回款本息\" value=\"" +
        Sum(10, 11) + L"\" color=\"" + colours[6] +
        L"\"/>"
        L"<set name=\"已完结已收利息\" value=\"" +
        Item(4) + L"\" color=\"" + colours[7] + L"\"/></chart>";
    EXPECT_EQ(w.PageChartXml1, expected);
    EXPECT_EQ(w.Flash1xml, expected);
    EXPECT_EQ(w.ChartLabelAngle, 0);

    // Twelve summary lines.
    const wchar_t* captions[] = {L"当前投入本金：",   L"总待收利息：",   L"总待收本息：",
                                 L"已完结已收利息：", L"本月持有利息：", L"本月回款利息：",
                                 L"本月回款本金：",   L"本月回款本息：", L"当前持有项目：",
                                 L"持有加权利率：",   L"已经完结项目：", L"已完结已收利息："};
    const std::wstring values[] = {workspace::FormatWan(forms::ToDouble(Item(3))),
                                   workspace::FormatWan(forms::ToDouble(Item(5))),
                                   workspace::FormatWan(forms::Val(Item(3)) + forms::Val(Item(5))),
                                   workspace::FormatWan(forms::ToDouble(Item(4))),
                                   workspace::FormatWan(forms::ToDouble(Item(6))),
                                   workspace::FormatWan(forms::ToDouble(Item(11))),
                                   workspace::FormatWan(forms::ToDouble(Item(10))),
                                   workspace::FormatWan(forms::Val(Item(10)) + forms::Val(Item(11))),
                                   Item(8),
                                   forms::Format(std::wstring_view(Item(17)), L"0.00") + L"%",
                                   Item(9),
                                   workspace::FormatWan(forms::ToDouble(Item(4)))};
    EXPECT_TRUE(w.Ole1->Visible());
    EXPECT_EQ(w.Ole1->Height(), 2985);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(w.Ole1Label[i].Caption(), captions[i]) << i;
        EXPECT_EQ(w.Ole1Money[i].Caption(), values[i]) << i;
        EXPECT_TRUE(w.Ole1Label[i].Visible());
    }
    EXPECT_FALSE(w.Ole1Label[12].Visible());
    EXPECT_EQ(w.CaptionL->Caption(), L"最近30天待收列表");
    EXPECT_TRUE(w.CaptionL->Visible());

    // The due-soon list: the demo's five projects due in 3 to 29 days, nearest first.
    const std::vector<protocol::ProjectRow> due =
        protocol::ReadRows<protocol::ProjectRow>(session::CurrentSession().DueSoonSection);
    ASSERT_EQ(due.size(), 5u);
    EXPECT_TRUE(w.ListView->Visible());
    EXPECT_TRUE(w.ListView->Redraw());
    ASSERT_EQ(w.ListView->ItemCount(), 5);
    ASSERT_EQ(w.ListView->ColumnCount(), 11);
    for (int32_t r = 0; r < 5; ++r) {
        EXPECT_EQ(w.ListView->ItemTag(r), due[static_cast<size_t>(r)].Id());
        EXPECT_EQ(w.ListView->ItemText(r, 0), std::to_wstring(r + 1));
        EXPECT_EQ(w.ListView->ItemText(r, 3),
                  due[static_cast<size_t>(r)].Text(protocol::ProjectRow::DueDate));
    }
    EXPECT_EQ(w.ListView->ItemText(0, 10), L"3");
    EXPECT_EQ(w.NearestDueDays, 3);
    EXPECT_EQ(w.MaininfoR->Caption(), L"距离最近一笔项目到期还有3天.");
    EXPECT_EQ(w.MaininfoR->ForeColor(), 0x004000u);

    // The chart control draws a bar per set whose value is above 0, in the set's colour.
    ASSERT_TRUE(w.FlashOk1);
    auto& chart = dynamic_cast<forms::ChartControl&>(*w.Flash1);
    EXPECT_EQ(chart.Chart().sets.size(), 8u);
    EXPECT_TRUE(chart.Visible());
    EXPECT_TRUE(w.Flashole1->Visible());
    EXPECT_FALSE(w.Flashweb1->Visible());
    ExpectBars(ControlPixels(chart), chart.Chart(),
               [](const web::Chart& c, size_t i) { return *c.sets[i].color; });

    Picture(w, L"main-overview");
}

TEST_F(HomeTest, TheOverviewThroughTheHtmlPageWhenTheChartControlIsMissing)
{
    SetEnvironmentVariableW(L"QUILL_NO_CHART_CONTROL", L"1");
    Home& w = Open(DemoLogin());
    EXPECT_FALSE(w.FlashOk1);
    EXPECT_FALSE(w.Flash1);
    ASSERT_TRUE(PumpUntil([&] { return w.Flashweb1->Document() != nullptr; }));
    EXPECT_TRUE(w.Flashweb1->Visible());
    EXPECT_EQ(w.Flashweb1->LocationURL(), workspace::ReportPath(L"report1.html"));
    // The browser sits one pixel up and left in its frame, at the frame's size.
    EXPECT_EQ(w.Flashweb1->Left(), -forms::Screen::TwipsX(1));
    EXPECT_EQ(w.Flashweb1->Top(), -forms::Screen::TwipsY(1));
    EXPECT_EQ(w.Flashweb1->Width(), w.Flashole1->Width());
    EXPECT_EQ(w.Flashweb1->Height(), w.Flashole1->Height());

    // The page written from the template carries the chart as script data.
    const forms::Bytes written = forms::ReadFileBytes(workspace::ReportPath(L"report1.html"));
    const std::wstring page =
        forms::AnsiToText(std::string_view(reinterpret_cast<const char*>(written.data()), written.size()));
    EXPECT_NE(page.find(L"title: '\\u8D26\\u53F7\\u6982\\u89C8',"), std::wstring::npos);
    EXPECT_NE(page.find(L"yAxisName: 'Quillmoor',"), std::wstring::npos);
    EXPECT_NE(page.find(L"fontSize: '14',"), std::wstring::npos);
    EXPECT_NE(page.find(L"type: 0,"), std::wstring::npos);
    EXPECT_NE(page.find(L"width: 982,"), std::wstring::npos);  // 14725 twips
    EXPECT_NE(page.find(L"height: 300,"), std::wstring::npos);
    EXPECT_NE(page.find(L"<canvas id=\"chart\" width=\"982\" height=\"300\">"), std::wstring::npos);
    EXPECT_NE(page.find(L"labelAngle: 0,"), std::wstring::npos);
    EXPECT_NE(page.find(L"data: [['\\u603B\\u6295\\u5165\\u672C\\u91D1'," + Item(3) + L"],"),
              std::wstring::npos);
    EXPECT_EQ(page.find(L'['), page.find(L"[['"));  // every placeholder filled
    EXPECT_EQ(page.substr(page.size() - 2), L"\r\n");

    // The browser draws the same chart: eight sets, a bar in the palette's colour for each above 0.
    ASSERT_TRUE(w.Flashweb1->Chart());
    const web::Chart& chart = w.Flashweb1->Chart()->chart;
    ASSERT_EQ(chart.sets.size(), 8u);
    ExpectBars(BrowserPixels(*w.Flashweb1), chart,
               [](const web::Chart&, size_t i) { return web::PaletteColor(i); });

    Picture(w, L"main-overview-html");
}

// The platform pages' pies go through the second slot: the control and the page.
TEST_F(HomeTest, APieInTheSecondSlotByBothPaths)
{
    Home& w = Open(Snapshot(UserInfoText()));
    workspace::ChartXml pie(workspace::ChartStyle::Pie, L"平台");
    pie.PieSet(L"甲", L"30", L"FF0000");
    pie.PieSet(L"乙", L"60", L"0000FF");
    pie.PieSet(L"丙", L"10", L"00AA00");
    w.ShowFlash2(w.PubLeft + w.PubWidth / 2, w.PubTop, w.PubWidth / 2, session::CurrentSession().ChartHeight,
                 pie.Text(), 1);
    ASSERT_TRUE(w.FlashOk2);
    auto& chart = dynamic_cast<forms::ChartControl&>(*w.Flash2);
    EXPECT_EQ(chart.Kind(), web::ChartKind::Pie);
    EXPECT_EQ(chart.Name(), L"FlashID2");
    const Pixels pixels = ControlPixels(chart);
    const web::PieLayout layout =
        forms::ChartPainter(chart.hDC(), chart.Chart()).Pie(RECT{0, 0, pixels.width, pixels.height});
    const std::vector<Arc> arcs = ArcsAround(pixels, layout.centreX, layout.centreY, layout.radius / 2);
    ASSERT_EQ(arcs.size(), 3u);
    const uint32_t colours[] = {0x0000FF, 0xFF0000, 0x00AA00};
    const double sweeps[] = {108, 216, 36};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(arcs[i].colour, colours[i]) << i;
        EXPECT_NEAR(arcs[i].sweepDegrees, sweeps[i], 2) << i;
    }

    // The same chart through the page: the palette's colours, the same angles.
    w.ShowWeb2(w.PubLeft + w.PubWidth / 2, w.PubTop, w.PubWidth / 2, session::CurrentSession().ChartHeight,
               L"", 1);
    EXPECT_FALSE(chart.Visible());
    ASSERT_TRUE(PumpUntil([&] { return w.Flashweb2->Document() != nullptr; }));
    ASSERT_TRUE(w.Flashweb2->Chart());
    EXPECT_EQ(w.Flashweb2->Chart()->kind, web::ChartKind::Pie);
    const Pixels page = BrowserPixels(*w.Flashweb2);
    DibCanvas measure(1, 1);
    const web::PieLayout pageLayout = forms::ChartPainter(measure.Dc(), w.Flashweb2->Chart()->chart)
                                          .Pie(RECT{0, 0, page.width, page.height});
    const std::vector<Arc> pageArcs =
        ArcsAround(page, pageLayout.centreX, pageLayout.centreY, pageLayout.radius / 2);
    ASSERT_EQ(pageArcs.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(pageArcs[i].colour, web::PaletteColor(i)) << i;
        EXPECT_NEAR(pageArcs[i].sweepDegrees, sweeps[i], 2) << i;
    }
}

// The finished platforms' principal pie of an account with two large
// platforms and twelve small ones, the smallest 0.2 degrees: every platform
// keeps its share, through the control and through the page.
TEST_F(HomeTest, TheFinishedPlatformsPieGivesEveryPlatformItsShare)
{
    const double principals[] = {101000, 81000, 110, 120, 150, 200, 260, 330, 420, 540, 680, 820, 960, 1100};
    std::wstring finished;
    for (size_t i = 0; i < std::size(principals); ++i)
        finished +=
            L"平台" + std::to_wstring(i) + L"," + forms::NumberText(principals[i]) + L",10,1,8,8,0,0,0|";
    Home& w = Open(UserInfoText() + L"[]201512:3:40:0:60|[]P1,1000,200,3,9,8,0,0,0|[]" + finished +
                   L"[]P1,P2,|A1,[]");
    w.StyledButton1_Click(5);
    ASSERT_TRUE(w.FlashOk1);
    auto& chart = dynamic_cast<forms::ChartControl&>(*w.Flash1);
    ASSERT_EQ(chart.Chart().sets.size(), std::size(principals));
    std::vector<std::pair<uint32_t, double>> shares;
    for (size_t i = 0; i < std::size(principals); ++i)
        shares.emplace_back(web::SetColor(chart.Chart(), i), principals[i]);
    const Pixels pixels = ControlPixels(chart);
    const web::PieLayout layout =
        forms::ChartPainter(chart.hDC(), chart.Chart()).Pie(RECT{0, 0, pixels.width, pixels.height});
    ASSERT_GT(layout.radius, 40);
    EXPECT_TRUE(PieShares(pixels, layout.centreX, layout.centreY, layout.radius, shares));

    w.ShowWeb1(w.PubLeft, w.PubTop, w.PubWidth / 2, session::CurrentSession().ChartHeight, L"", 1);
    ASSERT_TRUE(PumpUntil([&] {
        const auto& shown = w.Flashweb1->Chart();
        return shown && shown->kind == web::ChartKind::Pie &&
               shown->chart.sets.size() == std::size(principals);
    }));
    const Pixels page = BrowserPixels(*w.Flashweb1);
    DibCanvas measure(1, 1);
    const web::PieLayout pageLayout = forms::ChartPainter(measure.Dc(), w.Flashweb1->Chart()->chart)
                                          .Pie(RECT{0, 0, page.width, page.height});
    ASSERT_GT(pageLayout.radius, 40);
    for (size_t i = 0; i < std::size(principals); ++i)
        shares[i].first = web::PaletteColor(i);
    EXPECT_TRUE(PieShares(page, pageLayout.centreX, pageLayout.centreY, pageLayout.radius, shares));
}

TEST_F(HomeTest, AnEmptyChartTextShowsTheSlotsLastChartAgain)
{
    Home& w = Open(Snapshot(UserInfoText()));
    const std::wstring first = w.Flash1xml;
    ASSERT_FALSE(first.empty());
    w.ShowFlash1(w.PubLeft, w.PubTop, w.PubWidth, session::CurrentSession().ChartHeight, L"", 0);
    EXPECT_EQ(w.Flash1xml, first);
    EXPECT_EQ(dynamic_cast<forms::ChartControl&>(*w.Flash1).DataXML(), first);
    w.ShowWeb1(w.PubLeft, w.PubTop, w.PubWidth, session::CurrentSession().ChartHeight, L"", 0);
    ASSERT_TRUE(PumpUntil([&] { return w.Flashweb1->Document() != nullptr; }));
    ASSERT_TRUE(w.Flashweb1->Chart());
    EXPECT_EQ(w.Flashweb1->Chart()->chart.sets.size(), 8u);
}

TEST_F(HomeTest, AReportThatCannotBeWrittenShowsAnEmptyPageNeverAnOlderOne)
{
    Home& w = Open(Snapshot(UserInfoText()));
    w.ShowWeb1(w.PubLeft, w.PubTop, w.PubWidth, session::CurrentSession().ChartHeight, w.PageChartXml1, 0);
    ASSERT_TRUE(PumpUntil([&] { return w.Flashweb1->Document() != nullptr; }));
    ASSERT_TRUE(w.Flashweb1->Chart());
    // Something in the way of the page: the old page goes, and nothing takes its place.
    const std::wstring path = workspace::ReportPath(L"report1.html");
    forms::Kill(path);
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    w.ShowWeb1(w.PubLeft, w.PubTop, w.PubWidth, session::CurrentSession().ChartHeight, w.PageChartXml1, 0);
    ASSERT_TRUE(PumpUntil([&] { return w.Flashweb1->Document() != nullptr; }));
    EXPECT_EQ(w.Flashweb1->LocationURL(), L"about:blank");
    EXPECT_FALSE(w.Flashweb1->Chart());
    EXPECT_EQ(w.Flashweb1->Document()->body.outerHTML, L"<body></body>");
    RemoveDirectoryW(path.c_str());
}

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[32768]{};
    const DWORD n = GetEnvironmentVariableW(name, value, 32768);
    return std::wstring(value, n < 32768 ? n : 0);
}

// The user's temporary folder out of use (a path too long to be one, a
// folder that is not there): the page is written nowhere, not into the
// current folder, and the frame shows the failure picture until a later
// page is written again.
TEST_F(HomeTest, WithoutATemporaryFolderTheChartShowsTheFailurePicture)
{
    SetEnvironmentVariableW(L"QUILL_NO_CHART_CONTROL", L"1");
    Home& w = Open(Snapshot(UserInfoText()));
    wchar_t current[MAX_PATH]{};
    GetCurrentDirectoryW(MAX_PATH, current);
    const std::wstring stray =
        std::wstring(current) + L"\\Quillmoor-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring kept[] = {Environment(L"TMP"), Environment(L"TEMP")};
    const std::wstring unusable[] = {L"C:\\" + std::wstring(300, L'x'), L"C:\\no-such-folder\\below"};
    for (const std::wstring& temp : unusable) {
        SCOPED_TRACE(temp.size());
        w.ShowWeb1(w.PubLeft, w.PubTop, w.PubWidth, session::CurrentSession().ChartHeight, w.PageChartXml1,
                   0);
        EXPECT_TRUE(w.Flashweb1->Visible());
        EXPECT_FALSE(w.Flashfail1->Visible());
        SetEnvironmentVariableW(L"TMP", temp.c_str());
        SetEnvironmentVariableW(L"TEMP", temp.c_str());
        w.ShowWeb1(w.PubLeft, w.PubTop, w.PubWidth, session::CurrentSession().ChartHeight, w.PageChartXml1,
                   0);
        SetEnvironmentVariableW(L"TMP", kept[0].empty() ? nullptr : kept[0].c_str());
        SetEnvironmentVariableW(L"TEMP", kept[1].empty() ? nullptr : kept[1].c_str());
        EXPECT_FALSE(forms::FileExists(stray + L"\\report1.html"));
        DeleteFileW((stray + L"\\report1.html").c_str());
        RemoveDirectoryW(stray.c_str());
        EXPECT_TRUE(w.Flashole1->Visible());
        EXPECT_FALSE(w.Flashweb1->Visible());
        ASSERT_TRUE(w.Flashfail1->Visible());
        // The picture's red cross, in the middle of the frame.
        const int tx = session::CurrentSession().TwipsPerPixelX,
                  ty = session::CurrentSession().TwipsPerPixelY;
        EXPECT_NEAR(w.Flashfail1->Left() + w.Flashfail1->Width() / 2, w.Flashole1->Width() / 2, tx);
        EXPECT_NEAR(w.Flashfail1->Top() + w.Flashfail1->Height() / 2, w.Flashole1->Height() / 2, ty);
        RedrawWindow(w.hWnd(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        forms::DoEvents();
        POINT origin{w.Flashfail1->Left() / tx, w.Flashfail1->Top() / ty};
        ClientToScreen(w.Flashole1->hWnd(), &origin);
        const std::vector<uint32_t> pixels =
            ScreenPixels({origin.x, origin.y, origin.x + w.Flashfail1->Width() / tx,
                          origin.y + w.Flashfail1->Height() / ty});
        EXPECT_GT(std::count_if(pixels.begin(), pixels.end(),
                                [](uint32_t c) { return (c & 0xFFFFFF) == 0x2828C6; }),
                  500);
    }
    w.ShowWeb1(w.PubLeft, w.PubTop, w.PubWidth, session::CurrentSession().ChartHeight, w.PageChartXml1, 0);
    EXPECT_TRUE(w.Flashweb1->Visible());
    EXPECT_FALSE(w.Flashfail1->Visible());
    ASSERT_TRUE(PumpUntil([&] { return w.Flashweb1->Document() != nullptr; }));
    EXPECT_EQ(w.Flashweb1->LocationURL(), workspace::ReportPath(L"report1.html"));
}

TEST_F(HomeTest, AMissingTemplateGivesAnEmptyPageAndIsNotCreated)
{
    Home& w = Open(Snapshot(UserInfoText()));
    const std::wstring templatePath = workspace::ChartTemplatePath();
    const forms::Bytes kept = forms::ReadFileBytes(templatePath);
    forms::Kill(templatePath);
    w.ShowWeb1(w.PubLeft, w.PubTop, w.PubWidth, session::CurrentSession().ChartHeight, w.PageChartXml1, 0);
    ASSERT_TRUE(PumpUntil([&] { return w.Flashweb1->Document() != nullptr; }));
    EXPECT_FALSE(forms::FileExists(templatePath));
    EXPECT_FALSE(w.Flashweb1->Chart());
    EXPECT_TRUE(w.Flashweb1->Page().blocks.empty());
    EXPECT_EQ(forms::FileLen(workspace::ReportPath(L"report1.html")), 2);  // the line break alone
    forms::WriteFileBytes(templatePath, kept);
}

TEST_F(HomeTest, TheReminderColourFollowsTheNearestDueDate)
{
    const struct {
        std::wstring dueSoon;
        std::wstring caption;
        forms::OleColor colour;
        int rows;
    } cases[] = {
        {DueRow(1, L"P", L"N", 5) + DueRow(2, L"P", L"M", 1), L"距离最近一笔项目到期还有5天.", 0x004000, 2},
        {DueRow(1, L"P", L"N", 0), L"提醒：最近一笔项目到期已经超过0天！", 0x0000FF, 1},
        {DueRow(1, L"P", L"N", -3) + DueRow(2, L"P", L"M", 9), L"提醒：最近一笔项目到期已经超过3天！",
         0x0000FF, 2},
        {L"", L"最近30天没有待收项目，您可安心做甩手掌柜^_^!", 0x004000, 0},
    };
    for (const auto& c : cases) {
        Home& w = Open(Snapshot(UserInfoText(), L"|", c.dueSoon));
        EXPECT_EQ(w.MaininfoR->Caption(), c.caption);
        EXPECT_EQ(w.MaininfoR->ForeColor(), c.colour);
        EXPECT_EQ(w.ListView->ItemCount(), c.rows);
        w.Unload();
    }
}

TEST_F(HomeTest, AFailedOverviewShowsTheFailurePictureAndItsTabBuildsItAgain)
{
    // A principal that is no number stops the page at its first summary line.
    Home& w = Open(Snapshot(UserInfoText({{3, L"abc"}}), L"|", DueRow(1, L"P", L"N", 5)));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"类型不匹配");
    EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
    EXPECT_EQ(boxes.Boxes()[0].buttons, forms::vbCritical);
    EXPECT_FALSE(w.ActionBusy);
    EXPECT_EQ(w.NowId, 0);
    EXPECT_TRUE(w.Loadingole->Visible());
    EXPECT_EQ(w.LoadingLabel->Caption(), L"呃，加载失败，请再试或稍候再试。");
    EXPECT_EQ(w.ListView->ItemCount(), 0);

    // With a good snapshot, a click on the same tab builds the page again.
    w.ReLoad(Snapshot(UserInfoText(), L"|", DueRow(1, L"P", L"N", 5)));
    ClickAt(w.StyledButton1[0].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.Ole1->Visible() && !w.ActionBusy; }));
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_FALSE(w.Loadingole->Visible());
    EXPECT_TRUE(w.Ole1->Visible());
    EXPECT_EQ(w.Ole1Money[0].Caption(), L"1000");
}

TEST_F(HomeTest, TheTabsFrame)
{
    Home& w = Open(Snapshot(UserInfoText(), L"|", DueRow(1, L"P", L"N", 5)));
    // A click on the page shown changes nothing, not even the layout.
    w.Ole1->Move(15, 15);
    // The click has been handled when ClickAt returns.
    ClickAt(w.StyledButton1[0].hWnd());
    EXPECT_EQ(w.NowId, 0);
    EXPECT_EQ(w.Ole1->Top(), 15);

    // The entry form's tab needs no request: the form, no loading panel.
    ClickAt(w.StyledButton1[1].hWnd());
    ASSERT_TRUE(PumpUntil([&] { return w.NowId == 1 && !w.ActionBusy; }));
    EXPECT_EQ(w.NowIDb, 1);
    EXPECT_FALSE(w.Loadingole->Visible());
    EXPECT_TRUE(w.Addole->Visible());
    EXPECT_FALSE(w.ListView->Visible());
    EXPECT_FALSE(w.Flashole1->Visible());
    EXPECT_FALSE(w.Ole1->Visible());
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(w.StyledButton1[i].Value());
    // Back from the detail page (-1) the tabs keep their Value; any other change clears them.
    w.StyledButton1[3].Value(true);
    session::CurrentSession().CurrentProjectId = -1;
    w.StyledButton1_Click(0);
    EXPECT_TRUE(w.StyledButton1[3].Value());
    EXPECT_EQ(session::CurrentSession().CurrentProjectId, 0);
    w.StyledButton1_Click(2);
    EXPECT_FALSE(w.StyledButton1[3].Value());
    // An index without a page: everything hidden, laid out, not busy.
    w.StyledButton1_Click(9);
    EXPECT_EQ(w.NowId, 9);
    EXPECT_FALSE(w.ActionBusy);
    EXPECT_FALSE(w.Loadingole->Visible());
    EXPECT_FALSE(w.Flashole1->Visible());
    EXPECT_FALSE(w.ListView->Visible());
    // While a page is built every tab is refused.
    w.ActionBusy = true;
    w.StyledButton1_Click(0);
    EXPECT_EQ(w.NowId, 9);
    w.ActionBusy = false;
}

}  // namespace
}  // namespace quill::test
