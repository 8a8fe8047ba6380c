// An update run on the model disk as the updater runs it: the program's
// files, the downloaded ones in the cache, every move, the commit, a rollback
// when a move or the commit fails; and what the program folder must hold
// before and after.
#pragma once

#include "ModelFileSystem.h"
#include "updater/JournalCore.h"

#include <map>
#include <string>
#include <vector>

namespace quill::updater::testing {

inline const std::wstring ModelProgram = L"C:\\Quill";
inline const std::wstring ModelCache = L"C:\\Quill\\update";
inline const std::wstring ModelBackup = L"C:\\Quill\\update\\~backup";

struct ScenarioFile {
    std::wstring path;  // relative to the program folder
    std::string bytes;
    bool readOnly = false;
};

struct Scenario {
    std::vector<ScenarioFile> installed;
    std::vector<ScenarioFile> update;  // each moved from the cache to its place
};

// The program's files, flushed, and the downloaded ones, not flushed.
void Install(ModelFileSystem& fs, const Scenario& scenario, const std::wstring& program = ModelProgram);

enum class Ended { Committed, RolledBack, Crashed };
Ended RunUpdate(ModelFileSystem& fs, const Scenario& scenario, TakenBack* left = nullptr,
                const std::wstring& program = ModelProgram);

// The program folder outside the cache, as ModelFileSystem::Tree gives it;
// without the read-only marks when `readOnly` is false.
std::map<std::wstring, std::string> ProgramFiles(const ModelFileSystem& fs, bool readOnly = true,
                                                 const std::wstring& program = ModelProgram);
std::map<std::wstring, std::string> Before(const Scenario& scenario, bool readOnly = true);
std::map<std::wstring, std::string> After(const Scenario& scenario, bool readOnly = true);

}  // namespace quill::updater::testing
