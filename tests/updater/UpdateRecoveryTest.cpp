// What update.exe does at its start with what an earlier run left in the
// backup folder: a run that crashed comes back wholly old; files changed
// since (a reinstall, a later update) stay, and no kept original is lost;
// a folder renamed or copied after the crash recovers on its own; a journal
// that cannot be read keeps its copies and says so once. Nothing outside
// the program folder ever changes. The program folders lie in a folder of
// their own beside other files, which each test reads before and after.
#include "TempFolder.h"
#include "UpdateProcess.h"
#include "forms/Pump.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ReferenceService.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quill::updater::testing {
namespace {

// A folder's files by path relative to it, "\\" between folders; a folder
// itself is listed with a "\\" at its end and no bytes.
using Tree = std::map<std::wstring, std::string>;

void ReadTreeInto(const std::wstring& folder, const std::wstring& prefix, const std::wstring& skip, Tree& tree)
{
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring relative = prefix + name;
        if (!skip.empty() && lstrcmpiW(relative.c_str(), skip.c_str()) == 0)
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            tree[relative + L"\\"] = "";
            ReadTreeInto(folder + L"\\" + name, relative + L"\\", skip, tree);
        } else {
            tree[relative] = ReadWholeFile(folder + L"\\" + name);
        }
    } while (FindNextFileW(h, &found));
    FindClose(h);
}

// Everything below `folder` but the subfolder (or file) `skip`.
Tree ReadTree(const std::wstring& folder, const std::wstring& skip = L"")
{
    Tree tree;
    ReadTreeInto(folder, L"", skip, tree);
    return tree;
}

std::string Narrow(const std::wstring& text);

// The paths whose presence or bytes differ between two readings of a tree;
// "" when none do.
std::string Difference(const Tree& before, const Tree& after)
{
    std::string out;
    for (const auto& [path, bytes] : before) {
        const auto found = after.find(path);
        if (found == after.end())
            out.append(Narrow(path)).append(" is gone; ");
        else if (found->second != bytes)
            out.append(Narrow(path)).append(" changed; ");
    }
    for (const auto& [path, bytes] : after)
        if (!before.contains(path))
            out.append(Narrow(path)).append(" is new; ");
    return out;
}

// The files below `folder` that hold exactly `bytes`, by relative path.
std::vector<std::wstring> HoldersOf(const std::wstring& folder, const std::string& bytes)
{
    std::vector<std::wstring> holders;
    for (const auto& [path, content] : ReadTree(folder))
        if (path.back() != L'\\' && content == bytes)
            holders.push_back(path);
    return holders;
}

std::wstring FolderOf(const std::wstring& relative)
{
    const std::size_t last = relative.rfind(L'\\');
    return last == std::wstring::npos ? L"" : relative.substr(0, last);
}

std::wstring Slashed(std::wstring path)
{
    for (auto& c : path)
        if (c == L'\\')
            c = L'/';
    return path;
}

// Whether a message names a relative path (in either separator, alone or in
// a full path).
bool Names(const std::wstring& message, const std::wstring& relative)
{
    return !relative.empty() &&
           (message.find(relative) != std::wstring::npos || message.find(Slashed(relative)) != std::wstring::npos);
}

bool AnyNames(const std::vector<std::wstring>& messages, const std::wstring& relative)
{
    for (const auto& m : messages)
        if (Names(m, relative))
            return true;
    return false;
}

std::string Narrow(const std::wstring& text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string Told(const std::vector<std::wstring>& messages)
{
    std::string all;
    for (const auto& m : messages)
        all.append("[").append(Narrow(m)).append("] ");
    return all;
}

// A kept original is lost when no file below the folder holds its bytes.
void ExpectKept(const std::wstring& folder, const std::string& bytes, const std::string& what)
{
    EXPECT_FALSE(HoldersOf(folder, bytes).empty()) << what << " is lost";
}

std::string Utf16(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

FILETIME HoursAgo(int hours)
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{};
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(hours) * 3600ull * 10000000ull;
    return {t.LowPart, t.HighPart};
}

// Sets a file's (or folder's) last-write time.
void SetWriteTime(const std::wstring& path, const FILETIME& time)
{
    KernelHandle h(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(h);
    ASSERT_TRUE(SetFileTime(h.Get(), nullptr, nullptr, &time));
}

void CopyTree(const std::wstring& from, const std::wstring& to)
{
    CreateDirectoryW(to.c_str(), nullptr);
    for (const auto& [path, bytes] : ReadTree(from)) {
        if (path.back() == L'\\')
            CreateDirectoryW((to + L"\\" + path).c_str(), nullptr);
        else
            ASSERT_TRUE(CopyFileW((from + L"\\" + path).c_str(), (to + L"\\" + path).c_str(), FALSE));
    }
}

// The program folders' parent: a folder beside them holds files of the same
// names, which no recovery may touch.
class Recovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateDirectoryW(program.c_str(), nullptr));
        WriteBytes(root / L"outside\\tallivo.exe", "another installation's main program");
        WriteBytes(root / L"outside\\docs\\readme.txt", "another installation's readme");
        WriteBytes(root / L"outside\\zlib1.dll", "another installation's library");
    }

    // Everything outside the program folder `inside` (a name in root).
    Tree Outside(const std::wstring& inside) const { return ReadTree(root.Path(), inside); }

    TempFolder root;
    std::wstring program = root / L"A";
    const std::string mainProgram13 = ReadWholeFile(Fixture(L"fake_tallivo_13.exe"));
};

// ---------------------------------------------------------------------------
// Journals of the earlier builds: absolute paths, with or without the source.

enum class EarlierForm { WithoutSource, WithSource };

struct EarlierCase {
    EarlierForm form;
    bool touchedSince;  // a later run installed over the crashed one's files
};

std::string Name(const ::testing::TestParamInfo<EarlierCase>& info)
{
    return std::string(info.param.form == EarlierForm::WithSource ? "WithSource" : "WithoutSource") +
           (info.param.touchedSince ? "UnderALaterInstall" : "NothingTouchedSince");
}

class EarlierJournal : public Recovery, public ::testing::WithParamInterface<EarlierCase> {};

// The earlier build's run made docs\ and docs\readme.txt and replaced the
// main program (its copy holds the bytes before). Touched since: a later run
// installed 1.3 ten minutes ago, over the crashed run's 1.4, an hour after
// the journal's last record. Not touched: the crashed run's files are in
// place, written before its last record, and come back wholly old. A record
// naming a file outside the program folder is never acted on.
TEST_P(EarlierJournal, OneStartTakesBackOnlyWhatIsStillTheRunsAndKeepsEveryOriginal)
{
    const auto [form, touchedSince] = GetParam();
    InstallUpdater(program);
    const std::wstring run = program + L"\\update\\~backup\\1";
    const std::string replacedBytes = touchedSince ? "the 1.2 main program's bytes" : mainProgram13;
    WriteBytes(run + L"\\1", replacedBytes);
    if (touchedSince) {
        WriteBytes(program + L"\\tallivo.exe", mainProgram13);
        WriteBytes(program + L"\\docs\\readme.txt", "the 1.3 readme");
    } else {
        WriteBytes(program + L"\\tallivo.exe", "the crashed run's 1.4 main program");
        WriteBytes(program + L"\\docs\\readme.txt", "the crashed run's readme");
        for (const wchar_t* file : {L"\\tallivo.exe", L"\\docs\\readme.txt"})
            SetWriteTime(program + file, HoursAgo(2));
    }
    const auto move = [&](const std::wstring& target, const std::wstring& copy, const std::wstring& cached) {
        return L"M\t" + target + L"\t" + copy +
               (form == EarlierForm::WithSource ? L"\t" + program + L"\\update\\" + cached + L"\nF" : L"") +
               L"\n";
    };
    const std::wstring journal = L"D\t" + program + L"\\docs\n" +
                                 move(program + L"\\docs\\readme.txt", L"", L"docs\\readme.txt") +
                                 move(root / L"outside\\zlib1.dll", L"", L"zlib1.dll") +
                                 move(program + L"\\tallivo.exe", run + L"\\1", L"tallivo.exe");
    WriteBytes(run + L"\\journal", Utf16(journal));
    for (const std::wstring& path : {run + L"\\journal", run + L"\\1"})
        SetWriteTime(path, HoursAgo(1));
    const Tree outside = Outside(L"A");

    std::vector<std::wstring> shown;
    ASSERT_TRUE(RunToWelcome(program, shown)) << Told(shown);

    EXPECT_EQ(Difference(outside, Outside(L"A")), "");
    if (touchedSince) {
        EXPECT_TRUE(ReadWholeFile(program + L"\\tallivo.exe") == mainProgram13) << "the main program is not 1.3";
        EXPECT_EQ(ReadWholeFile(program + L"\\docs\\readme.txt"), "the 1.3 readme");
        // The 1.2 bytes stay beside the main program, or in the run's folder,
        // and a message names where.
        const auto holders = HoldersOf(program, replacedBytes);
        ASSERT_FALSE(holders.empty()) << "the 1.2 copy is lost";
        bool named = false;
        for (const auto& holder : holders)
            named = named || AnyNames(shown, holder) || AnyNames(shown, FolderOf(holder));
        EXPECT_TRUE(named) << Told(shown);
    } else {
        EXPECT_TRUE(ReadWholeFile(program + L"\\tallivo.exe") == mainProgram13) << "the main program is not 1.3";
        EXPECT_FALSE(Exists(program + L"\\docs\\readme.txt"));
        EXPECT_FALSE(Exists(program + L"\\docs"));
        EXPECT_FALSE(Exists(run)) << "the run is wholly taken back";
        EXPECT_TRUE(shown.empty()) << Told(shown);
    }

    // A later start has nothing more to say or do.
    const Tree after = ReadTree(program);
    std::vector<std::wstring> again;
    ASSERT_TRUE(RunToWelcome(program, again)) << Told(again);
    EXPECT_TRUE(again.empty()) << Told(again);
    EXPECT_EQ(Difference(after, ReadTree(program)), "");
    EXPECT_EQ(Difference(outside, Outside(L"A")), "");
}

INSTANTIATE_TEST_SUITE_P(UpdateRecovery, EarlierJournal,
                         ::testing::Values(EarlierCase{EarlierForm::WithoutSource, true},
                                           EarlierCase{EarlierForm::WithSource, true},
                                           EarlierCase{EarlierForm::WithoutSource, false},
                                           EarlierCase{EarlierForm::WithSource, false}),
                         Name);

// ---------------------------------------------------------------------------
// Runs of today's update.exe ended from outside at a move question.

struct ReleaseFile {
    std::wstring path;                // "\\" between folders
    std::optional<std::string> old;   // installed at 1.3; none for a file new in 1.4
    std::string fresh;
};

// `count` files in the descriptor's order: the main program, libchart.dll, a
// new docs\readme.txt and libraries, with webchart.htm in the middle. Every
// 1.4 file differs in size from its 1.3 form, so that the list takes all.
std::vector<ReleaseFile> MakeRelease(int count)
{
    std::vector<std::wstring> names = {L"tallivo.exe", L"libchart.dll", L"docs\\readme.txt"};
    for (int i = 0; static_cast<int>(names.size()) < count - 1; ++i)
        names.push_back(L"lib\\f" + std::to_wstring(1000 + i) + L".dat");
    names.insert(names.begin() + count / 2, L"webchart.htm");
    std::vector<ReleaseFile> files;
    for (const auto& name : names) {
        const std::string n = Narrow(name);
        if (name == L"tallivo.exe")
            files.push_back({name, ReadWholeFile(Fixture(L"fake_tallivo_13.exe")),
                             ReadWholeFile(Fixture(L"fake_tallivo_14.exe")) + "padding"});
        else if (name == L"docs\\readme.txt")
            files.push_back({name, std::nullopt, "version 1.4 of " + n});
        else
            files.push_back({name, "1.3 " + n, "version 1.4 of " + n});
    }
    return files;
}

// What a folder holds, cheaply: its entries and their sizes, summed.
std::pair<std::size_t, ULONGLONG> Census(const std::wstring& folder)
{
    std::pair<std::size_t, ULONGLONG> seen{0, 0};
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return seen;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        ++seen.first;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const auto inner = Census(folder + L"\\" + name);
            seen.first += inner.first;
            seen.second += inner.second;
        } else {
            seen.second += (ULONGLONG(found.nFileSizeHigh) << 32) + found.nFileSizeLow + name.size();
        }
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return seen;
}

// Waits until `done` holds while the updater still gets on (the program
// folder and its cache change, the list grows). It gives up only after a
// minute with no change, so that a loaded machine makes it slow, not fail.
bool PumpWhileProgressing(const std::wstring& folder, HWND window, const std::function<bool()>& done,
                          const char* what)
{
    const auto state = [&] {
        const auto lists = window ? ListBoxes(window) : std::vector<HWND>{};
        return std::pair(Census(folder), lists.empty() ? LRESULT{-1} : SendMessageW(lists[0], LB_GETCOUNT, 0, 0));
    };
    auto last = state();
    ULONGLONG changed = GetTickCount64();
    for (;;) {
        forms::DoEvents();
        if (done())
            return true;
        const auto now = state();
        if (now != last) {
            last = now;
            changed = GetTickCount64();
        } else if (GetTickCount64() - changed > 60000) {
            ADD_FAILURE() << "gave up waiting for " << what << ": nothing changed for a minute";
            return false;
        }
        MsgWaitForMultipleObjectsEx(0, nullptr, 50, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

// Publishes the release and starts the updater of `folder` on it: the file
// list offered and the download started.
Started StartDownloading(test::ReferenceService& service, const std::vector<ReleaseFile>& release,
                         const std::wstring& folder, DWORD& id)
{
    std::string descriptor = "[Update]\r\nnewver=1.4\r\ncheckfile=" + std::to_string(release.size()) + "\r\n";
    int n = 0;
    for (const auto& file : release) {
        WriteBytes(service.UpdateFolder() + L"\\" + file.path, file.fresh);
        descriptor += "file" + std::to_string(++n) + "=" + Narrow(Slashed(file.path)) + "|" +
                      std::to_string(file.fresh.size()) + "\r\n";
    }
    WriteBytes(service.UpdateFolder() + L"\\update.txt", descriptor + "[/Update]\r\n");
    Started process = Start(folder + L"\\update.exe", id);
    HWND window = WizardOf(id);
    EXPECT_TRUE(window) << (MessageBoxOf(id) ? Narrow(StaticText(MessageBoxOf(id))) : "no message")
                        << (Exited(process) ? ", ended" : ", running") << [&] {
                               DWORD code = 0;
                               GetExitCodeProcess(process.Get(), &code);
                               return code;
                           }();
    if (!window)
        return process;
    ClickInWizard(window, {249 + 32, 255 + 14});
    EXPECT_TRUE(PumpWhileProgressing(
        folder, window,
        [&] {
            const auto lists = ListBoxes(window);
            return lists.size() == 3 &&
                   SendMessageW(lists[0], LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(release.size());
        },
        "the file list"))
        << (MessageBoxOf(id) ? Narrow(StaticText(MessageBoxOf(id))) : "no message") << ", rows "
        << (ListBoxes(window).empty() ? -1 : SendMessageW(ListBoxes(window)[0], LB_GETCOUNT, 0, 0));
    test::ClickAt(window, 249 + 20, 255 + 10);
    return process;
}

class CrashedRun : public Recovery {
protected:
    void SetUp() override
    {
        Recovery::SetUp();
        service.Control(R"({"op":"set","update_newver":"1.4"})");
        SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", service.Primary().c_str());
    }
    void TearDown() override { SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", nullptr); }

    static void InstallOld(const std::wstring& folder, const std::vector<ReleaseFile>& release)
    {
        InstallUpdater(folder);
        for (const auto& file : release)
            if (file.old)
                WriteBytes(folder + L"\\" + file.path, *file.old);
    }

    // An update of `folder` ended from outside at the move question for
    // webchart.htm, which the test holds open meanwhile.
    void Crash(const std::wstring& folder, const std::vector<ReleaseFile>& release)
    {
        KernelHandle held(CreateFileW((folder + L"\\webchart.htm").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        DWORD id = 0;
        Started process = StartDownloading(service, release, folder, id);
        EXPECT_TRUE(PumpWhileProgressing(
            folder, nullptr,
            [&] {
                const HWND question = WindowOf(id, L"#32770", L"在线更新");
                return question && StaticText(question).starts_with(L"移动文件[webchart.htm]");
            },
            "the move question for the held file"));
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), INFINITE);
        // Half updated: the first file is new.
        EXPECT_TRUE(ReadWholeFile(folder + L"\\tallivo.exe") == release.front().fresh) << "the main program is not new";
    }

    // How many files differ from the release's old form (absent where it has
    // none) or from its new form.
    static int Differing(const std::wstring& folder, const std::vector<ReleaseFile>& release, bool fresh)
    {
        int differing = 0;
        for (const auto& file : release) {
            const std::wstring path = folder + L"\\" + file.path;
            const std::optional<std::string> expected = fresh ? std::optional(file.fresh) : file.old;
            if (Exists(path) != expected.has_value() || (expected && ReadWholeFile(path) != *expected))
                ++differing;
        }
        return differing;
    }

    // The originals a crashed run replaced before the held file: none lost.
    static void ExpectOriginalsKept(const std::wstring& folder, const std::vector<ReleaseFile>& release)
    {
        for (const auto& file : release) {
            if (file.path == L"webchart.htm")
                break;
            if (file.old)
                ExpectKept(folder, *file.old, Narrow(file.path) + "'s original");
        }
    }

    test::ReferenceService service;
};

// After a crash, the user writes every 1.4 file over the folder; one start
// reverts and deletes nothing, and the originals the crashed run replaced
// are not lost. Without the reinstall, the same crash comes back wholly old.
TEST_F(CrashedRun, AReinstallAfterACrashStaysWhileAnUntouchedCrashComesBackWholly)
{
    const auto release = MakeRelease(120);
    for (const bool reinstalled : {true, false}) {
        const std::wstring name = reinstalled ? L"reinstalled" : L"untouched";
        const std::wstring folder = root / name;
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        InstallOld(folder, release);
        Crash(folder, release);
        if (reinstalled)
            for (const auto& file : release)
                WriteBytes(folder + L"\\" + file.path, file.fresh);
        const Tree outside = Outside(name);

        std::vector<std::wstring> shown;
        ASSERT_TRUE(RunToWelcome(folder, shown)) << Told(shown);
        EXPECT_EQ(Difference(outside, Outside(name)), "");
        if (reinstalled) {
            EXPECT_EQ(Differing(folder, release, true), 0) << "files reverted or deleted after a reinstall";
            ExpectOriginalsKept(folder, release);
        } else {
            EXPECT_EQ(Differing(folder, release, false), 0) << "files not taken back";
            EXPECT_FALSE(Exists(folder + L"\\update\\~backup"));
            EXPECT_TRUE(shown.empty()) << Told(shown);
        }
        // A later start has nothing more to say or do.
        const Tree after = ReadTree(folder);
        std::vector<std::wstring> again;
        ASSERT_TRUE(RunToWelcome(folder, again)) << Told(again);
        EXPECT_TRUE(again.empty()) << Told(again);
        EXPECT_EQ(Difference(after, ReadTree(folder)), "");
    }
}

// Renamed after the crash: the run's files are found where they are now and
// come back wholly old, no original lost; nothing is made at the old name.
TEST_F(CrashedRun, AFolderRenamedAfterACrashRecoversWhereItIsNow)
{
    const auto release = MakeRelease(20);
    InstallOld(program, release);
    Crash(program, release);
    const std::wstring renamed = root / L"A renamed";
    ASSERT_TRUE(MoveFileW(program.c_str(), renamed.c_str()));
    const Tree outside = Outside(L"A renamed");

    std::vector<std::wstring> shown;
    ASSERT_TRUE(RunToWelcome(renamed, shown)) << Told(shown);
    EXPECT_EQ(Difference(outside, Outside(L"A renamed")), "");
    EXPECT_FALSE(Exists(program));
    EXPECT_EQ(Differing(renamed, release, false), 0) << "files not taken back in the renamed folder";
    EXPECT_FALSE(Exists(renamed + L"\\update\\~backup"));
    EXPECT_TRUE(shown.empty()) << Told(shown);
}

// Copied to B after the crash; A recovered and then updated whole: B's start
// changes nothing in A, and no original B's copy of the run kept is lost.
TEST_F(CrashedRun, AFolderCopiedAfterACrashRecoversOnlyItself)
{
    const auto release = MakeRelease(20);
    InstallOld(program, release);
    Crash(program, release);
    const std::wstring copy = root / L"B";
    CopyTree(program, copy);

    std::vector<std::wstring> shown;
    ASSERT_TRUE(RunToWelcome(program, shown)) << Told(shown);
    EXPECT_EQ(Differing(program, release, false), 0) << "A not taken back";

    // A then updated whole: every file new, as the update's moves leave
    // them, and no run of its own left.
    for (const auto& file : release)
        WriteBytes(program + L"\\" + file.path, file.fresh);
    EXPECT_EQ(Differing(program, release, true), 0) << "A not updated";
    const Tree outside = Outside(L"B");

    std::vector<std::wstring> inCopy;
    ASSERT_TRUE(RunToWelcome(copy, inCopy)) << Told(inCopy);
    EXPECT_EQ(Difference(outside, Outside(L"B")), "") << "B's start changed files outside B";
    EXPECT_EQ(Differing(program, release, true), 0);
    ExpectOriginalsKept(copy, release);
}

// ---------------------------------------------------------------------------
// A journal that cannot be read whole: every copy stays, one message names
// the folder that holds them, the update goes on, a later start is silent.

struct Damage {
    const char* name;
    // Leaves the damaged journal in the run folder (the whole one given).
    void (*apply)(const std::wstring& run, const std::wstring& whole);
};

void Cut(const std::wstring& run, const std::wstring& whole)
{
    // The first record loses its end; the next follows on at once.
    const std::size_t firstEnd = whole.find(L'\n');
    WriteBytes(run + L"\\journal", Utf16(whole.substr(0, firstEnd / 2) + whole.substr(firstEnd + 1)));
}

const Damage Damages[] = {
    {"Empty", [](const std::wstring& run, const std::wstring&) { WriteBytes(run + L"\\journal", ""); }},
    {"Garbage",
     [](const std::wstring& run, const std::wstring&) {
         WriteBytes(run + L"\\journal", std::string("\x13\x37\xff\xfe garbage\0\x01\x02\n\t\x80\x81", 20));
     }},
    {"AnotherText",
     [](const std::wstring& run, const std::wstring&) {
         WriteBytes(run + L"\\journal", Utf16(L"[Update]\nnewver=1.4\ncheckfile=1\nfile1=zz.dll|300\n"));
     }},
    {"Deleted", [](const std::wstring&, const std::wstring&) {}},
    {"AFolder",
     [](const std::wstring& run, const std::wstring&) {
         ASSERT_TRUE(CreateDirectoryW((run + L"\\journal").c_str(), nullptr));
         WriteBytes(run + L"\\journal\\inside", "a file in the folder");
     }},
    {"CutInsideAnEarlierRecord", Cut},
};

class DamagedJournal : public Recovery, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedJournal, KeepsEveryCopyAndSaysSoOnce)
{
    InstallUpdater(program);
    WriteBytes(program + L"\\tallivo.exe", mainProgram13);
    WriteBytes(program + L"\\zz.dll", "the new library");
    const std::wstring run = program + L"\\update\\~backup\\1";
    WriteBytes(run + L"\\1", "the old library");
    WriteBytes(run + L"\\2", "the old main program");
    const std::wstring whole = L"M\t" + program + L"\\zz.dll\t" + run + L"\\1\t" + program +
                               L"\\update\\zz.dll\nF\nM\t" + program + L"\\tallivo.exe\t" + run + L"\\2\t" +
                               program + L"\\update\\tallivo.exe\nF\n";
    GetParam().apply(run, whole);
    const Tree outside = Outside(L"A");

    std::vector<std::wstring> shown;
    ASSERT_TRUE(RunToWelcome(program, shown)) << Told(shown);
    EXPECT_EQ(Difference(outside, Outside(L"A")), "");
    EXPECT_TRUE(ReadWholeFile(program + L"\\tallivo.exe") == mainProgram13) << "the main program is not 1.3";
    EXPECT_EQ(ReadWholeFile(program + L"\\zz.dll"), "the new library");
    const auto holders = HoldersOf(program, "the old library");
    ASSERT_FALSE(holders.empty()) << "a copy is lost";
    ExpectKept(program, "the old main program", "the second copy");
    ASSERT_EQ(shown.size(), 1u) << Told(shown);
    EXPECT_TRUE(Names(shown[0], FolderOf(holders.front()))) << Told(shown);

    const Tree after = ReadTree(program);
    std::vector<std::wstring> again;
    ASSERT_TRUE(RunToWelcome(program, again)) << Told(again);
    EXPECT_TRUE(again.empty()) << Told(again);
    EXPECT_EQ(Difference(after, ReadTree(program)), "");
}

INSTANTIATE_TEST_SUITE_P(UpdateRecovery, DamagedJournal, ::testing::ValuesIn(Damages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quill::updater::testing
