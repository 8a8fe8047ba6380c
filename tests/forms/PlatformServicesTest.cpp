// Resources, files, the settings file and late-bound automation.
#include "forms/AdodbStream.h"
#include "forms/App.h"
#include "forms/Automation.h"
#include "forms/Files.h"
#include "forms/lang/Error.h"
#include "forms/Pump.h"
#include "forms/Resources.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/OneShotServer.h"
#include "tests/support/Pump.h"

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

using namespace quill;

namespace {

using test::ErrorOf;

// "记账" in GB2312.
const forms::Bytes kGb2312{0xBC, 0xC7, 0xD5, 0xCB};

TEST(Resources, CustomBytesAndPicturesByNumber)
{
    forms::Bytes loading = forms::LoadResData(101);
    ASSERT_GT(loading.size(), 6u);
    EXPECT_EQ(std::string(loading.begin(), loading.begin() + 6), "GIF89a");
    auto gif = forms::Picture::FromBytes(loading);
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->Width(), loading[6] | (loading[7] << 8));  // the GIF's logical screen width
    EXPECT_EQ(forms::LoadResPicture(1, forms::vbResIcon)->Type(), forms::vbPicTypeIcon);
    EXPECT_EQ(ErrorOf([] { forms::LoadResData(999); }), 326);
    EXPECT_FALSE(forms::Picture::FromBytes(forms::Bytes{'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'}));
}

class FilesTest : public ::testing::Test {
protected:
    std::wstring dir;
    void SetUp() override
    {
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        dir = std::wstring(tmp) + L"quill_forms_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir.c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const wchar_t* f : {L"\\a.bin", L"\\b.bin", L"\\p2pset.ini", L"\\s.txt"})
            DeleteFileW((dir + f).c_str());
        RemoveDirectoryW(dir.c_str());
    }
};

TEST_F(FilesTest, ExistDeleteRenameSizeReadAndWrite)
{
    std::wstring a = dir + L"\\a.bin", b = dir + L"\\b.bin";
    EXPECT_FALSE(forms::FileExists(a));
    EXPECT_FALSE(forms::FileExists(dir));  // a folder is no file
    forms::WriteFileBytes(a, kGb2312);
    EXPECT_TRUE(forms::FileExists(a));
    EXPECT_EQ(forms::FileLen(a), 4);
    EXPECT_EQ(forms::ReadFileBytes(a), kGb2312);
    forms::Name(a, b);
    EXPECT_FALSE(forms::FileExists(a));
    EXPECT_EQ(forms::ReadFileBytes(b), kGb2312);
    forms::WriteFileBytes(a, {});
    EXPECT_EQ(ErrorOf([&] { forms::Name(a, b); }), 58);  // the target exists
    forms::Kill(b);
    EXPECT_EQ(ErrorOf([&] { forms::Kill(b); }), 53);
    EXPECT_EQ(ErrorOf([&] { forms::FileLen(b); }), 53);
    EXPECT_EQ(ErrorOf([&] { forms::ReadFileBytes(b); }), 53);
}

TEST_F(FilesTest, TheSettingsFileGoesThroughTheAnsiProfileFunctions)
{
    std::wstring ini = dir + L"\\p2pset.ini";
    EXPECT_TRUE(forms::WritePrivateProfileStringA(L"Set", L"user", L"账户", ini));
    // The caller's buffer comes back whole: value, terminator, the rest untouched.
    std::wstring buffer = forms::GetPrivateProfileStringA(L"Set", L"user", L"", std::wstring(8, L' '), ini);
    ASSERT_EQ(buffer.size(), 6u);  // "账户" is four bytes, then a NUL and three blanks
    EXPECT_EQ(buffer.substr(0, 2), L"账户");
    EXPECT_EQ(buffer[2], L'\0');
    EXPECT_EQ(forms::ReadFileBytes(ini).size() > 0, true);
    std::wstring missing = forms::GetPrivateProfileStringA(L"Set", L"pass", L"", std::wstring(4, L' '), ini);
    EXPECT_EQ(missing, std::wstring(L"\0   ", 4));
}

TEST(Automation, AMissingClassRaises429SoTheFallbackCanRun)
{
    EXPECT_EQ(ErrorOf([] { forms::CreateObject(L"FusionChartsForVB.FusionCharts"); }), 429);
    EXPECT_EQ(ErrorOf([] { forms::CreateObject(L"No.Such.Class"); }), 429);
}

TEST(Automation, TheStandInStreamDecodesGb2312)
{
    // The decoding steps a reply goes through, with the ProgID as written.
    forms::ObjectRef stream = forms::CreateObject(L"Adodb.Stream");
    stream->Put(L"Type", 1);
    stream->Put(L"Mode", 3);
    stream->Call(L"Open");
    stream->Call(L"Write", {kGb2312});
    stream->Put(L"Position", 0);
    stream->Put(L"Type", 2);
    stream->Put(L"Charset", std::wstring(L"GB2312"));
    EXPECT_EQ(forms::VariantText(stream->Call(L"ReadText")), L"记账");
    stream->Call(L"Close");
    EXPECT_EQ(ErrorOf([&] { stream->Call(L"ReadText"); }), 3704);  // closed
    EXPECT_EQ(ErrorOf([&] { stream->Call(L"NoSuchMember"); }), 438);
}

TEST(Automation, TheStandInStreamSavesItsBytesToAFile)
{
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring path =
        std::wstring(tmp) + L"quill_stream_" + std::to_wstring(GetCurrentProcessId()) + L".bin";
    forms::ObjectRef stream = forms::CreateObject(L"ADODB.Stream");
    stream->Put(L"Type", 1);
    stream->Put(L"Mode", 3);
    stream->Call(L"Open");
    stream->Call(L"Write", {kGb2312});
    stream->Call(L"SaveToFile", {path, 2});
    EXPECT_EQ(ErrorOf([&] { stream->Call(L"SaveToFile", {path, 1}); }), 3004);  // exists
    stream->Call(L"Close");
    EXPECT_EQ(forms::ReadFileBytes(path), kGb2312);
    DeleteFileW(path.c_str());
}

// One HTTP exchange on the loopback: answers any request with the body given.
using test::OneShotServer;

TEST(Automation, XmlHttpCreatedByProgIdFetchesByName)
{
    OneShotServer server(std::string(kGb2312.begin(), kGb2312.end()));
    forms::ObjectRef http = forms::CreateObject(L"MSXML2.XMLHTTP.6.0");
    std::wstring url = L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/do/softcenter.asp";
    http->Call(L"open", {std::wstring(L"POST"), url, true});
    EXPECT_EQ(forms::VariantNumber(http->Get(L"readyState")), 1);
    http->Call(L"setRequestHeader",
               {std::wstring(L"Content-Type"), std::wstring(L"application/x-www-form-urlencoded")});
    http->Call(L"send", {std::wstring(L"do=login&")});
    test::PumpUntil([&] { return forms::VariantNumber(http->Get(L"readyState")) == 4; }, "the reply");
    ASSERT_EQ(forms::VariantNumber(http->Get(L"readyState")), 4);
    forms::Bytes body = forms::VariantBytes(http->Get(L"responseBody"));
    EXPECT_EQ(body, kGb2312);
    EXPECT_NE(server.request.find("POST /do/softcenter.asp"), std::string::npos);
    EXPECT_EQ(ErrorOf([&] { http->Get(L"noSuchProperty"); }), 438);
}

}  // namespace
