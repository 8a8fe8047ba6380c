#include "skinning/SkinWndProc.h"

#include "skinning/SkinArtwork.h"
#include "skinning/SkinColours.h"
#include "skinning/SkinFade.h"
#include "skinning/SkinGeometry.h"
#include "skinning/SkinPainters.h"
#include "skinning/SkinPrimitives.h"
#include "skinning/SkinProperties.h"
#include "skinning/mSkinner.h"

#include <commctrl.h>

#include <vector>

namespace quill::skinning {

namespace gdi = forms::gdi;

std::int32_t StartFadeTimer(HWND hWnd)
{
    if (GetSkinValue(hWnd, prop::TIMERID) != 0)
        return 0;
    const auto id = static_cast<std::int32_t>(SetTimer(hWnd, FadeTimerId, FadeIntervalMs, nullptr));
    SetSkinValue(hWnd, prop::TIMERID, id);
    return id;
}

std::int32_t StopFadeTimer(HWND hWnd)
{
    const std::intptr_t id = GetSkinValue(hWnd, prop::TIMERID);
    if (id == 0)
        return 0;
    const BOOL killed = KillTimer(hWnd, static_cast<UINT_PTR>(id));
    SetSkinValue(hWnd, prop::TIMERID, 0);
    return killed;
}

BOOL CALLBACK RefreshSiblingButtons(HWND hWnd, LPARAM)
{
    if (GetSkinValue(hWnd, prop::PROCADDR) == 0)
        return TRUE;
    switch (KindOfWindow(hWnd)) {
    case SkinKind::CheckBox:
        DrawCheckSkin(hWnd, StateNormal, true);
        break;
    case SkinKind::OptionButton:
        DrawOptionSkin(hWnd, StateNormal, true);
        break;
    default:
        break;
    }
    return TRUE;
}

namespace {

// One message on its way through a skinned window.
struct Message {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    // Hands the message to the procedures below the skin: the window's own.
    LRESULT Forward() const { return forms::WindowHook::Next(hWnd, message, wParam, lParam); }
};

std::intptr_t Value(HWND hWnd, const char* name)
{
    return GetSkinValue(hWnd, name);
}

void Set(HWND hWnd, const char* name, std::intptr_t value)
{
    SetSkinValue(hWnd, name, value);
}

bool CursorOver(HWND hWnd)
{
    POINT p{};
    GetCursorPos(&p);
    return WindowFromPoint(p) == hWnd;
}

bool LeftButtonHeld(WPARAM wParam)
{
    return (wParam & MK_LBUTTON) != 0;
}

std::uint32_t StyleOf(HWND hWnd)
{
    return static_cast<std::uint32_t>(GetWindowLongA(hWnd, GWL_STYLE));
}

void StartTracking(HWND hWnd)
{
    if (Value(hWnd, prop::MOUSEFLAG) == 0) {
        Set(hWnd, prop::MOUSEFLAG, 1);
        mSkinner::TrackMouseLeave(hWnd);
    }
}

bool InComboDropZone(HWND hWnd, LPARAM lParam)
{
    const WindowBox box = BoxOf(hWnd);
    return InDropButtonZone(box.width, box.height, LoWord(lParam), HiWord(lParam),
                            GetSystemMetrics(SM_CXVSCROLL));
}

void ComboButton(HWND hWnd, int state, bool force = false)
{
    DrawComboButton(hWnd, nullptr, state, force);
}

int HeaderHit(HWND hWnd, int x)
{
    const int count = static_cast<int>(SendMessageA(hWnd, HDM_GETITEMCOUNT, 0, 0));
    std::vector<HeaderSpan> spans;
    for (int i = 0; i < count; ++i) {
        RECT r{};
        SendMessageA(hWnd, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
        spans.push_back({r.left, r.right});
    }
    return HeaderHitTest(spans, x);
}

// ---- push buttons ----

void PressButton(HWND hWnd)
{
    StopFadeTimer(hWnd);
    Set(hWnd, prop::OLDSTATE, StatePressed);
    Set(hWnd, prop::ALPHALEVEL, 255);
    BlendButtonState(hWnd, nullptr);
    Set(hWnd, prop::ALPHALEVEL, 0);
}

void FadeTo(HWND hWnd, int state, int alpha)
{
    Set(hWnd, prop::OLDSTATE, state);
    Set(hWnd, prop::ALPHALEVEL, alpha);
    StartFadeTimer(hWnd);
}

// New state images at the window's new size, and a region to match.
void ResizeButton(HWND hWnd)
{
    const WindowBox box = BoxOf(hWnd);
    {
        gdi::WholeWindowDc windowDc(hWnd);
        if (SkinSubclassData* owned = SkinDataOf(hWnd))
            for (int n = 0; n < 4; ++n)
                if (auto& image = owned->stateImages[n];
                    image && image->Resize(box.width, box.height, windowDc))
                    Set(hWnd, StateImageBitmapName(n).c_str(),
                        reinterpret_cast<std::intptr_t>(image->Bitmap()));
        RenderButtonStates(hWnd);
    }
    gdi::RegionHandle region(CreateRoundRectRgn(0, 0, box.width + 1, box.height + 1, 3, 3));
    if (SetWindowRgn(hWnd, region, TRUE))
        region.Release();
}

// ---- handlers ----

LRESULT OnSkinSize(const Message& m, SkinKind kind)
{
    const LRESULT result = m.Forward();
    if (kind == SkinKind::PushButton)
        ResizeButton(m.hWnd);
    return result;
}

LRESULT OnSkinActivate(const Message& m)
{
    if (HWND other = reinterpret_cast<HWND>(m.lParam)) {
        if (GetParent(other) == m.hWnd)
            SkinWindow(other);
        else if (KindOfWindow(other) == SkinKind::Form)
            SkinWindow(other);
    }
    return m.Forward();
}

LRESULT OnSkinFocus(const Message& m, SkinKind kind)
{
    const LRESULT result = m.Forward();
    if (kind == SkinKind::PushButton) {
        // The focus rectangle follows the focus.
        RenderButtonStates(m.hWnd);
        Set(m.hWnd, prop::ALPHALEVEL, 0);
        StartFadeTimer(m.hWnd);
    } else if (kind == SkinKind::OptionButton) {
        DrawOptionSkin(m.hWnd, StateNormal, true);
    }
    return result;
}

LRESULT OnSkinEnable(const Message& m, SkinKind kind)
{
    const LRESULT result = m.Forward();
    if (kind == SkinKind::PushButton) {
        Set(m.hWnd, prop::OLDSTATE, m.wParam ? StateNormal : StateDisabled);
        BlendButtonState(m.hWnd, nullptr);
    }
    return result;
}

LRESULT OnSkinPaint(const Message& m, SkinKind kind)
{
    HWND hWnd = m.hWnd;
    switch (kind) {
    case SkinKind::PushButton: {
        if (!SkinPaintsButton(static_cast<std::uint32_t>(Value(hWnd, prop::OLDSTYLE))))
            return m.Forward();
        StopFadeTimer(hWnd);
        Set(hWnd, prop::ALPHALEVEL, 255);
        gdi::PaintDc paint(hWnd);
        BlendButtonState(hWnd, paint);
        return 0;
    }
    case SkinKind::ComboBox:
        if (!IsListStyleCombo(StyleOf(hWnd))) {
            const WindowBox box = BoxOf(hWnd);
            gdi::PaintDc paint(hWnd);
            FillSolidRect(paint, 0, 0, box.width, box.height, WhiteColour);
            FrameSolidRect(paint, 0, 0, box.width, box.height, FrameColourOf(hWnd));
            int state = static_cast<int>(Value(hWnd, prop::OLDSTATE));
            DrawComboButton(hWnd, paint, state, true);
            return 0;
        }
        [[fallthrough]];
    case SkinKind::DriveList: {
        const LRESULT result = m.Forward();
        FrameComboWindow(hWnd, static_cast<int>(Value(hWnd, prop::OLDSTATE)));
        return result;
    }
    case SkinKind::CheckBox: {
        const LRESULT result = m.Forward();
        DrawCheckSkin(hWnd, StateNormal, true);
        return result;
    }
    case SkinKind::OptionButton: {
        const LRESULT result = m.Forward();
        DrawOptionSkin(hWnd, StateNormal, true);
        return result;
    }
    case SkinKind::DataList:
    case SkinKind::ComboDropList: {
        const LRESULT result = m.Forward();
        FrameListWindow(hWnd);
        return result;
    }
    case SkinKind::ProgressBar:
        PaintProgressClient(hWnd);
        return 0;
    case SkinKind::Header:
        PaintHeaderBar(hWnd);
        return 0;
    default: {
        const LRESULT result = m.Forward();
        if (IsGridClass(GetWindowClass(hWnd)) && (StyleOf(hWnd) & WS_BORDER)) {
            const WindowBox box = BoxOf(hWnd);
            gdi::WholeWindowDc windowDc(hWnd);
            FrameSolidRect(windowDc, 0, 0, box.width, box.height, FrameColourOf(hWnd));
        }
        return result;
    }
    }
}

LRESULT OnSkinNcPaint(const Message& m, SkinKind kind)
{
    if (kind == SkinKind::ProgressBar) {
        PaintProgressWindow(m.hWnd);
        return 0;
    }
    const LRESULT result = m.Forward();
    if (kind != SkinKind::DataList && (GetWindowLongA(m.hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
        FlattenClientEdge(m.hWnd);
    return result;
}

LRESULT OnSkinPosChanging(const Message& m, SkinKind kind)
{
    const LRESULT result = m.Forward();
    if (kind == SkinKind::ComboBox || kind == SkinKind::DriveList)
        ComboButton(m.hWnd, StateNormal);
    return result;
}

LRESULT OnSkinKeyDown(const Message& m, SkinKind kind)
{
    const LRESULT result = m.Forward();
    if (m.wParam != VK_SPACE)
        return result;
    if (kind == SkinKind::PushButton)
        PressButton(m.hWnd);
    else if (kind == SkinKind::CheckBox)
        DrawCheckSkin(m.hWnd, StatePressed, false);
    else if (kind == SkinKind::OptionButton)
        DrawOptionSkin(m.hWnd, StatePressed, false);
    return result;
}

LRESULT OnSkinKeyUp(const Message& m, SkinKind kind)
{
    const LRESULT result = m.Forward();
    if (m.wParam != VK_SPACE)
        return result;
    if (kind == SkinKind::PushButton) {
        Set(m.hWnd, prop::MOUSEFLAG, 0);
        FadeTo(m.hWnd, StateNormal, 0);
    } else if (kind == SkinKind::CheckBox) {
        DrawCheckSkin(m.hWnd, StateNormal, false);
    } else if (kind == SkinKind::OptionButton) {
        DrawOptionSkin(m.hWnd, StateNormal, false);
    }
    return result;
}

// Every timer of the window advances the fade, whatever its identifier: a
// timer the button's owner runs on it moves the fade on too.
LRESULT OnSkinFadeTimer(const Message& m, SkinKind kind)
{
    if (kind == SkinKind::PushButton) {
        const int alpha = static_cast<int>(Value(m.hWnd, prop::ALPHALEVEL));
        BlendButtonState(m.hWnd, nullptr);
        const FadeTick tick = AdvanceFade(alpha);
        if (tick.ends)
            StopFadeTimer(m.hWnd);
        Set(m.hWnd, prop::ALPHALEVEL, tick.nextAlpha);
    }
    return m.Forward();
}

LRESULT OnSkinMouseMove(const Message& m, SkinKind kind)
{
    HWND hWnd = m.hWnd;
    const LRESULT result = m.Forward();
    const bool held = LeftButtonHeld(m.wParam);
    if (kind == SkinKind::PushButton) {
        if (Value(hWnd, prop::MOUSEFLAG) == 0) {
            Set(hWnd, prop::MOUSEFLAG, 1);
            mSkinner::TrackMouseLeave(hWnd);
            FadeTo(hWnd, StateHot, EnterFadeAlpha);
        } else if (!CursorOver(hWnd)) {
            // Captured while pressed and dragged off: the pressed look at once.
            StopFadeTimer(hWnd);
            Set(hWnd, prop::ALPHALEVEL, 255);
            BlendButtonState(hWnd, nullptr);
        }
        return result;
    }
    switch (kind) {
    case SkinKind::ComboBox: {
        StartTracking(hWnd);
        int state = held ? StatePressed : StateHot;
        if (!IsListStyleCombo(StyleOf(hWnd)) && !InComboDropZone(hWnd, m.lParam))
            state = StateNormal;
        ComboButton(hWnd, state);
        break;
    }
    case SkinKind::DriveList:
        StartTracking(hWnd);
        ComboButton(hWnd, held ? StatePressed : StateHot);
        break;
    case SkinKind::CheckBox:
        StartTracking(hWnd);
        DrawCheckSkin(hWnd, held ? StatePressed : StateHot, true);
        break;
    case SkinKind::OptionButton:
        StartTracking(hWnd);
        DrawOptionSkin(hWnd, held ? StatePressed : StateHot, true);
        break;
    case SkinKind::Header: {
        StartTracking(hWnd);
        const int hot = HeaderHit(hWnd, LoWord(m.lParam));
        const int old = static_cast<int>(Value(hWnd, prop::HMINDEX));
        const int pressed = static_cast<int>(Value(hWnd, prop::HDINDEX));
        if (hot != old) {
            if (old >= 0 && old != pressed)
                DrawHeaderItem(hWnd, nullptr, old, StateNormal);
            if (!held) {
                Set(hWnd, prop::HMINDEX, hot);
                DrawHeaderItem(hWnd, nullptr, hot, StateHot);
            } else if (hot == pressed) {
                DrawHeaderItem(hWnd, nullptr, hot, StatePressed);
            }
        }
        break;
    }
    default:
        break;
    }
    return result;
}

LRESULT OnSkinMouseLeave(const Message& m, SkinKind kind)
{
    HWND hWnd = m.hWnd;
    const LRESULT result = m.Forward();
    switch (kind) {
    case SkinKind::PushButton:
        Set(hWnd, prop::MOUSEFLAG, 0);
        // The hot look at once, part way, then the normal one faded in.
        Set(hWnd, prop::OLDSTATE, StateHot);
        Set(hWnd, prop::ALPHALEVEL, LeaveHotAlpha);
        BlendButtonState(hWnd, nullptr);
        FadeTo(hWnd, StateNormal, 0);
        break;
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
        Set(hWnd, prop::MOUSEFLAG, 0);
        ComboButton(hWnd, StateNormal);
        break;
    case SkinKind::CheckBox:
        Set(hWnd, prop::MOUSEFLAG, 0);
        DrawCheckSkin(hWnd, StateNormal, false);
        break;
    case SkinKind::OptionButton:
        Set(hWnd, prop::MOUSEFLAG, 0);
        DrawOptionSkin(hWnd, StateNormal, false);
        break;
    case SkinKind::Header: {
        const int hot = static_cast<int>(Value(hWnd, prop::HMINDEX));
        Set(hWnd, prop::MOUSEFLAG, 0);
        Set(hWnd, prop::HDINDEX, -1);
        Set(hWnd, prop::HMINDEX, -1);
        if (hot >= 0)
            DrawHeaderItem(hWnd, nullptr, hot, StateNormal);
        break;
    }
    default:
        break;
    }
    return result;
}

void PressHeader(const Message& m)
{
    if (SendMessageA(m.hWnd, HDM_GETITEMCOUNT, 0, 0) <= 0)
        return;
    const int i = HeaderHit(m.hWnd, LoWord(m.lParam));
    Set(m.hWnd, prop::HDINDEX, i);
    if (i >= 0)
        DrawHeaderItem(m.hWnd, nullptr, i, StatePressed);
}

LRESULT OnSkinLButtonDown(const Message& m, SkinKind kind)
{
    HWND hWnd = m.hWnd;
    const LRESULT result = m.Forward();
    switch (kind) {
    case SkinKind::PushButton:
        PressButton(hWnd);
        break;
    case SkinKind::ComboBox:
        if (IsListStyleCombo(StyleOf(hWnd)) || InComboDropZone(hWnd, m.lParam))
            ComboButton(hWnd, StatePressed);
        break;
    case SkinKind::DriveList:
        ComboButton(hWnd, StatePressed);
        break;
    case SkinKind::CheckBox:
        DrawCheckSkin(hWnd, StatePressed, false);
        break;
    case SkinKind::OptionButton:
        DrawOptionSkin(hWnd, StatePressed, false);
        break;
    case SkinKind::Header:
        PressHeader(m);
        break;
    default:
        break;
    }
    return result;
}

LRESULT OnSkinDblClick(const Message& m, SkinKind kind)
{
    const LRESULT result = m.Forward();
    if (kind == SkinKind::PushButton)
        PressButton(m.hWnd);
    else if (kind == SkinKind::Header)
        PressHeader(m);
    return result;
}

LRESULT OnSkinLButtonUp(const Message& m, SkinKind kind)
{
    HWND hWnd = m.hWnd;
    const LRESULT result = m.Forward();
    switch (kind) {
    case SkinKind::PushButton:
        Set(hWnd, prop::MOUSEFLAG, 0);
        FadeTo(hWnd, StateNormal, ReleaseFadeAlpha);
        break;
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
        ComboButton(hWnd, CursorOver(hWnd) ? StateHot : StateNormal);
        break;
    case SkinKind::CheckBox:
        DrawCheckSkin(hWnd, StateNormal, false);
        break;
    case SkinKind::OptionButton:
        DrawOptionSkin(hWnd, StateNormal, false);
        break;
    case SkinKind::Header: {
        const int pressed = static_cast<int>(Value(hWnd, prop::HDINDEX));
        Set(hWnd, prop::HDINDEX, -1);
        if (pressed >= 0)
            DrawHeaderItem(hWnd, nullptr, pressed, CursorOver(hWnd) ? StateHot : StateNormal);
        break;
    }
    default:
        break;
    }
    return result;
}

}  // namespace

LRESULT SkinWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, const SkinSubclassData* data)
{
    if (!hWnd)
        return 0;
    const Message m{hWnd, message, wParam, lParam};
    // A window not (or no longer) skinned answers through its own procedure.
    if (GetSkinValue(hWnd, prop::PROCADDR) == 0)
        return m.Forward();
    const SkinKind kind = data ? data->kind : KindOfWindow(hWnd);
    switch (message) {
    case WM_DESTROY:
        // The window's own procedure sees WM_DESTROY without the skin.
        UnskinWindow(hWnd);
        return m.Forward();
    case WM_SIZE:
        return OnSkinSize(m, kind);
    case WM_ACTIVATE:
        return OnSkinActivate(m);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        return OnSkinFocus(m, kind);
    case WM_ENABLE:
        return OnSkinEnable(m, kind);
    case WM_PAINT:
        return OnSkinPaint(m, kind);
    case WM_WINDOWPOSCHANGING:
        return OnSkinPosChanging(m, kind);
    case WM_NCPAINT:
        return OnSkinNcPaint(m, kind);
    case WM_KEYDOWN:
        return OnSkinKeyDown(m, kind);
    case WM_KEYUP:
        return OnSkinKeyUp(m, kind);
    case WM_TIMER:
        return OnSkinFadeTimer(m, kind);
    case WM_ENTERIDLE:
    case WM_CTLCOLORLISTBOX: {
        // A dialog or menu entering its idle loop, or a combo box's drop list.
        const LRESULT result = m.Forward();
        if (lParam)
            SkinWindow(reinterpret_cast<HWND>(lParam));
        return result;
    }
    case WM_MOUSEMOVE:
        return OnSkinMouseMove(m, kind);
    case WM_LBUTTONDOWN:
        return OnSkinLButtonDown(m, kind);
    case WM_LBUTTONUP: {
        const LRESULT result = OnSkinLButtonUp(m, kind);
        // Option buttons of a group show the new choice at once.
        HWND parent = GetParent(hWnd);
        EnumChildWindows(parent ? parent : hWnd, RefreshSiblingButtons, 0);
        return result;
    }
    case WM_LBUTTONDBLCLK:
        return OnSkinDblClick(m, kind);
    case WM_MOUSELEAVE:
        return OnSkinMouseLeave(m, kind);
    default:
        return m.Forward();
    }
}

}  // namespace quill::skinning
