#include "forms/WebBrowser.h"

#include "forms/ChartPainter.h"
#include "forms/Container.h"
#include "forms/Files.h"
#include "forms/Gdi.h"
#include "forms/UrlFetch.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "forms/web/HexDigit.h"

#include <windows.h>

#include <algorithm>
#include <array>

namespace quill::forms {

// The navigation under way: a page read at once (a file, about:blank) or one
// still coming over the network.
struct WebBrowser::Fetch {
    std::wstring url;
    UrlFetch::Reply local;
    std::unique_ptr<UrlFetch> remote;

    bool Done() const { return !remote || remote->Done(); }
    const UrlFetch::Reply& Reply() const { return remote ? remote->Result() : local; }
};

namespace {

constexpr size_t kLargestPage = 16u << 20;
constexpr int kMargin = 8;
constexpr COLORREF kText = RGB(0x22, 0x22, 0x22);
constexpr COLORREF kLink = RGB(0x00, 0x33, 0xCC);
constexpr wchar_t kFace[] = L"Tahoma";

bool StartsWithNoCase(std::wstring_view text, std::wstring_view start)
{
    return text.size() >= start.size() &&
           CompareStringOrdinal(text.data(), static_cast<int>(start.size()), start.data(),
                                static_cast<int>(start.size()), TRUE) == CSTR_EQUAL;
}

// "file:///C:/a%20b.html" -> "C:\a b.html"; a path stays as it is.
std::wstring FilePath(std::wstring url)
{
    if (!StartsWithNoCase(url, L"file:"))
        return url;
    url.erase(0, 5);
    while (!url.empty() && url.front() == L'/')
        url.erase(0, 1);
    std::wstring path;
    for (size_t i = 0; i < url.size(); ++i) {
        const int high = url[i] == L'%' && i + 2 < url.size() ? web::HexDigit(url[i + 1]) : -1;
        const int low = high < 0 ? -1 : web::HexDigit(url[i + 2]);
        if (low >= 0) {
            path += static_cast<wchar_t>(high * 16 + low);
            i += 2;
        } else {
            path += url[i] == L'/' ? L'\\' : url[i];
        }
    }
    return path;
}

UINT CodePageNamed(std::string name)
{
    for (char& c : name)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (name == "gb2312" || name == "gbk" || name == "x-gbk" || name == "cp936" || name == "gb_2312-80")
        return 936;
    if (name == "gb18030")
        return 54936;
    if (name == "utf-8" || name == "utf8")
        return CP_UTF8;
    if (name == "big5")
        return 950;
    if (name == "shift_jis")
        return 932;
    if (name == "iso-8859-1" || name == "latin1" || name == "windows-1252" || name == "us-ascii")
        return 1252;
    return 0;
}

// The page's text: the charset of the reply's type, else of its meta
// element, else UTF-8 when it starts with its mark, else the system's.
std::wstring DecodePage(std::string_view bytes, const std::string& contentType)
{
    UINT codePage = 0;
    std::string type = contentType;
    for (char& c : type)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    if (size_t at = type.find("charset="); at != std::string::npos) {
        std::string name = type.substr(at + 8);
        name = name.substr(0, name.find_first_of("; \"'"));
        codePage = CodePageNamed(name);
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
        if (!codePage)
            codePage = CP_UTF8;
    }
    if (!codePage)
        codePage = CodePageNamed(web::MetaCharset(bytes));
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

std::wstring CannotShow(const std::wstring& url)
{
    return L"<html><head><title>\u65E0\u6CD5\u663E\u793A\u6B64\u7F51\u9875</title></head><body>"
           L"<h1>\u65E0\u6CD5\u663E\u793A\u6B64\u7F51\u9875</h1><p>" +
           url + L"</p></body></html>";
}

gdi::FontHandle PageFont(int heading, bool underline)
{
    static constexpr int sizes[] = {14, 24, 20, 17, 15, 14, 13};
    LOGFONTW lf{};
    lf.lfHeight = -sizes[std::clamp(heading, 0, 6)];
    lf.lfWeight = heading ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(lf.lfFaceName, kFace);
    return gdi::FontHandle(CreateFontIndirectW(&lf));
}

// Pieces a line may break between: words of ASCII letters, single blanks,
// and every other character on its own.
std::vector<std::wstring_view> Pieces(std::wstring_view text)
{
    std::vector<std::wstring_view> out;
    size_t i = 0;
    while (i < text.size()) {
        size_t j = i + 1;
        if (text[i] > L' ' && text[i] < 0x80)
            while (j < text.size() && text[j] > L' ' && text[j] < 0x80)
                ++j;
        out.push_back(text.substr(i, j - i));
        i = j;
    }
    return out;
}

}  // namespace

WebBrowser::WebBrowser() = default;
WebBrowser::~WebBrowser() = default;

void WebBrowser::Create(Container& container, const ControlArgs& args)
{
    Site(container, args);
    RECT r = PixelRect();
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
    auto fetch = std::make_unique<Fetch>();
    fetch->url = url;
    Fetch& started = *fetch;
    pending_ = std::move(fetch);
    const WPARAM navigation = ++navigation_;
    busy_ = true;
    location_ = url;
    if (!hWnd())
        return;
    if (StartsWithNoCase(url, L"http://") || StartsWithNoCase(url, L"https://")) {
        started.remote =
            std::make_unique<UrlFetch>(url, UrlFetch::Source::Network, kLargestPage, hWnd(), navigation);
        return;
    }
    if (!StartsWithNoCase(url, L"about:")) {
        started.local.whole = ResumeNext([&] {
            const Bytes bytes = ReadFileBytes(FilePath(url));
            started.local.bytes.assign(bytes.begin(), bytes.end());
        });
    } else {
        started.local.whole = true;  // about:blank and its kin: an empty page
    }
    PostMessageW(hWnd(), UrlFetch::Message(), navigation, 0);
}

void WebBrowser::Arrived(const Fetch& fetch)
{
    // A page longer than the bound shows what came of it.
    const UrlFetch::Reply& reply = fetch.Reply();
    const std::wstring text =
        reply.whole || reply.tooLarge ? DecodePage(reply.bytes, reply.contentType) : CannotShow(fetch.url);
    page_ = web::ReadPage(text);
    chart_ = web::ReadReportChart(text);
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
    if (msg == UrlFetch::Message()) {
        if (wp == navigation_ && pending_ && pending_->Done()) {
            const std::unique_ptr<Fetch> fetch = std::move(pending_);
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
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(hWnd(), &client);
        Paint(reinterpret_cast<HDC>(wp), client);
        return 0;
    }
    case WM_PAINT: {
        gdi::PaintDc dc(hWnd());
        RECT client{};
        GetClientRect(hWnd(), &client);
        if (client.right <= 0 || client.bottom <= 0)
            return 0;
        // Drawn off screen first, so a repaint does not flicker.
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
    if (chart_) {
        ChartPainter(dc, chart_->chart).Paint(client, chart_->kind, chart_->labelAngle);
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    // The fonts of each heading level the page uses, made once a paint, not once a block.
    struct LevelFonts {
        gdi::FontHandle plain, link;
        int lineHeight = 0;
    };
    std::array<LevelFonts, 7> levels;
    int y = kMargin;
    for (const web::PageBlock& block : page_.blocks) {
        if (y >= client.bottom)
            break;
        const int level = std::clamp(block.heading, 0, 6);
        LevelFonts& fonts = levels[static_cast<size_t>(level)];
        if (!fonts.plain) {
            fonts.plain = PageFont(level, false);
            fonts.link = PageFont(level, true);
            gdi::Selection use(dc, fonts.plain);
            TEXTMETRICW tm{};
            GetTextMetricsW(dc, &tm);
            fonts.lineHeight = tm.tmHeight;
        }
        const int lineHeight = fonts.lineHeight;
        int x = kMargin;
        for (const web::PageRun& run : block.runs) {
            gdi::Selection use(dc, run.link ? fonts.link.Get() : fonts.plain.Get());
            SetTextColor(dc, run.link ? kLink : kText);
            for (std::wstring_view piece : Pieces(run.text)) {
                SIZE size{};
                GetTextExtentPoint32W(dc, piece.data(), static_cast<int>(piece.size()), &size);
                if (x + size.cx > client.right - kMargin && x > kMargin) {
                    y += lineHeight;
                    x = kMargin;
                }
                if (x == kMargin && piece == L" ")
                    continue;
                TextOutW(dc, x, y, piece.data(), static_cast<int>(piece.size()));
                x += size.cx;
            }
        }
        y += lineHeight + lineHeight / 2;
    }
}

}  // namespace quill::forms
