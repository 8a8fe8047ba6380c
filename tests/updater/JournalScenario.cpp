#include "JournalScenario.h"

namespace quill::updater::testing {
namespace {

bool InCache(const std::wstring& relative)
{
    std::wstring upper = relative;
    for (wchar_t& c : upper)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    return upper == L"UPDATE\\" || upper.starts_with(L"UPDATE\\");
}

void AddFolders(std::map<std::wstring, std::string>& tree, const std::wstring& path)
{
    for (std::size_t sep = path.find(L'\\'); sep != std::wstring::npos; sep = path.find(L'\\', sep + 1))
        tree[path.substr(0, sep + 1)] = "";
}

std::string Marked(const ScenarioFile& f, bool readOnly)
{
    return f.bytes + (readOnly && f.readOnly ? "(RO)" : "");
}

}  // namespace

void Install(ModelFileSystem& fs, const Scenario& scenario, const std::wstring& program)
{
    fs.AddFolder(program + L"\\update");
    for (const ScenarioFile& f : scenario.installed) {
        fs.AddFile(program + L"\\" + f.path, f.bytes);
        if (f.readOnly)
            fs.SetReadOnly(program + L"\\" + f.path, true);
    }
    for (const ScenarioFile& f : scenario.update)
        fs.AddFile(program + L"\\update\\" + f.path, f.bytes, false);
    fs.calls = 0;
}

Ended RunUpdate(ModelFileSystem& fs, const Scenario& scenario, TakenBack* left, const std::wstring& program)
{
    try {
        JournalRun run(fs, program + L"\\update\\~backup", program);
        for (const ScenarioFile& f : scenario.update) {
            if (!run.Replace(program + L"\\update\\" + f.path, program + L"\\" + f.path)) {
                const TakenBack back = run.Rollback();
                if (left)
                    *left = back;
                return Ended::RolledBack;
            }
        }
        if (!run.Commit()) {
            const TakenBack back = run.Rollback();
            if (left)
                *left = back;
            return Ended::RolledBack;
        }
        return Ended::Committed;
    } catch (const ModelCrash&) {
        return Ended::Crashed;
    }
}

std::map<std::wstring, std::string> ProgramFiles(const ModelFileSystem& fs, bool readOnly,
                                                 const std::wstring& program)
{
    std::map<std::wstring, std::string> files;
    for (auto [path, bytes] : fs.Tree(program)) {
        if (InCache(path))
            continue;
        if (!readOnly && bytes.ends_with("(RO)"))
            bytes.resize(bytes.size() - 4);
        files[path] = bytes;
    }
    return files;
}

std::map<std::wstring, std::string> Before(const Scenario& scenario, bool readOnly)
{
    std::map<std::wstring, std::string> tree;
    for (const ScenarioFile& f : scenario.installed) {
        AddFolders(tree, f.path);
        tree[f.path] = Marked(f, readOnly);
    }
    return tree;
}

std::map<std::wstring, std::string> After(const Scenario& scenario, bool readOnly)
{
    std::map<std::wstring, std::string> tree = Before(scenario, readOnly);
    for (const ScenarioFile& f : scenario.update) {
        AddFolders(tree, f.path);
        tree[f.path] = f.bytes;  // the downloaded file, never read-only
    }
    return tree;
}

}  // namespace quill::updater::testing
