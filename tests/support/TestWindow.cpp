#include "tests/support/TestWindow.h"

namespace quill::test {

namespace {

const wchar_t kClassName[] = L"QuillListviewTestWindow";

void RegisterTestClass()
{
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = TestWindow::Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kClassName;
        return RegisterClassW(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

TestWindow::TestWindow(DWORD style)
{
    RegisterTestClass();
    hwnd_ = CreateWindowExW(0, kClassName, L"listview test", style, 40, 40, 320, 240, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
}

TestWindow::~TestWindow()
{
    Destroy();
}

void TestWindow::Destroy()
{
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

std::vector<std::wstring>& TestWindow::Log()
{
    static std::vector<std::wstring> log;
    return log;
}

std::function<void(HWND, UINT)>& TestWindow::OnAppMessage()
{
    static std::function<void(HWND, UINT)> hook;
    return hook;
}

LRESULT CALLBACK TestWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP && message < WM_APP + 100) {
        Log().push_back(L"proc " + MessageName(message));
        if (OnAppMessage())
            OnAppMessage()(hwnd, message);
        return AnswerTo(message);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::wstring MessageName(UINT message)
{
    if (message >= WM_APP && message < WM_APP + 100)
        return L"WM_APP+" + std::to_wstring(message - WM_APP);
    return std::to_wstring(message);
}

}  // namespace quill::test
