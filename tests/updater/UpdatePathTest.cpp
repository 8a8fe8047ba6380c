// Which relative paths from the network are accepted, what they become, and
// which of them name the same file.
#include "updater/UpdatePath.h"

#include "forms/lang/Ansi.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quill::updater {
namespace {

TEST(UpdatePath, PlainRelativePathsAreAccepted)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* windows;
        const wchar_t* url;
    } cases[] = {
        {L"tallivo.exe", L"tallivo.exe", L"tallivo.exe"},
        {L"update.ocx", L"update.ocx", L"update.ocx"},
        {L"sub/dir/a.dll", L"sub\\dir\\a.dll", L"sub/dir/a.dll"},
        {L"sub\\dir\\a.dll", L"sub\\dir\\a.dll", L"sub/dir/a.dll"},
        {L"sub/dir\\a.dll", L"sub\\dir\\a.dll", L"sub/dir/a.dll"},
        {L".hidden", L".hidden", L".hidden"},
        {L"a..b", L"a..b", L"a..b"},
        {L" lead", L" lead", L"%20lead"},
        {L"说明 1.txt", L"说明 1.txt", L"%E8%AF%B4%E6%98%8E%201.txt"},
        {L"a#b%c&d+e;f=g@h[i]j{k}l'm,n!o$p(q)r~s_t-u", L"a#b%c&d+e;f=g@h[i]j{k}l'm,n!o$p(q)r~s_t-u",
         L"a%23b%25c%26d%2Be%3Bf%3Dg%40h%5Bi%5Dj%7Bk%7Dl%27m%2Cn%21o%24p%28q%29r~s_t-u"},
        {L"console.dll", L"console.dll", L"console.dll"},  // no device: a longer name
        {L"com10.dll", L"com10.dll", L"com10.dll"},
        {L"lpt.dll", L"lpt.dll", L"lpt.dll"},
        {L"Ｃ：.dll", L"Ｃ：.dll", L"%EF%BC%A3%EF%BC%9A.dll"},  // full-width letters are plain characters
    };
    for (const Case& c : cases) {
        const auto path = UpdatePath::Parse(c.path);
        ASSERT_TRUE(path) << forms::TextToAnsi(c.path);
        EXPECT_EQ(path->WindowsPath(), c.windows);
        EXPECT_EQ(path->UrlPath(), c.url);
    }
}

TEST(UpdatePath, EverythingElseIsRefused)
{
    const std::wstring refused[] = {
        L"",
        L"../escape.dll",
        L"..\\escape.dll",
        L"sub/../../escape.dll",
        L"sub/..",
        L"./dot.dll",
        L"sub/./a.dll",
        L".",
        L"C:/escape.dll",
        L"C:escape.dll",
        L"c:\\windows\\system32\\x.dll",
        L"/escape.dll",
        L"\\escape.dll",
        L"\\\\host\\share\\escape.dll",
        L"\\\\?\\C:\\x.dll",
        L"sub//double.dll",
        L"sub/",
        L"stream.dll:evil",
        L"con",
        L"CON.dll",
        L"aux",
        L"nul.txt",
        L"Nul",
        L"prn.x.y",
        L"com1.dll",
        L"COM9",
        L"lpt1",
        L"LPT9.txt",
        L"com\u00B9",
        L"conin$",
        L"CONOUT$.txt",
        L"con .txt",
        L"sub/con/a.dll",
        L"a*.dll",
        L"a?.dll",
        L"a<b.dll",
        L"a>b.dll",
        L"a\"b.dll",
        L"a|b.dll",
        L"tab\there.dll",
        L"line\nbreak.dll",
        std::wstring(L"nul\0char.dll", 12),
        L"del\x7F.dll",
        L"trail.dll.",
        L"trail.dll ",
        L"sub./a.dll",
        L"sub /a.dll",
        L"...",
        std::wstring(256, L'a'),
        std::wstring(200, L'a') + L"/" + std::wstring(59, L'b'),
    };
    for (const std::wstring& path : refused)
        EXPECT_FALSE(UpdatePath::Parse(path)) << forms::TextToAnsi(path);
    EXPECT_TRUE(UpdatePath::Parse(std::wstring(255, L'a')));
    EXPECT_TRUE(UpdatePath::Parse(std::wstring(200, L'a') + L"/" + std::wstring(58, L'b')));
}

TEST(UpdatePath, TheSameFileByCaseAndSeparator)
{
    const wchar_t* same[] = {L"sub/dir/a.dll", L"SUB\\DIR\\A.DLL", L"Sub/dir\\A.dll", L"sub\\dir/a.DLL"};
    std::set<std::wstring> keys;
    for (const wchar_t* path : same)
        keys.insert(UpdatePath::Parse(path)->SameFileKey());
    EXPECT_EQ(keys.size(), 1u);
    EXPECT_NE(UpdatePath::Parse(L"sub/dir/a.dll")->SameFileKey(),
              UpdatePath::Parse(L"sub/dira.dll")->SameFileKey());
    EXPECT_NE(UpdatePath::Parse(L"a.dll")->SameFileKey(), UpdatePath::Parse(L"a.dll.bak")->SameFileKey());
    EXPECT_EQ(UpdatePath::Parse(L"ÄÖ.dll")->SameFileKey(), UpdatePath::Parse(L"äö.DLL")->SameFileKey());
}

}  // namespace
}  // namespace quill::updater
