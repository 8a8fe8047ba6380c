#include "forms/HttpTransfer.h"

#include "forms/Picture.h"
#include "forms/Pump.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Text.h"
#include "forms/lang/TraceSwitch.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <objbase.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace quill::forms {

struct HttpTransfer::State {
    std::function<ObjectRef()> makeRequest;
    HttpRequestLine request;
    std::wstring host;
    std::int64_t stallLimitMs = 0;
    std::mutex lock;
    DWORD threadId = 0;
    bool done = false;
    bool stalled = false;
    bool givenUp = false;
    bool stopped = false;
    std::wstring announcedLength;
    HttpReply reply;
};

namespace {

// "http://host:port" of a URL, in lower case: the connections of one host are
// one server's to keep or to drop.
std::wstring HostOf(const std::wstring& url)
{
    const std::size_t scheme = url.find(L"://");
    const std::size_t from = scheme == std::wstring::npos ? 0 : scheme + 3;
    return LCase(std::wstring_view(url).substr(0, url.find_first_of(L"/?#", from)));
}

// The connections this machine has open or opening to the host's address
// and port that the server has not closed, as the platform's table of TCP connections shows them. (Wine's
// table names no owning process: another program's connections to the same
// server count too.)
int OpenConnections(const std::wstring& host)
{
    const std::size_t scheme = host.find(L"://");
    std::wstring name = scheme == std::wstring::npos ? host : host.substr(scheme + 3);
    unsigned short port = host.rfind(L"https://", 0) == 0 ? 443 : 80;
    if (const std::size_t colon = name.rfind(L':'); colon != std::wstring::npos && name.back() != L']') {
        port = static_cast<unsigned short>(std::wcstoul(name.c_str() + colon + 1, nullptr, 10));
        name.resize(colon);
    }
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return 0;
    std::set<ULONG> addresses;
    ADDRINFOW hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    ADDRINFOW* found = nullptr;
    if (GetAddrInfoW(name.c_str(), nullptr, &hints, &found) == 0) {
        for (const ADDRINFOW* a = found; a; a = a->ai_next)
            addresses.insert(reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
        FreeAddrInfoW(found);
    }
    WSACleanup();
    ULONG size = 0;
    std::vector<char> table;
    DWORD status = ERROR_INSUFFICIENT_BUFFER;
    while (status == ERROR_INSUFFICIENT_BUFFER) {
        table.resize(size + sizeof(MIB_TCPTABLE));
        size = static_cast<ULONG>(table.size());
        status = GetTcpTable(reinterpret_cast<MIB_TCPTABLE*>(table.data()), &size, FALSE);
    }
    if (status != NO_ERROR)
        return 0;
    int open = 0;
    const auto* rows = reinterpret_cast<const MIB_TCPTABLE*>(table.data());
    for (DWORD i = 0; i < rows->dwNumEntries; ++i) {
        const MIB_TCPROW& row = rows->table[i];
        // (One the server has closed waits in CLOSE_WAIT for the object
        // left to it: a handle, no longer a connection.)
        const bool held = row.dwState == MIB_TCP_STATE_SYN_SENT || row.dwState == MIB_TCP_STATE_ESTAB;
        open += held && ntohs(static_cast<u_short>(row.dwRemotePort)) == port &&
                addresses.count(row.dwRemoteAddr) != 0;
    }
    return open;
}

// The transfers given up, by host: those whose threads still run, and those
// whose threads left their objects to the platform while the transfer still
// ran (each holds its connection until the server ends it; a host with no
// connection open holds none of them).
class GivenUpTransfers {
public:
    static GivenUpTransfers& Of()
    {
        static GivenUpTransfers transfers;
        return transfers;
    }
    // Whether a new transfer to host may start.
    bool Admits(const std::wstring& host)
    {
        int running, left;
        {
            std::lock_guard guard(lock_);
            running = Find(running_, host);
            left = Find(left_, host);
        }
        if (running >= GivenUpTransfersPerHost)
            return false;
        if (left == 0)
            return true;
        // The count is coarse: it holds this program's live and idle
        // connections to the host too, which is why it counts only up to the
        // transfers left to the platform.
        const int open = OpenConnections(host);
        if (open == 0) {
            // Only those counted here are gone: a transfer left meanwhile
            // still holds its connection.
            std::lock_guard guard(lock_);
            if (auto it = left_.find(host); it != left_.end() && (it->second -= left) <= 0)
                left_.erase(it);
        }
        return running + std::min(left, open) < GivenUpTransfersPerHost;
    }
    void Add(const std::wstring& host)
    {
        std::lock_guard guard(lock_);
        ++running_[host];
    }
    // Its thread ended; `left` when it left its object to a transfer still running.
    void Ended(const std::wstring& host, bool left)
    {
        std::lock_guard guard(lock_);
        if (--running_[host] == 0)
            running_.erase(host);
        if (left)
            ++left_[host];
    }
    int Running()
    {
        std::lock_guard guard(lock_);
        int count = 0;
        for (const auto& [host, running] : running_)
            count += running;
        return count;
    }

private:
    static int Find(const std::map<std::wstring, int>& counts, const std::wstring& host)
    {
        const auto it = counts.find(host);
        return it == counts.end() ? 0 : it->second;
    }

    std::mutex lock_;
    std::map<std::wstring, int> running_;
    std::map<std::wstring, int> left_;
};

std::wstring Header(const ObjectRef& http, const wchar_t* name)
{
    try {
        return VariantText(http->Call(L"getResponseHeader", {std::wstring(name)}));
    } catch (const std::exception&) {
        return L"";  // no headers yet, or no such header
    }
}

// A number the object shows (its readyState, its status); -1 when it shows none.
int Number(const ObjectRef& http, const wchar_t* name)
{
    try {
        return static_cast<int>(VariantNumber(http->Get(name)));
    } catch (const std::exception&) {
        return -1;
    }
}

int ReadyState(const ObjectRef& http)
{
    return Number(http, L"readyState");
}

// A reset connection leaves the request waiting for ever. The request object
// shows no byte of a body before its end, but everything it learns (the
// connection, the headers, each piece of the body) comes to the thread that
// made it as a message: a message handled, or a new state, is a sign of
// life; a transfer without one for the limit is taken for a dead connection.
class StallWatch {
public:
    explicit StallWatch(std::int64_t limitMs) : limitMs_(limitMs), lastSign_(MonotonicMilliseconds()) {}

    bool Stalled(int state, bool messagesCame)
    {
        if (limitMs_ <= 0)
            return false;
        const std::int64_t now = MonotonicMilliseconds();
        if (messagesCame || state != state_) {
            state_ = state;
            lastSign_ = now;
        }
        return now - lastSign_ >= limitMs_;
    }

private:
    std::int64_t limitMs_;
    int state_ = -1;
    std::int64_t lastSign_;
};

// Handles what waits in this thread's queue, after waiting (at most a
// second) for something to come; whether anything came.
bool PumpThread()
{
    MsgWaitForMultipleObjectsEx(0, nullptr, 1000, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    bool handled = false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        handled = true;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return handled;
}

// Leaves the object to its transfer for the life of the process: neither
// aborted nor released, its apartment's thread gone (measured under Wine: a
// reply or a reset that comes later is dropped, and nothing crashes).
void Abandon(ObjectRef http)
{
    static_cast<void>(new ObjectRef(std::move(http)));
}

// The transfer's thread: everything of the object happens here, in its own
// apartment; what it brought back is copied out under the lock.
void Carry(const std::shared_ptr<HttpTransfer::State>& state)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HttpReply reply;
    bool abandoned = false;
    {
        ObjectRef http;
        try {
            http = state->makeRequest();
            if (http) {
                const HttpRequestLine& r = state->request;
                http->Call(L"open", {r.method, r.url, true, std::wstring(), std::wstring()});
                for (const auto& [name, value] : r.headers)
                    http->Call(L"setRequestHeader", {name, value});
                if (r.body)
                    http->Call(L"send", {*r.body});
                else
                    http->Call(L"send");
            }
        } catch (const std::exception&) {
            http = nullptr;  // never sent: nothing can come for it
        }
        if (http) {
            StallWatch watch(state->stallLimitMs);
            bool stalled = false;
            bool messagesCame = false;
            int readyState;
            while ((readyState = ReadyState(http)) != 4 && readyState >= 0) {
                std::wstring length = readyState == 3 ? Header(http, L"Content-Length") : L"";
                stalled = stalled || watch.Stalled(readyState, messagesCame);
                bool leave;
                {
                    std::lock_guard guard(state->lock);
                    state->announcedLength = std::move(length);
                    state->stalled = stalled;
                    leave = state->givenUp || state->stopped;
                }
                if (leave) {
                    Abandon(std::move(http));
                    abandoned = true;
                    break;
                }
                messagesCame = PumpThread();
            }
            if (readyState == 4) {
                try {
                    reply.contentLength = Header(http, L"Content-Length");
                    reply.contentEncoding = Header(http, L"Content-Encoding");
                    reply.status = Number(http, L"status");
                    reply.body = VariantBytes(http->Get(L"responseBody"));
                    reply.complete = true;
                } catch (const std::exception&) {
                    reply = HttpReply();
                }
            }
        }
    }
    bool givenUp;
    {
        std::lock_guard guard(state->lock);
        state->reply = std::move(reply);
        state->done = true;
        givenUp = state->givenUp || state->stopped;
    }
    if (givenUp)
        GivenUpTransfers::Of().Ended(state->host, abandoned);
    // An apartment ended under an object left to its transfer would tear
    // down what the object still uses.
    if (SUCCEEDED(com) && !abandoned)
        CoUninitialize();
}

// The deadline of the innermost wait of this thread: a wait begun inside
// another (from a handler its pump ran) ends by the other's deadline.
class WaitDeadline {
public:
    explicit WaitDeadline(std::int64_t limitMs)
        : enclosing_(Innermost()), at_(MonotonicMilliseconds() + limitMs)
    {
        if (enclosing_)
            at_ = std::min(at_, enclosing_->at_);
        Innermost() = this;
    }
    ~WaitDeadline() { Innermost() = enclosing_; }
    WaitDeadline(const WaitDeadline&) = delete;
    WaitDeadline& operator=(const WaitDeadline&) = delete;

    bool Passed() const { return MonotonicMilliseconds() >= at_; }

private:
    static WaitDeadline*& Innermost()
    {
        thread_local WaitDeadline* innermost = nullptr;
        return innermost;
    }
    WaitDeadline* enclosing_;
    std::int64_t at_;
};

}  // namespace

HttpTransfer::HttpTransfer(std::function<ObjectRef()> makeRequest, HttpRequestLine request,
                           std::int64_t stallLimitMs)
    : state_(std::make_shared<State>())
{
    // The waiting thread's own start of COM comes first: the platform's
    // objects are made on the transfer's thread, and a first start there
    // would count as the process's.
    EnsureCom();
    state_->makeRequest = std::move(makeRequest);
    state_->request = std::move(request);
    state_->host = HostOf(state_->request.url);
    state_->stallLimitMs = stallLimitMs;
    if (!GivenUpTransfers::Of().Admits(state_->host)) {
        if (trace::On()) {
            trace::Line(("request to " + TextToAnsi(state_->host) +
                         " refused: " + std::to_string(GivenUpTransfersPerHost) +
                         " transfers given up to this host still run")
                            .c_str());
        }
        state_->done = true;  // no reply
        return;
    }
    std::thread thread([state = state_] {
        {
            std::lock_guard guard(state->lock);
            state->threadId = GetCurrentThreadId();
        }
        Carry(state);
    });
    thread.detach();
}

HttpTransfer::~HttpTransfer()
{
    std::lock_guard guard(state_->lock);
    if (state_->done || state_->stopped)
        return;
    state_->givenUp = true;
    GivenUpTransfers::Of().Add(state_->host);
    // Wakes its thread to leave now rather than at its next look.
    if (state_->threadId)
        PostThreadMessageW(state_->threadId, WM_NULL, 0, 0);
}

bool HttpTransfer::Done() const
{
    std::lock_guard guard(state_->lock);
    return state_->done;
}

bool HttpTransfer::Stalled() const
{
    std::lock_guard guard(state_->lock);
    return state_->stalled;
}

TransferWait HttpTransfer::Wait(std::int64_t limitMs, const std::function<bool()>& giveUp)
{
    const WaitDeadline deadline(limitMs);
    while (!Done()) {
        DoEvents();
        Sleep(10);
        if (giveUp && giveUp())
            return TransferWait::GivenUp;
        if (Stalled())
            return TransferWait::Stalled;
        if (deadline.Passed())
            return TransferWait::OutOfTime;
    }
    return TransferWait::Done;
}

void HttpTransfer::StopReading()
{
    std::lock_guard guard(state_->lock);
    if (state_->done || state_->stopped || state_->givenUp)
        return;
    state_->stopped = true;
    GivenUpTransfers::Of().Add(state_->host);
    if (state_->threadId)
        PostThreadMessageW(state_->threadId, WM_NULL, 0, 0);
}

std::wstring HttpTransfer::AnnouncedLength() const
{
    std::lock_guard guard(state_->lock);
    return state_->announcedLength;
}

const HttpReply& HttpTransfer::Reply() const
{
    return state_->reply;
}

int GivenUpTransferCount()
{
    return GivenUpTransfers::Of().Running();
}

}  // namespace quill::forms
