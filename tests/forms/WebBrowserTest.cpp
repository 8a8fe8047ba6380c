// The browser stand-in: pages fetched without blocking the message loop,
// the document's body, and the page's readable text on the screen.
#include "forms/WebBrowser.h"

#include "forms/Files.h"
#include "forms/lang/Ansi.h"
#include "tests/support/HostForm.h"
#include "tests/support/OneShotServer.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace quill;

namespace {

struct Browser {
    forms::Loaded<forms::WebBrowser> web;
};
using BrowserForm = test::HostForm<Browser>;

// A page in the service's code page, saying so in its meta element.
std::string Page936(const std::wstring& body)
{
    return forms::TextToAnsi(
        L"<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
        L"<title>推荐</title></head><body>" +
        body + L"</body></html>");
}

class WebBrowserTest : public testing::Test {
protected:
    BrowserForm form{[](BrowserForm& f) { f.web.Load(f, test::PlacePixels(L"Web", 0, 0, 300, 200)); },
                     {.caption = L"Browser", .clientWidth = 300 * 15, .clientHeight = 200 * 15}};
    forms::WebBrowser& Web() { return *form.web; }
    void SetUp() override
    {
        form.Show();
        Web().DocumentComplete = [this](const std::wstring& url) { completed.push_back(url); };
    }
    void TearDown() override { form.Unload(); }
    std::vector<std::wstring> completed;
};

TEST_F(WebBrowserTest, APageArrivesLaterWhileTheMessageLoopRuns)
{
    test::OneShotServer server(Page936(L"<h1>本月记账技巧</h1><p>[set]type=\"1\" [/set]</p>"), true);
    const std::wstring url = server.Url(L"/do//status.shtml?ver=1.3");
    Web().Navigate(url);
    // Navigate returned at once; the window goes on handling messages.
    EXPECT_TRUE(Web().Busy());
    EXPECT_EQ(Web().Document(), nullptr);
    EXPECT_EQ(Web().LocationURL(), url);
    ASSERT_TRUE(test::PumpUntil([&] { return server.RequestArrived(); }, "the request"));
    test::PumpPosted();
    EXPECT_EQ(Web().Document(), nullptr);
    EXPECT_TRUE(completed.empty());

    server.Answer();
    ASSERT_TRUE(test::PumpUntil([&] { return Web().Document() != nullptr; }, "the page"));
    EXPECT_EQ(completed, std::vector<std::wstring>{url});
    EXPECT_FALSE(Web().Busy());
    EXPECT_EQ(Web().Document()->url, url);
    EXPECT_EQ(Web().Document()->title, L"推荐");
    EXPECT_EQ(Web().Document()->body.outerHTML,
              L"<body><h1>本月记账技巧</h1><p>[set]type=\"1\" [/set]</p></body>");
    EXPECT_NE(server.request.find("GET /do//status.shtml?ver=1.3"), std::string::npos);
}

TEST_F(WebBrowserTest, ALaterNavigationDropsTheEarlierPage)
{
    test::OneShotServer slow(Page936(L"<p>slow</p>"), true);
    test::OneShotServer quick(Page936(L"<p>quick</p>"));
    Web().Navigate(slow.Url(L"/a.html"));
    ASSERT_TRUE(test::PumpUntil([&] { return slow.RequestArrived(); }, "the first request"));
    Web().Navigate(quick.Url(L"/b.html"));
    ASSERT_TRUE(test::PumpUntil([&] { return Web().Document() != nullptr; }, "the second page"));
    slow.Answer();
    test::PumpPosted();
    EXPECT_EQ(Web().Document()->body.outerHTML, L"<body><p>quick</p></body>");
    EXPECT_EQ(completed, std::vector<std::wstring>{quick.Url(L"/b.html")});
}

// Only web pages are fetched: a file or a program is never read.
TEST_F(WebBrowserTest, AnythingButAWebAddressShowsThatItCannotBeShown)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring file = std::wstring(dir) + L"quill-page.html";
    const std::string secret = "<html><body>secret</body></html>";
    forms::WriteFileBytes(file, forms::Bytes(secret.begin(), secret.end()));
    for (const std::wstring& url : {file, L"file:///" + file, std::wstring(L"calc.exe")}) {
        completed.clear();
        Web().Navigate(url);
        ASSERT_TRUE(test::PumpUntil([&] { return Web().Document() != nullptr; }, "the error page"));
        EXPECT_EQ(Web().Document()->title, L"无法显示此网页") << url;
        EXPECT_EQ(Web().Document()->body.outerHTML.find(L"secret"), std::wstring::npos) << url;
        EXPECT_EQ(completed.size(), 1u);
    }
    DeleteFileW(file.c_str());
}

// Headings, paragraphs and links as underlined text; the picture left out.
TEST_F(WebBrowserTest, ShowsThePageAsReadableText)
{
    test::OneShotServer server(Page936(L"<h1>标题</h1><p><img src=\"x.gif\" width=\"200\" height=\"100\">正文"
                                       L"<a href=\"index.html\">首页链接</a></p>"));
    Web().Navigate(server.Url(L"/notice.html"));
    ASSERT_TRUE(test::PumpUntil([&] { return Web().Document() != nullptr; }, "the page"));
    const auto& blocks = Web().Page().blocks;
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].heading, 1);
    ASSERT_EQ(blocks[1].runs.size(), 2u);
    EXPECT_TRUE(blocks[1].runs[1].link);
    RedrawWindow(Web().hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    test::PumpPosted();

    const RECT area = test::ClientAreaOnScreen(Web().hWnd());
    const std::vector<uint32_t> pixels = test::ScreenPixels(area);
    const int width = area.right - area.left;
    int dark = 0, blue = 0, blueRows = 0;
    for (int y = 0; y < area.bottom - area.top; ++y) {
        int blueHere = 0;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF;
            dark += p == 0x222222;
            blueHere += p == 0xCC3300;  // RGB(00, 33, CC)
        }
        blue += blueHere;
        // The underline: one row of link colour across the link's width.
        blueRows += blueHere > 40;
    }
    EXPECT_GT(dark, 50);  // the heading and the text
    EXPECT_GT(blue, 20);  // the link
    EXPECT_GE(blueRows, 1);
}

}  // namespace
