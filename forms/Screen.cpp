#include "forms/Screen.h"

#include "forms/Form.h"
#include "forms/Gdi.h"

#include <windows.h>

#include <cmath>

namespace quill::forms {

namespace {

int Dpi(int axis)
{
    gdi::WindowDc screen(nullptr);
    const int dpi = GetDeviceCaps(screen, axis);
    return dpi > 0 ? dpi : 96;
}

int Round(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

}  // namespace

float Screen::TwipsPerPixelX()
{
    return 1440.0f / Dpi(LOGPIXELSX);
}
float Screen::TwipsPerPixelY()
{
    return 1440.0f / Dpi(LOGPIXELSY);
}
int Screen::Width()
{
    return TwipsX(GetSystemMetrics(SM_CXSCREEN));
}
int Screen::Height()
{
    return TwipsY(GetSystemMetrics(SM_CYSCREEN));
}
int Screen::PixelsX(double twips)
{
    return Round(twips / TwipsPerPixelX());
}
int Screen::PixelsY(double twips)
{
    return Round(twips / TwipsPerPixelY());
}
int Screen::TwipsX(double pixels)
{
    return Round(pixels * TwipsPerPixelX());
}
int Screen::TwipsY(double pixels)
{
    return Round(pixels * TwipsPerPixelY());
}

Form* Screen::ActiveForm()
{
    for (HWND h = GetActiveWindow(); h; h = GetParent(h))
        if (auto* f = dynamic_cast<Form*>(Window::FromHandle(h)))
            return f;
    return nullptr;
}

}  // namespace quill::forms
