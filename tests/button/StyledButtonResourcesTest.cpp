// Repeated painting and repeated creation leave no GDI object and no window behind.
#include "ButtonHost.h"

#include "forms/Gdi.h"

#include <gtest/gtest.h>

using namespace quill;

using namespace quill::button;

namespace {

int ThreadWindows()
{
    int n = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM p) {
            ++*reinterpret_cast<int*>(p);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

TEST(ButtonResources, NoGdiObjectLeaksOverTenThousandRepaints)
{
    const COLORREF red = RGB(255, 0, 0);
    forms::PropertyBag layout{
        {L"Style", 0}, {L"Icon", SolidIcon(red, 0x909090)}, {L"Caption", L"\u767B\u5F55"}};
    HostForm form([&](HostForm& f) { f.a.Load(f, Place(L"a", 10, 10, 80, 40), &layout); });
    form.Show();
    StyledButton& b = *form.a;
    b.Refresh();
    const long before = forms::gdi::LiveObjects();
    int repaints = 0;
    for (int style = 0; style <= 10; ++style) {
        b.Style(style);
        b.UseMaskColor(style % 2 == 1);
        for (int i = 0; i < 910; ++i, ++repaints) {
            // Hover and leave (a tool tip each time) now and then; mostly the
            // other states, with the grey icon among them.
            switch (i % 50 == 0 ? 0 : i % 50 == 1 ? 1 : 2 + i % 4) {
            case 0:
                SendMessageW(b.hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
                break;
            case 1:
                SendMessageW(b.hWnd(), WM_MOUSELEAVE, 0, 0);
                break;
            case 2:
                b.Enabled(false);
                break;
            case 3:
                b.Enabled(true);
                break;
            case 4:
                SendMessageW(b.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
                break;
            default:
                SendMessageW(b.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
                break;
            }
        }
        EXPECT_EQ(forms::gdi::LiveObjects(), before) << "style " << style;
    }
    EXPECT_GE(repaints, 10000);
    form.Unload();
}

TEST(ButtonResources, NoGdiObjectOrWindowLeaksOverAThousandCreateAndDestroyCycles)
{
    const COLORREF red = RGB(255, 0, 0);
    auto icon = SolidIcon(red, red);
    int windowsBefore = -1;
    long objectsBefore = -1;
    for (int i = 0; i < 1000; ++i) {
        forms::PropertyBag layout{{L"Style", i % 11}, {L"Icon", icon}, {L"ToolTipText", L"tip"}};
        HostForm form([&](HostForm& f) {
            f.a.Load(f, Place(L"a", 10, 10, 80, 40), &layout);
            f.b.Load(f, Place(L"b", 10, 60, 80, 24));
        });
        form.Show();
        if (i % 10 == 0)
            SendMessageW(form.a->hWnd(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // a tool tip as well
        form.Unload();
        Pump();
        // Counted once the objects earlier tests left for later have gone,
        // with this pass's form object (and its own surface) still alive.
        if (i == 10) {
            objectsBefore = forms::gdi::LiveObjects();
            windowsBefore = ThreadWindows();
        }
        if (i == 999) {
            EXPECT_EQ(forms::gdi::LiveObjects(), objectsBefore);
            EXPECT_EQ(ThreadWindows(), windowsBefore);
        }
    }
}

}  // namespace
