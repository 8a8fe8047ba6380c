// What the login window and the main window know of each other. The main
// window is plugged in by the program's start-up (SetMainWindowOpener), and
// the main window reaches the login window through the functions below, so
// neither includes the other's class.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace quill::session {

// The whole reply of the last successful login (an account snapshot), which
// the main window's load parses.
inline std::wstring LoginReply;

// Layout values of the main window that the session keeps for the whole run:
// set by the main window's first load and never reset, so they also tell
// that the main window has been opened. Ask through the functions below.
inline std::int32_t LayoutMargin = 0;  // vertical gap of the header's regions
inline std::int32_t ChartHeight = 0;   // height of the chart frames, twips

// True once the main window has been opened in this run (the login window
// then arms no automatic login).
bool MainWindowOpenedInRun();
// True once the main window's first-opening checks have run in this run.
bool FirstOpeningChecksDone();

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
