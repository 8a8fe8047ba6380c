// What the main window's tests share: the reference service on free ports,
// the window opened on a snapshot as a login leaves it, snapshots made to
// measure, the seams (message boxes, shell, program end) and real clicks.
#pragma once

#include "workspace/Home.h"

#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Shell.h"
#include "tests/support/ReferenceService.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace quill::test {

// UserInfo of 19 items with the given values in place of the defaults.
std::wstring UserInfoText(const std::vector<std::pair<int, std::wstring>>& changes = {});
// A ProjectRow line (with its "|") due `days` from today.
std::wstring DueRow(int id, const std::wstring& platform, const std::wstring& name, int days);
// A whole snapshot: UserInfo, then sections 1 to 5.
std::wstring Snapshot(const std::wstring& userInfo, const std::wstring& platformLists = L"P1,P2,|A1,",
                      const std::wstring& dueSoon = L"");

class HomeTest : public testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static ReferenceService& Service() { return *service_; }
    static workspace::Home& Window() { return workspace::HomeWindow(); }

    // The demo account's login reply, as the login window keeps it.
    std::wstring DemoLogin();
    // Opens the window on a login reply, as the login does, and waits until
    // its first layout pass has built the overview.
    workspace::Home& Open(const std::wstring& loginReply);

    // The user's double click at a point of a window's client area; returns
    // once it has been handled.
    void DoubleClickAt(HWND window, POINT client);
    // What the screen shows of the window once everything has painted,
    // written to <name>.png among the build's pictures.
    void Picture(workspace::Home& w, const wchar_t* name);
    // Lets the replies go that the service keeps waiting (the fault "hold").
    void Release(const std::string& instance = "primary");

    forms::MessageBoxScript boxes;
    forms::ShellExecuteRecorder shell;
    forms::EndRecorder ends;

private:
    static inline std::unique_ptr<ReferenceService> service_;
};

}  // namespace quill::test
