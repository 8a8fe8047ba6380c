#include "forms/web/PageText.h"

#include <gtest/gtest.h>

using namespace quill::web;

namespace {

// Each block as "h<level>:" or "p:" and its runs, links in [brackets].
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

TEST(PageText, HeadingsParagraphsAndLinks)
{
    const PageContent page = ReadPage(
        L"<!DOCTYPE html><html><head><title> Notice &amp; news </title><style>p{color:red}</style>"
        L"<script>var a = '<p>not text</p>';</script></head><body>\n"
        L"<h1>Welcome</h1><p>Read   the\n <a href=\"http://x/y?a=1&amp;b=2\">terms</a>, then"
        L" <img src=\"a.png\" alt=\"picture\">go on.</p><!-- a <p>comment</p> -->"
        L"<ul><li>one</li><li>two&nbsp;&nbsp;three</li></ul>tail<br>after &lt;br&gt; &#x4E2D;</body></html>");
    EXPECT_EQ(page.title, L"Notice & news");
    const std::vector<std::wstring> expected{L"h1:Welcome", L"p:Read the [terms], then go on.",
                                             L"p:one",      L"p:two  three",
                                             L"p:tail",     L"p:after <br> 中"};
    EXPECT_EQ(Shown(page), expected);
    ASSERT_EQ(page.blocks[1].runs.size(), 3u);
    EXPECT_EQ(page.blocks[1].runs[1].href, L"http://x/y?a=1&b=2");
}

TEST(PageText, BrokenMarkupStillGivesText)
{
    EXPECT_EQ(Shown(ReadPage(L"a < b and 1<2 <p class='x>y'>c")),
              (std::vector<std::wstring>{L"p:a < b and 1<2", L"p:c"}));
    EXPECT_EQ(Shown(ReadPage(L"<script>never closed")), std::vector<std::wstring>{});
    EXPECT_EQ(Shown(ReadPage(L"<b>bold <i>and</b> open")), std::vector<std::wstring>{L"p:bold and open"});
    EXPECT_EQ(Shown(ReadPage(L"<table><tr><td>a</td><td>b</td></tr></table>")),
              std::vector<std::wstring>{L"p:a b"});
    EXPECT_TRUE(ReadPage(L"").blocks.empty());
    EXPECT_TRUE(ReadPage(L"<p>   </p><div>\n</div>").blocks.empty());
}

TEST(PageText, TheBodyElement)
{
    EXPECT_EQ(BodyOuterHtml(
                  L"<html><head><title>t</title></head><BODY class=x>[set] type=\"1\"[/set]</BODY></html>"),
              L"<BODY class=x>[set] type=\"1\"[/set]</BODY>");
    EXPECT_EQ(BodyOuterHtml(L"<html><head></head>plain</html>"), L"<body>plain</html></body>");
    EXPECT_EQ(BodyOuterHtml(L"just text"), L"<body>just text</body>");
    EXPECT_EQ(BodyOuterHtml(L"<bodyguard>x<body>y"), L"<body>y");
}

TEST(PageText, TheCharsetAMetaElementNames)
{
    EXPECT_EQ(MetaCharset("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=GB2312\">"),
              "gb2312");
    EXPECT_EQ(MetaCharset("<html><head><META charset='utf-8'/>"), "utf-8");
    EXPECT_EQ(MetaCharset("<p>charset=utf-8 in the text</p>"), "");
    EXPECT_EQ(MetaCharset(""), "");
}

}  // namespace
