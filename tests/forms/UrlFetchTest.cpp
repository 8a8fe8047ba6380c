// The background download the browser stand-in and the animated picture
// share: a whole reply, a bounded one, failures, and a fetch that ends while
// its thread still waits for the server.
#include "forms/UrlFetch.h"

#include "forms/Window.h"
#include "tests/support/OneShotServer.h"
#include "tests/support/Pump.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace quill;
using Source = forms::UrlFetch::Source;

namespace {

// A window that notes the tags of the fetches it hears of.
class Listener : public forms::Window {
public:
    Listener() { CreateHandle({.style = WS_POPUP}); }
    std::vector<WPARAM> heard;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == forms::UrlFetch::Message()) {
            heard.push_back(wp);
            return 0;
        }
        return Window::WndProc(msg, wp, lp);
    }
};

// An address on the loopback where nothing listens any more.
std::wstring ClosedUrl()
{
    test::OneShotServer gone("");
    return gone.Url(L"/gone.html");
}

struct Case {
    const char* name;
    Source source;
    std::size_t largest;
    bool whole, tooLarge;
    std::string bytes;
};

}  // namespace

TEST(UrlFetchTest, ARepliedFetchTellsTheWindowWithItsTag)
{
    const Case cases[] = {
        {"network", Source::Network, 1024, true, false, "<p>\xC4\xE3\xBA\xC3</p>"},
        {"url reader", Source::NetworkOrCache, 1024, true, false, "<p>\xC4\xE3\xBA\xC3</p>"},
        {"network, bounded", Source::Network, 4, false, true, "<p>\xC4"},
        {"url reader, bounded", Source::NetworkOrCache, 4, false, true, "<p>\xC4"},
    };
    WPARAM tag = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::OneShotServer server("<p>\xC4\xE3\xBA\xC3</p>", false, "text/html; charset=gbk");
        Listener window;
        forms::UrlFetch fetch(server.Url(L"/page.html"), c.source, c.largest, window.hWnd(), ++tag);
        ASSERT_TRUE(test::PumpUntil([&] { return !window.heard.empty(); }, "the fetch's message"));
        EXPECT_EQ(window.heard, std::vector<WPARAM>{tag});
        ASSERT_TRUE(fetch.Done());
        EXPECT_EQ(fetch.Result().whole, c.whole);
        EXPECT_EQ(fetch.Result().tooLarge, c.tooLarge);
        EXPECT_EQ(fetch.Result().bytes, c.bytes);
        if (c.source == Source::Network) {
            EXPECT_EQ(fetch.Result().contentType, "text/html; charset=gbk");
        }
    }
}

TEST(UrlFetchTest, AFailedFetchIsDoneAndNotWhole)
{
    const std::pair<Source, std::wstring> cases[] = {
        {Source::Network, ClosedUrl()},
        {Source::NetworkOrCache, ClosedUrl()},
        {Source::NetworkOrCache, L"C:\\no such folder\\missing.gif"},
    };
    for (const auto& [source, url] : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(source));
        Listener window;
        forms::UrlFetch fetch(url, source, 1024, window.hWnd(), 7);
        ASSERT_TRUE(test::PumpUntil([&] { return !window.heard.empty(); }, "the fetch's message"));
        EXPECT_TRUE(fetch.Done());
        EXPECT_FALSE(fetch.Result().whole);
        EXPECT_FALSE(fetch.Result().tooLarge);
        EXPECT_TRUE(fetch.Result().bytes.empty());
    }
}

// The thread outlives the fetch: it finishes alone and tells nobody, and the
// next fetch is the only one the window hears of.
TEST(UrlFetchTest, AFetchEndedWhileItsServerIsHeldTellsNothing)
{
    for (Source source : {Source::Network, Source::NetworkOrCache}) {
        SCOPED_TRACE(static_cast<int>(source));
        Listener window;
        test::OneShotServer held("late", /*held=*/true);
        auto fetch =
            std::make_unique<forms::UrlFetch>(held.Url(L"/late.gif"), source, 1024, window.hWnd(), 1);
        ASSERT_TRUE(test::PumpUntil([&] { return held.RequestArrived(); }, "the request"));
        fetch.reset();
        held.Answer();

        test::OneShotServer next("next");
        forms::UrlFetch second(next.Url(L"/next.gif"), source, 1024, window.hWnd(), 2);
        ASSERT_TRUE(test::PumpUntil([&] { return second.Done(); }, "the second fetch"));
        test::PumpPosted();
        EXPECT_EQ(window.heard, std::vector<WPARAM>{2});
        EXPECT_EQ(second.Result().bytes, "next");
    }
}
