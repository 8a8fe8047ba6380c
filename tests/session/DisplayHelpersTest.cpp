// Repayment types and the attribute reader.
#include "session/GetAttrValue.h"
#include "session/RepayType.h"

#include "forms/lang/Ansi.h"
#include "tests/support/WholeFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace quill::session {
namespace {

TEST(RepayType, NamesAndCodesGoBothWays)
{
    const struct {
        int code;
        const wchar_t* name;
    } cases[] = {
        {1, L"到期还本息"},       {2, L"等额本息"},         {3, L"等额本金"},
        {4, L"按月还息到期还本"}, {5, L"按月还息按季还本"}, {6, L"标满付息到期还本"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RepayTypeName(c.code), c.name) << c.code;
        EXPECT_EQ(RepayTypeCode(c.name), c.code) << c.code;
    }
}

TEST(RepayType, UnknownCodesAndNames)
{
    for (int code : {0, 7, -1, 2147483647})
        EXPECT_EQ(RepayTypeName(code), L"未知类型，请升级程序") << code;
    for (const wchar_t* name : {L"等额本息 ", L" 等额本息", L"", L"未知类型，请升级程序", L"等额"})
        EXPECT_EQ(RepayTypeCode(name), -1) << name;
}

TEST(GetAttrValue, Cases)
{
    const struct {
        const wchar_t* name;
        const wchar_t* source;
        const wchar_t* value;
    } cases[] = {
        {L"caption", L"<chart caption=\"账号概览\" yAxisName=\"元\">", L"账号概览"},
        {L"yaxisname", L"<chart caption=\"账号概览\" yAxisName=\"元\">", L"元"},
        {L"caption", L"<chart CAPTION=\"Upper\">", L"Upper"},
        {L"CAPTION", L"<chart caption=\"lower\">", L"lower"},
        {L"caption", L"<chart title=\"x\">", L""},
        {L"caption", L"", L""},
        {L"title", L"[set]title=\"unterminated [/set]", L"unterminated [/set]"},
        {L"title", L"title=\"\" url=\"u\"", L""},
        // Matched as the tail of a longer name, and the first match wins.
        {L"name", L"<set dataname=\"first\" name=\"second\"/>", L"first"},
        // The quote must follow "=" at once.
        {L"url", L"url = \"spaced\" url=\"tight\"", L"tight"},
        // No entity is decoded.
        {L"title", L"title=\"a&quot;b\"", L"a&quot;b"},
        {L"width", L"[set]type=\"1\" width=\"400\" height=\"300\" [/set]", L"400"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetAttrValue(c.name, c.source), c.value) << c.name << L" in " << c.source;
}

TEST(GetAttrValue, ANameBeyondCharacter32767IsNotFound)
{
    const std::wstring tail = L"url=\"far\"";
    EXPECT_EQ(GetAttrValue(L"url", std::wstring(32766, L' ') + tail), L"far");  // starts at 32767
    EXPECT_EQ(GetAttrValue(L"url", std::wstring(32767, L' ') + tail), L"");     // starts at 32768
}

// Notice pages captured from the reference service, decoded as the client does.
std::wstring CapturedReply(const std::string& name)
{
    const std::string bytes =
        test::ReadWholeFile(std::string(QUILL_SOURCE_DIR) + "/tests/fuzz/seeds/replies/" + name);
    EXPECT_FALSE(bytes.empty()) << name;
    return forms::AnsiToText(bytes);
}

TEST(GetAttrValue, ReadsTheServicesNoticeBlock)
{
    const std::wstring page = CapturedReply("notice.txt");
    EXPECT_EQ(GetAttrValue(L"type", page), L"1");
    EXPECT_EQ(GetAttrValue(L"showtime", page), L"10");
    EXPECT_EQ(GetAttrValue(L"title", page), L"系统维护通知");
    EXPECT_EQ(GetAttrValue(L"url", page), L"http://127.0.0.1/notice.html");
    EXPECT_EQ(GetAttrValue(L"width", page), L"400");
    EXPECT_EQ(GetAttrValue(L"height", page), L"300");

    const std::wstring odd = CapturedReply("notice-odd.txt");
    EXPECT_EQ(GetAttrValue(L"type", odd), L"2");
    EXPECT_EQ(GetAttrValue(L"name", odd), L"x");
    EXPECT_EQ(GetAttrValue(L"title", odd), L"unterminated [/set]\n</body></html>\n");
    EXPECT_EQ(GetAttrValue(L"url", odd), L"");
}

}  // namespace
}  // namespace quill::session
