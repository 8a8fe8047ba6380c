// Attaching and detaching the skin: what is counted, what each window carries
// while skinned, and that everything given back is as it was.
#include "SkinTestWindow.h"

#include "skinning/SkinArtwork.h"
#include "skinning/SkinProperties.h"
#include "skinning/cSkinner.h"
#include "skinning/mSkinner.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>

namespace quill::skinning {
namespace {

namespace gdi = forms::gdi;

bool Skinned(HWND h)
{
    return GetSkinValue(h, prop::PROCADDR) != 0;
}

bool EngineIdle()
{
    return mSkinner::SkinnedWindowCount == 0 && !mSkinner::SkinInitialised && !mSkinner::ButtonFaceBitmap &&
           !mSkinner::DropButtonBitmap && !mSkinner::GlyphBitmap && !mSkinner::OptionCircleBitmap &&
           !mSkinner::HeaderBitmap;
}

class SkinAttach : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EngineIdle());
        TestFont();  // made once for all tests
        objects_ = gdi::LiveObjects();
    }
    void TearDown() override
    {
        PumpMessages();
        EXPECT_TRUE(EngineIdle()) << mSkinner::SkinnedWindowCount;
        EXPECT_EQ(gdi::LiveObjects(), objects_);
    }
    cSkinner skinner;

private:
    long objects_ = 0;
};

std::map<HWND, std::vector<std::string>> PropertiesOf(const std::vector<HWND>& windows)
{
    std::map<HWND, std::vector<std::string>> all;
    for (HWND h : windows) {
        auto names = PropertyNames(h);
        std::sort(names.begin(), names.end());
        all[h] = names;
    }
    return all;
}

TEST_F(SkinAttach, AttachingTwiceSkinsOnce)
{
    TestForm form(40, 40, 200, 60);
    HWND button = form.Add(L"Button", L"确定", BS_PUSHBUTTON, 10, 10, 75, 23);
    EXPECT_EQ(skinner.AttachSkin(button), 1);
    EXPECT_EQ(mSkinner::SkinnedWindowCount, 1);
    const auto properties = PropertyNames(button);
    for (const char* name : {"PROCADDR", "HDC0", "HDC3", "BMP0", "BMP3", "OLDSTYLE", "MOUSEFLAG", "TIMERID",
                             "OLDSTATE", "ALPHALEVEL"})
        EXPECT_NE(std::find(properties.begin(), properties.end(), name), properties.end()) << name;
    const std::intptr_t hdc0 = GetSkinValue(button, "HDC0");

    EXPECT_EQ(skinner.AttachSkin(button), 0);
    EXPECT_EQ(mSkinner::SkinnedWindowCount, 1);
    EXPECT_EQ(PropertyNames(button), properties);
    EXPECT_EQ(GetSkinValue(button, "HDC0"), hdc0);

    EXPECT_EQ(skinner.DetachSkin(button), 1);
    EXPECT_EQ(skinner.DetachSkin(button), 0);
    EXPECT_EQ(skinner.AttachSkin(nullptr), 0);
    EXPECT_EQ(skinner.DetachSkin(nullptr), 0);
}

TEST_F(SkinAttach, AFormCountsItselfAndEveryDescendantOnce)
{
    KindsWindow kinds;
    const std::vector<HWND> all = kinds.Descendants();
    EXPECT_NE(std::find(all.begin(), all.end(), kinds.nestedButton), all.end());
    EXPECT_EQ(skinner.AttachSkin(kinds.form.hwnd()), 1);
    EXPECT_EQ(mSkinner::SkinnedWindowCount, static_cast<int>(all.size()) + 1);
    for (HWND h : all)
        EXPECT_TRUE(Skinned(h)) << GetWindowClass(h);
    // The nested form and its children were skinned with the outer form.
    EXPECT_EQ(skinner.AttachSkin(kinds.nested), 0);
    EXPECT_EQ(skinner.AttachSkin(kinds.nestedCheck), 0);
    EXPECT_EQ(mSkinner::SkinnedWindowCount, static_cast<int>(all.size()) + 1);
    EXPECT_EQ(skinner.DetachSkin(kinds.form.hwnd()), 1);
}

TEST_F(SkinAttach, DetachingOneChildLeavesTheRestAndTheLastDetachFreesTheBitmaps)
{
    KindsWindow kinds;
    const int windows = static_cast<int>(kinds.Descendants().size()) + 1;
    ASSERT_EQ(skinner.AttachSkin(kinds.form.hwnd()), 1);
    EXPECT_EQ(skinner.DetachSkin(kinds.check), 1);
    EXPECT_FALSE(Skinned(kinds.check));
    EXPECT_TRUE(Skinned(kinds.form.hwnd()));
    EXPECT_TRUE(Skinned(kinds.button));
    EXPECT_TRUE(Skinned(kinds.nestedCheck));
    EXPECT_EQ(mSkinner::SkinnedWindowCount, windows - 1);
    EXPECT_TRUE(mSkinner::ButtonFaceBitmap);

    EXPECT_EQ(skinner.DetachSkin(kinds.form.hwnd()), 1);
    for (HWND h : kinds.Descendants())
        EXPECT_FALSE(Skinned(h));
    EXPECT_TRUE(EngineIdle());
}

std::vector<COLORREF> BitmapPixels(SkinBitmap which)
{
    const Artwork art = SkinArtwork(which);
    std::vector<COLORREF> pixels;
    const Picture bitmap(mSkinner::SkinBitmapDc(which), art.width, art.height);
    for (int y = 0; y < art.height; ++y)
        for (int x = 0; x < art.width; ++x)
            pixels.push_back(bitmap.At(x, y));
    return pixels;
}

TEST_F(SkinAttach, TheBitmapsAreTheArtworkAndAReattachBuildsThemAgainIdentical)
{
    TestForm form(40, 40, 200, 60);
    HWND button = form.Add(L"Button", L"确定", BS_PUSHBUTTON, 10, 10, 75, 23);
    ASSERT_EQ(skinner.AttachSkin(button), 1);
    EXPECT_EQ(GetPixel(mSkinner::SkinBitmapDc(SkinBitmap::ButtonFace), 3, 0), 0xD58F1Bu);
    EXPECT_EQ(GetPixel(mSkinner::SkinBitmapDc(SkinBitmap::Glyph), 0, 0), KeyColour);
    std::map<SkinBitmap, std::vector<COLORREF>> first;
    for (SkinBitmap which : AllSkinBitmaps) {
        first[which] = BitmapPixels(which);
        const Artwork art = SkinArtwork(which);
        EXPECT_TRUE(std::equal(art.pixels.begin(), art.pixels.end(), first[which].begin()));
    }
    const HDC firstFaces = mSkinner::SkinBitmapDc(SkinBitmap::ButtonFace);
    ASSERT_EQ(skinner.DetachSkin(button), 1);
    EXPECT_TRUE(EngineIdle());

    // The set-up runs again: the probe too.
    mSkinner::TrackMouseEventInUser32 = false;
    ASSERT_EQ(skinner.AttachSkin(button), 1);
    EXPECT_TRUE(mSkinner::TrackMouseEventInUser32);
    EXPECT_TRUE(mSkinner::SkinInitialised);
    (void)firstFaces;
    for (SkinBitmap which : AllSkinBitmaps)
        EXPECT_EQ(BitmapPixels(which), first[which]);
    EXPECT_EQ(skinner.DetachSkin(button), 1);
}

TEST_F(SkinAttach, NoPropertyIsLeftBehind)
{
    KindsWindow kinds;
    std::vector<HWND> all = kinds.Descendants();
    all.push_back(kinds.form.hwnd());
    const auto before = PropertiesOf(all);
    ASSERT_EQ(skinner.AttachSkin(kinds.form.hwnd()), 1);
    EXPECT_NE(PropertiesOf(all), before);
    ASSERT_EQ(skinner.DetachSkin(kinds.form.hwnd()), 1);
    EXPECT_EQ(PropertiesOf(all), before);
}

int RegionOf(HWND h)
{
    gdi::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    return GetWindowRgn(h, region);
}

TEST_F(SkinAttach, AButtonGetsItsStyleBackAndLosesItsRoundedRegion)
{
    TestForm form(40, 40, 200, 60);
    HWND button = form.Add(L"Button", L"确定", BS_DEFPUSHBUTTON | BS_NOTIFY | WS_TABSTOP, 10, 10, 75, 23);
    const LONG style = GetWindowLongW(button, GWL_STYLE);
    EXPECT_EQ(RegionOf(button), ERROR);
    ASSERT_EQ(skinner.AttachSkin(button), 1);
    EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & 0xF, BS_OWNERDRAW);
    EXPECT_EQ(GetSkinValue(button, prop::OLDSTYLE), style);
    EXPECT_EQ(RegionOf(button), COMPLEXREGION);
    {
        // The corners are cut: CreateRoundRectRgn(0, 0, 76, 24, 3, 3).
        gdi::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
        GetWindowRgn(button, region);
        EXPECT_FALSE(PtInRegion(region, 0, 0));
        EXPECT_TRUE(PtInRegion(region, 1, 1));
        EXPECT_TRUE(PtInRegion(region, 37, 0));
        EXPECT_TRUE(PtInRegion(region, 74, 11));
        EXPECT_FALSE(PtInRegion(region, 74, 22));
    }
    ASSERT_EQ(skinner.DetachSkin(button), 1);
    EXPECT_EQ(GetWindowLongW(button, GWL_STYLE), style);
    EXPECT_EQ(RegionOf(button), ERROR);
}

TEST_F(SkinAttach, DetachGivesBackOnlyTheButtonTypeItChanged)
{
    TestForm form(40, 40, 200, 60);
    HWND button = form.Add(L"Button", L"确定", BS_PUSHBUTTON, 10, 10, 75, 23);
    ASSERT_EQ(skinner.AttachSkin(button), 1);
    // Disabled and hidden while skinned: it stays so when the skin goes.
    EnableWindow(button, FALSE);
    ShowWindow(button, SW_HIDE);
    ASSERT_EQ(skinner.DetachSkin(button), 1);
    const LONG style = GetWindowLongW(button, GWL_STYLE);
    EXPECT_EQ(style & 0xF, BS_PUSHBUTTON);
    EXPECT_TRUE(style & WS_DISABLED);
    EXPECT_FALSE(style & WS_VISIBLE);
}

TEST_F(SkinAttach, OnlyPlainAndDefaultPushButtonsBecomeOwnerDrawn)
{
    TestForm form(40, 40, 400, 120);
    std::vector<std::pair<HWND, LONG>> buttons;
    int at = 0;
    for (DWORD type :
         {BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_CHECKBOX, BS_AUTOCHECKBOX, BS_RADIOBUTTON, BS_3STATE,
          BS_AUTO3STATE, BS_GROUPBOX, BS_USERBUTTON, BS_AUTORADIOBUTTON, BS_OWNERDRAW}) {
        HWND b = form.Add(L"Button", L"选项", type, 5 + (at % 5) * 78, 5 + (at / 5) * 30, 75, 23);
        ++at;
        buttons.push_back({b, GetWindowLongW(b, GWL_STYLE)});
    }
    ASSERT_EQ(skinner.AttachSkin(form.hwnd()), 1);
    for (const auto& [b, style] : buttons) {
        const LONG type = style & 0xF;
        const LONG now = GetWindowLongW(b, GWL_STYLE);
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            EXPECT_EQ(now & 0xF, BS_OWNERDRAW) << type;
        else
            EXPECT_EQ(now, style) << type;
        // Every "button" window is a push button to the engine: state images
        // and a rounded region whatever it paints.
        EXPECT_NE(GetSkinValue(b, "HDC0"), 0) << type;
        EXPECT_EQ(RegionOf(b), COMPLEXREGION) << type;
    }
    // An automatic radio button still works as one.
    HWND radio = buttons[9].first;
    SendMessageW(radio, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(radio, BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_EQ(skinner.DetachSkin(form.hwnd()), 1);
    for (const auto& [b, style] : buttons)
        EXPECT_EQ(GetWindowLongW(b, GWL_STYLE) & ~WS_TABSTOP, style & ~WS_TABSTOP) << (style & 0xF);
}

struct Seen {
    std::vector<UINT> messages;
};

LRESULT CALLBACK Recorder(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
{
    auto* seen = reinterpret_cast<Seen*>(ref);
    seen->messages.push_back(msg);
    if (msg == WM_DESTROY)
        seen->messages.push_back(GetSkinValue(h, prop::PROCADDR) ? 1u : 0u);
    return DefSubclassProc(h, msg, wp, lp);
}

bool Saw(const Seen& seen, UINT msg)
{
    return std::find(seen.messages.begin(), seen.messages.end(), msg) != seen.messages.end();
}

TEST_F(SkinAttach, UnskinningLeavesALaterSubclasserInPlace)
{
    TestForm form(40, 40, 200, 60);
    HWND button = form.Add(L"Button", L"确定", BS_PUSHBUTTON, 10, 10, 75, 23);
    ASSERT_EQ(skinner.AttachSkin(button), 1);
    Seen seen;
    ASSERT_TRUE(SetWindowSubclass(button, Recorder, 7, reinterpret_cast<DWORD_PTR>(&seen)));
    ASSERT_EQ(skinner.DetachSkin(button), 1);
    SendMessageW(button, WM_APP + 5, 0, 0);
    EXPECT_TRUE(Saw(seen, WM_APP + 5));
    RemoveWindowSubclass(button, Recorder, 7);
}

WNDPROC rawPrevious = nullptr;
int rawSeen = 0;
LRESULT CALLBACK RawSubclass(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP + 6)
        ++rawSeen;
    return CallWindowProcW(rawPrevious, h, msg, wp, lp);
}

TEST_F(SkinAttach, UnskinningLeavesALaterRawSubclasserInPlace)
{
    TestForm form(40, 40, 200, 60);
    HWND button = form.Add(L"Button", L"确定", BS_PUSHBUTTON, 10, 10, 75, 23);
    ASSERT_EQ(skinner.AttachSkin(button), 1);
    rawSeen = 0;
    rawPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RawSubclass)));
    ASSERT_EQ(skinner.DetachSkin(button), 1);
    EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&RawSubclass));
    SendMessageW(button, WM_APP + 6, 0, 0);
    EXPECT_EQ(rawSeen, 1);
    // The button still answers as a button through the procedures below.
    EXPECT_EQ(SendMessageW(button, WM_GETTEXTLENGTH, 0, 0), 2);
    SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(rawPrevious));
}

TEST_F(SkinAttach, AWindowWhoseSkinIsGoneAnswersThroughItsOwnClass)
{
    TestForm form(40, 40, 200, 60);
    HWND check = form.Add(L"ThunderRT6CheckBox", L"记住密码", BS_AUTOCHECKBOX, 10, 10, 100, 17);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_EQ(skinner.AttachSkin(check), 1);
    // The skin's procedure still in place but the window no longer marked.
    const std::intptr_t procAddr = GetSkinValue(check, prop::PROCADDR);
    RemoveSkinValue(check, prop::PROCADDR);
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(check, WM_GETTEXTLENGTH, 0, 0), 8);
    SetSkinValue(check, prop::PROCADDR, procAddr);
    EXPECT_EQ(skinner.DetachSkin(check), 1);
}

TEST_F(SkinAttach, DestroyingASkinnedWindowUnskinsItBeforeItsProcedureSeesWmDestroy)
{
    TestForm form(40, 40, 200, 60);
    HWND button = form.Add(L"Button", L"确定", BS_PUSHBUTTON, 10, 10, 75, 23);
    Seen seen;
    ASSERT_TRUE(SetWindowSubclass(button, Recorder, 8, reinterpret_cast<DWORD_PTR>(&seen)));
    ASSERT_EQ(skinner.AttachSkin(button), 1);
    DestroyWindow(button);
    auto at = std::find(seen.messages.begin(), seen.messages.end(), static_cast<UINT>(WM_DESTROY));
    ASSERT_NE(at, seen.messages.end());
    EXPECT_EQ(at[1], 0u);  // no PROCADDR by then
    EXPECT_TRUE(EngineIdle());
}

// Waits for the event while answering what other threads send to this one.
void WaitPumping(HANDLE event)
{
    while (MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        PumpMessages();
}

TEST_F(SkinAttach, WindowsOfAnotherThreadAreNotSkinned)
{
    TestForm form(40, 40, 300, 60);
    HWND own = form.Add(L"Button", L"确定", BS_PUSHBUTTON, 10, 10, 75, 23);
    HWND foreignTop = nullptr, foreignChild = nullptr;
    HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr),
           finish = CreateEventW(nullptr, TRUE, FALSE, nullptr),
           gone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        foreignTop = CreateWindowExW(0, L"Button", L"别的", WS_POPUP | BS_PUSHBUTTON, 0, 0, 75, 23, nullptr,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
        foreignChild = CreateWindowExW(0, L"Button", L"别的", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 100, 10,
                                       75, 23, form.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
        SetEvent(made);
        WaitPumping(finish);
        DestroyWindow(foreignChild);
        DestroyWindow(foreignTop);
        SetEvent(gone);
    });
    WaitPumping(made);

    EXPECT_EQ(skinner.AttachSkin(foreignTop), 0);
    EXPECT_FALSE(Skinned(foreignTop));
    EXPECT_TRUE(EngineIdle());

    EXPECT_EQ(skinner.AttachSkin(form.hwnd()), 1);
    EXPECT_TRUE(Skinned(own));
    EXPECT_FALSE(Skinned(foreignChild));
    EXPECT_EQ(mSkinner::SkinnedWindowCount, 2);
    EXPECT_EQ(skinner.DetachSkin(form.hwnd()), 1);
    EXPECT_TRUE(EngineIdle());

    SetEvent(finish);
    WaitPumping(gone);
    other.join();
    for (HANDLE h : {made, finish, gone})
        CloseHandle(h);
}

TEST_F(SkinAttach, AMessageBoxOfASkinnedFormIsSkinnedWithItsButtons)
{
    TestForm form(40, 40, 200, 60, L"主窗口");
    ASSERT_EQ(skinner.AttachSkin(form.hwnd()), 1);
    bool dialogSkinned = false, buttonsSkinned = false;
    auto box = [] { return FindWindowW(L"#32770", L"提示"); };
    // Looked at from inside the box's own message loop, then closed.
    test::PumpedAction look([&] {
        dialogSkinned = Skinned(box());
        HWND ok = GetDlgItem(box(), IDOK);
        buttonsSkinned = ok && Skinned(ok);
        PostMessageW(box(), WM_COMMAND, IDOK, 0);
    });
    look.When([&] { return box() && IsWindowVisible(box()); });
    MessageBoxW(form.hwnd(), L"保存成功", L"提示", MB_OK);
    EXPECT_TRUE(look.Done());
    EXPECT_TRUE(dialogSkinned);
    EXPECT_TRUE(buttonsSkinned);
    // The box unskinned itself as it went.
    EXPECT_EQ(mSkinner::SkinnedWindowCount, 1);
    EXPECT_EQ(skinner.DetachSkin(form.hwnd()), 1);
}

TEST_F(SkinAttach, ACombosDropListIsSkinnedWhenItAsksForItsColours)
{
    std::optional<KindsWindow> kinds(std::in_place);
    ASSERT_EQ(skinner.AttachSkin(kinds->form.hwnd()), 1);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(kinds->listCombo, &info);
    ASSERT_TRUE(info.hwndList);
    EXPECT_FALSE(Skinned(info.hwndList));
    SendMessageW(kinds->listCombo, CB_SHOWDROPDOWN, TRUE, 0);
    PumpUntil([&] { return Skinned(info.hwndList); }, "the drop list's skin");
    EXPECT_EQ(KindOfWindow(info.hwndList), SkinKind::ComboDropList);
    SendMessageW(kinds->listCombo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(skinner.DetachSkin(kinds->form.hwnd()), 1);
    // The drop list is no child of the form: it goes with its combo box.
    EXPECT_EQ(mSkinner::SkinnedWindowCount, 1);
    kinds.reset();
}

TEST_F(SkinAttach, AThousandAttachAndDetachCyclesLeaveNothingBehind)
{
    KindsWindow kinds;
    std::vector<HWND> all = kinds.Descendants();
    all.push_back(kinds.form.hwnd());
    const auto properties = PropertiesOf(all);
    const long objects = gdi::LiveObjects();
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(skinner.AttachSkin(kinds.form.hwnd()), 1);
        ASSERT_EQ(skinner.DetachSkin(kinds.form.hwnd()), 1);
        if (i % 100 == 0)
            PumpMessages();
    }
    PumpMessages();
    EXPECT_EQ(gdi::LiveObjects(), objects);
    EXPECT_EQ(PropertiesOf(all), properties);
}

}  // namespace
}  // namespace quill::skinning
