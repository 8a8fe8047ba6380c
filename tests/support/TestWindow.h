#pragma once
// A raw window of its own class, for tests of code that hooks or subclasses
// windows (the list view's subclasser and scroll bars).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quill::test {

// A top-level window of its own class whose procedure records every message
// it gets into `Log()` and answers WM_APP + n with n * 1000 + 7.
class TestWindow {
public:
    explicit TestWindow(DWORD style = WS_OVERLAPPEDWINDOW);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    void Destroy();

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // What the window procedure got, as "proc <message>" entries, in order;
    // shared with the owners under test so that one sequence shows both.
    static std::vector<std::wstring>& Log();
    // Runs inside the procedure for each WM_APP message, after it is logged.
    static std::function<void(HWND, UINT)>& OnAppMessage();
    static LRESULT AnswerTo(UINT message) { return (message - WM_APP) * 1000 + 7; }

private:
    HWND hwnd_ = nullptr;
};

// Its name, for readable sequences: "WM_APP+3", or the number.
std::wstring MessageName(UINT message);

}  // namespace quill::test
