// Ending the running copies of the main program before its file is replaced.
#pragma once

#include <string>

namespace quill::updater {

// Terminates every process whose executable name is exeName (letter case
// aside) and whose image is exactly programFolder\exeName (a program of that
// name elsewhere is left running), then waits, at most waitMs in all, until
// they have exited. Errors are ignored.
void KillProcessByName(const std::wstring& exeName, const std::wstring& programFolder,
                       unsigned waitMs = 10000);

}  // namespace quill::updater
