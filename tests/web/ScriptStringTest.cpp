#include "forms/web/ScriptString.h"

#include <gtest/gtest.h>

using namespace quill::web;

namespace {

TEST(ScriptString, EscapesWhatWouldEndTheStringOrTheScript)
{
    const struct {
        const wchar_t* text;
        const wchar_t* body;
    } cases[] = {
        {L"plain text 123", L"plain text 123"},
        {L"it's", L"it\\'s"},
        {L"say \"x\"", L"say \\\"x\\\""},
        {L"a\\b", L"a\\\\b"},
        {L"line\r\nbreak", L"line\\r\\nbreak"},
        {L"</script><b>&", L"\\u003C/script\\u003E\\u003Cb\\u003E\\u0026"},
        {L"账号", L"\\u8D26\\u53F7"},
        {L"\t\x7f", L"\\u0009\\u007F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScriptStringBody(c.text), c.body) << c.text;
        const std::wstring quoted = L"'" + ScriptStringBody(c.text) + L"'";
        size_t pos = 0;
        EXPECT_EQ(ReadScriptString(quoted, pos), std::wstring(c.text));
        EXPECT_EQ(pos, quoted.size());
    }
}

TEST(ScriptString, ReadsTheStringAtAPlace)
{
    const std::wstring text = L"x:  \"a\\x41\\u0042\\q\" , 'b'";
    size_t pos = 2;
    EXPECT_EQ(ReadScriptString(text, pos), std::wstring(L"aABq"));
    EXPECT_EQ(text[pos], L' ');
    pos = text.find(L',') + 1;
    EXPECT_EQ(ReadScriptString(text, pos), std::wstring(L"b"));

    for (const wchar_t* broken :
         {L"'open", L"no quote", L"'bad \\u12'", L"'bad \\xZ1'", L"'a\nb'", L"'end\\", L""}) {
        size_t at = 0;
        EXPECT_FALSE(ReadScriptString(broken, at)) << broken;
        EXPECT_EQ(at, 0u);
    }
}

}  // namespace
