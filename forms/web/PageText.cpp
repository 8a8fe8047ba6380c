#include "forms/web/PageText.h"

#include "forms/web/ChartText.h"

#include <algorithm>
#include <cctype>

namespace quill::web {

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f';
}

bool IsLetter(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

wchar_t Lower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring LowerText(std::wstring_view text)
{
    std::wstring out(text);
    for (wchar_t& c : out)
        c = Lower(c);
    return out;
}

// Position of `sought` (lower case) in `text` from `from`, ignoring case.
std::size_t FindNoCase(std::wstring_view text, std::wstring_view sought, std::size_t from = 0)
{
    if (sought.empty() || text.size() < sought.size())
        return std::wstring_view::npos;
    for (std::size_t i = from; i + sought.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < sought.size() && Lower(text[i + k]) == sought[k])
            ++k;
        if (k == sought.size())
            return i;
    }
    return std::wstring_view::npos;
}

// The named references pages commonly use beyond XML's five.
std::wstring DecodeReferences(std::wstring_view text)
{
    static constexpr std::pair<std::wstring_view, std::wstring_view> named[] = {
        {L"&nbsp;", L"\u00A0"},   {L"&copy;", L"\u00A9"},  {L"&reg;", L"\u00AE"},   {L"&middot;", L"\u00B7"},
        {L"&hellip;", L"\u2026"}, {L"&mdash;", L"\u2014"}, {L"&ndash;", L"\u2013"}, {L"&laquo;", L"\u00AB"},
        {L"&raquo;", L"\u00BB"},  {L"&yen;", L"\u00A5"},   {L"&times;", L"\u00D7"},
    };
    if (text.find(L'&') == std::wstring_view::npos)
        return std::wstring(text);
    std::wstring widened;
    widened.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == L'&') {
            for (const auto& [name, value] : named) {
                if (text.substr(i, name.size()) == name) {
                    widened += value;
                    i += name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            widened += text[i++];
    }
    return XmlUnescape(widened);
}

struct Tag {
    std::wstring name;  // lower case
    bool end = false;
    std::wstring href;  // of an "a" start tag
};

// The value of attribute `name` in a start tag's inside.
std::wstring TagAttribute(std::wstring_view inside, std::wstring_view name)
{
    std::size_t i = 0;
    while (i < inside.size()) {
        while (i < inside.size() && (IsBlank(inside[i]) || inside[i] == L'/'))
            ++i;
        const std::size_t start = i;
        while (i < inside.size() && !IsBlank(inside[i]) && inside[i] != L'=' && inside[i] != L'/')
            ++i;
        const std::wstring attr = LowerText(inside.substr(start, i - start));
        while (i < inside.size() && IsBlank(inside[i]))
            ++i;
        std::wstring value;
        if (i < inside.size() && inside[i] == L'=') {
            ++i;
            while (i < inside.size() && IsBlank(inside[i]))
                ++i;
            if (i < inside.size() && (inside[i] == L'"' || inside[i] == L'\'')) {
                const wchar_t quote = inside[i++];
                const std::size_t close = inside.find(quote, i);
                const std::size_t stop = close == std::wstring_view::npos ? inside.size() : close;
                value = inside.substr(i, stop - i);
                i = stop == inside.size() ? stop : stop + 1;
            } else {
                const std::size_t from = i;
                while (i < inside.size() && !IsBlank(inside[i]))
                    ++i;
                value = inside.substr(from, i - from);
            }
        }
        if (attr == name)
            return DecodeReferences(value);
        if (start == i)
            ++i;  // a character that starts nothing
    }
    return {};
}

bool IsBlockTag(const std::wstring& name)
{
    static constexpr std::wstring_view blocks[] = {
        L"p",    L"div",  L"br",      L"hr",      L"li",      L"ul",      L"ol",       L"table",      L"tr",
        L"h1",   L"h2",   L"h3",      L"h4",      L"h5",      L"h6",      L"center",   L"blockquote", L"pre",
        L"form", L"dl",   L"dt",      L"dd",      L"section", L"article", L"header",   L"footer",     L"nav",
        L"body", L"html", L"caption", L"address", L"main",    L"aside",   L"fieldset", L"legend",
    };
    return std::find(std::begin(blocks), std::end(blocks), name) != std::end(blocks);
}

int HeadingLevel(const std::wstring& name)
{
    if (name.size() == 2 && name[0] == L'h' && name[1] >= L'1' && name[1] <= L'6')
        return name[1] - L'0';
    return 0;
}

class PageBuilder {
public:
    void Text(std::wstring_view raw)
    {
        const std::wstring text = DecodeReferences(raw);
        for (wchar_t c : text) {
            if (IsBlank(c)) {
                Separate();
                continue;
            }
            if (c == L'\u00A0')
                c = L' ';  // a fixed blank shows as a blank, but is not collapsed
            if (pendingBlank_ && HasText())
                Append(L' ', blankLink_, blankHref_);
            pendingBlank_ = false;
            Append(c, link_, href_);
        }
    }
    void Break(int heading = 0)
    {
        Close();
        current_.heading = heading;
    }
    void Link(std::wstring href)
    {
        link_ = !href.empty();
        href_ = std::move(href);
    }
    void EndLink()
    {
        link_ = false;
        href_.clear();
    }
    // A blank shows where the text that brought it stood (outside a link
    // that begins after it).
    void Separate()
    {
        if (!pendingBlank_) {
            blankLink_ = link_;
            blankHref_ = href_;
        }
        pendingBlank_ = true;
    }
    PageContent Finish(std::wstring title)
    {
        Close();
        content_.title = std::move(title);
        return std::move(content_);
    }

private:
    bool HasText() const { return !current_.runs.empty(); }
    void Append(wchar_t c, bool link, const std::wstring& href)
    {
        if (current_.runs.empty() || current_.runs.back().link != link || current_.runs.back().href != href)
            current_.runs.push_back({{}, link, href});
        current_.runs.back().text += c;
    }
    void Close()
    {
        // Trailing blanks were never written: a blank waits for the next character.
        if (HasText())
            content_.blocks.push_back(std::move(current_));
        current_ = {};
        pendingBlank_ = false;
    }

    PageContent content_;
    PageBlock current_;
    bool link_ = false;
    std::wstring href_;
    bool pendingBlank_ = false;
    bool blankLink_ = false;
    std::wstring blankHref_;
};

}  // namespace

PageContent ReadPage(std::wstring_view html)
{
    PageBuilder page;
    std::wstring title;
    bool inHead = false;
    std::size_t i = 0;
    std::size_t textStart = 0;
    auto flushText = [&](std::size_t end) {
        if (!inHead && end > textStart)
            page.Text(html.substr(textStart, end - textStart));
    };
    while (i < html.size()) {
        if (html[i] != L'<') {
            ++i;
            continue;
        }
        const std::size_t next = i + 1;
        if (html.substr(i, 4) == L"<!--") {
            flushText(i);
            const std::size_t close = html.find(L"-->", i + 4);
            i = close == std::wstring_view::npos ? html.size() : close + 3;
            textStart = i;
            continue;
        }
        const bool end = next < html.size() && html[next] == L'/';
        const std::size_t nameStart = end ? next + 1 : next;
        if (next < html.size() && (html[next] == L'!' || html[next] == L'?')) {
            flushText(i);
            const std::size_t close = html.find(L'>', i);
            i = close == std::wstring_view::npos ? html.size() : close + 1;
            textStart = i;
            continue;
        }
        if (nameStart >= html.size() || !IsLetter(html[nameStart])) {
            ++i;  // a "<" that starts no tag is text
            continue;
        }
        flushText(i);
        std::size_t j = nameStart;
        while (j < html.size() && (IsLetter(html[j]) || (html[j] >= L'0' && html[j] <= L'9')))
            ++j;
        Tag tag;
        tag.name = LowerText(html.substr(nameStart, j - nameStart));
        tag.end = end;
        // The tag ends at the first ">" outside quotes.
        wchar_t quote = 0;
        std::size_t k = j;
        for (; k < html.size(); ++k) {
            if (quote) {
                if (html[k] == quote)
                    quote = 0;
            } else if (html[k] == L'"' || html[k] == L'\'') {
                quote = html[k];
            } else if (html[k] == L'>') {
                break;
            }
        }
        const std::wstring_view inside = html.substr(j, k - j);
        i = k < html.size() ? k + 1 : html.size();
        textStart = i;

        if (!end && (tag.name == L"script" || tag.name == L"style" || tag.name == L"title" ||
                     tag.name == L"textarea")) {
            // Raw text up to the element's end tag.
            const std::size_t close = FindNoCase(html, L"</" + tag.name, i);
            const std::size_t stop = close == std::wstring_view::npos ? html.size() : close;
            if (tag.name == L"title") {
                PageBuilder heading;
                heading.Text(html.substr(i, stop - i));
                PageContent t = heading.Finish({});
                if (!t.blocks.empty())
                    for (const PageRun& run : t.blocks[0].runs)
                        title += run.text;
            }
            const std::size_t gt = stop == html.size() ? stop : html.find(L'>', stop);
            i = gt == std::wstring_view::npos ? html.size() : gt + 1;
            textStart = i;
            continue;
        }
        if (tag.name == L"head") {
            inHead = !end;
            continue;
        }
        if (tag.name == L"body") {
            inHead = false;
        }
        if (const int level = HeadingLevel(tag.name)) {
            page.Break(end ? 0 : level);
        } else if (IsBlockTag(tag.name)) {
            page.Break();
        } else if (tag.name == L"a") {
            if (end)
                page.EndLink();
            else
                page.Link(TagAttribute(inside, L"href"));
        } else if (tag.name == L"td" || tag.name == L"th") {
            page.Separate();
        }
    }
    flushText(html.size());
    return page.Finish(std::move(title));
}

std::wstring BodyOuterHtml(std::wstring_view html)
{
    std::size_t start = std::wstring_view::npos;
    for (std::size_t at = FindNoCase(html, L"<body"); at != std::wstring_view::npos;
         at = FindNoCase(html, L"<body", at + 1)) {
        const std::size_t after = at + 5;
        if (after >= html.size() || IsBlank(html[after]) || html[after] == L'>' || html[after] == L'/') {
            start = at;
            break;
        }
    }
    if (start == std::wstring_view::npos) {
        const std::size_t head = FindNoCase(html, L"</head>");
        const std::wstring_view rest = head == std::wstring_view::npos ? html : html.substr(head + 7);
        return L"<body>" + std::wstring(rest) + L"</body>";
    }
    const std::size_t close = FindNoCase(html, L"</body", start);
    if (close == std::wstring_view::npos)
        return std::wstring(html.substr(start));
    const std::size_t gt = html.find(L'>', close);
    return std::wstring(html.substr(start, (gt == std::wstring_view::npos ? html.size() : gt + 1) - start));
}

std::string MetaCharset(std::string_view bytes)
{
    std::string head(bytes.substr(0, 4096));
    for (char& c : head)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::size_t at = 0;
    while ((at = head.find("charset", at)) != std::string::npos) {
        // Only inside a meta element.
        const std::size_t meta = head.rfind("<meta", at);
        const std::size_t tagEnd = head.rfind('>', at);
        at += 7;
        if (meta == std::string::npos || (tagEnd != std::string::npos && tagEnd > meta))
            continue;
        std::size_t i = at;
        while (i < head.size() && (head[i] == ' ' || head[i] == '='))
            ++i;
        if (i < head.size() && (head[i] == '"' || head[i] == '\''))
            ++i;
        std::string name;
        while (i < head.size() && (std::isalnum(static_cast<unsigned char>(head[i])) || head[i] == '-' ||
                                   head[i] == '_' || head[i] == ':' || head[i] == '.'))
            name += head[i++];
        if (!name.empty())
            return name;
    }
    return {};
}

}  // namespace quill::web
