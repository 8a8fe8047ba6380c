// What the skinning tests share: windows of the classes the engine knows
// (standard controls, and superclasses of them under the names the engine
// classifies), and reading back what a window shows. The real mouse and
// keyboard and the pumping come from the shared test support.
#pragma once

#include "forms/Gdi.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quill::skinning {

// Registers, once, the classes the tests make: "ThunderRT6FormDC" and "Form"
// (plain forms), and superclasses of the standard controls named
// "ThunderRT6CheckBox", "ThunderRT6OptionButton" (BUTTON),
// "ProgressBar20WndClass" (msctls_progress32), "ThunderRT6DriveListBox"
// (COMBOBOX), "DataListWndClass" (LISTBOX) and "ApexGridWnd" (STATIC).
void RegisterTestClasses();

// A child window of `className` at (x, y, w, h) of `parent`, in the test font.
HWND MakeChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w,
               int h, DWORD exStyle = 0);

// A shown top-level form of class "ThunderRT6FormDC" with a client area of
// w x h at (x, y) on the screen; destroyed with the object.
class TestForm {
public:
    TestForm(int x, int y, int w, int h, const wchar_t* caption = L"Skin");
    ~TestForm();
    TestForm(const TestForm&) = delete;
    TestForm& operator=(const TestForm&) = delete;
    HWND hwnd() const { return hwnd_; }
    HWND Add(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int w, int h,
             DWORD exStyle = 0)
    {
        return MakeChild(hwnd_, className, text, style, x, y, w, h, exStyle);
    }

private:
    HWND hwnd_ = nullptr;
};

// The test window with one control of each kind the skin knows.
struct KindsWindow {
    explicit KindsWindow(int x = 40, int y = 40);
    TestForm form;
    HWND button, defaultButton, listCombo, editCombo, driveList, check, indeterminate, option1, option2,
        progress, header, list, dataList, grid, nested, nestedButton, nestedCheck;
    // Every window the form holds, at any depth.
    std::vector<HWND> Descendants() const;
};

// The test font, made once (宋体, 12 pixels).
HFONT TestFont();

// ---- pumping and input ----

using test::InputSettled;
using test::KeyDown;
using test::KeyUp;
using test::MouseButton;
using test::MoveMouse;  // client coordinates: the controls here have no frame
using test::MoveMouseTo;
using test::PumpUntil;

// Dispatches what is queued.
void PumpMessages();
// Parks the pointer in a corner of the screen no test window covers.
void ParkMouse();

// ---- what a window shows ----

// A pixel of the window (window coordinates, frame included), as a colour
// value (red in the low byte).
COLORREF Shown(HWND window, int x, int y);

// What a DC or a window shows, copied once and then read pixel by pixel as
// colour values (red in the low byte): one copy instead of a DC and a
// GetPixel for every pixel a test compares.
class Picture {
public:
    // The width x height pixels of `source` from (0, 0).
    Picture(HDC source, int width, int height);
    // The whole window, its frame included (window coordinates, as Shown).
    static Picture OfWindow(HWND window);

    int Width() const { return width_; }
    int Height() const { return height_; }
    COLORREF At(int x, int y) const;
    bool Holds(COLORREF colour) const;

private:
    int width_, height_;
    std::vector<uint32_t> pixels_;
};
// "RRGGBB"-style text of a colour value for messages, written &HBBGGRR.
std::string Hex(COLORREF c);

// The window's properties, by name ("#n" for atoms without a name).
std::vector<std::string> PropertyNames(HWND window);

}  // namespace quill::skinning
