// The journal of the updater's moves on a model disk: crashes and power cuts
// at every call, torn and damaged journals, files changed since a run, a
// commit that cannot be written, and the cost of a rollback.
#include "JournalScenario.h"
#include "ModelFileSystem.h"
#include "updater/JournalCore.h"
#include "updater/JournalRecords.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>

namespace quill::updater::testing {
namespace {

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::string Describe(const std::map<std::wstring, std::string>& tree)
{
    std::string out;
    for (const auto& [path, bytes] : tree)
        out += Narrow(path) + "=" + bytes + "; ";
    return out;
}

const Scenario SmallUpdate{
    .installed = {{L"tallivo.exe", "exe 1.3", true}, {L"zlib1.dll", "zlib 1.3"}, {L"keep.txt", "untouched"}},
    .update = {{L"zlib1.dll", "zlib 1.4"},
               {L"docs\\readme.txt", "readme 1.4"},
               {L"tallivo.exe", "exe 1.4"},
               {L"webchart.htm", "chart 1.4"}},
};

std::wstring Program(const std::wstring& relative)
{
    return ModelProgram + L"\\" + relative;
}

std::uint64_t CallsOfAWholeUpdate(const Scenario& scenario)
{
    ModelFileSystem fs;
    Install(fs, scenario);
    EXPECT_EQ(RunUpdate(fs, scenario), Ended::Committed);
    return fs.calls;
}

// The moves of an update made, the process ended before the commit.
void MovesWithoutCommit(ModelFileSystem& fs, const Scenario& scenario)
{
    JournalRun run(fs, ModelBackup, ModelProgram);
    for (const ScenarioFile& f : scenario.update)
        ASSERT_TRUE(run.Replace(ModelCache + L"\\" + f.path, ModelProgram + L"\\" + f.path));
}

// The process ends at any call of the update (or the power goes, leaving
// only what was flushed, the last write torn): the next start brings the
// program folder back wholly old, or leaves it wholly new once the commit is
// on the disk, and says nothing of copies kept.
TEST(JournalCore, ACrashAtAnyCallComesBackWhollyOldOrWhollyNew)
{
    const std::uint64_t calls = CallsOfAWholeUpdate(SmallUpdate);
    ASSERT_GT(calls, 20u);
    struct Fault {
        bool powerCut;
        ModelFileSystem::Tear tear;
        std::size_t tearAt;
    };
    const Fault faults[] = {{false, ModelFileSystem::Tear::Prefix, 0},
                            {false, ModelFileSystem::Tear::Prefix, 13},
                            {true, ModelFileSystem::Tear::Prefix, 5},
                            {true, ModelFileSystem::Tear::ZerosInside, 12},
                            {true, ModelFileSystem::Tear::ZerosInside, 30}};
    for (const Fault& fault : faults) {
        bool sawOld = false, sawNew = false;
        for (std::uint64_t at = 1; at <= calls; ++at) {
            SCOPED_TRACE("crash at call " + std::to_string(at) + (fault.powerCut ? ", power cut" : "") +
                         ", tear at " + std::to_string(fault.tearAt));
            ModelFileSystem fs;
            Install(fs, SmallUpdate);
            fs.crashAt = at;
            fs.tear = fault.tear;
            fs.tearAt = fault.tearAt;
            ASSERT_EQ(RunUpdate(fs, SmallUpdate), Ended::Crashed);
            fs.NoFaults();
            if (fault.powerCut)
                fs.PowerCut();
            const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
            EXPECT_FALSE(left.blocked);
            EXPECT_TRUE(left.keptBeside.empty());
            EXPECT_TRUE(left.keptFolders.empty());
            const auto files = ProgramFiles(fs);
            const bool old = files == Before(SmallUpdate), updated = files == After(SmallUpdate);
            EXPECT_TRUE(old || updated) << Describe(files);
            sawOld |= old;
            sawNew |= updated;
            EXPECT_FALSE(fs.Find(ModelBackup));
        }
        EXPECT_TRUE(sawOld && sawNew);
    }
}

// The next start itself ends at any call of its recovery: the start after
// it finishes the same recovery.
TEST(JournalCore, ARecoveryEndedAtAnyCallIsFinishedByTheNext)
{
    ModelFileSystem probe;
    Install(probe, SmallUpdate);
    MovesWithoutCommit(probe, SmallUpdate);
    const std::uint64_t start = probe.calls;
    JournalRun::Recover(probe, ModelBackup, ModelProgram);
    const std::uint64_t recoveryCalls = probe.calls - start;
    for (std::uint64_t at = 1; at <= recoveryCalls; ++at) {
        SCOPED_TRACE("recovery ends at its call " + std::to_string(at));
        ModelFileSystem fs;
        Install(fs, SmallUpdate);
        MovesWithoutCommit(fs, SmallUpdate);
        fs.crashAt = fs.calls + at;
        fs.tearAt = 7;
        EXPECT_THROW(JournalRun::Recover(fs, ModelBackup, ModelProgram), ModelCrash);
        fs.NoFaults();
        fs.PowerCut();
        const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
        EXPECT_FALSE(left.blocked);
        EXPECT_TRUE(left.keptBeside.empty());
        EXPECT_TRUE(left.keptFolders.empty());
        EXPECT_EQ(ProgramFiles(fs), Before(SmallUpdate)) << Describe(ProgramFiles(fs));
        EXPECT_FALSE(fs.Find(ModelBackup));
    }
}

// A run ended after its moves, before the commit.
void CrashBeforeTheCommit(ModelFileSystem& fs, const Scenario& scenario = SmallUpdate)
{
    Install(fs, scenario);
    MovesWithoutCommit(fs, scenario);
    ASSERT_EQ(ProgramFiles(fs, false), After(scenario, false));
}

std::wstring RunFolder()
{
    return ModelBackup + L"\\1";
}

// Journals that cannot be read whole: nothing is acted on, every copy stays,
// and the run folder is named once.
TEST(JournalCore, AJournalThatCannotBeReadWholeKeepsEveryCopy)
{
    const std::wstring journal = RunFolder() + L"\\" + JournalFileName;
    struct Damage {
        const char* name;
        std::function<void(ModelFileSystem&)> apply;
    };
    const Damage damages[] = {
        {"empty", [&](ModelFileSystem& fs) { fs.Write(journal, ""); }},
        {"garbage", [&](ModelFileSystem& fs) { fs.Write(journal, "\x13\x37 garbage\nmore garbage\n"); }},
        {"another encoding",
         [&](ModelFileSystem& fs) {
             std::string wide;
             const std::string bytes = *fs.Content(journal);
             for (char c : bytes)
                 wide += std::string{c, '\0'};
             fs.Write(journal, wide);
         }},
        {"deleted", [&](ModelFileSystem& fs) { fs.Delete(journal); }},
        {"replaced by a folder",
         [&](ModelFileSystem& fs) {
             fs.Delete(journal);
             fs.MakeFolder(journal);
         }},
        {"cut inside an earlier record",
         [&](ModelFileSystem& fs) { fs.Write(journal, fs.Content(journal)->substr(0, 60)); }},
        {"a record changed inside",
         [&](ModelFileSystem& fs) {
             std::string bytes = *fs.Content(journal);
             bytes[bytes.find("zlib1.dll")] = 'Z';
             fs.Write(journal, bytes);
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        ModelFileSystem fs;
        CrashBeforeTheCommit(fs);
        const auto copies = fs.Tree(RunFolder());
        damage.apply(fs);
        const auto files = ProgramFiles(fs);
        const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
        EXPECT_FALSE(left.blocked);
        const std::wstring kept = RunFolder() + KeptFolderSuffix;
        EXPECT_EQ(left.keptFolders, std::vector<std::wstring>{kept});
        EXPECT_EQ(ProgramFiles(fs), files);
        for (const auto& [name, bytes] : copies) {
            if (std::isdigit(static_cast<unsigned char>(name[0]))) {
                EXPECT_EQ(fs.Content(kept + L"\\" + name), bytes) << Narrow(name);
            }
        }
        // Said once; never acted on, never blocking.
        const TakenBack again = JournalRun::Recover(fs, ModelBackup, ModelProgram);
        EXPECT_FALSE(again.blocked);
        EXPECT_TRUE(again.keptFolders.empty());
        EXPECT_EQ(ProgramFiles(fs), files);
        EXPECT_TRUE(fs.Find(kept));
        // A later update starts and commits beside it.
        const Scenario later{.installed = {}, .update = {{L"zlib1.dll", "zlib 1.5"}}};
        fs.AddFile(ModelCache + L"\\zlib1.dll", "zlib 1.5");
        EXPECT_EQ(RunUpdate(fs, later), Ended::Committed);
        EXPECT_EQ(fs.Content(Program(L"zlib1.dll")), "zlib 1.5");
        EXPECT_TRUE(fs.Find(kept));
    }
}

// A run folder left whole beside a journal cut by a crash inside its last
// record: what a crash leaves is taken back.
TEST(JournalCore, ATornLastRecordIsWhatACrashLeaves)
{
    const std::wstring journal = RunFolder() + L"\\" + JournalFileName;
    for (const std::string& tail : {std::string("0a1b"), std::string(40, '\0'), std::string("12345678 M\t\0\0\0\n", 16)}) {
        ModelFileSystem fs;
        CrashBeforeTheCommit(fs);
        fs.Write(journal, *fs.Content(journal) + tail);
        const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
        EXPECT_FALSE(left.blocked);
        EXPECT_TRUE(left.keptFolders.empty());
        EXPECT_EQ(ProgramFiles(fs), Before(SmallUpdate)) << Describe(ProgramFiles(fs));
        EXPECT_FALSE(fs.Find(ModelBackup));
    }
}

// Records whole by their checksum that name a place outside the program
// folder are never acted on: a path with "..", a drive, a root, a zero.
TEST(JournalCore, ARecordOutsideTheProgramFolderIsNeverActedOn)
{
    for (const std::wstring& target : {std::wstring(L"..\\outside.dll"), std::wstring(L"C:\\"),
                                      std::wstring(L"D:\\a.dll"), std::wstring(L"\\a.dll"),
                                      std::wstring(L"sub\\..\\..\\a.dll"), std::wstring(L"a.dll\0x", 7)}) {
        SCOPED_TRACE(Narrow(target));
        ModelFileSystem fs;
        fs.AddFile(L"C:\\outside.dll", "someone else's");
        fs.AddFile(L"D:\\a.dll", "someone else's");
        fs.AddFile(Program(L"a.dll"), "the program's");
        fs.AddFile(RunFolder() + L"\\1", "a copy");
        JournalStep move;
        move.target = target;
        move.copy = L"1";
        move.source = L"update\\a.dll";
        move.sourceIdentity = FileIdentity{};
        fs.AddFile(RunFolder() + L"\\" + JournalFileName, JournalBegins() + MoveRecord(move) + JournalBegins());
        const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
        EXPECT_FALSE(left.blocked);
        EXPECT_EQ(left.keptFolders.size(), 1u);
        EXPECT_EQ(fs.Content(L"C:\\outside.dll"), "someone else's");
        EXPECT_EQ(fs.Content(L"D:\\a.dll"), "someone else's");
        EXPECT_EQ(fs.Content(Program(L"a.dll")), "the program's");
        EXPECT_EQ(fs.Content(RunFolder() + KeptFolderSuffix + L"\\1"), "a copy");
    }
}

// After a crash the user installs again (or edits a file, or a later update
// runs): what changed since stays, the copy it would have been replaced
// with is kept beside it, and only files still the run's are taken back.
TEST(JournalCore, AFileChangedSinceTheRunStaysAndItsCopyIsKeptBeside)
{
    ModelFileSystem fs;
    CrashBeforeTheCommit(fs);
    fs.Write(Program(L"tallivo.exe"), "exe 1.4");  // the same bytes, written again
    fs.Write(Program(L"docs\\readme.txt"), "readme edited");
    const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
    EXPECT_FALSE(left.blocked);
    EXPECT_TRUE(left.keptFolders.empty());
    EXPECT_EQ(left.keptBeside, std::vector<std::wstring>{Program(L"tallivo.exe") + KeptCopySuffix});
    EXPECT_EQ(fs.Content(Program(L"tallivo.exe")), "exe 1.4");
    EXPECT_EQ(fs.Content(Program(L"tallivo.exe") + KeptCopySuffix), "exe 1.3");
    EXPECT_EQ(fs.Content(Program(L"docs\\readme.txt")), "readme edited");
    EXPECT_EQ(fs.Content(Program(L"zlib1.dll")), "zlib 1.3");  // still the run's: taken back
    EXPECT_FALSE(fs.Find(Program(L"webchart.htm")));
    EXPECT_EQ(fs.Content(Program(L"keep.txt")), "untouched");
    EXPECT_FALSE(fs.Find(ModelBackup));

    // A second kept copy of the same file takes the next name.
    ModelFileSystem again;
    CrashBeforeTheCommit(again);
    again.AddFile(Program(L"zlib1.dll") + KeptCopySuffix, "kept before");
    again.Write(Program(L"zlib1.dll"), "zlib reinstalled");
    const TakenBack second = JournalRun::Recover(again, ModelBackup, ModelProgram);
    EXPECT_EQ(second.keptBeside, std::vector<std::wstring>{Program(L"zlib1.dll") + KeptCopySuffix + L"2"});
    EXPECT_EQ(again.Content(Program(L"zlib1.dll") + KeptCopySuffix + L"2"), "zlib 1.3");
    EXPECT_EQ(again.Content(Program(L"zlib1.dll") + KeptCopySuffix), "kept before");
}

// A folder renamed after a crash is recovered where it now is; one copied
// elsewhere holds other files (other ids): its copies are kept beside them,
// and the original folder is never touched from the copy.
TEST(JournalCore, ARenamedOrCopiedFolderIsRecoveredOnlyWhereItIs)
{
    ModelFileSystem fs;
    CrashBeforeTheCommit(fs);
    ASSERT_EQ(fs.Move(ModelProgram, L"C:\\Renamed"), 0u);
    const TakenBack left = JournalRun::Recover(fs, L"C:\\Renamed\\update\\~backup", L"C:\\Renamed");
    EXPECT_FALSE(left.blocked);
    EXPECT_TRUE(left.keptBeside.empty());
    EXPECT_EQ(ProgramFiles(fs, true, L"C:\\Renamed"), Before(SmallUpdate));

    ModelFileSystem copied;
    CrashBeforeTheCommit(copied);
    for (const auto& [path, bytes] : copied.Tree(ModelProgram))
        if (path.back() != L'\\')
            copied.AddFile(L"C:\\Copy\\" + path, *copied.Content(Program(path)));
    const auto original = copied.Tree(ModelProgram);
    const TakenBack copy = JournalRun::Recover(copied, L"C:\\Copy\\update\\~backup", L"C:\\Copy");
    EXPECT_EQ(copied.Tree(ModelProgram), original);
    EXPECT_EQ(copied.Content(L"C:\\Copy\\tallivo.exe"), "exe 1.4");
    EXPECT_EQ(copied.Content(L"C:\\Copy\\tallivo.exe" + std::wstring(KeptCopySuffix)), "exe 1.3");
    EXPECT_EQ(copy.keptBeside.size(), 2u);  // tallivo.exe and zlib1.dll
}

// The commit's record cannot be written (a full disk) and the journal
// cannot be removed (a scanner holds it): the copies stay, and the next
// start takes the moves back.
TEST(JournalCore, ACommitThatCannotBeWrittenKeepsTheCopies)
{
    ModelFileSystem fs;
    Install(fs, SmallUpdate);
    JournalRun run(fs, ModelBackup, ModelProgram);
    for (const ScenarioFile& f : SmallUpdate.update)
        ASSERT_TRUE(run.Replace(ModelCache + L"\\" + f.path, Program(f.path)));
    fs.fails = [](std::uint64_t, const char* name, const std::wstring& path) {
        const std::string call = name;
        return (call == "Append" || call == "Delete") && path.ends_with(JournalFileName);
    };
    EXPECT_FALSE(run.Commit());
    fs.NoFaults();
    EXPECT_EQ(fs.Content(RunFolder() + L"\\1"), "zlib 1.3");
    EXPECT_EQ(fs.Content(RunFolder() + L"\\2"), "exe 1.3");
    const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
    EXPECT_FALSE(left.blocked);
    EXPECT_EQ(ProgramFiles(fs), Before(SmallUpdate)) << Describe(ProgramFiles(fs));

    // The record cannot be written but the journal goes: the moves are final.
    ModelFileSystem gone;
    Install(gone, SmallUpdate);
    JournalRun second(gone, ModelBackup, ModelProgram);
    for (const ScenarioFile& f : SmallUpdate.update)
        ASSERT_TRUE(second.Replace(ModelCache + L"\\" + f.path, Program(f.path)));
    gone.fails = [](std::uint64_t, const char* name, const std::wstring&) { return std::string(name) == "Append"; };
    EXPECT_TRUE(second.Commit());
    gone.NoFaults();
    EXPECT_FALSE(gone.Find(ModelBackup));
    JournalRun::Recover(gone, ModelBackup, ModelProgram);
    EXPECT_EQ(ProgramFiles(gone, false), After(SmallUpdate, false));
}

// A target whose move fails keeps its read-only mark; a rollback gives back
// the mark each file had.
TEST(JournalCore, ReadOnlyMarksComeBack)
{
    ModelFileSystem fs;
    Install(fs, SmallUpdate);
    fs.Hold(Program(L"tallivo.exe"));
    JournalRun run(fs, ModelBackup, ModelProgram);
    EXPECT_FALSE(run.Replace(ModelCache + L"\\tallivo.exe", Program(L"tallivo.exe")));
    EXPECT_TRUE(fs.Find(Program(L"tallivo.exe"))->readOnly);
    fs.Release(Program(L"tallivo.exe"));
    ASSERT_TRUE(run.Replace(ModelCache + L"\\tallivo.exe", Program(L"tallivo.exe")));
    EXPECT_FALSE(fs.Find(Program(L"tallivo.exe"))->readOnly);
    const TakenBack left = run.Rollback();
    EXPECT_FALSE(left.blocked);
    EXPECT_EQ(fs.Content(Program(L"tallivo.exe")), "exe 1.3");
    EXPECT_TRUE(fs.Find(Program(L"tallivo.exe"))->readOnly);
}

// Each step taken back costs the same calls however many there are, and
// the progress is told per step.
TEST(JournalCore, ARollbackTakesTheSameCallsPerStep)
{
    const auto rollbackCalls = [](int files) {
        Scenario scenario;
        for (int i = 0; i < files; ++i) {
            const std::wstring name = L"f" + std::to_wstring(i) + L".dll";
            scenario.installed.push_back({name, "old " + std::to_string(i)});
            scenario.update.push_back({name, "new " + std::to_string(i)});
        }
        ModelFileSystem fs;
        Install(fs, scenario);
        JournalRun run(fs, ModelBackup, ModelProgram);
        for (const ScenarioFile& f : scenario.update)
            EXPECT_TRUE(run.Replace(ModelCache + L"\\" + f.path, Program(f.path)));
        const std::uint64_t before = fs.calls;
        std::vector<std::size_t> told;
        const TakenBack left = run.Rollback([&](std::size_t done, std::size_t total) {
            EXPECT_EQ(total, static_cast<std::size_t>(files));
            told.push_back(done);
        });
        EXPECT_FALSE(left.blocked);
        EXPECT_EQ(told.size(), static_cast<std::size_t>(files));
        EXPECT_EQ(told.back(), static_cast<std::size_t>(files));
        EXPECT_EQ(ProgramFiles(fs), Before(scenario));
        return fs.calls - before;
    };
    const std::uint64_t ten = rollbackCalls(10), hundred = rollbackCalls(100), thousand = rollbackCalls(1000);
    EXPECT_EQ((thousand - hundred) / 900, (hundred - ten) / 90);
    EXPECT_EQ((thousand - hundred) % 900, 0u);
    EXPECT_EQ((hundred - ten) % 90, 0u);
}

// --- The earlier version's journal: UTF-16, absolute paths.

std::string Utf16(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t c : text)
        bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF)};
    return bytes;
}

// What the earlier version left when it ended between its moves: zlib1.dll
// replaced, docs\readme.txt added, the move of tallivo.exe recorded and made.
void EarlierCrash(ModelFileSystem& fs, const std::wstring& recordedProgram = ModelProgram)
{
    fs.AddFile(Program(L"tallivo.exe"), "exe 1.3");
    fs.AddFile(Program(L"keep.txt"), "untouched");
    fs.AddFile(RunFolder() + L"\\1", "zlib 1.2");
    fs.AddFile(Program(L"zlib1.dll"), "zlib 1.3");
    fs.AddFile(Program(L"docs\\readme.txt"), "readme 1.3");
    fs.AddFile(RunFolder() + L"\\2", "exe 1.2");
    const std::wstring p = recordedProgram, b = recordedProgram + L"\\update\\~backup\\1";
    fs.AddFile(RunFolder() + L"\\" + EarlierJournalFileName,
               Utf16(L"M\t" + p + L"\\zlib1.dll\t" + b + L"\\1\t" + p + L"\\update\\zlib1.dll\nF\n" + L"D\t" + p +
                     L"\\docs\n" + L"M\t" + p + L"\\docs\\readme.txt\t\n" + L"M\t" + p + L"\\tallivo.exe\t" + b +
                     L"\\2\n"));
}

TEST(JournalCore, AGenuineCrashOfTheEarlierFormComesBackWhollyOld)
{
    ModelFileSystem fs;
    EarlierCrash(fs);
    const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
    EXPECT_FALSE(left.blocked);
    EXPECT_TRUE(left.keptBeside.empty());
    EXPECT_TRUE(left.keptFolders.empty());
    EXPECT_EQ(ProgramFiles(fs), (std::map<std::wstring, std::string>{
                                    {L"keep.txt", "untouched"}, {L"tallivo.exe", "exe 1.2"}, {L"zlib1.dll", "zlib 1.2"}}));
    EXPECT_FALSE(fs.Find(ModelBackup));
}

// The earlier version's journal under files a later run wrote: nothing is
// taken back, every copy is kept beside its file.
TEST(JournalCore, TheEarlierFormUnderALaterInstallTakesNothingBack)
{
    ModelFileSystem fs;
    EarlierCrash(fs);
    fs.Write(Program(L"tallivo.exe"), "exe 1.3 installed later");
    const auto files = ProgramFiles(fs);
    const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
    EXPECT_FALSE(left.blocked);
    EXPECT_EQ(left.keptBeside, (std::vector<std::wstring>{Program(L"tallivo.exe") + KeptCopySuffix,
                                                           Program(L"zlib1.dll") + KeptCopySuffix}));
    auto expected = files;
    expected[std::wstring(L"tallivo.exe") + KeptCopySuffix] = "exe 1.2";
    expected[std::wstring(L"zlib1.dll") + KeptCopySuffix] = "zlib 1.2";
    EXPECT_EQ(ProgramFiles(fs), expected) << Describe(ProgramFiles(fs));
    EXPECT_FALSE(fs.Find(ModelBackup));
}

// The earlier version's journal names another folder (this one renamed or
// copied since): nothing there or here is touched, the copies stay.
TEST(JournalCore, TheEarlierFormNamingAnotherFolderTouchesNothing)
{
    ModelFileSystem fs;
    EarlierCrash(fs, L"C:\\Elsewhere");
    fs.AddFile(L"C:\\Elsewhere\\zlib1.dll", "another installation's");
    const auto files = ProgramFiles(fs);
    const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
    EXPECT_FALSE(left.blocked);
    EXPECT_EQ(left.keptFolders, std::vector<std::wstring>{RunFolder() + KeptFolderSuffix});
    EXPECT_EQ(ProgramFiles(fs), files);
    EXPECT_EQ(fs.Content(L"C:\\Elsewhere\\zlib1.dll"), "another installation's");
}

}  // namespace
}  // namespace quill::updater::testing
