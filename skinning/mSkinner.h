// The skinning engine: the once-per-run set-up, the classification of
// windows, the attach and detach of one window (and of a form's descendants)
// and the module state shared by every skinned window. Reached from outside
// only through cSkinner.
#pragma once

#include "skinning/SkinArtwork.h"
#include "skinning/SkinClasses.h"
#include "skinning/SkinPrimitives.h"
#include "forms/WindowHook.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace quill::skinning {

namespace mSkinner {
// Module state, one copy per process. Set up by the first attach and released
// again when the last skinned window is unskinned.
inline bool SkinInitialised = false;
// User32 exports TrackMouseEvent (otherwise comctl32's routine asks for the
// leave notice).
inline bool TrackMouseEventInUser32 = false;
// Windows currently subclassed by the engine, a form's descendants included.
inline std::int32_t SkinnedWindowCount = 0;
inline std::unique_ptr<BitmapDc> ButtonFaceBitmap, DropButtonBitmap, GlyphBitmap, OptionCircleBitmap,
    HeaderBitmap;

// The module value that holds a skin bitmap.
std::unique_ptr<BitmapDc>& SkinBitmapSlot(SkinBitmap which);
// The DC of a skin bitmap, null when it is not built.
HDC SkinBitmapDc(SkinBitmap which);

bool IsFunctionExported(const char* function, const char* library);
// Asks for WM_MOUSELEAVE when the cursor leaves the window.
void TrackMouseLeave(HWND hWnd);
}  // namespace mSkinner

// Draws the five skin bitmaps into new memory DCs of the module state.
void BuildSkinBitmaps();

// The set-up on the first attach of a run, then SkinWindow.
std::int32_t AttachSkinToWindow(HWND hWnd);
// 1 when this call skinned the window; 0 for no window, a window already
// skinned, a window of another thread, or one that cannot be subclassed.
std::int32_t SkinWindow(HWND hWnd);
// 1 when this call removed the skin, 0 when the window carried none.
std::int32_t UnskinWindow(HWND hWnd);
BOOL CALLBACK SkinChildWindow(HWND hWnd, LPARAM lParam);
BOOL CALLBACK UnskinChildWindow(HWND hWnd, LPARAM lParam);

// The class name, empty when it cannot be read.
std::string GetWindowClass(HWND hWnd);
SkinKind KindOfWindow(HWND hWnd);

// What the engine keeps of each skinned window: the hook in the window's
// subclass chain that runs SkinWndProc, released when the skin goes.
struct SkinSubclassData : forms::WindowHook {
    SkinSubclassData();

    // The window procedure right after the subclass went in: a different one
    // at detach means someone subclassed the window after the skin.
    LONG_PTR entry = 0;
    // The window's kind, from its class, which never changes: found once
    // rather than from the class name at every message.
    SkinKind kind = SkinKind::Other;
    // A push button's four state images.
    std::array<std::unique_ptr<BitmapDc>, 4> stateImages;

protected:
    LRESULT HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
};
SkinSubclassData* SkinDataOf(HWND hWnd);

}  // namespace quill::skinning
