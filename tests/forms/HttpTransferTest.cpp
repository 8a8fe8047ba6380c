// The transfer's thread with request objects of the test's own: how many
// transfers given up one host may hold, and waits begun inside waits. (The
// platform's own object under Wine: the session's and the updater's tests.)
#include "forms/HttpTransfer.h"

#include "forms/lang/Clock.h"
#include "forms/lang/TraceSwitch.h"
#include "tests/support/CapturedStandardError.h"
#include "tests/support/Pump.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>

using namespace quill;

namespace {

// The trace switch is read once: the refusal's line is looked for below.
const bool traced = SetEnvironmentVariableW(L"QUILL_TRACE", L"1");

// A request object that never completes. With `held`, each look at its
// state waits until the event is set, as the object's thread does while it
// reads a body inside one long message.
class PendingRequest : public forms::Object {
public:
    explicit PendingRequest(HANDLE held = nullptr) : held_(held) {}
    forms::Variant Get(const std::wstring& name, const std::vector<forms::Variant>& = {}) override
    {
        if (name == L"readyState" && held_)
            WaitForSingleObject(held_, INFINITE);
        return std::int32_t(1);
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

TEST(HttpTransfer, AHostHoldsAtMostItsBoundOfTransfersGivenUp)
{
    ASSERT_TRUE(traced && forms::trace::On());
    ASSERT_EQ(forms::GivenUpTransferCount(), 0);
    Event held;
    std::atomic<int> made{0};
    const auto stuck = [&] {
        ++made;
        return std::make_shared<PendingRequest>(held.handle);
    };
    for (int i = 0; i < forms::GivenUpTransfersPerHost; ++i) {
        forms::HttpTransfer transfer(stuck, Get(L"http://held.example:81/do/" + std::to_wstring(i)));
        EXPECT_EQ(transfer.Wait(0), forms::TransferWait::OutOfTime);
    }
    test::PumpUntil([&] { return made == forms::GivenUpTransfersPerHost; }, "the objects made");
    EXPECT_EQ(forms::GivenUpTransferCount(), forms::GivenUpTransfersPerHost);
    {
        // One more to that host ends at once with no reply, and says why.
        test::CapturedStandardError trace;
        forms::HttpTransfer refused(stuck, Get(L"HTTP://Held.example:81/do/more"));
        EXPECT_EQ(refused.Wait(60000), forms::TransferWait::Done);
        EXPECT_FALSE(refused.Reply().complete);
        EXPECT_NE(
            trace.Text().find("[quill] request to http://held.example:81 refused: 4 transfers given up to "
                              "this host still run"),
            std::string::npos)
            << trace.Text();
    }
    EXPECT_EQ(made, forms::GivenUpTransfersPerHost);
    // Other hosts, and another port of the same, are not held back.
    EXPECT_TRUE(Answered(L"http://other.example/do/"));
    EXPECT_TRUE(Answered(L"http://held.example:82/do/"));
    // Once the given-up transfers end, their host is served again.
    SetEvent(held.handle);
    test::PumpUntil([] { return forms::GivenUpTransferCount() == 0; }, "the given-up transfers' end");
    EXPECT_TRUE(Answered(L"http://held.example:81/do/again"));
}

// A transfer given up leaves its thread at once, its object as it is.
TEST(HttpTransfer, ATransferGivenUpEndsItsThreadWithoutTheReply)
{
    for (int i = 0; i < 3 * forms::GivenUpTransfersPerHost; ++i) {
        forms::HttpTransfer transfer([] { return std::make_shared<PendingRequest>(); },
                                     Get(L"http://silent.example/do/"));
        EXPECT_EQ(transfer.Wait(0), forms::TransferWait::OutOfTime);
    }
    test::PumpUntil([] { return forms::GivenUpTransferCount() == 0; }, "the given-up transfers' end");
    EXPECT_TRUE(Answered(L"http://silent.example/do/"));
}

// A request started from a handler that another request's wait ran cannot
// hold that wait beyond its limit: the inner wait ends by the outer's.
TEST(HttpTransfer, AWaitInsideAnotherEndsByTheOuterLimit)
{
    forms::ClockOverride clock(46000.5);
    test::PassingTime time(clock, 100);
    const auto pending = [] { return std::make_shared<PendingRequest>(); };
    forms::HttpTransfer outer(pending, Get(L"http://slow.example/do/outer"));
    std::int64_t innerEnded = -1;
    forms::TransferWait innerWait = forms::TransferWait::Done;
    const std::int64_t start = forms::MonotonicMilliseconds();
    test::PumpedAction inner([&] {
        forms::HttpTransfer transfer(pending, Get(L"http://slow.example/do/inner"));
        innerWait = transfer.Wait(15000);
        innerEnded = forms::MonotonicMilliseconds() - start;
    });
    EXPECT_EQ(outer.Wait(6000), forms::TransferWait::OutOfTime);
    const std::int64_t outerEnded = forms::MonotonicMilliseconds() - start;
    ASSERT_TRUE(inner.Done());
    EXPECT_EQ(innerWait, forms::TransferWait::OutOfTime);
    EXPECT_GE(innerEnded, 6000);
    EXPECT_LT(innerEnded, 7000);
    EXPECT_LT(outerEnded, 7000);
    // Alone, the same wait keeps its own limit.
    forms::HttpTransfer alone(pending, Get(L"http://slow.example/do/alone"));
    const std::int64_t aloneStart = forms::MonotonicMilliseconds();
    EXPECT_EQ(alone.Wait(15000), forms::TransferWait::OutOfTime);
    EXPECT_GE(forms::MonotonicMilliseconds() - aloneStart, 15000);
}

}  // namespace
