// Folders made for a file, and moves into the program folder that are undone
// when the update does not finish.
#include "updater/FileMoves.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

namespace quill::updater {
namespace {

using testing::Exists;
using testing::ReadWholeFile;
using testing::TempFolder;
using testing::WriteBytes;

bool IsFolder(const std::wstring& path)
{
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(CreatePath, FoldersOfAFilePath)
{
    TempFolder dir;
    EXPECT_TRUE(CreatePath(dir / L"sub\\dir\\a.dll"));
    EXPECT_TRUE(IsFolder(dir / L"sub\\dir"));
    EXPECT_FALSE(Exists(dir / L"sub\\dir\\a.dll"));
    EXPECT_TRUE(CreatePath(dir.Path() + L"/one/two/b.dll"));  // "/" counts as "\"
    EXPECT_TRUE(IsFolder(dir / L"one\\two"));
    EXPECT_TRUE(CreatePath(dir / L"update\\\\update.ini"));  // the descriptor's doubled backslash
    EXPECT_TRUE(IsFolder(dir / L"update"));
    EXPECT_TRUE(CreatePath(dir / L"sub\\dir\\a.dll"));  // nothing left to make
}

TEST(CreatePath, OnlyDrivePathsBelowAFolder)
{
    TempFolder dir;
    EXPECT_FALSE(CreatePath(L"relative\\dir\\a.dll"));
    EXPECT_FALSE(CreatePath(L"\\\\host\\share\\dir\\a.dll"));
    EXPECT_FALSE(CreatePath(dir.Path().substr(0, 3) + L"a.dll"));  // a file in the drive's root
    WriteBytes(dir / L"file", "x");
    EXPECT_FALSE(CreatePath(dir / L"file\\below\\a.dll"));  // a file where a folder should be
    EXPECT_FALSE(IsFolder(dir / L"file\\below"));
}

class MoveJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteBytes(program / L"tallivo.exe", "old exe");
        WriteBytes(program / L"keep.txt", "untouched");
        WriteBytes(program / L"update\\tallivo.exe", "new exe");
        WriteBytes(program / L"update\\sub\\dir\\a.dll", "new dll");
    }
    std::wstring Backups() const { return program / L"update\\~backup"; }

    TempFolder program;
};

TEST_F(MoveJournalTest, CommittedMovesStayAndTheCopiesGo)
{
    MoveJournal journal(Backups());
    ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    ASSERT_TRUE(journal.Replace(program / L"update\\sub\\dir\\a.dll", program / L"sub\\dir\\a.dll"));
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
    EXPECT_EQ(ReadWholeFile(program / L"sub\\dir\\a.dll"), "new dll");
    EXPECT_FALSE(Exists(program / L"update\\tallivo.exe"));      // moved, not copied
    EXPECT_EQ(ReadWholeFile(Backups() + L"\\1\\1"), "old exe");  // the run's own folder
    journal.Commit();
    EXPECT_FALSE(Exists(Backups()));
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
}

TEST_F(MoveJournalTest, RollbackPutsTheOriginalsBackAndRemovesNewFiles)
{
    MoveJournal journal(Backups());
    ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    ASSERT_TRUE(journal.Replace(program / L"update\\sub\\dir\\a.dll", program / L"sub\\dir\\a.dll"));
    journal.Rollback();
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_FALSE(Exists(program / L"sub\\dir\\a.dll"));
    EXPECT_FALSE(IsFolder(program / L"sub"));  // made for the move, empty again
    EXPECT_EQ(ReadWholeFile(program / L"keep.txt"), "untouched");
    EXPECT_FALSE(Exists(Backups()));
}

// The process ends between the moves (a crash, a power loss, an outside
// close): the next start takes every move back before anything else.
TEST_F(MoveJournalTest, ARunThatNeverFinishedIsTakenBackAtTheNextStart)
{
    WriteBytes(Backups() + L"\\1", "a copy an older run left");
    SetFileAttributesW((program / L"tallivo.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    {
        MoveJournal journal(Backups());
        ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
        ASSERT_TRUE(journal.Replace(program / L"update\\sub\\dir\\a.dll", program / L"sub\\dir\\a.dll"));
    }  // neither committed nor rolled back
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
    MoveJournal::Recover(Backups());
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_NE(GetFileAttributesW((program / L"tallivo.exe").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(IsFolder(program / L"sub"));
    EXPECT_FALSE(Exists(Backups()));
    SetFileAttributesW((program / L"tallivo.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A committed run stays committed, and its copies go, a read-only file's too.
TEST_F(MoveJournalTest, ACommittedRunIsNotTakenBack)
{
    SetFileAttributesW((program / L"tallivo.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    MoveJournal journal(Backups());
    ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    journal.Commit();
    EXPECT_FALSE(Exists(Backups()));
    MoveJournal::Recover(Backups());
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
}

TEST_F(MoveJournalTest, AFileInUseIsNeitherDeletedNorReplaced)
{
    MoveJournal journal(Backups());
    HANDLE inUse = CreateFileW((program / L"tallivo.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    EXPECT_FALSE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));  // asked again
    CloseHandle(inUse);
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_EQ(ReadWholeFile(program / L"update\\tallivo.exe"), "new exe");
    // Once the program has gone, the retry succeeds and can still be undone.
    ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
    journal.Rollback();
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_FALSE(Exists(Backups()));
}

TEST_F(MoveJournalTest, AMissingSourceLeavesTheTargetAlone)
{
    MoveJournal journal(Backups());
    EXPECT_FALSE(journal.Replace(program / L"update\\nothing.exe", program / L"tallivo.exe"));
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_FALSE(journal.Replace(program / L"update\\sub", program / L"sub.dll"));  // a folder is no file
    CreateDirectoryW((program / L"folder.dll").c_str(), nullptr);
    EXPECT_FALSE(journal.Replace(program / L"update\\tallivo.exe", program / L"folder.dll"));
    EXPECT_EQ(ReadWholeFile(program / L"update\\tallivo.exe"), "new exe");
}

}  // namespace
}  // namespace quill::updater
