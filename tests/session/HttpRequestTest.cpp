// The HTTP client against the reference service: what goes on the wire, the
// wait and its limit, the stale-token repeat and the internet cache.
#include "session/HttpRequest.h"

#include "tests/support/ReferenceService.h"
#include "tests/support/SystemObject.h"
#include "tests/support/UrlCache.h"
#include "forms/Automation.h"
#include "forms/HttpTransfer.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "forms/Picture.h"
#include "forms/Pump.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "session/Md5.h"
#include "session/ServiceLogin.h"
#include "session/Session.h"
#include "session/SessionToken.h"
#include "tests/support/Pump.h"
#include "protocol/ReplyForms.h"
#include "protocol/ServiceRequests.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>
#include <tlhelp32.h>

#include <map>
#include <memory>

using namespace quill;
using namespace quill::test;

namespace {

const std::wstring DemoAuth = L"username=demo&password=62cc2d8b4bf2d8728120d052163a77df&v=1.3";

// Stand-ins for the three request classes that note each creation and pass
// it on to the system's class, or raise the error a test sets for one.
struct RequestClasses {
    static constexpr const wchar_t* ProgIds[] = {L"MSXML2.XMLHTTP.6.0", L"MSXML2.XMLHTTP",
                                                 L"Microsoft.XMLHTTP"};
    static inline std::vector<std::wstring> created;
    static inline std::map<std::wstring, int> failWith;

    static void Register()
    {
        for (const wchar_t* progId : ProgIds)
            forms::RegisterStandIn(progId, [id = std::wstring(progId)] {
                created.push_back(id);
                if (failWith.count(id))
                    throw forms::RuntimeError(failWith[id]);
                return SystemObject(id);
            });
    }
    static void Reset()
    {
        created.clear();
        failWith.clear();
    }
};

class HttpRequestTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        forms::EnsureCom();
        RequestClasses::Register();
        service_ = std::make_unique<ReferenceService>();
    }
    static void TearDownTestSuite() { service_.reset(); }
    void SetUp() override
    {
        service_->Control(R"({"op":"reset"})");
        RequestClasses::Reset();
    }

    static ReferenceService& Service() { return *service_; }
    static std::wstring Address() { return service_->Primary() + L"softcenter.asp"; }
    static std::wstring Post(const std::wstring& body, int16_t timeout = 0)
    {
        return session::HttpRequest(Address(), body, timeout, L"GB2312", L"", false);
    }
    static std::vector<LoggedRequest> Logged() { return service_->Requests("primary"); }

private:
    static inline std::unique_ptr<ReferenceService> service_;
};

// The token of the body ("...&session=N").
int32_t TokenOf(const std::string& raw)
{
    size_t at = raw.rfind("&session=");
    return at == std::string::npos ? INT32_MIN : std::stoi(raw.substr(at + 9));
}

// The threads of this process, the platform's own included.
int ProcessThreads()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return count;
}

// The processor time this process has used, in milliseconds.
std::int64_t ProcessorMilliseconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ms = [](FILETIME t) {
        return static_cast<std::int64_t>((std::uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000);
    };
    return ms(kernel) + ms(user);
}

TEST_F(HttpRequestTest, PostsTheBodyWithAFreshTokenAndReturnsTheDecodedReply)
{
    const int32_t before = session::MakeSessionToken(L"");
    const std::wstring reply = Post(L"do=login&" + DemoAuth);
    const int32_t after = session::MakeSessionToken(L"");

    // The demo account's snapshot, its display name decoded from GB2312.
    EXPECT_EQ(reply.rfind(L"演示用户|", 0), 0u) << reply.substr(0, 40);
    EXPECT_NE(reply.find(L"[]"), std::wstring::npos);
    auto log = Logged();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].method, "POST");
    EXPECT_EQ(log[0].path, "/do/softcenter.asp");
    const std::string sent = forms::TextToAnsi(L"do=login&" + DemoAuth + L"&session=");
    EXPECT_EQ(log[0].raw.substr(0, sent.size()), sent);
    EXPECT_GE(TokenOf(log[0].raw), before);
    EXPECT_LE(TokenOf(log[0].raw), after);
}

TEST_F(HttpRequestTest, TriesTheRequestClassesInOrderUntilOneIsAvailable)
{
    using P = std::vector<std::wstring>;
    RequestClasses::failWith = {{L"MSXML2.XMLHTTP.6.0", forms::kClassNotAvailable}};
    EXPECT_NE(Post(L"do=login&" + DemoAuth), L"");
    EXPECT_EQ(RequestClasses::created, (P{L"MSXML2.XMLHTTP.6.0", L"MSXML2.XMLHTTP"}));

    RequestClasses::Reset();
    for (const wchar_t* progId : RequestClasses::ProgIds)
        RequestClasses::failWith[progId] = forms::kClassNotAvailable;
    EXPECT_EQ(Post(L"do=login&" + DemoAuth), L"");
    EXPECT_EQ(RequestClasses::created, (P{L"MSXML2.XMLHTTP.6.0", L"MSXML2.XMLHTTP", L"Microsoft.XMLHTTP"}));

    // Any other failure ends the request at once.
    RequestClasses::Reset();
    Service().ClearLogs();
    RequestClasses::failWith = {{L"MSXML2.XMLHTTP.6.0", forms::kPermissionDenied}};
    EXPECT_EQ(Post(L"do=login&" + DemoAuth), L"");
    EXPECT_EQ(RequestClasses::created, (P{L"MSXML2.XMLHTTP.6.0"}));
    EXPECT_TRUE(Logged().empty());
}

TEST_F(HttpRequestTest, EncodesDoubleByteCharactersSpacesAndPlusSigns)
{
    struct Case {
        std::wstring account;
        std::string wire;
    } cases[] = {
        {L"记账", "%BC%C7%D5%CB"},
        {L"a b+c", "a%20b%2Bc"},
        {L"张 三+", "%D5%C5%20%C8%FD%2B"},
    };
    for (const Case& c : cases) {
        Service().ClearLogs();
        EXPECT_EQ(Post(L"do=login&username=" + c.account + L"&password=x&v=1.3"), L"-2|");
        auto log = Logged();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].raw.rfind("do=login&username=" + c.wire + "&password=x&v=1.3&session=", 0), 0u)
            << log[0].raw;
        EXPECT_EQ(log[0].fields["username"].text, ToUtf8(c.account));
    }
}

TEST_F(HttpRequestTest, SendsABodyOfAnyLength)
{
    const std::wstring longName(40000, L'a');
    EXPECT_EQ(Post(L"do=login&username=" + longName + L"&password=x&v=1.3"), L"-2|");
    auto log = Logged();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_GT(log[0].raw.size(), 40000u);
    EXPECT_EQ(log[0].fields["username"].text.size(), 40000u);
}

TEST_F(HttpRequestTest, AnEmptyBodyIsAGetWithoutToken)
{
    int16_t timeout = 0;
    std::wstring page = session::HttpRequest(Service().Primary() + L"/status.shtml?ver=1.3", L"", timeout,
                                             L"GB2312", L"", false);
    EXPECT_NE(page.find(L"服务状态正常"), std::wstring::npos);
    auto log = Logged();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].raw, "");
}

TEST_F(HttpRequestTest, AnHttpErrorPageIsReturnedAsText)
{
    Service().Control(R"({"op":"fault","kind":"http500","times":1})");
    EXPECT_NE(Post(L"do=login&" + DemoAuth).find(L"500 - 内部服务器错误"), std::wstring::npos);
}

// Pumps messages until the service has used up every fault it was given:
// the requests they were meant for have all reached it.
void PumpUntilTheServiceTookItsFaults(test::ReferenceService& service)
{
    test::PumpUntil(
        [&] { return service.Control(R"({"op":"state"})")["instances"]["primary"]["faults"].items.empty(); },
        "the requests the faults wait for");
}

// Wine's request object never completes a transfer that failed, so these
// end at the limit; the test lets the seconds pass on the program's clock.
std::wstring PostExpectingNoReply(const std::wstring& url, const std::wstring& body, int16_t& timeout)
{
    forms::ClockOverride clock(forms::ToDate(L"2025-6-1 10:00:00"));
    PassingTime time(clock, 1000);
    return session::HttpRequest(url, body, timeout, L"GB2312", L"", false);
}

// Pumps messages until one of the requests given up at their limit has
// ended its transfer (its late reply has come and gone). Transfers that
// failed never end under Wine, so they stay counted.
void PumpUntilALateReplyEnds(int pendingBefore)
{
    test::PumpUntil([&] { return forms::GivenUpTransferCount() < pendingBefore; }, "the late reply");
}

// Pumps messages until the service has answered the `count`th request of its
// log (a reply it held back has gone out) and no transfer given up since
// `pendingBefore` still runs.
void PumpUntilTheServiceAnswered(test::ReferenceService& service, size_t count, int pendingBefore)
{
    test::PumpUntil(
        [&] {
            return service.Requests("primary").size() >= count &&
                   forms::GivenUpTransferCount() <= pendingBefore;
        },
        "the late reply");
}

TEST_F(HttpRequestTest, AFailedTransferGivesAnEmptyText)
{
    Service().Control(R"({"op":"fault","kind":"empty","times":1})");
    EXPECT_EQ(Post(L"do=login&" + DemoAuth), L"");
    Service().Control(R"({"op":"down","mode":"drop"})");
    int16_t timeout = 0;
    EXPECT_EQ(PostExpectingNoReply(Address(), L"do=login&" + DemoAuth, timeout), L"");
    // The request given up reaches the service while it still drops it, not
    // in the next test, where it would take that test's fault.
    Service().AwaitLogged("primary", 2);
}

// A reply cut short is no reply, whatever its bytes would read as: a reset
// in the body, a length longer than the bytes sent.
TEST_F(HttpRequestTest, AReplyThatDidNotArriveWholeIsNoReply)
{
    for (const char* fault : {
             R"({"op":"fault","kind":"reset_in_body","bytes":2400,"times":1})",
             R"({"op":"fault","kind":"long_length","extra":100,"times":1})",
         }) {
        Service().Control(fault);
        EXPECT_EQ(Post(L"do=login&" + DemoAuth), L"") << fault;
    }
    // Cut early, the transfer never ends here: the wait ends at its limit
    // (the test lets the seconds pass from the present, so the token holds).
    Service().Control(R"({"op":"fault","kind":"reset_in_body","bytes":500,"times":1})");
    {
        forms::ClockOverride clock(forms::Now());
        PassingTime time(clock, 1000);
        EXPECT_EQ(Post(L"do=login&" + DemoAuth), L"");
    }
    // The request given up may reach the service after its wait: the next
    // one goes once the reset has been used, or it would take it.
    PumpUntilTheServiceTookItsFaults(Service());
    EXPECT_NE(Post(L"do=login&" + DemoAuth).find(L"[]"), std::wstring::npos);
}

// A reply without a length, in chunks or ended by the connection's close, is
// taken as the request object delivers it: the login's snapshot and the list
// arrive whole, as they do with a length. (The platform reports cut chunks as
// a normal end, so a cut one could not be told from these.)
TEST_F(HttpRequestTest, AWellFormedReplyWithoutALengthIsTakenWhole)
{
    const std::wstring login = Post(L"do=login&" + DemoAuth);
    const std::wstring list = Post(L"do=list&" + DemoAuth);
    ASSERT_NE(login.find(L"[]"), std::wstring::npos);
    ASSERT_GT(list.size(), 1000u);  // more than one chunk
    for (const char* framing :
         {R"("kind":"chunked")", R"("kind":"chunked","chunk":100)", R"("kind":"close_delimited")"}) {
        Service().Control(std::string(R"({"op":"fault",)") + framing + R"(,"times":2})");
        EXPECT_EQ(Post(L"do=login&" + DemoAuth), login) << framing;
        EXPECT_EQ(Post(L"do=list&" + DemoAuth), list) << framing;
        const auto log = Logged();
        ASSERT_GE(log.size(), 2u);
        EXPECT_NE(log.back().note.find("fault:"), std::string::npos) << framing;
    }
}

// The platform reads a body inside one message, for seconds when it is
// large: the limit is reached meanwhile, the windows answering, and the
// body's late end finds nothing to do. (The service holds the body's last
// block until the wait has ended, however slowly the test runs.)
TEST_F(HttpRequestTest, TheLimitHoldsWhileALargeBodyIsRead)
{
    Service().Control(
        R"({"op":"fault","kind":"huge_reply","megabytes":6,"held":true,"on":["list"],"times":1})");
    const int pending = forms::GivenUpTransferCount();
    int16_t timeout = 0;
    EXPECT_EQ(PostExpectingNoReply(Address(), L"do=list&" + DemoAuth, timeout), L"");
    EXPECT_EQ(forms::GivenUpTransferCount(), pending + 1);
    Service().Release();
    PumpUntilALateReplyEnds(pending + 1);
}

// Headers that announce more than any account's reply end the wait at once,
// long before the limit, and the rest is not read: the transfer's thread
// ends, and with it what the reply cost.
TEST_F(HttpRequestTest, AReplyLargerThanAnyAccountsIsRefusedBeforeItsEnd)
{
    Service().Control(
        R"({"op":"fault","kind":"huge_reply","megabytes":40,"interval":0.05,"on":["list"],"times":1})");
    const int pending = forms::GivenUpTransferCount();
    std::int64_t processorAtRefusal;
    {
        forms::ClockOverride clock(forms::ToDate(L"2025-6-1 10:00:00"));
        PassingTime time(clock, 100);
        const int64_t start = forms::MonotonicMilliseconds();
        EXPECT_EQ(Post(L"do=list&" + DemoAuth), L"");
        EXPECT_LT(forms::MonotonicMilliseconds() - start, 6000);
        processorAtRefusal = ProcessorMilliseconds();
    }
    test::PumpUntil([&] { return forms::GivenUpTransferCount() == pending; }, "the refused transfer's end");
    // Reading the 40 MiB would take seconds of processor time.
    EXPECT_LT(ProcessorMilliseconds() - processorAtRefusal, 1000);
}

// Where nothing listens, the request fails at once, as a reply that never
// comes cannot: the program's clock stands still (only after a long real
// while does a safety valve let time pass, so that waits that wait for
// their limit end and fail the test), and a login falls back to the backup
// at once. The threads of the failed requests end with them.
TEST_F(HttpRequestTest, ARequestToAPortWhereNothingListensFailsAtOnce)
{
    const std::wstring dead = L"http://127.0.0.1:1/do/";
    const int threadsBefore = ProcessThreads();
    forms::ClockOverride clock(forms::Now());
    const ULONGLONG start = GetTickCount64();
    bool valveOpened = false;
    PumpedAction valve([] {});
    valve.When([&] {
        if (GetTickCount64() - start > 30000) {
            valveOpened = true;
            clock.Advance(60000);
        }
        return false;
    });
    for (int i = 0; i < 12; ++i) {
        int16_t timeout = 0;
        EXPECT_EQ(session::HttpRequest(dead + L"softcenter.asp", L"do=login&" + DemoAuth, timeout, L"GB2312",
                                       L"", false),
                  L"");
    }
    session::Session& current = session::CurrentSession();
    const session::Session kept = current;
    current.ServerBaseUrl = dead;
    current.BackupBaseUrl = Service().Primary();
    current.AuthQuery = DemoAuth;
    const auto exchange =
        session::LoginWithBackup(protocol::LoginRequest(DemoAuth), protocol::LoginNeedsBackup,
                                 session::BackupSwitch::LeftToCaller, [] { return true; });
    current = kept;
    ASSERT_TRUE(exchange);
    EXPECT_TRUE(exchange->backupUsed);
    EXPECT_NE(exchange->reply.find(L"[]"), std::wstring::npos);
    EXPECT_FALSE(valveOpened) << "the requests waited for their limit";
    test::PumpUntil([&] { return ProcessThreads() <= threadsBefore; }, "the failed requests' threads to end");
    EXPECT_EQ(forms::GivenUpTransferCount(), 0);
}

// Requests given up against a service that takes the connection and never
// answers each go out, however many were given up before them; each
// transfer's thread ends once it is given up, and once the service answers
// again the next request is answered.
TEST_F(HttpRequestTest, RequestsToASilentServiceAllGoOutAndTheNextAfterItIsAnswered)
{
    Service().Control(R"({"op":"down","mode":"hang"})");
    for (int i = 0; i < 12; ++i) {
        int16_t timeout = 0;
        EXPECT_EQ(PostExpectingNoReply(Address(), L"do=login&" + DemoAuth, timeout), L"");
    }
    test::PumpUntil([] { return forms::GivenUpTransferCount() == 0; }, "the given-up transfers' end");
    // The service lets the twelve go (it logs each as it drops its
    // connection) and answers the next.
    Service().Control(R"({"op":"up"})");
    EXPECT_NE(Post(L"do=login&" + DemoAuth).find(L"[]"), std::wstring::npos);
    Service().AwaitLogged("primary", 13);
    EXPECT_EQ(Logged().size(), 13u);
}

// The service holds four requests and takes new connections meanwhile: the
// four given up hold none of the next ones back, which reach it and are
// answered at once.
TEST_F(HttpRequestTest, RequestsTheServiceHoldsHoldNoNewOnesBack)
{
    Service().Control(R"({"op":"fault","kind":"hold","on":["login"],"times":4})");
    for (int i = 0; i < 4; ++i) {
        int16_t timeout = 0;
        EXPECT_EQ(PostExpectingNoReply(Address(), L"do=login&" + DemoAuth, timeout), L"") << i;
    }
    // A request given up may reach the service only after the wait for it
    // ended: the next ones go once the four are held, or one of them would
    // be held in a late one's place.
    PumpUntilTheServiceTookItsFaults(Service());
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(Post(L"do=login&" + DemoAuth).find(L"[]"), std::wstring::npos) << "request " << i + 5;
    EXPECT_EQ(Logged().size(), 4u);  // the held ones are logged once they go
    Service().Release();
    PumpUntilTheServiceAnswered(Service(), 8, 0);
}

TEST_F(HttpRequestTest, AZeroTimeoutMeansSixAndIsWrittenBack)
{
    int16_t timeout = 0;
    session::HttpRequest(Address(), L"do=login&" + DemoAuth, timeout, L"GB2312", L"", false);
    EXPECT_EQ(timeout, 6);
    // Written back whatever the outcome.
    timeout = 0;
    PostExpectingNoReply(L"http://127.0.0.1:1/do/softcenter.asp", L"do=login&", timeout);
    EXPECT_EQ(timeout, 6);
}

// The wait measures its limit on the program's monotonic clock: the test
// lets the seconds pass from inside the wait instead of waiting for them,
// while the service holds the reply back. The second request starts just
// before midnight, where the time of day starts again at 0 and a limit
// measured on it would never come.
TEST_F(HttpRequestTest, AReplyLaterThanTheLimitGivesAnEmptyText)
{
    for (const wchar_t* start : {L"2025-6-1 10:00:00", L"2025-6-1 23:59:58"}) {
        Service().ClearLogs();
        Service().Control(R"({"op":"fault","kind":"hold","times":1})");
        const int pending = forms::GivenUpTransferCount();
        {
            forms::ClockOverride clock(forms::ToDate(start));
            PassingTime time(clock, 1000);
            EXPECT_EQ(Post(L"do=login&" + DemoAuth), L"") << start;
        }
        Service().Release();
        PumpUntilTheServiceAnswered(Service(), 1, pending);
    }
}

TEST_F(HttpRequestTest, AReplyWithinALongerLimitArrives)
{
    Service().Control(R"({"op":"fault","kind":"hold","times":1})");
    forms::ClockOverride clock(forms::ToDate(L"2025-6-1 10:00:00"));
    test::PumpedAction later([&] {
        clock.Advance(14000);
        Service().Release();
    });
    EXPECT_NE(Post(L"do=login&" + DemoAuth, 15).find(L"[]"), std::wstring::npos);
    EXPECT_TRUE(later.Done());
}

// The service's late answer to a request given up must find nothing to do.
TEST_F(HttpRequestTest, ALateReplyToARequestGivenUpIsHarmless)
{
    Service().Control(R"({"op":"fault","kind":"hold","times":1})");
    const int pending = forms::GivenUpTransferCount();
    {
        forms::ClockOverride clock(forms::ToDate(L"2025-6-1 10:00:00"));
        PassingTime time(clock, 1000);
        EXPECT_EQ(Post(L"do=login&" + DemoAuth), L"");
    }
    // The reply comes while messages are pumped, to a transfer whose thread
    // has left its object.
    Service().Release();
    PumpUntilTheServiceAnswered(Service(), 1, pending);
    EXPECT_NE(Post(L"do=login&" + DemoAuth), L"");
    EXPECT_EQ(Logged().size(), 2u);
}

// The stale-token rule end to end (its parts natively in the session token's
// tests): a client clock far off gets "err=" with the service's time, and the
// request goes once more, with a new request object and a token computed from
// that time; a second "err=" reply is returned as it is; a data reply that
// merely holds "err=" (here in the display name) is sent once only.
TEST_F(HttpRequestTest, AStaleTokenReplyIsSentOnceMoreWithTheServicesTime)
{
    {
        forms::ClockOverride clock(forms::ToDate(L"2020-3-4 05:06:07"));
        const std::wstring reply = Post(L"do=login&" + DemoAuth);
        EXPECT_EQ(reply.rfind(L"演示用户|", 0), 0u) << reply.substr(0, 40);
        auto log = Logged();
        ASSERT_EQ(log.size(), 2u);
        ASSERT_EQ(log[0].reply.rfind("err=", 0), 0u);
        EXPECT_EQ(TokenOf(log[0].raw), session::MakeSessionToken(L""));
        EXPECT_EQ(TokenOf(log[1].raw), session::MakeSessionToken(FromUtf8(log[0].reply.substr(4))));
        EXPECT_NE(TokenOf(log[1].raw), TokenOf(log[0].raw));
        EXPECT_EQ(RequestClasses::created,
                  (std::vector<std::wstring>{L"MSXML2.XMLHTTP.6.0", L"MSXML2.XMLHTTP.6.0"}));
    }

    Service().ClearLogs();
    Service().Control(R"({"op":"fault","kind":"err","times":2})");
    EXPECT_EQ(Post(L"do=login&" + DemoAuth).rfind(L"err=", 0), 0u);
    EXPECT_EQ(Logged().size(), 2u);

    Service().Control(R"({"op":"add_user","name":"remark","password":"pw12345","display":"备注err=1"})");
    Service().ClearLogs();
    const std::wstring reply =
        Post(L"do=login&username=remark&password=" + session::MD5Hex(L"pw12345", 32, false) + L"&v=1.3");
    EXPECT_EQ(reply.rfind(L"备注err=1|", 0), 0u) << reply.substr(0, 40);
    EXPECT_EQ(Logged().size(), 1u);
}

TEST_F(HttpRequestTest, RequestsNestInsideTheWait)
{
    Service().Control(R"({"op":"fault","kind":"hold","on":["login"],"times":1})");
    std::vector<std::wstring> finished;
    test::PumpedAction inner([&] {
        Post(L"do=list&" + DemoAuth);
        finished.push_back(L"inner");
        Service().Release();
    });
    Post(L"do=login&" + DemoAuth);
    finished.push_back(L"outer");
    EXPECT_EQ(finished, (std::vector<std::wstring>{L"inner", L"outer"}));
}

// A saved project's typed texts reach the service as typed: the builder
// escapes what would change the body's structure.
TEST_F(HttpRequestTest, ASavedRemarkArrivesAsTyped)
{
    protocol::AddFields fields;
    fields.platform = L"平台&1";
    fields.account = L"acc=1";
    fields.projectName = L"项目 #1";
    fields.valueDate = L"2015-12-3";
    fields.term = L"30";
    fields.amount = L"10000";
    fields.annualRate = L"8.5";
    fields.repayTypeCode = 1;
    fields.voucher = L"0";
    fields.extraIncome = L"0";
    fields.extraExpense = L"0";
    fields.remark = L"a&b=c%d#e";
    fields.interestFeeRate = L"0";
    const protocol::ServiceRequest save = protocol::SaveRequest(DemoAuth, fields);
    int16_t timeout = static_cast<int16_t>(save.timeoutSeconds);
    const std::wstring reply = session::HttpRequest(protocol::RequestAddress(Service().Primary()), save.body,
                                                    timeout, L"GB2312", L"", false);
    const protocol::SaveVerdict verdict = protocol::ClassifySaveReply(reply);
    ASSERT_EQ(verdict.outcome, protocol::SaveOutcome::Saved) << reply.substr(0, 80);

    auto log = Logged();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].fields["v12"].text, "a&b=c%d#e");
    EXPECT_EQ(log[0].fields["v1"].text, ToUtf8(L"平台&1"));
    EXPECT_EQ(log[0].fields["v14"].text, "acc=1");
    EXPECT_EQ(log[0].fields["v2"].text, ToUtf8(L"项目 #1"));
    EXPECT_EQ(log[0].fields["b"].kind, Json::Null);  // no stray field
    // And the service keeps it so: the record reads it back.
    const std::wstring record = Post(protocol::RecordRequest(*verdict.id, DemoAuth).body);
    EXPECT_NE(record.find(L",a&b=c%d#e,"), std::wstring::npos) << record;
}

// ---- the internet cache ----

// (The system's own request object handles the cache of a transfer it
// made; a request that fails before any transfer shows what ours does.)
TEST_F(HttpRequestTest, TheAddressLeavesTheCacheOnlyAfterAReply)
{
    ASSERT_TRUE(PutInCache(Address()));
    for (const wchar_t* progId : RequestClasses::ProgIds)
        RequestClasses::failWith[progId] = forms::kClassNotAvailable;
    EXPECT_EQ(Post(L"do=login&" + DemoAuth), L"");
    EXPECT_TRUE(InCache(Address()));
    RequestClasses::Reset();
    EXPECT_NE(Post(L"do=login&" + DemoAuth), L"");
    EXPECT_FALSE(InCache(Address()));
}

TEST(DropUrlCache, NeverTouchesALocalPath)
{
    const std::wstring local = L"http://127.0.0.1/C:\\quill\\page.htm";
    ASSERT_TRUE(PutInCache(local));
    session::DropUrlCache(local);
    EXPECT_TRUE(InCache(local));
    const std::wstring web = L"http://127.0.0.1/quill/page.htm";
    ASSERT_TRUE(PutInCache(web));
    session::DropUrlCache(web);
    EXPECT_FALSE(InCache(web));
}

}  // namespace
