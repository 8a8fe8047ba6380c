#include "forms/HttpTransfer.h"

#include "forms/BackgroundThread.h"
#include "forms/Picture.h"
#include "forms/Pump.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Text.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <objbase.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace quill::forms {

struct HttpTransfer::State {
    std::function<ObjectRef()> makeRequest;
    HttpRequestLine request;
    std::int64_t stallLimitMs = 0;
    std::function<bool(std::wstring_view)> refusesLength;
    std::mutex lock;
    DWORD threadId = 0;
    bool done = false;
    bool stalled = false;
    bool refused = false;
    bool givenUp = false;
    std::wstring announcedLength;
    HttpReply reply;
};

namespace {

// The transfers given up whose threads still run.
std::atomic<int> givenUpRunning{0};

// Under Wine the request object never completes a request whose connection
// was refused: it would wait out its whole limit where the request has
// failed at once. A request that has shown nothing for a moment is checked
// with a connection of its own thread's to the same host and port; when
// every address of the host refuses it (nothing listens there), the request
// has failed. A probe that connects, or that cannot tell (no answer, no
// address, a proxy between), leaves the request to its own limit.
class ConnectionProbe {
public:
    explicit ConnectionProbe(const std::wstring& url)
    {
        const std::size_t scheme = url.find(L"://");
        if (scheme == std::wstring::npos)
            return;
        const std::wstring_view rest = std::wstring_view(url).substr(scheme + 3);
        std::wstring authority(rest.substr(0, rest.find_first_of(L"/?#")));
        if (const std::size_t at = authority.rfind(L'@'); at != std::wstring::npos)
            authority.erase(0, at + 1);
        port_ = LCase(url.substr(0, scheme)) == L"https" ? L"443" : L"80";
        if (!authority.empty() && authority.front() == L'[') {
            const std::size_t close = authority.find(L']');
            if (close == std::wstring::npos)
                return;
            if (close + 1 < authority.size() && authority[close + 1] == L':')
                port_ = authority.substr(close + 2);
            host_ = authority.substr(1, close - 1);
        } else if (const std::size_t colon = authority.rfind(L':'); colon != std::wstring::npos) {
            port_ = authority.substr(colon + 1);
            host_ = authority.substr(0, colon);
        } else {
            host_ = authority;
        }
    }
    ~ConnectionProbe()
    {
        Close();
        if (event_ != WSA_INVALID_EVENT)
            WSACloseEvent(event_);
        if (addresses_)
            FreeAddrInfoW(addresses_);
        if (started_)
            WSACleanup();
    }
    ConnectionProbe(const ConnectionProbe&) = delete;
    ConnectionProbe& operator=(const ConnectionProbe&) = delete;

    // Starts the probe, once: whether it is under way.
    bool Start()
    {
        if (host_.empty() || port_.empty() || ThroughProxy())
            return false;
        WSADATA wsa;
        if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
            return false;
        started_ = true;
        ADDRINFOW hints{};
        hints.ai_socktype = SOCK_STREAM;
        if (GetAddrInfoW(host_.c_str(), port_.c_str(), &hints, &addresses_) != 0 || !addresses_)
            return false;
        event_ = WSACreateEvent();
        next_ = addresses_;
        return event_ != WSA_INVALID_EVENT && TryNext();
    }
    // Signalled once the attempt under way has an outcome.
    HANDLE Event() const { return socket_ == INVALID_SOCKET ? nullptr : event_; }
    // Takes the outcome of the attempt under way, if it has one: whether
    // every address has refused the connection.
    bool Refused()
    {
        if (socket_ == INVALID_SOCKET)
            return false;
        WSANETWORKEVENTS events{};
        if (WSAEnumNetworkEvents(socket_, event_, &events) != 0 || !(events.lNetworkEvents & FD_CONNECT))
            return false;
        const int error = events.iErrorCode[FD_CONNECT_BIT];
        Close();
        if (!IsRefusal(error))
            return false;  // connected, or no telling
        return !TryNext() && !untold_;
    }

private:
    // A proxy makes the connection, not this machine: its refusal is not the host's.
    static bool ThroughProxy()
    {
        DWORD size = 0;
        InternetQueryOptionW(nullptr, INTERNET_OPTION_PROXY, nullptr, &size);
        std::vector<char> info(std::max<DWORD>(size, sizeof(INTERNET_PROXY_INFO)));
        size = static_cast<DWORD>(info.size());
        if (!InternetQueryOptionW(nullptr, INTERNET_OPTION_PROXY, info.data(), &size))
            return false;
        return reinterpret_cast<const INTERNET_PROXY_INFO*>(info.data())->dwAccessType ==
               INTERNET_OPEN_TYPE_PROXY;
    }
    static bool IsRefusal(int error)
    {
        return error == WSAECONNREFUSED || error == WSAENETUNREACH || error == WSAEHOSTUNREACH;
    }
    // Starts connecting to the next address; false when none is left. An
    // address that cannot even be tried tells nothing (untold_).
    bool TryNext()
    {
        for (; next_; next_ = next_->ai_next) {
            socket_ = socket(next_->ai_family, next_->ai_socktype, next_->ai_protocol);
            if (socket_ == INVALID_SOCKET) {
                untold_ = true;
                continue;
            }
            if (WSAEventSelect(socket_, event_, FD_CONNECT) == 0 &&
                (connect(socket_, next_->ai_addr, static_cast<int>(next_->ai_addrlen)) == 0 ||
                 WSAGetLastError() == WSAEWOULDBLOCK)) {
                next_ = next_->ai_next;
                return true;
            }
            untold_ = untold_ || !IsRefusal(WSAGetLastError());
            Close();
        }
        return false;
    }
    void Close()
    {
        if (socket_ != INVALID_SOCKET)
            closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

    std::wstring host_, port_;
    bool started_ = false;
    bool untold_ = false;
    ADDRINFOW* addresses_ = nullptr;
    const ADDRINFOW* next_ = nullptr;
    WSAEVENT event_ = WSA_INVALID_EVENT;
    SOCKET socket_ = INVALID_SOCKET;
};

// How long a request shows nothing (no headers) before its connection is probed.
constexpr ULONGLONG ProbeAfterMs = 250;

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

// Handles what waits in this thread's queue, after waiting (at most
// waitMs) for something to come to it or for `also` to be signalled;
// whether any message came.
bool PumpThread(DWORD waitMs, HANDLE also)
{
    MsgWaitForMultipleObjectsEx(also ? 1 : 0, also ? &also : nullptr, waitMs, QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
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
            ConnectionProbe probe(state->request.url);
            const ULONGLONG sent = GetTickCount64();
            bool probing = false, probed = false;
            bool stalled = false;
            bool messagesCame = false;
            bool lengthRead = false;
            int readyState;
            while ((readyState = ReadyState(http)) != 4 && readyState >= 0) {
                // The object shows state 2 from the send on; the reply's
                // status and headers come with the first piece of its body,
                // in the same message (a body that comes at full speed is
                // read whole inside that one message).
                const bool answered = readyState >= 3 || Number(http, L"status") > 0;
                std::wstring length;
                bool refused = false;
                if (answered && !lengthRead) {
                    length = Header(http, L"Content-Length");
                    lengthRead = true;
                    refused = state->refusesLength && state->refusesLength(length);
                }
                stalled = stalled || watch.Stalled(readyState, messagesCame);
                const bool unreachable = probing && probe.Refused();
                probing = probing && probe.Event();
                bool leave;
                {
                    std::lock_guard guard(state->lock);
                    if (!length.empty())
                        state->announcedLength = std::move(length);
                    state->stalled = stalled;
                    state->refused = refused;
                    leave = state->givenUp || refused || unreachable;
                }
                if (leave) {
                    Abandon(std::move(http));
                    abandoned = true;
                    break;
                }
                DWORD waitMs = 1000;
                if (!probed && !answered) {
                    const ULONGLONG waited = GetTickCount64() - sent;
                    if (waited >= ProbeAfterMs) {
                        probed = true;
                        probing = probe.Start();
                    } else {
                        waitMs = static_cast<DWORD>(ProbeAfterMs - waited);
                    }
                }
                messagesCame = PumpThread(waitMs, probing ? probe.Event() : nullptr);
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
        givenUp = state->givenUp;
    }
    if (givenUp)
        --givenUpRunning;
    // An apartment ended under an object left to its transfer would tear
    // down what the object still uses.
    if (SUCCEEDED(com) && !abandoned)
        CoUninitialize();
}

}  // namespace

HttpTransfer::HttpTransfer(std::function<ObjectRef()> makeRequest, HttpRequestLine request,
                           std::int64_t stallLimitMs, std::function<bool(std::wstring_view)> refusesLength)
    : state_(std::make_shared<State>())
{
    // The waiting thread's own start of COM comes first: the platform's
    // objects are made on the transfer's thread, and a first start there
    // would count as the process's.
    EnsureCom();
    state_->makeRequest = std::move(makeRequest);
    state_->request = std::move(request);
    state_->stallLimitMs = stallLimitMs;
    state_->refusesLength = std::move(refusesLength);
    StartBackgroundThread([state = state_] {
        {
            std::lock_guard guard(state->lock);
            state->threadId = GetCurrentThreadId();
        }
        Carry(state);
    });
}

HttpTransfer::~HttpTransfer()
{
    std::lock_guard guard(state_->lock);
    if (state_->done)
        return;
    state_->givenUp = true;
    ++givenUpRunning;
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
    const std::int64_t deadline = MonotonicMilliseconds() + limitMs;
    while (!Done()) {
        DoEvents();
        Sleep(10);
        if (giveUp && giveUp())
            return TransferWait::GivenUp;
        if (Stalled())
            return TransferWait::Stalled;
        if (MonotonicMilliseconds() >= deadline)
            return TransferWait::OutOfTime;
    }
    std::lock_guard guard(state_->lock);
    return state_->refused ? TransferWait::Refused : TransferWait::Done;
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
    return givenUpRunning;
}

}  // namespace quill::forms
