// The transfer's thread with request objects of the test's own: transfers
// given up, waits begun inside waits, a length refused from the headers and
// a connection refused. (The platform's own object under Wine: the session's
// and the updater's tests.)
#include "forms/HttpTransfer.h"

#include "forms/lang/Clock.h"
#include "tests/support/OneShotServer.h"
#include "tests/support/Pump.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <stdexcept>

using namespace quill;

namespace {

// A request object that never completes: sent, no status (as the platform's
// object shows a request under way). With `held`, each look at its
// state waits until the event is set, as the object's thread does while it
// reads a body inside one long message.
class PendingRequest : public forms::Object {
public:
    explicit PendingRequest(HANDLE held = nullptr) : held_(held) {}
    forms::Variant Get(const std::wstring& name, const std::vector<forms::Variant>& = {}) override
    {
        if (name == L"readyState" && held_)
            WaitForSingleObject(held_, INFINITE);
        if (name != L"readyState")
            throw std::runtime_error("no reply yet");  // as the platform's object raises
        return std::int32_t(2);
    }
    void Put(const std::wstring&, const forms::Variant&) override {}
    forms::Variant Call(const std::wstring&, const std::vector<forms::Variant>& = {}) override { return {}; }

private:
    HANDLE held_;
};

// A request object whose reply is there at once.
class AnsweredRequest : public forms::Object {
public:
    forms::Variant Get(const std::wstring& name, const std::vector<forms::Variant>& = {}) override
    {
        if (name == L"readyState")
            return std::int32_t(4);
        if (name == L"status")
            return std::int32_t(200);
        return forms::Bytes{'o', 'k'};
    }
    void Put(const std::wstring&, const forms::Variant&) override {}
    forms::Variant Call(const std::wstring&, const std::vector<forms::Variant>& = {}) override
    {
        return std::wstring();
    }
};

// A request object whose headers are there at first (ready state 2, with a
// Content-Length), its whole body at the next look; it notes whether its
// body was asked for.
class AnnouncingRequest : public forms::Object {
public:
    explicit AnnouncingRequest(std::wstring length, std::shared_ptr<std::atomic<bool>> bodyRead)
        : length_(std::move(length)), bodyRead_(std::move(bodyRead))
    {
    }
    forms::Variant Get(const std::wstring& name, const std::vector<forms::Variant>& = {}) override
    {
        if (name == L"readyState")
            return std::int32_t(looks_++ == 0 ? 2 : 4);
        if (name == L"status")
            return std::int32_t(200);
        *bodyRead_ = true;
        return forms::Bytes{'o', 'k'};
    }
    void Put(const std::wstring&, const forms::Variant&) override {}
    forms::Variant Call(const std::wstring& name, const std::vector<forms::Variant>& = {}) override
    {
        if (name == L"getResponseHeader")
            return length_;
        if (name == L"send")
            PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);  // the body's message
        return {};
    }

private:
    std::wstring length_;
    std::shared_ptr<std::atomic<bool>> bodyRead_;
    int looks_ = 0;
};

// A port of the loopback address where nothing listens.
const std::wstring DeadPort = L"http://127.0.0.1:1/do/";

forms::HttpRequestLine Get(const std::wstring& url)
{
    return {L"GET", url, {}, std::nullopt};
}

bool Answered(const std::wstring& url)
{
    forms::HttpTransfer transfer([] { return std::make_shared<AnsweredRequest>(); }, Get(url));
    return transfer.Wait(60000) == forms::TransferWait::Done && transfer.Reply().complete;
}

struct Event {
    HANDLE handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~Event() { CloseHandle(handle); }
};

// Transfers given up to a host, however many still run, hold no request to
// that host back; their threads end once they are given up.
TEST(HttpTransfer, TransfersGivenUpHoldNoNewRequestBack)
{
    ASSERT_EQ(forms::GivenUpTransferCount(), 0);
    test::SilentServer server;
    Event held;
    std::atomic<int> made{0};
    const auto stuck = [&] {
        ++made;
        return std::make_shared<PendingRequest>(held.handle);
    };
    constexpr int GivenUp = 6;
    for (int i = 0; i < GivenUp; ++i) {
        forms::HttpTransfer transfer(stuck, Get(server.Url(L"/do/" + std::to_wstring(i))));
        EXPECT_EQ(transfer.Wait(0), forms::TransferWait::OutOfTime);
    }
    test::PumpUntil([&] { return made == GivenUp; }, "the objects made");
    EXPECT_EQ(forms::GivenUpTransferCount(), GivenUp);
    // Requests to that host go out and are answered meanwhile.
    for (int i = 0; i < GivenUp; ++i)
        EXPECT_TRUE(Answered(server.Url(L"/do/next"))) << i;
    EXPECT_EQ(forms::GivenUpTransferCount(), GivenUp);
    SetEvent(held.handle);
    test::PumpUntil([] { return forms::GivenUpTransferCount() == 0; }, "the given-up transfers' end");
    EXPECT_TRUE(Answered(server.Url(L"/do/again")));
}

// A transfer given up leaves its thread at once, its object as it is.
TEST(HttpTransfer, ATransferGivenUpEndsItsThreadWithoutTheReply)
{
    test::SilentServer server;
    for (int i = 0; i < 12; ++i) {
        forms::HttpTransfer transfer([] { return std::make_shared<PendingRequest>(); },
                                     Get(server.Url(L"/do/")));
        EXPECT_EQ(transfer.Wait(0), forms::TransferWait::OutOfTime);
    }
    test::PumpUntil([] { return forms::GivenUpTransferCount() == 0; }, "the given-up transfers' end");
    EXPECT_TRUE(Answered(server.Url(L"/do/")));
}

// A request started from a handler that another request's wait ran runs to
// its own limit before that wait goes on; the outer wait then ends at once,
// its overrun bounded by the inner one's limit.
TEST(HttpTransfer, AWaitInsideAnotherRunsToItsOwnLimit)
{
    test::SilentServer server;
    forms::ClockOverride clock(46000.5);
    test::PassingTime time(clock, 100);
    const auto pending = [] { return std::make_shared<PendingRequest>(); };
    forms::HttpTransfer outer(pending, Get(server.Url(L"/do/outer")));
    std::int64_t innerEnded = -1;
    forms::TransferWait innerWait = forms::TransferWait::Done;
    const std::int64_t start = forms::MonotonicMilliseconds();
    test::PumpedAction inner([&] {
        forms::HttpTransfer transfer(pending, Get(server.Url(L"/do/inner")));
        innerWait = transfer.Wait(15000);
        innerEnded = forms::MonotonicMilliseconds() - start;
    });
    EXPECT_EQ(outer.Wait(6000), forms::TransferWait::OutOfTime);
    const std::int64_t outerEnded = forms::MonotonicMilliseconds() - start;
    ASSERT_TRUE(inner.Done());
    EXPECT_EQ(innerWait, forms::TransferWait::OutOfTime);
    EXPECT_GE(innerEnded, 15000);
    EXPECT_LT(innerEnded, 16000);
    EXPECT_GE(outerEnded, innerEnded);
    EXPECT_LT(outerEnded, innerEnded + 1000);
    // Alone, the outer wait keeps its own limit.
    forms::HttpTransfer alone(pending, Get(server.Url(L"/do/alone")));
    const std::int64_t aloneStart = forms::MonotonicMilliseconds();
    EXPECT_EQ(alone.Wait(6000), forms::TransferWait::OutOfTime);
    EXPECT_GE(forms::MonotonicMilliseconds() - aloneStart, 6000);
    EXPECT_LT(forms::MonotonicMilliseconds() - aloneStart, 7000);
}

// The length is judged on the transfer's own thread once the headers are
// there, before the message that would bring the body is handled: a length
// refused leaves the body unread, one taken lets it come.
TEST(HttpTransfer, ALengthRefusedFromTheHeadersLeavesTheBodyUnread)
{
    const auto tooLarge = [](std::wstring_view length) { return length.size() > 8; };
    const struct {
        const wchar_t* length;
        forms::TransferWait ended;
    } cases[] = {
        {L"41943040000", forms::TransferWait::Refused},
        {L"2", forms::TransferWait::Done},
        {L"", forms::TransferWait::Done},
    };
    for (const auto& c : cases) {
        const auto bodyRead = std::make_shared<std::atomic<bool>>(false);
        forms::HttpTransfer transfer([&] { return std::make_shared<AnnouncingRequest>(c.length, bodyRead); },
                                     Get(L"http://127.0.0.1/do/"), 0, tooLarge);
        EXPECT_EQ(transfer.Wait(60000), c.ended) << testing::PrintToString(std::wstring(c.length));
        EXPECT_EQ(transfer.AnnouncedLength(), c.length);
        EXPECT_EQ(*bodyRead, c.ended == forms::TransferWait::Done);
        EXPECT_EQ(transfer.Reply().complete, c.ended == forms::TransferWait::Done);
    }
}

// A connection that nothing takes ends the transfer at once with no reply
// (the program's clock stands still: only the probe can end it); one that a
// silent server takes leaves the transfer to its limit.
TEST(HttpTransfer, ARefusedConnectionEndsTheTransferAtOnce)
{
    forms::ClockOverride clock(46000.5);
    const auto pending = [] { return std::make_shared<PendingRequest>(); };
    {
        forms::HttpTransfer transfer(pending, Get(DeadPort));
        EXPECT_EQ(transfer.Wait(6000), forms::TransferWait::Done);
        EXPECT_FALSE(transfer.Reply().complete);
    }
    test::SilentServer server;
    forms::HttpTransfer transfer(pending, Get(server.Url(L"/do/")));
    test::PumpedAction limit([&] { clock.Advance(6000); });
    limit.When([&] { return server.Accepted() > 0; });
    EXPECT_EQ(transfer.Wait(6000), forms::TransferWait::OutOfTime);
    EXPECT_TRUE(limit.Done());
    test::PumpUntil([] { return forms::GivenUpTransferCount() == 0; }, "the given-up transfer's end");
}

}  // namespace
