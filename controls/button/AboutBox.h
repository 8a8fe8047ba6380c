#pragma once
// The button's about box: a hidden child picture box of the control that
// About turns into a top-most captioned window; its drawing stays in its
// own surface.
#include "forms/Surface.h"
#include "forms/Window.h"

#include <string>

namespace quill::button {

class StyledButtonBase;

class AboutBox final : public forms::Window {
public:
    AboutBox(StyledButtonBase& owner, HWND parent);
    HWND Handle() const { return hWnd(); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static constexpr int kWidth = 380, kHeight = 120;

    void Text(const std::wstring& text, double points, bool underline, COLORREF colour, RECT r, UINT format);
    void Draw(bool pressed);

    StyledButtonBase& owner_;
    forms::Surface surface_;
    bool pressed_ = false;
};

}  // namespace quill::button
