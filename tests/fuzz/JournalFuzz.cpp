// The journal of the updater's moves on a model disk. The input builds an
// update (the installed files, the downloaded ones, read-only marks), ends
// the process at any call (a crash, or a power cut that keeps only what was
// flushed, the last write torn), makes calls fail, may end the next start's
// recovery too, then recovers: every file outside the cache ends exactly as
// before the update or exactly as after it. The input's rest is also read as
// a journal of either form found below the backup folder: recovering it
// never touches a file outside the program folder.
#include "tests/updater/JournalScenario.h"
#include "updater/JournalCore.h"
#include "updater/JournalRecords.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <set>
#include <string>

namespace {

using namespace quill::updater;
using namespace quill::updater::testing;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::string Rest() { return std::string(reinterpret_cast<const char*>(data_ + at_), size_ - at_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void Require(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "journal fuzz: %s\n", what);
        std::abort();
    }
}

const wchar_t* const Names[] = {L"tallivo.exe", L"zlib1.dll",     L"docs\\readme.txt",
                                L"sub\\dir\\a.dll", L"webchart.htm", L"说明.txt"};

Scenario ScenarioOf(Input& in)
{
    Scenario scenario;
    std::set<std::wstring> installed, updated;
    const int installedCount = in.Byte() % 5, updateCount = 1 + in.Byte() % 5;
    for (int i = 0; i < installedCount; ++i) {
        const std::wstring name = Names[in.Byte() % std::size(Names)];
        const std::uint8_t b = in.Byte();
        if (installed.insert(name).second)
            scenario.installed.push_back({name, "old " + std::to_string(b >> 1), (b & 1) != 0});
    }
    for (int i = 0; i < updateCount; ++i) {
        const std::wstring name = Names[in.Byte() % std::size(Names)];
        const std::uint8_t b = in.Byte();
        if (updated.insert(name).second)
            scenario.update.push_back({name, "new " + std::to_string(b)});
    }
    return scenario;
}

void UpdateEndedAnywhere(Input& in)
{
    const Scenario scenario = ScenarioOf(in);
    const std::uint8_t mode = in.Byte();
    const bool powerCut = mode & 1, zeros = mode & 2, failing = mode & 4, recoveryEnds = mode & 8;
    const unsigned crash = unsigned(in.Byte()) << 8 | in.Byte();
    const std::size_t tearAt = in.Byte();
    const unsigned failEvery = 2 + in.Byte() % 13, failPhase = in.Byte();
    const unsigned recoveryCrash = in.Byte();

    ModelFileSystem probe;
    Install(probe, scenario);
    Require(RunUpdate(probe, scenario) == Ended::Committed, "an update without faults does not commit");
    Require(ProgramFiles(probe) == After(scenario), "an update without faults does not leave the new files");

    ModelFileSystem fs;
    Install(fs, scenario);
    fs.crashAt = 1 + crash % (probe.calls + 10);
    fs.tear = zeros ? ModelFileSystem::Tear::ZerosInside : ModelFileSystem::Tear::Prefix;
    fs.tearAt = tearAt;
    if (failing)
        fs.fails = [&](std::uint64_t call, const char*, const std::wstring&) {
            return (call + failPhase) % failEvery == 0;
        };
    const Ended ended = RunUpdate(fs, scenario);
    fs.NoFaults();
    if (ended == Ended::Crashed && powerCut)
        fs.PowerCut();
    if (recoveryEnds) {
        fs.crashAt = fs.calls + 1 + recoveryCrash;
        try {
            JournalRun::Recover(fs, ModelBackup, ModelProgram);
        } catch (const ModelCrash&) {
            if (powerCut)
                fs.PowerCut();
        }
        fs.NoFaults();
    }
    const TakenBack left = JournalRun::Recover(fs, ModelBackup, ModelProgram);
    Require(!left.blocked, "a recovery without faults is blocked");
    // A failed call may lose a read-only mark; nothing else.
    const bool marks = !failing;
    const auto files = ProgramFiles(fs, marks);
    const bool old = files == Before(scenario, marks), updated = files == After(scenario, marks);
    Require(old || updated, "the program folder is neither wholly old nor wholly new");
    Require(ended != Ended::Committed || updated, "a committed update is taken back");
    if (!failing) {
        Require(left.keptBeside.empty() && left.keptFolders.empty(), "a genuine crash keeps copies");
        Require(!fs.Find(ModelBackup), "a genuine crash leaves the backup folder");
    }
}

void AnyJournal(Input& in)
{
    const std::uint8_t form = in.Byte();
    const std::string bytes = in.Rest();
    ModelFileSystem fs;
    fs.AddFile(L"C:\\outside.dll", "someone else's");
    fs.AddFile(L"C:\\Quill2\\a.dll", "another installation's");
    fs.AddFile(ModelProgram + L"\\a.dll", "the program's");
    fs.AddFile(ModelBackup + L"\\1\\1", "a copy");
    fs.AddFile(ModelBackup + L"\\1\\" + (form & 1 ? EarlierJournalFileName : JournalFileName), bytes);
    JournalRun::Recover(fs, ModelBackup, ModelProgram);
    Require(fs.Content(L"C:\\outside.dll") == "someone else's", "a file outside the program folder changed");
    Require(fs.Content(L"C:\\Quill2\\a.dll") == "another installation's", "another installation changed");
    // Parsed again on its own, whatever the bytes.
    ReadRecords(bytes);
    ReadEarlierRecords(bytes, ModelProgram);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    if (in.Byte() & 1)
        AnyJournal(in);
    else
        UpdateEndedAnywhere(in);
    return 0;
}
