#include "controls/small/CaptureHover.h"

namespace quill::small {

bool TrackCaptureHover(forms::UserControl& control, forms::MouseArgs& e, bool& hot,
                       forms::Event<forms::MouseArgs&>& mouseMove, forms::Event<>& mouseOut)
{
    const bool wasHot = hot;
    if (e.X < 0 || e.Y < 0 || e.X > control.ScaleWidth() || e.Y > control.ScaleHeight()) {
        hot = false;
        mouseOut();
        ReleaseCapture();
    } else {
        hot = true;
        mouseMove(e);
        SetCapture(control.hWnd());
    }
    return hot != wasHot;
}

}  // namespace quill::small
