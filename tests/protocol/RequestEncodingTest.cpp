// The request body on the wire and the decoding of the reply.
#include "protocol/RequestEncoding.h"

#include "forms/lang/Ansi.h"
#include "forms/lang/Text.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace quill::protocol {
namespace {

TEST(UrlEncodeAnsi, TheBodyEncoding)
{
    const struct {
        std::wstring body;
        std::wstring encoded;
    } cases[] = {
        {L"a b+c=1", L"a%20b%2Bc=1"},
        {L"\u8BB0\u8D26", L"%BC%C7%D5%CB"},
        {L"do=login&username=demo&password=62cc&v=1.3&session=-5",
         L"do=login&username=demo&password=62cc&v=1.3&session=-5"},
        {L"&=%#\r\n~", L"&=%#\r\n~"},  // the structure characters stay
        {L"\u20AC", L"%80"},           // one code-page byte from 80
        {L"\uF8F5", L"%FF"},
        {L"\u00F1", L"?"},  // not in the code page
        {std::wstring(L"\xD83D\xDE00", 2), L"??"},
        {L"\u00E9", L"%A8%A6"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlEncodeAnsi(c.body), c.encoded) << c.body;
}

TEST(UrlEncodeAnsi, NoLengthLimit)
{
    const std::wstring body = L"v12=" + std::wstring(40000, L'x') + L"\u8BB0";
    const std::wstring encoded = UrlEncodeAnsi(body);
    EXPECT_EQ(encoded.size(), body.size() - 1 + 6);
    EXPECT_EQ(encoded.substr(encoded.size() - 6), L"%BC%C7");
}

TEST(EscapeFieldValue, EscapesWhatWouldSplitOrInjectFields)
{
    const struct {
        const wchar_t* value;
        const wchar_t* escaped;
    } cases[] = {
        {L"a&b=c", L"a%26b%3Dc"},
        {L"100%", L"100%25"},
        {L"x+y", L"x%2By"},
        {L"#1", L"%231"},
        {L"a\r\nb", L"a%0D%0Ab"},
        {L"\t\x7F", L"%09%7F"},
        {L"\u8BB0 \u8D26", L"\u8BB0 \u8D26"},
        {L"a,b|c:d?", L"a,b|c:d?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeFieldValue(c.value), c.escaped) << c.value;
}

// The service splits the body at "&", then at the first "=", and reads the
// percent escapes as code-page bytes.
std::map<std::wstring, std::wstring> ServiceFields(const std::wstring& wire)
{
    std::map<std::wstring, std::wstring> fields;
    for (const std::wstring& piece : forms::Split(wire, L"&")) {
        const long at = forms::InStr(piece, L"=");
        std::string bytes;
        const std::wstring value = piece.substr(static_cast<size_t>(at));
        for (size_t i = 0; i < value.size(); ++i) {
            if (value[i] == L'%' && i + 2 < value.size()) {
                bytes += static_cast<char>(
                    std::stoi(std::string(value.begin() + i + 1, value.begin() + i + 3), nullptr, 16));
                i += 2;
            } else {
                bytes += static_cast<char>(value[i]);
            }
        }
        fields[piece.substr(0, static_cast<size_t>(at - 1))] = forms::AnsiToText(bytes);
    }
    return fields;
}

TEST(EscapeFieldValue, TheServiceReceivesExactlyWhatWasTyped)
{
    const std::wstring typed = L"A&B=1 + 50% #\u7B2C2\u671F\r\n\u00E9";  // "第2期" and a line break
    const std::wstring body = L"do=add&username=" + EscapeFieldValue(L"de mo") + L"&v2=" +
                              EscapeFieldValue(typed) + L"&v12=" + EscapeFieldValue(L"x") + L"&session=42";
    const auto fields = ServiceFields(UrlEncodeAnsi(body));
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_EQ(fields.at(L"do"), L"add");
    EXPECT_EQ(fields.at(L"username"), L"de mo");
    EXPECT_EQ(fields.at(L"v2"), typed);
    EXPECT_EQ(fields.at(L"v12"), L"x");
    EXPECT_EQ(fields.at(L"session"), L"42");
}

TEST(BytesToText, Gb2312RepliesAreCodePage936)
{
    const std::string reply =
        "\xD1\xDD\xCA\xBE\xD3\xC3\xBB\xA7|1000|25.5[]201512:3:12.5:0:0|";  // 演示用户|...
    EXPECT_EQ(BytesToText(reply, L"GB2312"), L"\u6F14\u793A\u7528\u6237|1000|25.5[]201512:3:12.5:0:0|");
    EXPECT_EQ(BytesToText(reply, L"gb2312"), BytesToText(reply, L"GB2312"));
    EXPECT_EQ(BytesToText("\xBC\xC7\x81", L"GBK"), L"\u8BB0?");
    EXPECT_EQ(BytesToText("", L"GB2312"), L"");
    EXPECT_EQ(BytesToText("abc", L"x-unknown"), L"");
}

}  // namespace
}  // namespace quill::protocol
