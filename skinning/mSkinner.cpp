#include "skinning/mSkinner.h"

#include "skinning/SkinPainters.h"
#include "skinning/SkinProperties.h"
#include "skinning/SkinWndProc.h"

#include <commctrl.h>

namespace quill::skinning {

namespace gdi = forms::gdi;

std::unique_ptr<BitmapDc>& mSkinner::SkinBitmapSlot(SkinBitmap which)
{
    std::unique_ptr<BitmapDc>* bitmaps[] = {&ButtonFaceBitmap, &DropButtonBitmap, &GlyphBitmap,
                                            &OptionCircleBitmap, &HeaderBitmap};
    return *bitmaps[static_cast<int>(which)];
}

HDC mSkinner::SkinBitmapDc(SkinBitmap which)
{
    const std::unique_ptr<BitmapDc>& bitmap = SkinBitmapSlot(which);
    return bitmap ? bitmap->Dc() : nullptr;
}

bool mSkinner::IsFunctionExported(const char* function, const char* library)
{
    HMODULE module = GetModuleHandleA(library);
    const bool loadedHere = module == nullptr;
    if (!module)
        module = LoadLibraryA(library);
    if (!module)
        return false;
    const bool found = GetProcAddress(module, function) != nullptr;
    if (loadedHere)
        FreeLibrary(module);
    return found;
}

void mSkinner::TrackMouseLeave(HWND hWnd)
{
    // The structure is 24 bytes on x86-64 (16 on 32-bit Windows).
    TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hWnd, 0};
    if (TrackMouseEventInUser32)
        TrackMouseEvent(&track);
    else
        _TrackMouseEvent(&track);
}

std::string GetWindowClass(HWND hWnd)
{
    char name[256] = {};
    if (GetClassNameA(hWnd, name, 255) == 0)
        return {};
    return name;
}

SkinKind KindOfWindow(HWND hWnd)
{
    return ClassifyClassName(GetWindowClass(hWnd));
}

namespace {

// What finds a window's skin hook among the hooks of its chain.
constexpr char SkinHookKey = 0;

}  // namespace

SkinSubclassData::SkinSubclassData() : WindowHook("skinning::SkinWndProc", &SkinHookKey) {}

LRESULT SkinSubclassData::HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SkinWndProc(hWnd, message, wParam, lParam, this);
}

SkinSubclassData* SkinDataOf(HWND hWnd)
{
    return static_cast<SkinSubclassData*>(forms::WindowHook::Find(hWnd, &SkinHookKey));
}

LONG_PTR CurrentProcedure(HWND hWnd)
{
    return IsWindowUnicode(hWnd) ? GetWindowLongPtrW(hWnd, GWLP_WNDPROC)
                                 : GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
}

namespace {

// Back to the state before the first attach: the next one probes and builds
// everything again.
void ReleaseSkinEngine()
{
    mSkinner::SkinnedWindowCount = 0;
    for (SkinBitmap which : AllSkinBitmaps)
        mSkinner::SkinBitmapSlot(which).reset();
    mSkinner::SkinInitialised = false;
}

}  // namespace

std::int32_t AttachSkinToWindow(HWND hWnd)
{
    if (!mSkinner::SkinInitialised) {
        mSkinner::SkinInitialised = true;
        mSkinner::TrackMouseEventInUser32 = mSkinner::IsFunctionExported("TrackMouseEvent", "User32");
        BuildSkinBitmaps();
    }
    const std::int32_t skinned = SkinWindow(hWnd);
    // An attach that skinned nothing leaves no bitmaps behind that no detach
    // would ever free.
    if (mSkinner::SkinnedWindowCount <= 0)
        ReleaseSkinEngine();
    return skinned;
}

namespace {

bool OwnedByThisThread(HWND hWnd)
{
    return GetWindowThreadProcessId(hWnd, nullptr) == GetCurrentThreadId();
}

// State images at the window's size, the button made owner-drawn when the
// skin paints it, its per-window values, and a rounded region.
void PrepareButton(HWND hWnd, SkinSubclassData& owned)
{
    const WindowBox box = BoxOf(hWnd);
    {
        gdi::WholeWindowDc windowDc(hWnd);
        for (int n = 0; n < 4; ++n) {
            auto& image = owned.stateImages[n];
            image = std::make_unique<BitmapDc>(box.width, box.height, windowDc);
            SetSkinValue(hWnd, StateImageDcName(n).c_str(), reinterpret_cast<std::intptr_t>(image->Dc()));
            SetSkinValue(hWnd, StateImageBitmapName(n).c_str(),
                         reinterpret_cast<std::intptr_t>(image->Bitmap()));
        }
        RenderButtonStates(hWnd);
    }
    const auto style = static_cast<std::uint32_t>(GetWindowLongA(hWnd, GWL_STYLE));
    if (SkinPaintsButton(style))
        SendMessageA(hWnd, BM_SETSTYLE, (style & 0xFFF0u) | OwnerDrawnButtonType, TRUE);
    SetSkinValue(hWnd, prop::OLDSTYLE, static_cast<std::int32_t>(style));
    SetSkinValue(hWnd, prop::MOUSEFLAG, 0);
    SetSkinValue(hWnd, prop::TIMERID, 0);
    SetSkinValue(hWnd, prop::OLDSTATE, IsWindowEnabled(hWnd) ? 0 : 3);
    SetSkinValue(hWnd, prop::ALPHALEVEL, 0);
    gdi::RegionHandle region(CreateRoundRectRgn(0, 0, box.width + 1, box.height + 1, 3, 3));
    if (SetWindowRgn(hWnd, region, TRUE))
        region.Release();  // the window owns it now
}

void ReleaseButton(HWND hWnd)
{
    for (int n = 0; n < 4; ++n) {
        RemoveSkinValue(hWnd, StateImageDcName(n).c_str());
        RemoveSkinValue(hWnd, StateImageBitmapName(n).c_str());
    }
    if (SkinSubclassData* owned = SkinDataOf(hWnd))
        for (auto& image : owned->stateImages)
            image.reset();
    StopFadeTimer(hWnd);
    // Only the button type the skin changed goes back: whatever else the
    // style gained or lost since (disabled, hidden) stays as it is now.
    const auto oldStyle = static_cast<std::uint32_t>(GetSkinValue(hWnd, prop::OLDSTYLE));
    const auto style = static_cast<std::uint32_t>(GetWindowLongA(hWnd, GWL_STYLE));
    if (SkinPaintsButton(oldStyle) && ButtonType(style) == OwnerDrawnButtonType)
        SendMessageA(hWnd, BM_SETSTYLE, (style & 0xFFF0u) | ButtonType(oldStyle), FALSE);
    for (const char* name :
         {prop::OLDSTYLE, prop::MOUSEFLAG, prop::TIMERID, prop::OLDSTATE, prop::ALPHALEVEL})
        RemoveSkinValue(hWnd, name);
    SetWindowRgn(hWnd, nullptr, TRUE);
}

// Takes the skin's subclass out: its hook leaves the window as it is
// deleted. When a procedure was put in front of it since, taking the last
// subclass out would put back the procedure from before the skin and cut
// that one out: the subclass then stays, passing every message on, until the
// window goes.
void RemoveSkin(HWND hWnd)
{
    const std::unique_ptr<SkinSubclassData> data(SkinDataOf(hWnd));
    if (data && CurrentProcedure(hWnd) != data->entry)
        data->PassOn(hWnd);
}

}  // namespace

std::int32_t SkinWindow(HWND hWnd)
{
    if (!hWnd || GetSkinValue(hWnd, prop::PROCADDR) != 0)
        return 0;
    // A window of another thread cannot be subclassed from here, and its
    // messages would reach the engine on that thread.
    if (!IsWindow(hWnd) || !OwnedByThisThread(hWnd))
        return 0;
    const SkinKind kind = KindOfWindow(hWnd);
    if (kind == SkinKind::Form)
        EnumChildWindows(hWnd, SkinChildWindow, 0);

    const LONG_PTR previous = GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    auto data = std::make_unique<SkinSubclassData>();
    data->kind = kind;
    // Until PROCADDR is set the new procedure passes every message on.
    if (!data->Hook(hWnd))
        return 0;
    SkinSubclassData& owned = *data.release();
    owned.entry = CurrentProcedure(hWnd);
    switch (kind) {
    case SkinKind::PushButton:
        PrepareButton(hWnd, owned);
        break;
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        SetSkinValue(hWnd, prop::MOUSEFLAG, 0);
        SetSkinValue(hWnd, prop::OLDSTATE, 0);
        break;
    case SkinKind::Header:
        SetSkinValue(hWnd, prop::MOUSEFLAG, 0);
        SetSkinValue(hWnd, prop::HDINDEX, -1);
        SetSkinValue(hWnd, prop::HMINDEX, -1);
        break;
    default:
        break;
    }
    ++mSkinner::SkinnedWindowCount;
    SetSkinValue(hWnd, prop::PROCADDR, previous ? previous : 1);
    SendMessageA(hWnd, WM_NCPAINT, 1, 0);
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT);
    return 1;
}

std::int32_t UnskinWindow(HWND hWnd)
{
    if (!hWnd || GetSkinValue(hWnd, prop::PROCADDR) == 0)
        return 0;
    switch (KindOfWindow(hWnd)) {
    case SkinKind::Form:
        EnumChildWindows(hWnd, UnskinChildWindow, 0);
        break;
    case SkinKind::PushButton:
        ReleaseButton(hWnd);
        break;
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        RemoveSkinValue(hWnd, prop::MOUSEFLAG);
        RemoveSkinValue(hWnd, prop::OLDSTATE);
        break;
    case SkinKind::Header:
        RemoveSkinValue(hWnd, prop::MOUSEFLAG);
        RemoveSkinValue(hWnd, prop::HDINDEX);
        RemoveSkinValue(hWnd, prop::HMINDEX);
        break;
    default:
        break;
    }
    RemoveSkinValue(hWnd, prop::PROCADDR);
    RemoveSkin(hWnd);
    SendMessageA(hWnd, WM_NCPAINT, 1, 0);
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT);
    if (--mSkinner::SkinnedWindowCount <= 0)
        ReleaseSkinEngine();
    return 1;
}

BOOL CALLBACK SkinChildWindow(HWND hWnd, LPARAM)
{
    SkinWindow(hWnd);
    return TRUE;
}

BOOL CALLBACK UnskinChildWindow(HWND hWnd, LPARAM)
{
    UnskinWindow(hWnd);
    return TRUE;
}

}  // namespace quill::skinning
