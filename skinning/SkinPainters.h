// The skinned look of each kind of control. Painters that keep a visual state
// store it in OLDSTATE and, unless forced, do nothing when asked for the
// state already drawn. Where a painter takes a DC and is given none, it draws
// through the window DC.
#pragma once

#include <windows.h>

#include <string>

namespace quill::skinning {

// The four state images of a push button, into its HDC0 to HDC3.
void RenderButtonStates(HWND hWnd);
// Blends the image of OLDSTATE with the constant alpha ALPHALEVEL over what
// the button shows.
int BlendButtonState(HWND hWnd, HDC dc);
// The drop button of a combo box or drive list; a dropped-down list makes
// the state 2.
void DrawComboButton(HWND hWnd, HDC dc, int& state, bool force);
int DrawCheckSkin(HWND hWnd, int state, bool force);
int DrawOptionSkin(HWND hWnd, int state, bool force);
int DrawHeaderItem(HWND hWnd, HDC dc, int index, int state);

// A header item's text in the system's code page: at most 255 characters,
// however long the item's own.
std::string HeaderItemText(HWND hWnd, int index);

// The colour of a skinned frame: dimmed while the window is disabled.
COLORREF FrameColourOf(HWND hWnd);

void FrameComboWindow(HWND hWnd, int state);
void FrameListWindow(HWND hWnd);
void PaintHeaderBar(HWND hWnd);
void PaintProgressClient(HWND hWnd);
void PaintProgressWindow(HWND hWnd);
void FlattenClientEdge(HWND hWnd);

}  // namespace quill::skinning
