#include "SkinTestWindow.h"

#include "forms/Pump.h"
#include "tests/support/DibCanvas.h"

#include <commctrl.h>

#include <cstdio>

namespace quill::skinning {

namespace {

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void Superclass(const wchar_t* base, const wchar_t* name)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, base, &wc))
        return;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

void OwnClass(const wchar_t* name)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

}  // namespace

void RegisterTestClasses()
{
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc,
                                 ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        OwnClass(L"ThunderRT6FormDC");
        OwnClass(L"Form");
        Superclass(L"BUTTON", L"ThunderRT6CheckBox");
        Superclass(L"BUTTON", L"ThunderRT6OptionButton");
        Superclass(PROGRESS_CLASSW, L"ProgressBar20WndClass");
        Superclass(L"COMBOBOX", L"ThunderRT6DriveListBox");
        Superclass(L"LISTBOX", L"DataListWndClass");
        Superclass(L"STATIC", L"ApexGridWnd");
        return true;
    }();
    (void)done;
}

HFONT TestFont()
{
    static forms::gdi::FontHandle font(
        CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, L"宋体"));
    return font;
}

HWND MakeChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w,
               int h, DWORD exStyle)
{
    RegisterTestClasses();
    HWND child = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(TestFont()), TRUE);
    return child;
}

TestForm::TestForm(int x, int y, int w, int h, const wchar_t* caption)
{
    RegisterTestClasses();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    hwnd_ = CreateWindowExW(0, L"ThunderRT6FormDC", caption, style, x, y, r.right - r.left, r.bottom - r.top,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
}

TestForm::~TestForm()
{
    if (IsWindow(hwnd_))
        DestroyWindow(hwnd_);
    PumpMessages();
}

KindsWindow::KindsWindow(int x, int y) : form(x, y, 390, 270, L"皮肤")
{
    button = form.Add(L"Button", L"确定", BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 75, 23);
    defaultButton = form.Add(L"Button", L"取消", BS_DEFPUSHBUTTON | WS_TABSTOP, 95, 10, 75, 23);
    listCombo = form.Add(L"ComboBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 45, 120, 200);
    editCombo = form.Add(L"ComboBox", L"", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 140, 45, 120, 200);
    driveList = form.Add(L"ThunderRT6DriveListBox", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 270, 45, 110, 200);
    for (HWND combo : {listCombo, editCombo, driveList}) {
        for (const wchar_t* item : {L"人人贷", L"拍拍贷", L"陆金所"})
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
    }
    check = form.Add(L"ThunderRT6CheckBox", L"记住密码", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 80, 100, 17);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    indeterminate =
        form.Add(L"ThunderRT6CheckBox", L"自动登录", BS_AUTO3STATE | WS_TABSTOP, 10, 100, 100, 17);
    SendMessageW(indeterminate, BM_SETCHECK, BST_INDETERMINATE, 0);
    option1 = form.Add(L"ThunderRT6OptionButton", L"按月", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 120,
                       80, 80, 17);
    option2 = form.Add(L"ThunderRT6OptionButton", L"按季", BS_AUTORADIOBUTTON, 120, 100, 80, 17);
    SendMessageW(option1, BM_SETCHECK, BST_CHECKED, 0);
    nested = form.Add(L"Form", L"", WS_CLIPCHILDREN, 210, 78, 170, 44);
    nestedButton = MakeChild(nested, L"Button", L"登录", BS_PUSHBUTTON, 5, 8, 75, 23);
    nestedCheck = MakeChild(nested, L"ThunderRT6CheckBox", L"保存", BS_AUTOCHECKBOX, 90, 11, 70, 17);
    progress = form.Add(L"ProgressBar20WndClass", L"", WS_BORDER, 10, 130, 200, 20);
    SendMessageW(progress, PBM_SETRANGE32, 0, 30000);
    SendMessageW(progress, PBM_SETPOS, 15000, 0);
    header = form.Add(WC_HEADERW, L"", HDS_BUTTONS | HDS_HORZ, 10, 160, 370, 22);
    int at = 0;
    for (const auto& [text, width] : {std::pair{L"日期", 100}, {L"金额", 120}, {L"平台", 150}}) {
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.pszText = const_cast<wchar_t*>(text);
        item.cxy = width;
        item.fmt = HDF_CENTER | HDF_STRING;
        SendMessageW(header, HDM_INSERTITEMW, at++, reinterpret_cast<LPARAM>(&item));
    }
    list = form.Add(L"ListBox", L"", WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 10, 190, 140, 70,
                    WS_EX_CLIENTEDGE);
    dataList = form.Add(L"DataListWndClass", L"", WS_BORDER | LBS_NOINTEGRALHEIGHT, 160, 190, 110, 70);
    for (HWND box : {list, dataList})
        for (const wchar_t* item : {L"2015-03-01", L"2015-04-01", L"2015-05-01"})
            SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    grid = form.Add(L"ApexGridWnd", L"", WS_BORDER | SS_WHITERECT, 280, 190, 100, 70);
    UpdateWindow(form.hwnd());
    PumpMessages();
}

std::vector<HWND> KindsWindow::Descendants() const
{
    std::vector<HWND> all;
    EnumChildWindows(
        form.hwnd(),
        [](HWND h, LPARAM p) {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

// ---- pumping and input ----

void PumpMessages()
{
    forms::DoEvents();
}

void ParkMouse()
{
    MoveMouseTo({GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
}

// ---- what a window shows ----

COLORREF Shown(HWND window, int x, int y)
{
    forms::gdi::WholeWindowDc dc(window);
    return GetPixel(dc, x, y);
}

Picture::Picture(HDC source, int width, int height) : width_(width), height_(height)
{
    test::DibCanvas copy(width, height);
    BitBlt(copy.Dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    pixels_ = copy.Pixels();
}

Picture Picture::OfWindow(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    forms::gdi::WholeWindowDc dc(window);
    return Picture(dc, r.right - r.left, r.bottom - r.top);
}

COLORREF Picture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return CLR_INVALID;
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

bool Picture::Holds(COLORREF colour) const
{
    for (const uint32_t pixel : pixels_)
        if (pixel == colour)
            return true;
    return false;
}

std::string Hex(COLORREF c)
{
    char text[16];
    std::snprintf(text, sizeof text, "&H%06lX", static_cast<unsigned long>(c));
    return text;
}

std::vector<std::string> PropertyNames(HWND window)
{
    std::vector<std::string> names;
    EnumPropsExA(
        window,
        [](HWND, LPSTR name, HANDLE, ULONG_PTR p) -> BOOL {
            auto* out = reinterpret_cast<std::vector<std::string>*>(p);
            if (IS_INTRESOURCE(name))
                out->push_back(std::string("#").append(std::to_string(reinterpret_cast<ULONG_PTR>(name))));
            else
                out->push_back(name);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&names));
    return names;
}

}  // namespace quill::skinning
