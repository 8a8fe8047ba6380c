#include "forms/MouseSequence.h"

namespace quill::forms {

bool MouseSequence::Feed(UINT msg, WPARAM wp, MouseArgs e, bool inside, const Sinks& s)
{
    auto call = [](const auto& f, auto&... a) {
        if (f)
            f(a...);
    };
    auto release = [&](int16_t button) {
        bool wasPressed = (pressed_ & button) != 0;
        pressed_ &= ~button;
        bool endsDouble = button == vbLeftButton && afterDouble_;
        if (button == vbLeftButton)
            afterDouble_ = false;
        e.Button = button;
        call(s.up, e);
        if (wasPressed && !endsDouble && button != vbMiddleButton && inside)
            call(s.click);
    };
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        e.Button = msg == WM_LBUTTONDOWN                                ? vbLeftButton
                   : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK) ? vbRightButton
                                                                        : vbMiddleButton;
        pressed_ |= e.Button;
        call(s.down, e);
        return true;
    case WM_LBUTTONDBLCLK:
        pressed_ |= vbLeftButton;
        afterDouble_ = true;
        call(s.dblClick);
        return true;
    case WM_LBUTTONUP:
        release(vbLeftButton);
        return true;
    case WM_RBUTTONUP:
        release(vbRightButton);
        return true;
    case WM_MBUTTONUP:
        release(vbMiddleButton);
        return true;
    case WM_MOUSEMOVE:
        e.Button = static_cast<int16_t>(((wp & MK_LBUTTON) ? vbLeftButton : 0) |
                                        ((wp & MK_RBUTTON) ? vbRightButton : 0) |
                                        ((wp & MK_MBUTTON) ? vbMiddleButton : 0));
        call(s.move, e);
        return true;
    default:
        return false;
    }
}

}  // namespace quill::forms
