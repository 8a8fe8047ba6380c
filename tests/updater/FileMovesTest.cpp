// Folders made for a file, and moves into the program folder that are undone
// when the update does not finish.
#include "updater/FileMoves.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace quill::updater {
namespace {

using testing::Exists;
using testing::ReadWholeFile;
using testing::RemoveTree;
using testing::SetWritten;
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
    MoveJournal journal(Backups(), program.Path());
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
    MoveJournal journal(Backups(), program.Path());
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
        MoveJournal journal(Backups(), program.Path());
        ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
        ASSERT_TRUE(journal.Replace(program / L"update\\sub\\dir\\a.dll", program / L"sub\\dir\\a.dll"));
    }  // neither committed nor rolled back
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
    MoveJournal::Recover(Backups(), program.Path());
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
    MoveJournal journal(Backups(), program.Path());
    ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    journal.Commit();
    EXPECT_FALSE(Exists(Backups()));
    MoveJournal::Recover(Backups(), program.Path());
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
}

TEST_F(MoveJournalTest, AFileInUseIsNeitherDeletedNorReplaced)
{
    MoveJournal journal(Backups(), program.Path());
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
    MoveJournal journal(Backups(), program.Path());
    EXPECT_FALSE(journal.Replace(program / L"update\\nothing.exe", program / L"tallivo.exe"));
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_FALSE(journal.Replace(program / L"update\\sub", program / L"sub.dll"));  // a folder is no file
    CreateDirectoryW((program / L"folder.dll").c_str(), nullptr);
    EXPECT_FALSE(journal.Replace(program / L"update\\tallivo.exe", program / L"folder.dll"));
    EXPECT_EQ(ReadWholeFile(program / L"update\\tallivo.exe"), "new exe");
}

// A file held open the way a running program holds its own: read, shared
// for reading only, so it can be neither replaced nor deleted.
class Held {
public:
    explicit Held(const std::wstring& path)
        : h_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
    {
        EXPECT_NE(h_, INVALID_HANDLE_VALUE);
    }
    ~Held() { Release(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    void Release()
    {
        if (h_ != INVALID_HANDLE_VALUE)
            CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE h_;
};

std::uint64_t SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

void CutFile(const std::wstring& path, std::uint64_t size)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(size);
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
}

// The move onto the running program never happened: taking the update back
// has nothing to do for it, so nothing of the run is left behind.
TEST_F(MoveJournalTest, AMoveThatNeverHappenedIsNothingToTakeBack)
{
    WriteBytes(program / L"zlib1.dll", "old library");
    WriteBytes(program / L"update\\zlib1.dll", "new library");
    Held running(program / L"tallivo.exe");
    MoveJournal journal(Backups(), program.Path());
    ASSERT_TRUE(journal.Replace(program / L"update\\zlib1.dll", program / L"zlib1.dll"));
    ASSERT_FALSE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    EXPECT_FALSE(journal.Rollback().blocked);
    EXPECT_EQ(ReadWholeFile(program / L"zlib1.dll"), "old library");
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_EQ(ReadWholeFile(program / L"update\\tallivo.exe"), "new exe");
    EXPECT_FALSE(Exists(Backups()));
}

// A move that happened and cannot be taken back now stays, alone: the steps
// taken back are not taken back a second time over files that came later.
TEST_F(MoveJournalTest, ARollbackThatMeetsAFileInUseKeepsOnlyThatStep)
{
    WriteBytes(program / L"zlib1.dll", "old library");
    WriteBytes(program / L"update\\zlib1.dll", "new library");
    MoveJournal journal(Backups(), program.Path());
    ASSERT_TRUE(journal.Replace(program / L"update\\zlib1.dll", program / L"zlib1.dll"));
    ASSERT_TRUE(journal.Replace(program / L"update\\sub\\dir\\a.dll", program / L"sub\\dir\\a.dll"));
    ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    Held running(program / L"tallivo.exe");
    const auto blocked = journal.Rollback().blocked;
    ASSERT_TRUE(blocked);
    EXPECT_EQ(blocked->file, program / L"tallivo.exe");
    EXPECT_EQ(blocked->error, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ReadWholeFile(program / L"zlib1.dll"), "old library");
    EXPECT_FALSE(IsFolder(program / L"sub"));
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");  // still in use
    EXPECT_TRUE(Exists(Backups()));

    // Files that came afterwards, while the program still runs.
    WriteBytes(program / L"zlib1.dll", "later library");
    WriteBytes(program / L"sub\\dir\\a.dll", "later dll");
    const auto again = MoveJournal::Recover(Backups(), program.Path()).blocked;
    ASSERT_TRUE(again);
    EXPECT_EQ(again->file, program / L"tallivo.exe");
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
    EXPECT_EQ(ReadWholeFile(program / L"sub\\dir\\a.dll"), "later dll");
    EXPECT_TRUE(Exists(Backups()));
    running.Release();
    EXPECT_FALSE(MoveJournal::Recover(Backups(), program.Path()).blocked);
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_EQ(ReadWholeFile(program / L"zlib1.dll"), "later library");
    EXPECT_EQ(ReadWholeFile(program / L"sub\\dir\\a.dll"), "later dll");
    EXPECT_FALSE(Exists(Backups()));
}

// The process ends while it writes the record of a move onto the running
// program (or just after, before the move): wherever the record was cut,
// the next start takes back the moves made and nothing else.
TEST_F(MoveJournalTest, AJournalCutInTheMiddleOfARecord)
{
    constexpr int WholeRecord = INT_MIN;
    for (const int cut : {0, 1, 2, 3, 50, -3, -2, -1, WholeRecord}) {
        RemoveTree(Backups());
        WriteBytes(program / L"zlib1.dll", "old library");
        WriteBytes(program / L"update\\zlib1.dll", "new library");
        WriteBytes(program / L"tallivo.exe", "old exe");
        Held running(program / L"tallivo.exe");
        std::uint64_t before = 0, after = 0;
        {
            MoveJournal journal(Backups(), program.Path());
            ASSERT_TRUE(journal.Replace(program / L"update\\zlib1.dll", program / L"zlib1.dll"));
            before = SizeOf(Backups() + L"\\1\\journal.txt");
            ASSERT_FALSE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
            after = SizeOf(Backups() + L"\\1\\journal.txt");
        }  // neither committed nor rolled back
        ASSERT_LT(before, after);
        // Bytes kept of the record, or taken from its end.
        const std::uint64_t at = cut == WholeRecord ? after : cut >= 0 ? before + cut : after + cut;
        CutFile(Backups() + L"\\1\\journal.txt", std::min(at, after));
        EXPECT_FALSE(MoveJournal::Recover(Backups(), program.Path()).blocked) << cut;
        EXPECT_EQ(ReadWholeFile(program / L"zlib1.dll"), "old library") << cut;
        EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe") << cut;
        EXPECT_FALSE(Exists(Backups())) << cut;
    }
}

// A journal an earlier version left, which recorded each move before it
// was made: the move onto the running program, whose copy holds the bytes
// still in place, has nothing to take back; the others are taken back.
TEST_F(MoveJournalTest, AJournalOfTheEarlierFormIsStillTakenBack)
{
    WriteBytes(program / L"zlib1.dll", "new library");
    WriteBytes(Backups() + L"\\1\\1", "old library");
    WriteBytes(program / L"docs\\readme.txt", "new readme");
    WriteBytes(Backups() + L"\\1\\2", "old exe");
    const std::wstring lines = L"M\t" + (program / L"zlib1.dll") + L"\t" + Backups() + L"\\1\\1\n" + L"D\t" +
                               (program / L"docs") + L"\n" + L"M\t" + (program / L"docs\\readme.txt") +
                               L"\t\n" + L"M\t" + (program / L"tallivo.exe") + L"\t" + Backups() +
                               L"\\1\\2\n";
    WriteBytes(Backups() + L"\\1\\journal",
               std::string(reinterpret_cast<const char*>(lines.data()), lines.size() * sizeof(wchar_t)));
    Held running(program / L"tallivo.exe");
    EXPECT_FALSE(MoveJournal::Recover(Backups(), program.Path()).blocked);
    EXPECT_EQ(ReadWholeFile(program / L"zlib1.dll"), "old library");
    EXPECT_FALSE(IsFolder(program / L"docs"));
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_FALSE(Exists(Backups()));
}

bool IsReadOnly(const std::wstring& path)
{
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

// An update ended from outside during its moves, then every file written
// over the folder again (a reinstall, with the update's own bytes for the
// main program): the next start leaves what was written since, keeps the
// copy beside it, and takes back only what is still the run's.
TEST_F(MoveJournalTest, AReinstallAfterACrashStaysAndItsCopiesAreKeptBeside)
{
    WriteBytes(program / L"zlib1.dll", "old library");
    WriteBytes(program / L"update\\zlib1.dll", "new library");
    SetWritten(program / L"update\\tallivo.exe", 1);  // downloaded long before the reinstall
    SetWritten(program / L"update\\sub\\dir\\a.dll", 1);
    {
        MoveJournal journal(Backups(), program.Path());
        ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
        ASSERT_TRUE(journal.Replace(program / L"update\\zlib1.dll", program / L"zlib1.dll"));
        ASSERT_TRUE(journal.Replace(program / L"update\\sub\\dir\\a.dll", program / L"sub\\dir\\a.dll"));
    }  // ended from outside
    WriteBytes(program / L"tallivo.exe", "new exe");  // the reinstall
    WriteBytes(program / L"sub\\dir\\a.dll", "reinstalled dll");
    const TakenBack left = MoveJournal::Recover(Backups(), program.Path());
    EXPECT_FALSE(left.blocked);
    EXPECT_TRUE(left.keptFolders.empty());
    EXPECT_EQ(left.keptBeside, std::vector<std::wstring>{program / L"tallivo.exe.更新前"});
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe.更新前"), "old exe");
    EXPECT_EQ(ReadWholeFile(program / L"sub\\dir\\a.dll"), "reinstalled dll");
    EXPECT_EQ(ReadWholeFile(program / L"zlib1.dll"), "old library");  // still the run's: taken back
    EXPECT_FALSE(Exists(Backups()));
}

// The earlier version's journal, an hour old, under a later version that
// another run installed since: nothing is taken back, every copy is kept
// beside its file.
TEST_F(MoveJournalTest, TheEarlierFormUnderALaterInstallTakesNothingBack)
{
    WriteBytes(program / L"docs\\readme.txt", "readme 1.2");
    WriteBytes(Backups() + L"\\1\\1", "exe 1.1");
    const std::wstring lines = L"D\t" + (program / L"docs") + L"\n" + L"M\t" + (program / L"docs\\readme.txt") +
                               L"\t\n" + L"M\t" + (program / L"tallivo.exe") + L"\t" + Backups() + L"\\1\\1\n";
    WriteBytes(Backups() + L"\\1\\journal",
               std::string(reinterpret_cast<const char*>(lines.data()), lines.size() * sizeof(wchar_t)));
    SetWritten(Backups() + L"\\1\\journal", 10);
    SetWritten(program / L"docs\\readme.txt", 9);
    WriteBytes(program / L"tallivo.exe", "exe 1.3");  // the later run's, just now
    const TakenBack left = MoveJournal::Recover(Backups(), program.Path());
    EXPECT_FALSE(left.blocked);
    EXPECT_EQ(left.keptBeside, std::vector<std::wstring>{program / L"tallivo.exe.更新前"});
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "exe 1.3");
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe.更新前"), "exe 1.1");
    EXPECT_EQ(ReadWholeFile(program / L"docs\\readme.txt"), "readme 1.2");
    EXPECT_FALSE(Exists(Backups()));
}

// A journal that cannot be read whole keeps every copy: the run folder is
// named once, then left alone, and updates go on beside it.
TEST_F(MoveJournalTest, ADamagedJournalKeepsEveryCopy)
{
    {
        MoveJournal journal(Backups(), program.Path());
        ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    }
    WriteBytes(Backups() + L"\\1\\journal.txt", "garbage");
    const TakenBack left = MoveJournal::Recover(Backups(), program.Path());
    EXPECT_FALSE(left.blocked);
    EXPECT_EQ(left.keptFolders, std::vector<std::wstring>{Backups() + L"\\1.kept"});
    EXPECT_EQ(ReadWholeFile(Backups() + L"\\1.kept\\1"), "old exe");
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "new exe");
    const TakenBack again = MoveJournal::Recover(Backups(), program.Path());
    EXPECT_FALSE(again.blocked);
    EXPECT_TRUE(again.keptFolders.empty());
    EXPECT_EQ(ReadWholeFile(Backups() + L"\\1.kept\\1"), "old exe");
}

// A read-only file whose move fails keeps its mark; a rollback gives back
// the mark the file had.
TEST_F(MoveJournalTest, ReadOnlyMarksComeBack)
{
    SetFileAttributesW((program / L"tallivo.exe").c_str(), FILE_ATTRIBUTE_READONLY);
    MoveJournal journal(Backups(), program.Path());
    {
        Held running(program / L"tallivo.exe");
        EXPECT_FALSE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    }
    EXPECT_TRUE(IsReadOnly(program / L"tallivo.exe"));
    ASSERT_TRUE(journal.Replace(program / L"update\\tallivo.exe", program / L"tallivo.exe"));
    EXPECT_FALSE(journal.Rollback().blocked);
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), "old exe");
    EXPECT_TRUE(IsReadOnly(program / L"tallivo.exe"));
    SetFileAttributesW((program / L"tallivo.exe").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The same file named twice, once by its short name: one copy serves both
// moves, and the rollback brings the original back with nothing left over.
TEST_F(MoveJournalTest, OneFileUnderTwoNamesIsOneTarget)
{
    WriteBytes(program / L"webchart_page.htm", "old chart");
    WriteBytes(program / L"update\\webchart_page.htm", "new chart");
    WriteBytes(program / L"update\\second.htm", "newer chart");
    wchar_t shortName[MAX_PATH];
    ASSERT_NE(GetShortPathNameW((program / L"webchart_page.htm").c_str(), shortName, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortName), program / L"webchart_page.htm");
    MoveJournal journal(Backups(), program.Path());
    ASSERT_TRUE(journal.Replace(program / L"update\\webchart_page.htm", program / L"webchart_page.htm"));
    ASSERT_TRUE(journal.Replace(program / L"update\\second.htm", shortName));
    EXPECT_EQ(ReadWholeFile(program / L"webchart_page.htm"), "newer chart");
    const TakenBack left = journal.Rollback();
    EXPECT_FALSE(left.blocked);
    EXPECT_TRUE(left.keptBeside.empty());
    EXPECT_EQ(ReadWholeFile(program / L"webchart_page.htm"), "old chart");
    EXPECT_FALSE(Exists(program / L"webchart_page.htm.更新前"));
    EXPECT_FALSE(Exists(Backups()));
}

}  // namespace
}  // namespace quill::updater
