// What the journal of the moves is told of the system's files: a file's
// identity survives a move, not a copy written over it, however alike the
// bytes.
#include "updater/FileMoves.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace quill::updater {
namespace {

using testing::ReadWholeFile;
using testing::SetWritten;
using testing::TempFolder;
using testing::WriteBytes;

FileIdentity Moved(FileIdentity id)
{
    id.changeTime = 0;
    return id;
}

TEST(WindowsFileSystem, AMoveKeepsTheIdentityACopyOverDoesNot)
{
    TempFolder dir;
    WindowsFileSystem fs;
    WriteBytes(dir / L"update\\tallivo.exe", "new exe");
    SetWritten(dir / L"update\\tallivo.exe", 1);
    WriteBytes(dir / L"tallivo.exe", "old exe");
    const auto before = fs.Identity(dir / L"update\\tallivo.exe");
    ASSERT_TRUE(before);
    EXPECT_EQ(before->size, 7u);
    EXPECT_NE(before->lastWrite, 0u);
    EXPECT_NE(before->idLow | before->idHigh, 0u);
    ASSERT_EQ(fs.Move(dir / L"update\\tallivo.exe", dir / L"tallivo.exe"), 0u);
    const auto moved = fs.Identity(dir / L"tallivo.exe");
    ASSERT_TRUE(moved);
    EXPECT_EQ(Moved(*moved), Moved(*before));
    EXPECT_EQ(fs.Identity(dir / L"tallivo.exe"), moved);  // looking changes nothing

    // An installer copies the same bytes over it.
    WriteBytes(dir / L"setup\\tallivo.exe", "new exe");
    SetWritten(dir / L"setup\\tallivo.exe", 2);
    ASSERT_TRUE(CopyFileW((dir / L"setup\\tallivo.exe").c_str(), (dir / L"tallivo.exe").c_str(), FALSE));
    EXPECT_EQ(ReadWholeFile(dir / L"tallivo.exe"), "new exe");
    EXPECT_NE(fs.Identity(dir / L"tallivo.exe"), moved);
    // Or writes them in place.
    ASSERT_EQ(fs.Move(dir / L"setup\\tallivo.exe", dir / L"tallivo.exe"), 0u);
    const auto placed = fs.Identity(dir / L"tallivo.exe");
    WriteBytes(dir / L"tallivo.exe", "new exe");
    EXPECT_NE(fs.Identity(dir / L"tallivo.exe"), placed);
}

// A copy is on the disk, not read-only whatever its file is, and never
// written over an existing one.
TEST(WindowsFileSystem, ACopyIsANewPlainFile)
{
    TempFolder dir;
    WindowsFileSystem fs;
    WriteBytes(dir / L"a.dll", std::string(300000, 'x'));
    SetFileAttributesW((dir / L"a.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(fs.CopyToNew(dir / L"a.dll", dir / L"copy"), 0u);
    EXPECT_EQ(ReadWholeFile(dir / L"copy"), std::string(300000, 'x'));
    EXPECT_EQ(fs.ReadOnly(dir / L"copy"), false);
    EXPECT_EQ(fs.ReadOnly(dir / L"a.dll"), true);
    EXPECT_NE(fs.CopyToNew(dir / L"a.dll", dir / L"copy"), 0u);
    EXPECT_NE(fs.Identity(dir / L"copy")->idLow, fs.Identity(dir / L"a.dll")->idLow);
    SetFileAttributesW((dir / L"a.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Records appended one by one; an existing journal cut back to its last
// whole record before more are appended.
TEST(WindowsFileSystem, AppendedRecordsAndACutBack)
{
    TempFolder dir;
    WindowsFileSystem fs;
    unsigned long error = 0;
    {
        auto journal = fs.OpenAppend(dir / L"journal.txt", std::nullopt, error);
        ASSERT_TRUE(journal);
        EXPECT_EQ(journal->Append("one\n"), 0u);
        EXPECT_EQ(journal->Append("two, cut"), 0u);
        EXPECT_EQ(fs.Read(dir / L"journal.txt"), "one\ntwo, cut");
        EXPECT_FALSE(fs.OpenAppend(dir / L"journal.txt", std::nullopt, error));  // never over one
    }
    auto again = fs.OpenAppend(dir / L"journal.txt", 4, error);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Append("three\n"), 0u);
    EXPECT_EQ(fs.Read(dir / L"journal.txt"), "one\nthree\n");
}

}  // namespace
}  // namespace quill::updater
