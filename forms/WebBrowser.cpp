#include "forms/WebBrowser.h"

#include "forms/Container.h"
#include "forms/Gdi.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <thread>

namespace quill::forms {

struct WebBrowser::Fetch {
    std::wstring url;
    std::string bytes;
    std::string contentType;
    bool ok = false;
    std::atomic<bool> done{false};
};

namespace {

// A page larger than this is cut off: the service's pages are a few
// kilobytes.
constexpr size_t LargestPage = 8u << 20;
constexpr DWORD TimeoutMs = 30000;
constexpr int Margin = 8;

UINT ArrivedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"QuillmoorPageArrived");
    return message;
}

struct InternetHandle {
    HINTERNET h;
    explicit InternetHandle(HINTERNET handle) : h(handle) {}
    ~InternetHandle()
    {
        if (h)
            InternetCloseHandle(h);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
};

bool IsWeb(const std::wstring& url)
{
    auto starts = [&](const wchar_t* scheme) {
        const size_t n = wcslen(scheme);
        return url.size() > n && _wcsnicmp(url.c_str(), scheme, n) == 0;
    };
    return starts(L"http://") || starts(L"https://");
}

// On a worker thread: fills the fetch, then tells the window (which may be
// gone by then: the message then finds no one).
void FetchPage(std::shared_ptr<WebBrowser::Fetch> fetch, HWND window, WPARAM navigation)
{
    InternetHandle net(InternetOpenW(L"Mozilla/4.0 (compatible; Quillmoor)", INTERNET_OPEN_TYPE_PRECONFIG,
                                     nullptr, nullptr, 0));
    if (net.h) {
        DWORD timeout = TimeoutMs;
        for (DWORD option :
             {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
            InternetSetOptionW(net.h, option, &timeout, sizeof timeout);
        InternetHandle request(
            InternetOpenUrlW(net.h, fetch->url.c_str(), nullptr, 0,
                             INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0));
        if (request.h) {
            char type[256] = {};
            DWORD size = sizeof type - 1;
            if (HttpQueryInfoA(request.h, HTTP_QUERY_CONTENT_TYPE, type, &size, nullptr))
                fetch->contentType = type;
            char buffer[8192];
            DWORD read = 0;
            bool whole = true;
            while ((whole = InternetReadFile(request.h, buffer, sizeof buffer, &read) != FALSE) && read > 0 &&
                   fetch->bytes.size() < LargestPage)
                fetch->bytes.append(buffer, read);
            fetch->ok = whole;
        }
    }
    fetch->done.store(true, std::memory_order_release);
    PostMessageW(window, ArrivedMessage(), navigation, 0);
}

UINT CodePageOf(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "gb2312" || name == "gbk" || name == "cp936" || name == "x-gbk")
        return 936;
    if (name == "gb18030")
        return 54936;
    if (name == "utf-8" || name == "utf8")
        return CP_UTF8;
    if (name == "iso-8859-1" || name == "windows-1252" || name == "us-ascii")
        return 1252;
    return 0;
}

// The reply's charset, else its meta element's, else UTF-8 after a byte
// order mark, else the system's code page.
std::wstring DecodePage(std::string_view bytes, const std::string& contentType)
{
    UINT codePage = 0;
    std::string type = contentType;
    for (char& c : type)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (const size_t at = type.find("charset="); at != std::string::npos)
        codePage = CodePageOf(type.substr(at + 8, type.find_first_of("; \"'", at + 8) - (at + 8)));
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        codePage = codePage ? codePage : CP_UTF8;
    }
    if (!codePage)
        codePage = CodePageOf(web::MetaCharset(bytes));
    if (!codePage)
        codePage = GetACP();
    if (bytes.empty())
        return {};
    const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(std::max(n, 0)), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

// What a failed navigation shows, as a browser shows its own error page.
std::wstring CannotShow(const std::wstring& url)
{
    return L"<html><head><title>无法显示此网页</title></head><body><h1>无法显示此网页</h1><p>" + url +
           L"</p></body></html>";
}

gdi::FontHandle PageFont(int heading, bool underline)
{
    static constexpr int pixels[] = {14, 24, 20, 17, 15, 14, 13};
    return gdi::FontHandle(CreateFontW(-pixels[std::clamp(heading, 0, 6)], 0, 0, 0,
                                       heading ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                                       DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
}

}  // namespace

WebBrowser::WebBrowser() = default;
WebBrowser::~WebBrowser() = default;

void WebBrowser::Create(Container& container, const ControlArgs& args)
{
    Site(container, args);
    const RECT r = PixelRect();
    CreateHandle({.style = ChildStyle(),
                  .x = r.left,
                  .y = r.top,
                  .width = r.right - r.left,
                  .height = r.bottom - r.top,
                  .parent = container.ContainerWindow()});
    Sited();
}

void WebBrowser::Terminating()
{
    pending_.reset();
    ++navigation_;
    Control::Terminating();
}

void WebBrowser::Navigate(const std::wstring& url)
{
    auto fetch = std::make_shared<Fetch>();
    fetch->url = url;
    pending_ = fetch;
    const WPARAM navigation = ++navigation_;
    busy_ = true;
    location_ = url;
    if (!hWnd())
        return;
    if (IsWeb(url)) {
        std::thread(FetchPage, fetch, hWnd(), navigation).detach();
        return;
    }
    // Nothing but web pages is read: a file or a program shows as a page
    // that cannot be shown.
    fetch->done.store(true, std::memory_order_release);
    PostMessageW(hWnd(), ArrivedMessage(), navigation, 0);
}

void WebBrowser::Arrived(const Fetch& fetch)
{
    const std::wstring text = fetch.ok ? DecodePage(fetch.bytes, fetch.contentType) : CannotShow(fetch.url);
    page_ = web::ReadPage(text);
    document_ = std::make_unique<HtmlDocument>();
    document_->url = fetch.url;
    document_->title = page_.title;
    document_->body.outerHTML = web::BodyOuterHtml(text);
    busy_ = false;
    InvalidateRect(hWnd(), nullptr, FALSE);
    DocumentComplete(fetch.url);
}

LRESULT WebBrowser::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == ArrivedMessage()) {
        // Only the latest navigation's page, and only once it is whole.
        if (wp == navigation_ && pending_ && pending_->done.load(std::memory_order_acquire)) {
            const std::shared_ptr<Fetch> fetch = std::move(pending_);
            Arrived(*fetch);
        }
        return 0;
    }
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        InvalidateRect(hWnd(), nullptr, FALSE);
        break;
    case WM_PAINT: {
        gdi::PaintDc dc(hWnd());
        RECT client{};
        GetClientRect(hWnd(), &client);
        if (client.right <= 0 || client.bottom <= 0)
            return 0;
        gdi::MemoryDc buffer(dc);
        uint32_t* bits = nullptr;
        gdi::BitmapHandle bitmap = gdi::TopDownDib(dc, client.right, client.bottom, bits);
        gdi::Selection use(buffer, bitmap);
        Paint(buffer, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
        return 0;
    }
    default:
        break;
    }
    return Control::WndProc(msg, wp, lp);
}

void WebBrowser::Paint(HDC dc, const RECT& client) const
{
    gdi::BrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
    FillRect(dc, &client, white);
    if (busy_ || !document_)
        return;
    SetBkMode(dc, TRANSPARENT);
    int y = Margin;
    for (const web::PageBlock& block : page_.blocks) {
        if (y >= client.bottom)
            break;
        const gdi::FontHandle plain = PageFont(block.heading, false);
        const gdi::FontHandle underlined = PageFont(block.heading, true);
        TEXTMETRICW tm{};
        {
            gdi::Selection use(dc, plain);
            GetTextMetricsW(dc, &tm);
        }
        int x = Margin;
        for (const web::PageRun& run : block.runs) {
            gdi::Selection use(dc, run.link ? underlined.Get() : plain.Get());
            SetTextColor(dc, run.link ? RGB(0x00, 0x33, 0xCC) : RGB(0x22, 0x22, 0x22));
            // Character by character, so that Chinese text wraps anywhere.
            for (wchar_t c : run.text) {
                SIZE size{};
                GetTextExtentPoint32W(dc, &c, 1, &size);
                if (x + size.cx > client.right - Margin && x > Margin) {
                    y += tm.tmHeight;
                    x = Margin;
                    if (c == L' ')
                        continue;
                }
                TextOutW(dc, x, y, &c, 1);
                x += size.cx;
            }
        }
        y += tm.tmHeight + tm.tmHeight / 2;
    }
}

}  // namespace quill::forms
