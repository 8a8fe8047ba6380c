#pragma once
// update.exe started as the main program starts it (from its program folder,
// without arguments) and watched from outside: its windows, its message
// boxes and their texts.
#include "TempFolder.h"
#include "updater/KernelHandle.h"

#include <windows.h>

#include <initializer_list>
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

// Clicks the wizard at `at` (client coordinates) once the window is in front
// with its input and the point lies on it, the pointer coming in from the
// window's corner as a user's would: a button under a pointer that never
// came in takes no click, and a window only just shown may still be behind
// another.
void ClickInWizard(HWND window, POINT at);

// Once the program has handled what came before and the window has painted
// all of it: a message sent to it returns only once its thread takes
// messages again.
void Painted(HWND window);
// A picture of the windows' area on the screen (the first and every other
// one given, as they lie over each other), each painted, into the build's
// pictures as `name`.
void Picture(std::initializer_list<HWND> windows, const wchar_t* name);

}  // namespace quill::updater::testing
