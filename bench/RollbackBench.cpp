// How long the updater takes to take back an update of many files: the
// journal's rollback (MoveJournal on real files: every replaced file comes
// back from its copy, each step marked in the journal as it is taken back)
// against the same count of plain moves back (MoveFileExW of each copy over
// its file, as the rollback's own moves are made), with no journal at all.
// For each count: the seconds of each side (median of the rounds), the
// figure per move, and the ratio rollback ÷ plain moves. A side that does
// not leave every file with its old bytes fails the run (exit code 1) with
// no ratio; so does a rollback whose figure per move at the largest count
// is more than three times the one at the smallest (it would grow with the
// count).
//
//     rollback_bench [rounds=3] [counts=1000,8000,32767]
#include "updater/FileMoves.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchRounds.h"

using namespace quill;

namespace {

const std::string OldBytes = "the file before the update";
const std::string NewBytes = "the file the update brought";

double Now()
{
    LARGE_INTEGER f{}, c{};
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

bool Write(const std::wstring& path, const std::string& bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(h);
    return ok;
}

std::string Read(const std::wstring& path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string bytes(256, '\0');
    DWORD got = 0;
    ReadFile(h, bytes.data(), DWORD(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + L"\\" + name);
            else
                DeleteFileW((folder + L"\\" + name).c_str());
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
}

// A program folder of `count` files (f0.dat...), made fresh for each round.
class Folder {
public:
    explicit Folder(int count) : count_(count)
    {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        static int serial = 0;
        path_ = std::wstring(base) + L"quill-rollback-bench-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++serial);
        CreateDirectoryW(path_.c_str(), nullptr);
        CreateDirectoryW(Cache().c_str(), nullptr);
    }
    ~Folder() { RemoveTree(path_); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    std::wstring Target(int i) const { return path_ + L"\\f" + std::to_wstring(i) + L".dat"; }
    std::wstring Cached(int i) const { return Cache() + L"\\f" + std::to_wstring(i) + L".dat"; }
    std::wstring Cache() const { return path_ + L"\\update"; }
    std::wstring Backups() const { return path_ + L"\\update\\~backup"; }
    const std::wstring& Path() const { return path_; }

    // Every file holds its old bytes.
    bool AllOld() const
    {
        for (int i = 0; i < count_; ++i)
            if (Read(Target(i)) != OldBytes) {
                std::fprintf(stderr, "f%d.dat holds \"%s\", not its old bytes\n", i, Read(Target(i)).c_str());
                return false;
            }
        return true;
    }

private:
    int count_;
    std::wstring path_;
};

bool failed = false;

// The journal: `count` files replaced through MoveJournal, then its
// rollback timed.
double Rollback(int count)
{
    Folder folder(count);
    for (int i = 0; i < count; ++i)
        if (!Write(folder.Target(i), OldBytes) || !Write(folder.Cached(i), NewBytes))
            std::exit(2);
    updater::MoveJournal journal(folder.Backups(), folder.Path());
    for (int i = 0; i < count; ++i)
        if (!journal.Replace(folder.Cached(i), folder.Target(i))) {
            std::fprintf(stderr, "the move of f%d.dat failed\n", i);
            std::exit(2);
        }
    const double start = Now();
    const auto left = journal.Rollback();
    const double seconds = Now() - start;
    if (left.blocked || !left.keptBeside.empty() || !left.keptFolders.empty()) {
        std::fprintf(stderr, "the rollback left steps or copies\n");
        failed = true;
    }
    if (!folder.AllOld())
        failed = true;
    return seconds;
}

// The reference: the same count of old files moved back over the new ones,
// one MoveFileExW each, no journal.
double PlainMoves(int count)
{
    Folder folder(count);
    const std::wstring copies = folder.Cache() + L"\\copies";
    CreateDirectoryW(copies.c_str(), nullptr);
    for (int i = 0; i < count; ++i)
        if (!Write(folder.Target(i), NewBytes) || !Write(copies + L"\\" + std::to_wstring(i), OldBytes))
            std::exit(2);
    const double start = Now();
    for (int i = 0; i < count; ++i)
        if (!MoveFileExW((copies + L"\\" + std::to_wstring(i)).c_str(), folder.Target(i).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            failed = true;
    const double seconds = Now() - start;
    if (!folder.AllOld())
        failed = true;
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    std::vector<int> counts;
    for (const char* p = argc > 2 ? argv[2] : "1000,8000,32767"; *p;) {
        counts.push_back(std::atoi(p));
        while (*p && *p != ',')
            ++p;
        if (*p == ',')
            ++p;
    }
    std::printf("%-8s %12s %14s %12s %14s %22s\n", "moves", "rollback s", "rollback us/mv", "plain s",
                "plain us/mv", "rollback / plain");
    std::vector<double> perMove;
    for (const int count : counts) {
        std::vector<double> ours, reference;
        bench::InterleavedRounds(
            rounds, [&] { return Rollback(count); }, [&] { return PlainMoves(count); }, ours, reference);
        const double o = bench::Median(ours), r = bench::Median(reference);
        perMove.push_back(o / count);
        std::printf("%-8d %12.3f %14.1f %12.3f %14.1f ", count, o, o / count * 1e6, r, r / count * 1e6);
        if (failed) {
            std::printf("%22s\n", "(files differ)");
            continue;
        }
        std::printf("       ");
        bench::PrintRatio(bench::RatioOf(ours, reference));
        std::printf("\n");
        std::fflush(stdout);
    }
    if (!failed && perMove.size() > 1 && perMove.back() > 3 * perMove.front()) {
        std::printf("the rollback's time per move grows with the count: %.1f us at %d moves, %.1f us at %d\n",
                    perMove.front() * 1e6, counts.front(), perMove.back() * 1e6, counts.back());
        failed = true;
    }
    return failed ? 1 : 0;
}
