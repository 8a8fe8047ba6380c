// A web page as the browser shows it without a layout engine: its readable
// text in blocks (headings, paragraphs, list items), links kept as runs of
// their own, pictures, scripts and styles left out. Also the body element's
// markup, as a script reads it from the document.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::web {

struct PageRun {
    std::wstring text;
    bool link = false;
    std::wstring href;  // of a link
};

struct PageBlock {
    int heading = 0;  // 1 to 6 for a heading, 0 for other text
    std::vector<PageRun> runs;
};

struct PageContent {
    std::wstring title;
    std::vector<PageBlock> blocks;
};

// Blanks are collapsed as a browser collapses them, character references are
// decoded, and a block holds at least one run with visible text.
PageContent ReadPage(std::wstring_view html);

// The body element's markup from its start tag to the end of its end tag;
// without a body start tag, "<body>" + what follows the head (or the whole
// text) + "</body>"; an unclosed body runs to the end of the text.
std::wstring BodyOuterHtml(std::wstring_view html);

// The character set a page's bytes name in a meta element in their first
// kilobytes ("gb2312", "utf-8"...), in lower case; "" when none is named.
std::string MetaCharset(std::string_view bytes);

}  // namespace quill::web
