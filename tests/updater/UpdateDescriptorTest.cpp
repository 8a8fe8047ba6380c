// The descriptor's markers and the profile reader over its text, checked
// under Wine against the system's own profile reader.
#include "updater/UpdateDescriptor.h"

#include "forms/lang/Ansi.h"
#include "updater/UpdatePath.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quill::updater {
namespace {

TEST(HasUpdateMarkers, BothMarkersInAnyCaseAndOrder)
{
    struct Case {
        const wchar_t* text;
        bool valid;
    } cases[] = {
        {L"[Update]\r\nnewver=1.4\r\n[/Update]", true},
        {L"[update]\r\n[/UPDATE]", true},
        {L"[/Update][Update]", true},
        {L"<html>[uPdAtE] ... [/uPdAtE]</html>", true},
        {L"[Update]\r\nnewver=1.4\r\n", false},
        {L"[/Update]", false},
        {L"[ Update ]\r\n[/Update]", false},
        {L"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasUpdateMarkers(c.text), c.valid) << std::wstring(c.text).c_str();
}

TEST(DescriptorText, CodePageTextUpToTheLimit)
{
    EXPECT_EQ(DescriptorText("file1=\xcb\xb5\xc3\xf7.txt|6"), L"file1=说明.txt|6");
    const std::string limit(DescriptorByteLimit, 'a');
    EXPECT_EQ(DescriptorText(limit)->size(), DescriptorByteLimit);
    EXPECT_FALSE(DescriptorText(limit + "a"));
}

// The bound holds the largest descriptor a release can publish: as many
// entries as "checkfile" counts, each with the longest path the updater
// writes, in two-byte characters, and the longest size.
TEST(DescriptorText, TheLargestReleaseIsWithinTheBound)
{
    std::string path;
    for (int i = 0; i < 129; ++i)
        path += "\xcb\xb5";  // 说
    path += "/" + path;
    std::wstring widePath = forms::AnsiToText(path);
    ASSERT_EQ(widePath.size(), 259u);
    ASSERT_TRUE(UpdatePath::Parse(widePath));
    std::string text = "[Update]\r\nnewver=1.4\r\ncheckfile=32767\r\n";
    for (int n = 1; n <= 32767; ++n)
        text += "file" + std::to_string(n) + "=" + path + "|9007199254740992\r\n";
    text += "[/Update]\r\n";
    EXPECT_LE(text.size(), DescriptorByteLimit);
    const auto read = DescriptorText(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(ProfileSection(*read, L"update").Value(L"file32767"), widePath + L"|9007199254740992");
}

TEST(DescriptorText, NothingForBytesThatAreNoCodePageText)
{
    const std::string cases[] = {
        "",                           // no reply body at all
        "\xef\xbb\xbf[Update]",       // UTF-8 with its mark
        "\xff\xfe[\0U\0",             // UTF-16 with its mark
        std::string("[\0U\0p\0", 6),  // UTF-16 without
        "[Update]\x80",               // no lead byte
        "[Update]\xcb",               // a lead byte at the end
        "[Update]\xcb\x7f",           // no trail byte
    };
    for (const std::string& bytes : cases)
        EXPECT_FALSE(DescriptorText(bytes)) << ::testing::PrintToString(bytes);
}

// Texts as the service could send them, and what the profile reader makes of
// them: section "update" unless the case names another.
struct ProfileCase {
    const char* name;
    std::string text;  // code-page bytes
    const char* section;
    const char* key;
    const wchar_t* value;
};

const ProfileCase ProfileCases[] = {
    {"plain", "[Update]\r\nnewver=1.4\r\ncheckfile=2\r\n[/Update]\r\n", "update", "newver", L"1.4"},
    {"key case", "[Update]\r\nNEWVER=1.4\r\n", "update", "NewVer", L"1.4"},
    {"blanks around", "  [Update]  \r\n  newver  =  1.4  \r\n", "update", "newver", L"1.4"},
    {"tabs", "[Update]\r\n\tnewver\t=\t1.4\t\r\n", "update", "newver", L"1.4"},
    {"blanks in the header", "[ Update ]\r\nnewver=1.4\r\n", "update", "newver", L"1.4"},
    {"text after the header", "[Update] junk\r\nnewver=1.4\r\n", "update", "newver", L"1.4"},
    {"header without its end", "[Update\r\nnewver=1.4\r\n", "update", "newver", L""},
    {"header to the last bracket", "[Up]date]\r\nnewver=1.4\r\n", "Up]date", "newver", L"1.4"},
    {"not to the first bracket", "[Up]date]\r\nnewver=1.4\r\n", "Up", "newver", L""},
    {"after the closing marker", "[Update]\r\n[/Update]\r\nnewver=1.4\r\n", "update", "newver", L""},
    {"before the section", "newver=1.4\r\n[Update]\r\ncheckfile=1\r\n", "update", "newver", L""},
    {"first of two keys", "[Update]\r\nnewver=1\r\nnewver=2\r\n", "update", "newver", L"1"},
    {"first of two sections", "[Update]\r\na=1\r\n[x]\r\n[update]\r\nnewver=2\r\n", "update", "newver", L""},
    {"double quotes", "[Update]\r\nnewver=\"1.4\"\r\n", "update", "newver", L"1.4"},
    {"one quote", "[Update]\r\nnewver=\"1.4\r\n", "update", "newver", L"\"1.4"},
    {"single quotes", "[Update]\r\nnewver='1.4'\r\n", "update", "newver", L"1.4"},
    {"outer quotes only", "[Update]\r\nnewver=\"a\" \"b\"\r\n", "update", "newver", L"a\" \"b"},
    {"quotes inside blanks", "[Update]\r\nnewver= \"1.4\" \r\n", "update", "newver", L"1.4"},
    {"semicolon is no comment", "[Update]\r\n;newver=1.3\r\n", "update", ";newver", L"1.3"},
    {"line without equals", "[Update]\r\nnewver\r\n", "update", "newver", L""},
    {"line feeds", "[Update]\nnewver=1.4\n", "update", "newver", L"1.4"},
    {"carriage returns", "[Update]\rnewver=1.4\r", "update", "newver", L"1.4"},
    {"equals in the value", "[Update]\r\nfile1=a=b|3\r\n", "update", "file1", L"a=b|3"},
    {"no final line break", "[Update]\r\nnewver=1.4", "update", "newver", L"1.4"},
    {"code page", "[Update]\r\nfile1=\xcb\xb5\xc3\xf7.txt|6\r\n", "update", "file1", L"说明.txt|6"},
    {"blank inside a key", "[Update]\r\nnew ver=1\r\n", "update", "new ver", L"1"},
    {"long value", "[Update]\r\nnewver=" + std::string(1100, 'a') + "\r\n", "update", "newver", nullptr},
    {"page before the header", "<html>[Update]\r\nnewver=1.4\r\n", "update", "newver", L""},
    {"indented header", "x\r\n\t[Update]\r\nnewver=1.4\r\n", "update", "newver", L"1.4"},
    {"trailing tab and blank", "[Update]\r\nnewver=1.4 \t \r\n", "update", "newver", L"1.4"},
    {"control character kept", "[Update]\r\nnewver=1.4\x01\r\n", "update", "newver", L"1.4\x01"},
    {"vertical tabs are blanks",
     "[Update]\r\nnewver=\x0b"
     "1.4\x0b\r\n",
     "update", "newver", L"1.4"},
    {"missing key", "[Update]\r\nnewver=1.4\r\n", "update", "checkfile", L""},
};

TEST(ProfileString, ReadsAsTheProfileReaderDoes)
{
    for (const ProfileCase& c : ProfileCases) {
        const std::wstring value =
            ProfileString(forms::AnsiToText(c.text), forms::AnsiToText(c.section), forms::AnsiToText(c.key));
        if (c.value)
            EXPECT_EQ(value, c.value) << c.name;
        else
            EXPECT_EQ(value, std::wstring(1023, L'a')) << c.name;
    }
}

#ifdef _WIN32
// The same texts through GetPrivateProfileStringA on a saved file.
TEST(ProfileString, AgreesWithTheSystemsProfileReader)
{
    wchar_t folder[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring file =
        std::wstring(folder) + L"quill-profile-" + std::to_wstring(GetCurrentProcessId()) + L".ini";
    const std::string fileAnsi = forms::TextToAnsi(file);
    for (const ProfileCase& c : ProfileCases) {
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, c.text.data(), DWORD(c.text.size()), &written, nullptr);
        CloseHandle(h);
        std::string buffer(1024, ' ');
        const DWORD n = GetPrivateProfileStringA(c.section, c.key, "", buffer.data(), 1024, fileAnsi.c_str());
        EXPECT_EQ(
            ProfileString(forms::AnsiToText(c.text), forms::AnsiToText(c.section), forms::AnsiToText(c.key)),
            forms::AnsiToText(buffer.substr(0, n)))
            << c.name;
    }
    DeleteFileW(file.c_str());
}
#endif

}  // namespace
}  // namespace quill::updater
