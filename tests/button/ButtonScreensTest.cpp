// Screenshots of the buttons as the windows hold them, for review by eye:
// the login window's two buttons and the main window's page tabs, in their
// states, written as PNG files to build/screens/. Each asserts what it
// shows: every button on the screen as it drew itself, inside its region,
// and the look of its state at a known place.
#include "ButtonHost.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace quill;

using namespace quill::button;

namespace {

const std::wstring kScreens = L"Z:" QUILL_BUTTON_SCREENS_W;

// The form's client area as the screen shows it, windows regions included.
void Capture(forms::Form& form, const std::string& name)
{
    RedrawWindow(form.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    // Every button shows on the screen as it drew itself, inside its region.
    for (forms::Control* c : form.Controls()) {
        if (auto* b = dynamic_cast<StyledButton*>(c)) {
            EXPECT_EQ(test::ScreenMismatch(*b), "") << name << ": " << b->Name();
        }
    }
    CreateDirectoryW(kScreens.c_str(), nullptr);
    const std::wstring file = kScreens + L"/" + std::wstring(name.begin(), name.end()) + L".png";
    EXPECT_TRUE(test::SaveClientAreaPng(form.hWnd(), file)) << name;
}

forms::FormArgs At(const wchar_t* caption, int leftPx, int topPx, int widthPx, int heightPx)
{
    return {.caption = caption,
            .clientWidth = widthPx * 15,
            .clientHeight = heightPx * 15,
            .left = leftPx * 15,
            .top = topPx * 15,
            .startUpPosition = forms::vbStartUpManual};
}

TEST(ButtonScreens, LoginWindowButtons)
{
    auto verdana = forms::Font::New(L"Verdana", 8.25);
    forms::PropertyBag about{{L"Style", 8}, {L"Caption", L"\u5173\u4E8E"}, {L"Font", verdana}};
    forms::PropertyBag login{{L"Style", 8}, {L"Caption", L"\u767B\u5F55"}, {L"Font", verdana}};
    HostForm form(
        [&](HostForm& f) {
            f.a.Load(f, Place(L"cmdAbout", 9, 186, 73, 25), &about);
            f.b.Load(f, Place(L"cmdLogin", 264, 186, 61, 25), &login);
        },
        At(L"Login", 40, 40, 335, 220));
    form.Show();
    form.a->SetFocus();
    Capture(form, "login-normal-about-focused");
    // Style 8 at rest: the focused button's frame is the darker one.
    ASSERT_TRUE(form.a->HasFocus());
    const Colour face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(form.a->Point(10, 0), static_cast<int64_t>(ShiftColor(face, -96)));
    EXPECT_EQ(form.b->Point(10, 0), static_cast<int64_t>(ShiftColor(face, -48)));
    SendMessageW(form.b->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    SendMessageW(form.a->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Capture(form, "login-about-pressed-login-hot");
    SendMessageW(form.a->hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    form.b->Enabled(false);
    form.b->SetFocus();
    Capture(form, "login-login-disabled");
    form.Unload();
}

TEST(ButtonScreens, MainWindowTabs)
{
    const wchar_t* captions[] = {L"\u6211\u7684\u9996\u9875",
                                 L"\u6211\u8981\u8BB0\u8D26",
                                 L"\u5F53\u524D\u6301\u6709\u9879\u76EE",
                                 L"\u5F53\u524D\u5E73\u53F0\u6C47\u603B",
                                 L"\u5DF2\u7ECF\u5B8C\u7ED3\u9879\u76EE",
                                 L"\u5B8C\u7ED3\u5E73\u53F0\u6C47\u603B",
                                 L"\u6708\u5EA6\u6536\u76CA\u62A5\u8868",
                                 L"\u5E74\u5EA6\u6536\u76CA\u62A5\u8868"};
    HICON icon =
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    auto picture = forms::Picture::FromIcon(icon);
    std::vector<std::unique_ptr<forms::Loaded<StyledButton>>> tabs;
    HostForm form(
        [&](HostForm& f) {
            for (int i = 0; i < 8; ++i) {
                forms::PropertyBag layout{{L"Style", 10},      {L"Caption", captions[i]}, {L"Icon", picture},
                                          {L"IconSize", 32},   {L"IconSizeH", 32},        {L"IconAlign", 3},
                                          {L"CaptionAlign", 4}};
                tabs.push_back(std::make_unique<forms::Loaded<StyledButton>>());
                tabs.back()->Load(f, Place(captions[i], 8 + i * 90, 8, 88, 61), &layout);
            }
        },
        At(L"Main", 40, 300, 736, 77));
    form.Show();
    SendMessageW((**tabs[2]).hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    // Pressing takes the focus, as a click does: the focus goes to tab 0 after.
    SendMessageW((**tabs[4]).hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    (**tabs[6]).Enabled(false);
    (**tabs[0]).SetFocus();
    ASSERT_TRUE((**tabs[0]).HasFocus());
    Capture(form, "main-tabs-focused-hot-pressed-disabled");
    // Left of the icon, above the caption: the centre colour of each look.
    const struct {
        int tab;
        COLORREF centre;
    } looks[] = {{0, RGB(106, 166, 226)},   // focused: the Hot picture
                 {1, RGB(232, 231, 234)},   // normal
                 {2, RGB(106, 166, 226)},   // hot
                 {4, RGB(106, 155, 204)},   // pressed
                 {6, RGB(232, 231, 234)}};  // disabled looks normal
    for (const auto& l : looks)
        EXPECT_EQ((**tabs[l.tab]).Point(19, 14), static_cast<int64_t>(l.centre)) << l.tab;
    SendMessageW((**tabs[4]).hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    form.Unload();
}

}  // namespace
