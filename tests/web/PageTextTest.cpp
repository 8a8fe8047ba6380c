// A web page's title, body and readable text, as the browser stand-in reads
// them.
#include "forms/web/PageText.h"

#include <gtest/gtest.h>

namespace quill::forms::web {
namespace {

// Blocks as "h1:text" / "p:text", link runs in brackets.
std::vector<std::wstring> Shown(const PageContent& page)
{
    std::vector<std::wstring> out;
    for (const PageBlock& block : page.blocks) {
        std::wstring line = block.heading ? L"h" + std::to_wstring(block.heading) + L":" : L"p:";
        for (const PageRun& run : block.runs)
            line += run.link ? L"[" + run.text + L"]" : run.text;
        out.push_back(line);
    }
    return out;
}

using Lines = std::vector<std::wstring>;

TEST(PageText, HeadingsParagraphsAndLinksWithoutPicturesOrScripts)
{
    const PageContent page = ReadPage(
        L"<html><head><title> Quillmoor  推荐 </title><style>p{color:red}</style>"
        L"<script>document.write('<p>no</p>')</script></head><BODY>"
        L"<h1>本月记账技巧</h1><p>把每一笔投资\n   记下来。</p>"
        L"<p><img src=\"banner.gif\" alt=\"banner\">详情请看<a href=\"index.html\">Quillmoor 首页</a>。</p>"
        L"<!-- <p>hidden</p> --><h3>小结</h3>text<br>more</body></html>");
    EXPECT_EQ(page.title, L"Quillmoor 推荐");
    EXPECT_EQ(Shown(page), (Lines{L"h1:本月记账技巧", L"p:把每一笔投资 记下来。",
                                  L"p:详情请看[Quillmoor 首页]。", L"h3:小结", L"p:text", L"p:more"}));
}

TEST(PageText, EntitiesAndStrayMarks)
{
    const struct {
        const wchar_t* html;
        Lines shown;
    } cases[] = {
        {L"a &amp; b &lt;c&gt; &quot;d&quot; &#20320;&#x597D; &nbsp;e", {L"p:a & b <c> \"d\" 你好 e"}},
        {L"&unknown; &#; &#xZZ; & alone", {L"p:&unknown; &#; &#xZZ; & alone"}},
        {L"1 < 2 and 3 > 2", {L"p:1 < 2 and 3 > 2"}},
        {L"<p>unclosed <a href='x'>link", {L"p:unclosed [link]"}},
        {L"<a title=\"a>b\">quoted</a>", {L"p:[quoted]"}},
        {L"", {}},
        {L"<p>   </p>", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Shown(ReadPage(c.html)), c.shown) << c.html;
}

TEST(PageText, TheBodyElementsMarkup)
{
    const struct {
        const wchar_t* html;
        const wchar_t* body;
    } cases[] = {
        {L"<html><body class=\"x\">\n[set]type=\"1\" [/set]\n</body></html>",
         L"<body class=\"x\">\n[set]type=\"1\" [/set]\n</body>"},
        {L"<HTML><BODY>x</BODY></HTML>", L"<BODY>x</BODY>"},
        {L"<bodyguard>no</bodyguard><body>yes", L"<body>yes"},
        {L"no body at all", L"no body at all"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BodyOuterHtml(c.html), c.body) << c.html;
}

TEST(PageText, TheMetaElementsCharset)
{
    EXPECT_EQ(MetaCharset("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"),
              "gb2312");
    EXPECT_EQ(MetaCharset("<meta charset=\"UTF-8\">"), "utf-8");
    EXPECT_EQ(MetaCharset("<p>none</p>"), "");
}

}  // namespace
}  // namespace quill::forms::web
