#include "tests/support/LabelText.h"

#include "tests/support/DibCanvas.h"
#include "tests/support/ScreenCapture.h"

#include "forms/Color.h"
#include "forms/Container.h"
#include "forms/Pump.h"

#include <windows.h>

namespace quill::test {

namespace {

std::vector<uint32_t> Shown(const forms::Label& label, const RECT& area)
{
    HWND host = label.ParentContainer()->ContainerWindow();
    RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    forms::DoEvents();
    RECT screen = area;
    MapWindowPoints(host, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return ScreenPixels(screen);
}

}  // namespace

std::string LiteralCaptionMismatch(forms::Label& label)
{
    const RECT area = label.PixelRect();
    const int w = area.right - area.left, h = area.bottom - area.top;
    const std::wstring caption = label.Caption();
    const std::vector<uint32_t> shown = Shown(label, area);
    label.Caption(L"");
    const std::vector<uint32_t> background = Shown(label, area);
    label.Caption(caption);
    Shown(label, area);
    if (shown.size() != size_t(w) * size_t(h) || background.size() != shown.size())
        return "the label is not on the screen";

    // The background, then the caption over it as the label draws it, but
    // with no character taken for an access key.
    DibCanvas canvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = background[size_t(y) * w + x];
            SetPixelV(canvas.Dc(), x, y, RGB(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
        }
    forms::gdi::FontHandle font = label.Font()->CreateHandle();
    forms::gdi::Selection use(canvas.Dc(), font);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    SetTextColor(canvas.Dc(), forms::TranslateColor(label.ForeColor()));
    RECT r{0, 0, w, h};
    const UINT align = label.Alignment() == 1 ? DT_RIGHT : label.Alignment() == 2 ? DT_CENTER : DT_LEFT;
    DrawTextW(canvas.Dc(), caption.c_str(), static_cast<int>(caption.size()), &r,
              DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | align);
    const std::vector<uint32_t> literal = canvas.Pixels();
    // Child windows of the host that lie over the label hide it there.
    HWND host = label.ParentContainer()->ContainerWindow();
    forms::gdi::RegionHandle hidden(CreateRectRgn(0, 0, 0, 0));
    for (HWND child = GetWindow(host, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT c{};
        GetWindowRect(child, &c);
        MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&c), 2);
        OffsetRect(&c, -area.left, -area.top);
        forms::gdi::RegionHandle covered(CreateRectRgnIndirect(&c));
        CombineRgn(hidden, hidden, covered, RGN_OR);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!PtInRegion(hidden, x, y) &&
                (shown[size_t(y) * w + x] & 0xFFFFFF) != (literal[size_t(y) * w + x] & 0xFFFFFF))
                return "at " + std::to_string(x) + "," + std::to_string(y) + " of the label";
    return {};
}

}  // namespace quill::test
