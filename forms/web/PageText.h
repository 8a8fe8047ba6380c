// What a web page says, for a browser without an engine: the page's title,
// the markup of its body element, and its readable text as blocks
// (headings, paragraphs) of runs (plain text or link text); pictures,
// scripts and styles are left out. Lenient as browsers are: any text gives
// a result, unclosed elements and unknown entities included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::forms::web {

struct PageRun {
    std::wstring text;
    bool link = false;
};

struct PageBlock {
    int heading = 0;  // 1 to 6 for h1 to h6, 0 for other text
    std::vector<PageRun> runs;
};

struct PageContent {
    std::wstring title;
    std::vector<PageBlock> blocks;
};

PageContent ReadPage(std::wstring_view html);

// The body element from "<body" to the end of "</body>" (letter case
// ignored); to the end of the text when it is not closed; the whole text
// when the page has no body element.
std::wstring BodyOuterHtml(std::wstring_view html);

// The charset a page's meta element names ("gb2312"), "" for none; read from
// the raw bytes before they are decoded.
std::string MetaCharset(std::string_view bytes);

}  // namespace quill::forms::web
