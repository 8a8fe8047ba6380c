// The browser stand-in: pages arrive later, as in a browser, from files and
// over HTTP; the document's body, the readable text and report charts.
#include "ProbeControl.h"
#include "ThinSlicePies.h"
#include "forms/App.h"
#include "forms/ChartPainter.h"
#include "forms/Files.h"
#include "forms/Frame.h"
#include "forms/Gdi.h"
#include "forms/lang/Ansi.h"
#include "forms/Pump.h"
#include "forms/Screen.h"
#include "forms/WebBrowser.h"
#include "forms/web/ChartText.h"
#include "tests/support/ChartPixels.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/OneShotServer.h"
#include "tests/support/Pump.h"

#include <windows.h>

#include <gtest/gtest.h>

using namespace quill;

namespace {

constexpr int kWidth = 500, kHeight = 300;

class BrowserHost {
public:
    BrowserHost()
        : form([this](forms::probe::LayoutForm& f) {
              web.Load(f, {.name = L"Flashweb1",
                           .width = forms::Screen::TwipsX(kWidth),
                           .height = forms::Screen::TwipsY(kHeight)});
              web->DocumentComplete = [this](const std::wstring& url) { arrived.push_back(url); };
          })
    {
        form.Load();
        form.Show();
    }
    ~BrowserHost() { form.Unload(); }

    bool Load(const std::wstring& url)
    {
        const size_t before = arrived.size();
        web->Navigate(url);
        return test::PumpUntil([&] { return arrived.size() > before; });
    }
    test::Pixels Pixels()
    {
        test::DibCanvas canvas(kWidth, kHeight);
        SendMessageW(web->hWnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
        return {kWidth, kHeight, canvas.Pixels()};
    }

    forms::Loaded<forms::WebBrowser> web;
    std::vector<std::wstring> arrived;
    forms::probe::LayoutForm form;
};

std::wstring TempFile(const std::wstring& name, const std::string& bytes)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path =
        std::wstring(dir) + L"quill_web_" + std::to_wstring(GetCurrentProcessId()) + name;
    forms::WriteFileBytes(path, forms::Bytes(bytes.begin(), bytes.end()));
    return path;
}

TEST(WebBrowser, AFilePageArrivesLaterWithItsBodyAndReadableText)
{
    BrowserHost host;
    const std::wstring path = TempFile(
        L"page.html",
        forms::TextToAnsi(L"<html><head><title>公告</title></head><body><h1>最新公告</h1>"
                          L"<p>请访问 <a href=\"http://x/\">官方网站</a> 了解详情。<img src=a.gif></p>"
                          L"[set] type=\"2\" title=\"问\"[/set]</body></html>"));
    host.web->Navigate(path);
    // Nothing yet: the page completes from the message loop, as a browser's does.
    EXPECT_TRUE(host.web->Busy());
    EXPECT_EQ(host.web->Document(), nullptr);
    EXPECT_TRUE(host.arrived.empty());
    ASSERT_TRUE(test::PumpUntil([&] { return !host.arrived.empty(); }));
    ASSERT_NE(host.web->Document(), nullptr);
    EXPECT_EQ(host.arrived[0], path);
    EXPECT_EQ(host.web->Document()->title, L"公告");
    EXPECT_EQ(
        host.web->Document()->body.outerHTML,
        L"<body><h1>最新公告</h1><p>请访问 <a href=\"http://x/\">官方网站</a> 了解详情。<img src=a.gif></p>"
        L"[set] type=\"2\" title=\"问\"[/set]</body>");
    ASSERT_EQ(host.web->Page().blocks.size(), 3u);
    EXPECT_EQ(host.web->Page().blocks[0].heading, 1);
    ASSERT_EQ(host.web->Page().blocks[1].runs.size(), 3u);
    EXPECT_TRUE(host.web->Page().blocks[1].runs[1].link);

    // Drawn as text: dark heading strokes at the top, the link in blue below them.
    const test::Pixels pixels = host.Pixels();
    int dark = 0, blue = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t c = pixels.At(x, y);
            dark += c == RGB(0x22, 0x22, 0x22);
            blue += c == RGB(0x00, 0x33, 0xCC);
        }
    EXPECT_GT(dark, 50);
    EXPECT_GT(blue, 20);
    forms::Kill(path);
}

TEST(WebBrowser, RepaintingATextPageLeaksNothing)
{
    BrowserHost host;
    const std::wstring path =
        TempFile(L"repaint.html", "<h1>Head</h1><p>text <a href=\"x\">link</a></p><h2>Sub</h2><p>more</p>");
    ASSERT_TRUE(host.Load(path));
    ASSERT_EQ(host.web->Page().blocks.size(), 4u);
    host.Pixels();
    const long before = forms::gdi::LiveObjects();
    for (int i = 0; i < 200; ++i) {
        host.Pixels();
        RedrawWindow(host.web->hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
    forms::Kill(path);
}

TEST(WebBrowser, AFileUrlIsReadFromThePathItNames)
{
    BrowserHost host;
    // A blank escaped as %20; a "%" that starts no escape stays as it is.
    const std::wstring path = TempFile(L"a b%.html", "<title>file url</title>");
    std::wstring url = L"file:///";
    for (wchar_t c : path)
        url += c == L'\\' ? std::wstring(L"/") : c == L' ' ? std::wstring(L"%20") : std::wstring(1, c);
    ASSERT_TRUE(host.Load(url));
    EXPECT_EQ(host.web->Document()->title, L"file url");
    forms::Kill(path);
}

TEST(WebBrowser, AReportPageIsDrawnAsItsChart)
{
    BrowserHost host;
    const std::wstring columns =
        TempFile(L"report1.html",
                 "<html><body><canvas></canvas><script>var quillChart = { title: 'T', yAxisName: 'Y', "
                 "fontSize: '13', type: 0, width: 500, height: 300, labelAngle: -25, "
                 "data: [['a',300],['b',150],['c',0],['d',75],] };</script></body></html>");
    ASSERT_TRUE(host.Load(columns));
    ASSERT_TRUE(host.web->Chart());
    const test::Pixels bars = host.Pixels();
    const web::Chart& chart = host.web->Chart()->chart;
    auto palette = [&](uint32_t c) {
        for (size_t i = 0; i < chart.sets.size(); ++i)
            if (c == web::PaletteColor(i))
                return true;
        return false;
    };
    // The lowest row with bar colours on it is just above the baseline.
    std::vector<test::ColourRun> runs;
    for (int y = kHeight - 1; y >= 0 && runs.empty(); --y)
        runs = test::RowRuns(bars, y, palette);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].colour, web::PaletteColor(0));
    EXPECT_EQ(runs[1].colour, web::PaletteColor(1));
    EXPECT_EQ(runs[2].colour, web::PaletteColor(3));

    const std::wstring pie =
        TempFile(L"report2.html",
                 "<script>var quillChart = { title: 'P', type: 1, width: 500, height: 300, labelAngle: 0, "
                 "data: [['a',25],['b',25],['c',50],] };</script>");
    ASSERT_TRUE(host.Load(pie));
    ASSERT_TRUE(host.web->Chart());
    EXPECT_EQ(host.web->Chart()->kind, web::ChartKind::Pie);
    const test::Pixels slices = host.Pixels();
    // Where the pie is: the painter's layout for the browser's client area.
    test::DibCanvas measure(1, 1);
    const web::PieLayout layout =
        forms::ChartPainter(measure.Dc(), host.web->Chart()->chart).Pie(RECT{0, 0, kWidth, kHeight});
    const std::vector<test::Arc> arcs =
        test::ArcsAround(slices, layout.centreX, layout.centreY, layout.radius / 2);
    ASSERT_EQ(arcs.size(), 3u);
    EXPECT_EQ(arcs[0].colour, web::PaletteColor(0));
    EXPECT_NEAR(arcs[0].sweepDegrees, 90, 3);
    EXPECT_EQ(arcs[1].colour, web::PaletteColor(1));
    EXPECT_NEAR(arcs[1].sweepDegrees, 90, 3);
    EXPECT_EQ(arcs[2].colour, web::PaletteColor(2));
    EXPECT_NEAR(arcs[2].sweepDegrees, 180, 3);
    forms::Kill(columns);
    forms::Kill(pie);
}

// A report page's pie keeps every slice at its share, however thin the others.
TEST(WebBrowser, AReportPagesPieGivesEverySliceItsShare)
{
    BrowserHost host;
    for (const forms::probe::ThinSlicePie& pie : forms::probe::ThinSlicePies()) {
        std::string data;
        std::vector<std::pair<uint32_t, double>> shares;
        for (size_t i = 0; i < pie.values.size(); ++i) {
            data +=
                "['P" + std::to_string(i) + "'," + std::to_string(static_cast<long>(pie.values[i])) + "],";
            shares.emplace_back(web::PaletteColor(i), pie.values[i]);
        }
        const std::wstring page = TempFile(
            L"report2.html", "<script>var quillChart = { title: 'P', type: 1, width: 500, height: 300, "
                             "labelAngle: 0, data: [" +
                                 data + "] };</script>");
        ASSERT_TRUE(host.Load(page)) << pie.what;
        ASSERT_TRUE(host.web->Chart()) << pie.what;
        const test::Pixels pixels = host.Pixels();
        test::DibCanvas measure(1, 1);
        const web::PieLayout layout =
            forms::ChartPainter(measure.Dc(), host.web->Chart()->chart).Pie(RECT{0, 0, kWidth, kHeight});
        ASSERT_GT(layout.radius, 40) << pie.what;
        EXPECT_TRUE(test::PieShares(pixels, layout.centreX, layout.centreY, layout.radius, shares))
            << pie.what;
        forms::Kill(page);
    }
}

TEST(WebBrowser, AnHttpPageArrivesWhileTheMessageLoopRuns)
{
    BrowserHost host;
    test::OneShotServer server(
        forms::TextToAnsi(L"<html><body>[set] type=\"1\" title=\"维护\"[/set]</body></html>"), true,
        "text/html; charset=gb2312");
    host.web->Navigate(server.Url(L"/status.shtml"));
    ASSERT_TRUE(test::PumpUntil([&] { return server.RequestArrived(); }));
    // The request hangs on the server; the thread's messages go on meanwhile
    // (a marker posted now is handled).
    test::PumpPosted();
    EXPECT_TRUE(host.web->Busy());
    EXPECT_EQ(host.web->Document(), nullptr);
    server.Answer();
    ASSERT_TRUE(test::PumpUntil([&] { return !host.arrived.empty(); }));
    ASSERT_NE(host.web->Document(), nullptr);
    EXPECT_EQ(host.web->Document()->body.outerHTML, L"<body>[set] type=\"1\" title=\"维护\"[/set]</body>");
}

TEST(WebBrowser, ANewNavigationDropsTheOldOneAndAFailedOneShowsAPageSayingSo)
{
    BrowserHost host;
    test::OneShotServer first("<p>first</p>", true, "text/html"), second("<p>second</p>", true, "text/html");
    host.web->Navigate(first.Url(L"/"));
    ASSERT_TRUE(test::PumpUntil([&] { return first.RequestArrived(); }));
    host.web->Navigate(second.Url(L"/"));
    ASSERT_TRUE(test::PumpUntil([&] { return second.RequestArrived(); }));
    // The first page comes back first, but only the page asked for last counts.
    first.Answer();
    second.Answer();
    ASSERT_TRUE(test::PumpUntil([&] { return !host.arrived.empty(); }));
    EXPECT_EQ(host.arrived, std::vector<std::wstring>{second.Url(L"/")});
    EXPECT_EQ(host.web->Document()->body.outerHTML, L"<body><p>second</p></body>");

    ASSERT_TRUE(host.Load(L"about:blank"));
    EXPECT_EQ(host.web->Document()->body.outerHTML, L"<body></body>");
    ASSERT_TRUE(host.Load(L"C:\\no\\such\\file.html"));
    ASSERT_NE(host.web->Document(), nullptr);
    EXPECT_EQ(host.web->Document()->title, L"无法显示此网页");
    EXPECT_EQ(host.web->Document()->body.outerHTML.find(L"[set]"), std::wstring::npos);
}

}  // namespace
