#pragma once
// A form holding the buttons a test lays out, and what the tests read back
// of them: the surface's pixels, references drawn with the platform's own
// calls, recorded event sequences.
#include "controls/button/ButtonColours.h"
#include "controls/button/StyledButton.h"
#include "FaceExpectations.h"
#include "forms/Form.h"
#include "forms/Loaded.h"
#include "forms/Gdi.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/HostForm.h"
#include "tests/support/Pump.h"

#include <functional>
#include <string>
#include <vector>

namespace quill::button {

using button::StyledButton;
using quill::button::Colour;

struct TwoButtons {
    forms::Loaded<StyledButton> a, b;
};
using HostForm = test::HostForm<TwoButtons>;

inline forms::ControlArgs Place(const wchar_t* name, int leftPx, int topPx, int widthPx, int heightPx)
{
    return test::PlacePixels(name, leftPx, topPx, widthPx, heightPx);
}

inline std::vector<Colour> SurfacePixels(const StyledButton& b)
{
    std::vector<Colour> px;
    for (int y = 0; y < b.ScaleHeight(); ++y)
        for (int x = 0; x < b.ScaleWidth(); ++x)
            px.push_back(static_cast<Colour>(b.Point(x, y)));
    return px;
}

// Draws with the platform's calls into a W x H 32-bit DIB and returns its
// pixels with red in the low byte, as the surface reports them.
inline std::vector<Colour> Reference(int w, int h, const std::function<void(HDC)>& draw)
{
    test::DibCanvas canvas(w, h);
    draw(canvas.Dc());
    return canvas.Pixels();
}

inline void FillDc(HDC dc, int x, int y, int w, int h, COLORREF c)
{
    RECT r{x, y, x + w, y + h};
    forms::gdi::BrushHandle brush(CreateSolidBrush(c));
    FillRect(dc, &r, brush);
}

inline std::string ColourName(Colour c)
{
    return quill::button::facetest::ColourText(c);
}

// The first pixel where two images differ, as text; empty when equal.
inline std::string FirstDifference(const std::vector<Colour>& got, const std::vector<Colour>& want, int w)
{
    if (got.size() != want.size())
        return "sizes differ";
    for (size_t i = 0; i < got.size(); ++i)
        if ((got[i] & 0xFFFFFF) != (want[i] & 0xFFFFFF))
            return "at " + std::to_string(i % w) + "," + std::to_string(i / w) + ": " + ColourName(got[i]) +
                   " instead of " + ColourName(want[i]);
    return {};
}

// A 16 x 16 opaque icon, left half `left`, right half `right`.
inline forms::Picture::Ref SolidIcon(COLORREF left, COLORREF right, int size = 16)
{
    forms::gdi::WindowDc screen(nullptr);
    forms::gdi::BitmapHandle colour(CreateCompatibleBitmap(screen, size, size));
    forms::gdi::BitmapHandle mask(CreateBitmap(size, size, 1, 1, nullptr));
    {
        forms::gdi::MemoryDc dc(screen);
        {
            forms::gdi::Selection use(dc, colour);
            FillDc(dc, 0, 0, size / 2, size, left);
            FillDc(dc, size / 2, 0, size - size / 2, size, right);
        }
        forms::gdi::Selection use(dc, mask);
        PatBlt(dc, 0, 0, size, size, BLACKNESS);  // all opaque
    }
    ICONINFO info{TRUE, 0, 0, mask, colour};
    return forms::Picture::FromIcon(forms::gdi::IconHandle(CreateIconIndirect(&info)));
}

// Handles what was posted so far (the repaints and focus changes of a step).
inline void Pump()
{
    test::PumpPosted();
}

}  // namespace quill::button
