#include "forms/HttpTransfer.h"

#include "forms/Picture.h"

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace quill::forms {

struct HttpTransfer::State {
    std::function<ObjectRef()> makeRequest;
    HttpRequestLine request;
    std::mutex lock;
    bool done = false;
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

int ReadyState(const ObjectRef& http)
{
    try {
        return static_cast<int>(VariantNumber(http->Get(L"readyState")));
    } catch (const std::exception&) {
        return -1;
    }
}

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
            int readyState;
            while ((readyState = ReadyState(http)) != 4 && readyState >= 0) {
                std::wstring length = readyState == 3 ? Header(http, L"Content-Length") : L"";
                bool stopped;
                {
                    std::lock_guard guard(state->lock);
                    state->announcedLength = std::move(length);
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

HttpTransfer::HttpTransfer(std::function<ObjectRef()> makeRequest, HttpRequestLine request)
    : state_(std::make_shared<State>())
{
    // The waiting thread's own start of COM comes first: the platform's
    // objects are made on the transfer's thread, and a first start there
    // would count as the process's.
    EnsureCom();
    state_->makeRequest = std::move(makeRequest);
    state_->request = std::move(request);
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
