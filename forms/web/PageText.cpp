#include "forms/web/PageText.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cwctype>

namespace quill::forms::web {
namespace {

wchar_t Lower(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring LowerText(std::wstring_view text)
{
    std::wstring out(text);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

size_t FindNoCase(std::wstring_view text, std::wstring_view sought, size_t from = 0)
{
    if (sought.empty() || text.size() < sought.size())
        return std::wstring_view::npos;
    for (size_t i = from; i + sought.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < sought.size() && Lower(text[i + k]) == Lower(sought[k]))
            ++k;
        if (k == sought.size())
            return i;
    }
    return std::wstring_view::npos;
}

bool Space(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f';
}

// "&amp;", "&#20320;", "&#x4F60;" and the common names; anything else stays
// as written.
std::wstring DecodeEntities(std::wstring_view text)
{
    static const struct {
        std::wstring_view name;
        wchar_t c;
    } named[] = {{L"amp", L'&'},   {L"lt", L'<'},   {L"gt", L'>'},        {L"quot", L'"'},
                 {L"apos", L'\''}, {L"nbsp", L' '}, {L"copy", L'\u00A9'}, {L"middot", L'\u00B7'}};
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'&') {
            out += text[i];
            continue;
        }
        const size_t end = text.find(L';', i);
        if (end == std::wstring_view::npos || end - i > 10) {
            out += text[i];
            continue;
        }
        const std::wstring_view name = text.substr(i + 1, end - i - 1);
        bool done = false;
        if (name.size() >= 2 && name[0] == L'#') {
            const bool hex = name[1] == L'x' || name[1] == L'X';
            std::uint32_t value = 0;
            bool digits = name.size() > (hex ? 2u : 1u);
            for (size_t k = hex ? 2 : 1; k < name.size() && digits; ++k) {
                const wchar_t d = Lower(name[k]);
                const int v = d >= L'0' && d <= L'9'          ? d - L'0'
                              : hex && d >= L'a' && d <= L'f' ? d - L'a' + 10
                                                              : -1;
                digits = v >= 0 && value < 0x110000;
                value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(std::max(v, 0));
            }
            if (digits && value > 0 && value < 0x110000) {
                if (value >= 0x10000) {
                    value -= 0x10000;
                    out += static_cast<wchar_t>(0xD800 + (value >> 10));
                    out += static_cast<wchar_t>(0xDC00 + (value & 0x3FF));
                } else {
                    out += static_cast<wchar_t>(value);
                }
                done = true;
            }
        } else {
            for (const auto& n : named)
                if (LowerText(name) == n.name) {
                    out += n.c;
                    done = true;
                    break;
                }
        }
        if (done)
            i = end;
        else
            out += text[i];
    }
    return out;
}

class Reader {
public:
    PageContent Read(std::wstring_view html)
    {
        size_t i = 0;
        while (i < html.size()) {
            if (html[i] != L'<') {
                const size_t next = std::min(html.find(L'<', i), html.size());
                Text(html.substr(i, next - i));
                i = next;
                continue;
            }
            if (html.substr(i, 4) == L"<!--") {
                const size_t end = html.find(L"-->", i + 4);
                i = end == std::wstring_view::npos ? html.size() : end + 3;
                continue;
            }
            i = Tag(html, i);
        }
        EndBlock();
        return std::move(page_);
    }

private:
    // The tag at `at` ("<" ...); returns where reading goes on.
    size_t Tag(std::wstring_view html, size_t at)
    {
        size_t end = at + 1;
        wchar_t quote = 0;
        while (end < html.size() && (quote || html[end] != L'>')) {
            if (quote && html[end] == quote)
                quote = 0;
            else if (!quote && (html[end] == L'"' || html[end] == L'\''))
                quote = html[end];
            ++end;
        }
        const std::wstring_view inside = html.substr(at + 1, std::min(end, html.size()) - at - 1);
        const size_t after = std::min(end + 1, html.size());
        const bool closing = !inside.empty() && inside[0] == L'/';
        size_t n = closing ? 1 : 0;
        while (n < inside.size() && (std::iswalnum(inside[n]) || inside[n] == L'!'))
            ++n;
        const std::wstring name = LowerText(inside.substr(closing ? 1 : 0, n - (closing ? 1 : 0)));
        if (name.empty()) {
            Text(L"<");  // a "<" that opens no tag is text
            return at + 1;
        }
        if (!closing && (name == L"script" || name == L"style" || name == L"title")) {
            const size_t close = FindNoCase(html, L"</" + name, after);
            const size_t stop = close == std::wstring_view::npos ? html.size() : close;
            if (name == L"title")
                page_.title = Collapse(DecodeEntities(html.substr(after, stop - after)));
            if (close == std::wstring_view::npos)
                return html.size();
            const size_t gt = html.find(L'>', close);
            return gt == std::wstring_view::npos ? html.size() : gt + 1;
        }
        if (name.size() == 2 && name[0] == L'h' && name[1] >= L'1' && name[1] <= L'6') {
            EndBlock();
            heading_ = closing ? 0 : name[1] - L'0';
        } else if (name == L"p" || name == L"div" || name == L"br" || name == L"li" || name == L"tr" ||
                   name == L"table" || name == L"ul" || name == L"ol" || name == L"body" || name == L"hr") {
            EndBlock();
        } else if (name == L"a") {
            link_ = !closing;
        }
        return after;
    }

    static std::wstring Collapse(std::wstring_view text)
    {
        std::wstring out;
        bool space = false;
        for (wchar_t c : text) {
            if (Space(c)) {
                space = true;
                continue;
            }
            if (space && !out.empty())
                out += L' ';
            space = false;
            out += c;
        }
        return out;
    }

    void Text(std::wstring_view raw)
    {
        const std::wstring decoded = DecodeEntities(raw);
        for (wchar_t c : decoded) {
            if (Space(c)) {
                pendingSpace_ = true;
                continue;
            }
            // A space between two runs stays with the first.
            if (pendingSpace_ && !block_.runs.empty())
                block_.runs.back().text += L' ';
            pendingSpace_ = false;
            Append(c);
        }
    }

    void Append(wchar_t c)
    {
        if (block_.runs.empty() || block_.runs.back().link != link_)
            block_.runs.push_back({{}, link_});
        block_.runs.back().text += c;
    }

    void EndBlock()
    {
        if (!block_.runs.empty()) {
            block_.heading = heading_;
            page_.blocks.push_back(std::move(block_));
        }
        block_ = PageBlock{};
        pendingSpace_ = false;
    }

    PageContent page_;
    PageBlock block_;
    int heading_ = 0;
    bool link_ = false;
    bool pendingSpace_ = false;
};

}  // namespace

PageContent ReadPage(std::wstring_view html)
{
    return Reader().Read(html);
}

std::wstring BodyOuterHtml(std::wstring_view html)
{
    size_t start = FindNoCase(html, L"<body");
    while (start != std::wstring_view::npos && start + 5 < html.size() && std::iswalnum(html[start + 5]))
        start = FindNoCase(html, L"<body", start + 5);
    if (start == std::wstring_view::npos)
        return std::wstring(html);
    const size_t close = FindNoCase(html, L"</body>", start);
    if (close == std::wstring_view::npos)
        return std::wstring(html.substr(start));
    return std::wstring(html.substr(start, close + 7 - start));
}

std::string MetaCharset(std::string_view bytes)
{
    // The name after "charset=" in the page's head, as ASCII.
    std::string lower(bytes.substr(0, std::min<size_t>(bytes.size(), 4096)));
    for (char& c : lower)
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    const size_t at = lower.find("charset=");
    if (at == std::string::npos)
        return {};
    size_t begin = at + 8;
    if (begin < lower.size() && (lower[begin] == '"' || lower[begin] == '\''))
        ++begin;
    size_t end = begin;
    while (end < lower.size() &&
           (std::isalnum(static_cast<unsigned char>(lower[end])) || lower[end] == '-' || lower[end] == '_'))
        ++end;
    return lower.substr(begin, end - begin);
}

}  // namespace quill::forms::web
