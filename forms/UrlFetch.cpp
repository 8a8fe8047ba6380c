#include "forms/UrlFetch.h"

#include "forms/BackgroundThread.h"
#include "forms/lang/Ansi.h"

#include <objidl.h>
#include <urlmon.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>

namespace quill::forms {

struct UrlFetch::State {
    std::wstring url;
    Source source;
    std::size_t largest;
    HWND window;
    WPARAM tag;
    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    Reply reply;

    // Takes a chunk; false once the reading should stop.
    bool Take(const char* data, std::size_t size)
    {
        if (cancelled.load(std::memory_order_relaxed))
            return false;
        const std::size_t room = largest - reply.bytes.size();
        reply.bytes.append(data, std::min(size, room));
        if (size > room)
            reply.tooLarge = true;
        return !reply.tooLarge;
    }
};

namespace {

constexpr DWORD kStepTimeoutMs = 30000;

class InternetHandle {
public:
    explicit InternetHandle(HINTERNET h) : h_(h) {}
    ~InternetHandle()
    {
        if (h_)
            InternetCloseHandle(h_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_;
};

void ReadFromNetwork(UrlFetch::State& state)
{
    InternetHandle net(InternetOpenW(L"Mozilla/4.0 (compatible; Quillmoor)", INTERNET_OPEN_TYPE_PRECONFIG,
                                     nullptr, nullptr, 0));
    if (!net)
        return;
    DWORD timeout = kStepTimeoutMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionW(net.Get(), option, &timeout, sizeof timeout);
    InternetHandle request(InternetOpenUrlW(net.Get(), state.url.c_str(), nullptr, 0,
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI,
                                            0));
    if (!request)
        return;
    wchar_t type[256]{};
    DWORD size = sizeof type - sizeof(wchar_t);
    if (HttpQueryInfoW(request.Get(), HTTP_QUERY_CONTENT_TYPE, type, &size, nullptr))
        state.reply.contentType = TextToAnsi(type);
    char buffer[8192];
    DWORD read = 0;
    bool ok = true;
    while ((ok = InternetReadFile(request.Get(), buffer, sizeof buffer, &read) != FALSE) && read > 0 &&
           state.Take(buffer, read)) {
    }
    state.reply.whole = ok && read == 0;
}

void ReadThroughUrlReader(UrlFetch::State& state)
{
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    IStream* stream = nullptr;
    if (SUCCEEDED(URLOpenBlockingStreamW(nullptr, state.url.c_str(), &stream, 0, nullptr)) && stream) {
        char chunk[16384];
        ULONG got = 0;
        HRESULT hr = S_OK;
        while (SUCCEEDED(hr = stream->Read(chunk, sizeof chunk, &got)) && got > 0 && state.Take(chunk, got)) {
        }
        state.reply.whole = SUCCEEDED(hr) && got == 0;
        stream->Release();
    }
    if (com)
        CoUninitialize();
}

}  // namespace

UrlFetch::UrlFetch(std::wstring url, Source source, std::size_t largest, HWND window, WPARAM tag)
    : state_(std::make_shared<State>())
{
    state_->url = std::move(url);
    state_->source = source;
    state_->largest = largest;
    state_->window = window;
    state_->tag = tag;
    StartBackgroundThread([state = state_] {
        if (state->source == Source::Network)
            ReadFromNetwork(*state);
        else
            ReadThroughUrlReader(*state);
        state->done.store(true, std::memory_order_release);
        if (!state->cancelled.load(std::memory_order_acquire))
            PostMessageW(state->window, Message(), state->tag, 0);
    });
}

UrlFetch::~UrlFetch()
{
    state_->cancelled.store(true, std::memory_order_release);
}

UINT UrlFetch::Message()
{
    static const UINT message = RegisterWindowMessageW(L"QuillmoorUrlFetchDone");
    return message;
}

bool UrlFetch::Done() const
{
    return state_->done.load(std::memory_order_acquire);
}

const UrlFetch::Reply& UrlFetch::Result() const
{
    return state_->reply;
}

}  // namespace quill::forms
