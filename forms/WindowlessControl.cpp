#include "forms/WindowlessControl.h"

#include "forms/Container.h"
#include "forms/Keyboard.h"

namespace quill::forms {

void WindowlessControl::Place(Container& container, const ControlArgs& args)
{
    Site(container, args);
    Refresh();
    Sited();
}

void WindowlessControl::Refresh() const
{
    if (!ParentContainer() || !ParentContainer()->ContainerWindow())
        return;
    RECT r = PixelRect();
    InvalidateRect(ParentContainer()->ContainerWindow(), &r, FALSE);
}

void WindowlessControl::WindowlessMouse(UINT msg, WPARAM wp, POINT pt)
{
    RECT r = PixelRect();
    double ux = 1.0 / ParentContainer()->PixelsPerUnitX(), uy = 1.0 / ParentContainer()->PixelsPerUnitY();
    MouseArgs e{0, ShiftState(), static_cast<float>((pt.x - r.left) * ux),
                static_cast<float>((pt.y - r.top) * uy)};
    mouse_.Feed(msg, wp, e, PtInRect(&r, pt) != 0, Raisers());
}

HCURSOR WindowlessControl::WindowlessCursor() const
{
    if (mousePointer_ == vbHandPointer)
        return mouseIcon_ ? static_cast<HCURSOR>(mouseIcon_->Handle()) : LoadCursorW(nullptr, IDC_HAND);
    if (mousePointer_ == 1)
        return LoadCursorW(nullptr, IDC_ARROW);
    return nullptr;
}

}  // namespace quill::forms
