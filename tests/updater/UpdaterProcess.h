#pragma once
// update.exe as a program of its own: copied into a program folder, started
// as the main program starts it, and its windows found from outside.
#include "TempFolder.h"

#include <windows.h>

#include <string>
#include <vector>

namespace quill::updater::testing {

// The build's program folder (update.exe, tallivo.exe), as Wine names it.
std::wstring ProgramDir();
// Starts `exe` from its own folder without arguments; its process id in `id`.
Started Start(const std::wstring& exe, DWORD& id);
// The first visible top-level window of a process with the given class (or
// any class) and title.
HWND WindowOf(DWORD process, const wchar_t* className, const std::wstring& title);
std::vector<HWND> ListBoxes(HWND window);
// The longest text among a message box's children: its message.
std::wstring StaticText(HWND box);
// update.exe in a program folder of its own, beside the 1.3 main program.
void Install(const TempFolder& program);
// The wizard window of a started updater, once it shows; null if it never does.
HWND WizardOf(DWORD process);
bool Exited(const KernelHandle& process);

}  // namespace quill::updater::testing
