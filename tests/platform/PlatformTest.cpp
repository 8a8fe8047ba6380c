// The machine the programs run on: code page, fonts, and both programs starting.
#include "forms/Gdi.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/Pump.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

TEST(Platform, AnsiCodePageIs936)
{
    EXPECT_EQ(GetACP(), 936u);
    // "记账" in GB2312 bytes.
    const char gb[] = "\xBC\xC7\xD5\xCB";
    wchar_t wide[8]{};
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, gb, 4, wide, 8), 2);
    EXPECT_EQ(std::wstring(wide), L"\u8BB0\u8D26");
}

// Renders one text into a 32-bit DIB and returns its pixels (black on white).
std::vector<uint32_t> render(const wchar_t* face, const wchar_t* text, int height, std::wstring* usedFace)
{
    const int w = 64, h = 32;
    quill::test::DibCanvas canvas(w, h);
    HDC dc = canvas.Dc();
    quill::forms::gdi::FontHandle font(CreateFontW(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0,
                                                   0, NONANTIALIASED_QUALITY, 0, face));
    quill::forms::gdi::Selection useFont(dc, font);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TextOutW(dc, 2, 2, text, lstrlenW(text));
    wchar_t name[LF_FACESIZE]{};
    GetTextFaceW(dc, LF_FACESIZE, name);
    if (usedFace)
        *usedFace = name;
    return canvas.Pixels();
}

int inked(const std::vector<uint32_t>& px)
{
    int n = 0;
    for (uint32_t p : px)
        n += (p & 0xFFFFFF) != 0xFFFFFF;
    return n;
}

TEST(Platform, ChineseTextRendersWithARealFont)
{
    // Two different characters give two different glyphs; a missing font
    // draws the same empty box for both.
    for (const wchar_t* face : {L"\u5B8B\u4F53", L"SimSun", L"Verdana"}) {
        std::wstring used;
        auto a = render(face, L"\u8BB0", 16, &used);
        auto b = render(face, L"\u8D26", 16, nullptr);
        SCOPED_TRACE(used);
        EXPECT_GT(inked(a), 20);
        EXPECT_GT(inked(b), 20);
        EXPECT_NE(a, b);
    }
}

TEST(Platform, ChineseCaptionRendersInAWindow)
{
    HWND w = CreateWindowExW(0, L"STATIC", L"\u767B\u5F55 Quillmoor", WS_POPUP | WS_VISIBLE | SS_LEFT, 10, 10,
                             200, 40, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(w);
    quill::forms::gdi::FontHandle font(CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                                   NONANTIALIASED_QUALITY, 0, L"\u5B8B\u4F53"));
    SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    UpdateWindow(w);
    int dark = 0;
    {
        quill::test::DibCanvas mem(200, 40);
        SendMessageW(w, WM_PRINT, reinterpret_cast<WPARAM>(mem.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
        const std::vector<uint32_t> px = mem.Pixels();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                const uint32_t c = px[size_t(y) * 200 + x];
                dark += GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128;
            }
    }
    EXPECT_GT(dark, 30);
    DestroyWindow(w);
}

// 宋体 as the windows use it (11 pt in the lists, 9 to 12 pt elsewhere, at
// the default quality): a Song face whose digits are half as wide as its
// characters, so that a date of ten characters fits the lists' 90-pixel
// columns, drawn from its bitmaps without smoothing, in the text colour alone.
TEST(Platform, SongFaceHasHalfWidthDigitsAndIsDrawnWithoutSmoothing)
{
    for (int height : {12, 14, 15, 16}) {
        SCOPED_TRACE(height);
        quill::test::DibCanvas canvas(200, 32);
        quill::forms::gdi::FontHandle font(CreateFontW(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                                       0, 0, DEFAULT_QUALITY, 0, L"\u5B8B\u4F53"));
        quill::forms::gdi::Selection useFont(canvas.Dc(), font);
        SIZE digit{}, character{}, date{};
        GetTextExtentPoint32W(canvas.Dc(), L"0", 1, &digit);
        GetTextExtentPoint32W(canvas.Dc(), L"\u8BB0", 1, &character);
        GetTextExtentPoint32W(canvas.Dc(), L"2026-11-28", 10, &date);
        EXPECT_LE(2 * digit.cx, character.cx + 1);
        if (height == 15) {
            EXPECT_LE(date.cx, 90 - 4 - 5);  // the column less the list's paddings
        }

        RECT r{0, 0, 200, 32};
        FillRect(canvas.Dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(canvas.Dc(), RGB(0, 0, 0));
        SetBkMode(canvas.Dc(), TRANSPARENT);
        const wchar_t text[] = L"2026-11-28 \u8BB0\u8D26";
        TextOutW(canvas.Dc(), 2, 2, text, lstrlenW(text));
        std::set<uint32_t> colours;
        for (uint32_t p : canvas.Pixels())
            colours.insert(p & 0xFFFFFF);
        EXPECT_EQ(colours, (std::set<uint32_t>{0x000000, 0xFFFFFF}));
    }
}

// Title bars draw their buttons as symbols of Wine's Marlett font: a prefix
// that does not find the font shows the letters "0", "1" and "r" instead.
TEST(Platform, CaptionButtonsDrawMarlettSymbols)
{
    quill::test::DibCanvas canvas(16, 16);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, L"Marlett");
    HGDIOBJ oldFont = SelectObject(canvas.Dc(), font);
    wchar_t face[LF_FACESIZE]{};
    GetTextFaceW(canvas.Dc(), LF_FACESIZE, face);
    SelectObject(canvas.Dc(), oldFont);
    DeleteObject(font);
    EXPECT_STREQ(face, L"Marlett");

    // The close button as the frames draw it: a cross, the same when mirrored
    // left to right (the letter "r" is not).
    const int w = 16, h = 14;
    RECT button{0, 0, w, h};
    ASSERT_TRUE(DrawFrameControl(canvas.Dc(), &button, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    const std::vector<uint32_t> px = canvas.Pixels();
    auto ink = [&](int x, int y) {
        const uint32_t c = px[static_cast<size_t>(y) * 16 + x];
        return (c & 0xFF) < 64 && ((c >> 8) & 0xFF) < 64 && ((c >> 16) & 0xFF) < 64;
    };
    // Inside the button's raised edge, mirrored about its middle column (or
    // the next one, for a glyph one pixel off centre).
    int inkCount = 0, unmatched = w * h;
    for (int axis : {w - 1, w - 2, w}) {
        int count = 0, differ = 0;
        for (int y = 2; y < h - 2; ++y)
            for (int x = 3; x < w - 3; ++x) {
                count += ink(x, y);
                differ += ink(x, y) != ink(axis - x, y);
            }
        inkCount = count;
        unmatched = std::min(unmatched, differ);
    }
    EXPECT_GT(inkCount, 8);
    EXPECT_LE(unmatched, 2);
}

struct FoundWindow {
    DWORD pid;
    HWND hwnd;
};

// Starts a program from the program folder and waits for its first visible top-level window.
HWND startAndFindWindow(const std::string& exe, PROCESS_INFORMATION& pi)
{
    std::string path = std::string(QUILL_PROGRAM_DIR) + "/" + exe;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::string cmd = "\"" + path + "\"";
    if (!CreateProcessA(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, QUILL_PROGRAM_DIR, &si,
                        &pi))
        return nullptr;
    FoundWindow found{pi.dwProcessId, nullptr};
    quill::test::PumpUntil(
        [&] {
            EnumWindows(
                [](HWND w, LPARAM lp) -> BOOL {
                    auto* f = reinterpret_cast<FoundWindow*>(lp);
                    DWORD pid = 0;
                    GetWindowThreadProcessId(w, &pid);
                    if (pid == f->pid && IsWindowVisible(w)) {
                        f->hwnd = w;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&found));
            return found.hwnd != nullptr;
        },
        "the program's window");
    return found.hwnd;
}

TEST(Platform, BothProgramsStartAndShowAWindow)
{
    for (const char* exe : {"tallivo.exe", "update.exe"}) {
        SCOPED_TRACE(exe);
        PROCESS_INFORMATION pi{};
        HWND w = startAndFindWindow(exe, pi);
        EXPECT_TRUE(w);
        if (pi.hProcess) {
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, 5000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
}

}  // namespace
