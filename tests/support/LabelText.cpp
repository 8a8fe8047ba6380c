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

UINT AlignmentFormat(const forms::Label& label)
{
    return label.Alignment() == 1 ? DT_RIGHT : label.Alignment() == 2 ? DT_CENTER : DT_LEFT;
}

// Where the screen's label differs from `text` drawn with `format` over the
// label's background, in its font and colour; empty when nowhere.
std::string Mismatch(forms::Label& label, const std::wstring& text, UINT format)
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
    DrawTextW(canvas.Dc(), text.c_str(), static_cast<int>(text.size()), &r,
              format | DT_EXPANDTABS | DT_NOPREFIX | AlignmentFormat(label));
    const std::vector<uint32_t> drawn = canvas.Pixels();
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
                (shown[size_t(y) * w + x] & 0xFFFFFF) != (drawn[size_t(y) * w + x] & 0xFFFFFF))
                return "at " + std::to_string(x) + "," + std::to_string(y) + " of the label";
    return {};
}

}  // namespace

std::string LiteralCaptionMismatch(forms::Label& label)
{
    // The caption as the label lays it out, but with no character taken for
    // an access key.
    return Mismatch(label, label.Caption(), label.OneLine() ? DT_SINGLELINE | DT_END_ELLIPSIS : DT_WORDBREAK);
}

std::vector<int> InkRows(forms::Label& label)
{
    const RECT area = label.PixelRect();
    const int w = area.right - area.left, h = area.bottom - area.top;
    const std::vector<uint32_t> shown = Shown(label, area);
    const COLORREF ink = forms::TranslateColor(label.ForeColor());
    const uint32_t pixel = GetRValue(ink) | (GetGValue(ink) << 8) | (GetBValue(ink) << 16);
    std::vector<int> rows;
    for (int y = 0; y < h && shown.size() == size_t(w) * size_t(h); ++y)
        for (int x = 0; x < w; ++x)
            if ((shown[size_t(y) * w + x] & 0xFFFFFF) == pixel) {
                rows.push_back(y);
                break;
            }
    return rows;
}

std::string CutCaptionMismatch(forms::Label& label)
{
    const RECT area = label.PixelRect();
    const std::wstring caption = label.Caption();
    DibCanvas measure(1, 1);
    forms::gdi::FontHandle font = label.Font()->CreateHandle();
    forms::gdi::Selection use(measure.Dc(), font);
    auto width = [&](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(measure.Dc(), text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    std::wstring text = caption;
    if (width(caption) > area.right - area.left) {
        size_t kept = 0;
        while (kept < caption.size() && width(caption.substr(0, kept + 1) + L"...") <= area.right - area.left)
            ++kept;
        text = caption.substr(0, kept) + L"...";
    }
    return Mismatch(label, text, DT_SINGLELINE);
}

}  // namespace quill::test
