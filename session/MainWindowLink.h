// What the login window and the main window know of each other. The main
// window is plugged in by the program's start-up (SetMainWindowOpener), and
// the main window reaches the login window through the functions below, so
// neither includes the other's class.
#pragma once

#include <functional>

namespace quill::session {

// True once the main window has been opened in this run (the session's
// MainWindowOpened): the login window then arms no automatic login, and the
// main window skips its first opening's checks.
bool MainWindowOpenedInRun();

// Opens the main window after a successful login; the program's start-up
// registers how. Without one registered, nothing opens.
void SetMainWindowOpener(std::function<void()> opener);
void OpenMainWindow();
// While OpenMainWindow runs (the main window's load handles messages while
// it fills its boxes), the login window's 取消登录 asks the opening to stop:
// the main window then goes back to the login window as a logout does.
bool MainWindowOpening();
void CancelMainWindowOpening();
bool MainWindowOpeningCancelled();

// The login window, for the main window: shown again at logout, closed with
// the main window.
void ShowLoginWindow();
void UnloadLoginWindow();

}  // namespace quill::session
