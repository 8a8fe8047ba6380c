#include "forms/HttpTransfer.h"

#include "forms/Picture.h"
#include "forms/Pump.h"
#include "forms/lang/Clock.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace quill::forms {

struct HttpTransfer::State {
    std::function<ObjectRef()> makeRequest;
    HttpRequestLine request;
    std::int64_t stallLimitMs = 0;
    std::mutex lock;
    bool done = false;
    bool stalled = false;
    bool givenUp = false;
    bool stopped = false;
    std::wstring announcedLength;
    HttpReply reply;
};

namespace {

std::atomic<int> givenUpRunning{0};

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

// How far a transfer has come, as far as the request object shows it: its
// state, and in state 3 the bytes received so far when it offers them (-1
// when it does not).
struct TransferProgress {
    int state = 0;
    std::int64_t received = -1;
    bool operator==(const TransferProgress&) const = default;
};

TransferProgress ProgressOf(const ObjectRef& http, int state)
{
    TransferProgress progress{state, -1};
    if (state == 3) {
        try {
            progress.received = static_cast<std::int64_t>(VariantBytes(http->Get(L"responseBody")).size());
        } catch (const std::exception&) {
        }
    }
    return progress;
}

// A reset connection leaves the request waiting for ever; what counts as a
// sign of life is a new state, or more bytes where the object shows them
// (looked at only once the state has stood still for the stall limit, as the
// partial body is a copy of all received so far).
class StallWatch {
public:
    explicit StallWatch(std::int64_t limitMs) : limitMs_(limitMs), lastSign_(MonotonicMilliseconds()) {}

    // Whether the transfer, now in `state`, has shown no sign of life for the limit.
    bool Stalled(const ObjectRef& http, int state)
    {
        if (limitMs_ <= 0)
            return false;
        if (state != seen_.state) {
            seen_ = {state, -1};
            lastSign_ = MonotonicMilliseconds();
        }
        const std::int64_t now = MonotonicMilliseconds();
        if (now - lastSign_ < limitMs_)
            return false;
        const TransferProgress progress = ProgressOf(http, state);
        const bool stalled = progress.received < 0 || progress == seen_;
        seen_ = progress;
        lastSign_ = now;
        return stalled;
    }

private:
    std::int64_t limitMs_;
    TransferProgress seen_;
    std::int64_t lastSign_;
};

// Handles what waits in this thread's queue; returns once there is nothing,
// after waiting (at most a second) for something to come.
void PumpThread()
{
    MsgWaitForMultipleObjectsEx(0, nullptr, 1000, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// The transfer's thread: everything of the object happens here, in its own
// apartment; what it brought back is copied out under the lock.
void Carry(const std::shared_ptr<HttpTransfer::State>& state)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HttpReply reply;
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
            int readyState;
            while ((readyState = ReadyState(http)) != 4 && readyState >= 0) {
                std::wstring length = readyState == 3 ? Header(http, L"Content-Length") : L"";
                stalled = stalled || watch.Stalled(http, readyState);
                bool stopped;
                {
                    std::lock_guard guard(state->lock);
                    state->announcedLength = std::move(length);
                    state->stalled = stalled;
                    stopped = state->stopped;
                }
                if (stopped)
                    for (;;)
                        Sleep(INFINITE);
                PumpThread();
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
    {
        std::lock_guard guard(state->lock);
        state->reply = std::move(reply);
        state->done = true;
        if (state->givenUp)
            --givenUpRunning;
    }
    if (SUCCEEDED(com))
        CoUninitialize();
}

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
    state_->stallLimitMs = stallLimitMs;
    std::thread([state = state_] { Carry(state); }).detach();
}

HttpTransfer::~HttpTransfer()
{
    std::lock_guard guard(state_->lock);
    if (!state_->done) {
        state_->givenUp = true;
        ++givenUpRunning;
    }
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
    const std::int64_t t0 = MonotonicMilliseconds();
    while (!Done()) {
        DoEvents();
        Sleep(10);
        if (giveUp && giveUp())
            return TransferWait::GivenUp;
        if (Stalled())
            return TransferWait::Stalled;
        if (MonotonicMilliseconds() - t0 >= limitMs)
            return TransferWait::OutOfTime;
    }
    return TransferWait::Done;
}

void HttpTransfer::StopReading()
{
    std::lock_guard guard(state_->lock);
    state_->stopped = true;
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
