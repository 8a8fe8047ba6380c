#pragma once
// update.exe started as the main program starts it (from its program folder,
// without arguments) and watched from outside: its windows, its message
// boxes and their texts.
#include "TempFolder.h"
#include "updater/KernelHandle.h"

#include <windows.h>

#include <string>
#include <vector>

namespace quill::updater::testing {

// The folder the built programs lie in.
std::wstring ProgramDir();
// Starts a program in the folder that holds it; its process id comes back in `id`.
Started Start(const std::wstring& exe, DWORD& id);
// The first visible top-level window of a process with the given class (or
// any class) and title.
HWND WindowOf(DWORD process, const wchar_t* className, const std::wstring& title);
// A visible message box of the process, whatever its title; null when none shows.
HWND MessageBoxOf(DWORD process);
std::vector<HWND> ListBoxes(HWND window);
// The longest text of a message box's children: its message.
std::wstring StaticText(HWND box);
// update.exe in a program folder of its own, beside the 1.3 main program.
void Install(const TempFolder& program);
// update.exe alone in a folder.
void InstallUpdater(const std::wstring& folder);
// The wizard window of a started updater, once it shows; null if it never does.
HWND WizardOf(DWORD process);
bool Exited(const KernelHandle& process);

// Starts the updater of a folder and lets it run to its welcome page, the
// window taking input with no question open over it. Each message box shown
// on the way is answered with its OK button (or "否") and its text comes
// back in `shown`. The process is ended there; false if the welcome page
// never came (the updater ended first).
bool RunToWelcome(const std::wstring& folder, std::vector<std::wstring>& shown);

}  // namespace quill::updater::testing
