// The main program's version, read from files on disk.
#include "updater/VersionResource.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace quill::updater {
namespace {

TEST(ReadFileVersionWords, TheMainProgramsVersions)
{
    auto words = ReadFileVersionWords(testing::Fixture(L"fake_tallivo_13.exe"));
    ASSERT_TRUE(words);
    EXPECT_EQ(words->FileVer, L"1.3.0.0");
    EXPECT_EQ(words->ProdVer, L"1.3.0.0");
    EXPECT_EQ(words->StrucVer, L"1.0");
    EXPECT_EQ(words->CurrentVersion, L"1.3");
    words = ReadFileVersionWords(testing::Fixture(L"fake_tallivo_14.exe"));
    ASSERT_TRUE(words);
    EXPECT_EQ(words->CurrentVersion, L"1.4");
}

TEST(ReadFileVersionWords, NothingWithoutAVersion)
{
    testing::TempFolder dir;
    EXPECT_FALSE(ReadFileVersionWords(dir / L"tallivo.exe"));
    EXPECT_FALSE(ReadFileVersionWords(testing::Fixture(L"unrar.dll")));  // no version resource
    testing::WriteBytes(dir / L"tallivo.exe", "MZ not a program");
    EXPECT_FALSE(ReadFileVersionWords(dir / L"tallivo.exe"));
}

}  // namespace
}  // namespace quill::updater
