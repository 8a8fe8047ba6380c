#include "controls/small/ProgressBar.h"

#include "controls/small/ProgressBarLayout.h"
#include "forms/Gdi.h"
#include "forms/lang/Error.h"

#include <limits>
#include <vector>

namespace quill::small {

namespace {

// A 32-bit key of the stored layout; a value beyond 32 bits can't be read.
std::int32_t ReadLong(forms::PropertyBag& bag, std::wstring_view key, std::int32_t defaultValue)
{
    const auto v = bag.ReadProperty<std::int64_t>(key, defaultValue);
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        throw forms::RuntimeError(forms::kOverflow);
    return static_cast<std::int32_t>(v);
}

// Loading goes on with the next key when one can't be read.
template <class Step>
void ReadSkippingFailure(Step&& step)
{
    try {
        step();
    } catch (const forms::RuntimeError&) {
    }
}

constexpr Colour ReadEffectColour = Rgb(200, 200, 200);

// The user's decimal separator, as the regional settings give it now; "."
// when they give none.
std::wstring UsersDecimalSeparator()
{
    wchar_t separator[4] = {};  // the longest separator the settings allow, with its end
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) <= 1)
        return L".";
    return separator;
}

}  // namespace

ProgressBar::ProgressBar()
{
    AutoRedraw = true;
    Graphics().FontTransparent(true);
    props_.Changed = [this](std::wstring_view property) {
        PropertyChanged(std::wstring(property));
        RefreshBar();
    };
}

void ProgressBar::TextFont(forms::Font::Ref font)
{
    textFont_ = std::move(font);
    Font(textFont_);
    PropertyChanged(L"TextFont");
    RefreshBar();
}

void ProgressBar::UserControl_InitProperties()
{
    if (Extender().Width() == 0 && Extender().Height() == 0)
        Size(static_cast<int>(NewWidth * ContainerUnitsPerPixelX()),
             static_cast<int>(NewHeight * ContainerUnitsPerPixelY()));
    props_.InitNew(BannerText);
    TextFont(Ambient().Font());
}

void ProgressBar::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    ReadSkippingFailure([&] { Max(ReadLong(PropBag, L"Max", 100)); });
    ReadSkippingFailure([&] { Min(ReadLong(PropBag, L"Min", 0)); });
    ReadSkippingFailure([&] { Value(ReadLong(PropBag, L"Value", 50)); });
    ReadSkippingFailure([&] { RoundedValue(ReadLong(PropBag, L"RoundedValue", 5)); });
    ReadSkippingFailure([&] { Enabled(PropBag.ReadProperty(L"Enabled", true)); });
    ReadSkippingFailure([&] { Theme(ReadLong(PropBag, L"Theme", 1)); });
    ReadSkippingFailure([&] { TextStyle(ReadLong(PropBag, L"TextStyle", 1)); });
    ReadSkippingFailure([&] { Orientations(ReadLong(PropBag, L"Orientations", 1)); });
    ReadSkippingFailure([&] { Text(PropBag.ReadProperty(L"Text", Ambient().DisplayName())); });
    ReadSkippingFailure([&] { TextEffectColor(PropBag.ReadProperty(L"TextEffectColor", ReadEffectColour)); });
    ReadSkippingFailure([&] { TextEffect(ReadLong(PropBag, L"TextEffect", 1)); });
    ReadSkippingFailure([&] { TextAlignment(ReadLong(PropBag, L"TextAlignment", 5)); });
    ReadSkippingFailure([&] { TextFont(PropBag.ReadProperty(L"TextFont", Ambient().Font())); });
    ReadSkippingFailure([&] { TextForeColor(PropBag.ReadProperty<Colour>(L"TextForeColor", 0)); });
    ReadSkippingFailure([&] { PBSCustomeColor2(PropBag.ReadProperty<Colour>(L"PBSCustomeColor2", 0)); });
    ReadSkippingFailure([&] { PBSCustomeColor1(PropBag.ReadProperty<Colour>(L"PBSCustomeColor1", 0)); });
}

void ProgressBar::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    PropBag.WriteProperty(L"Orientations", Orientations(), 1);
    PropBag.WriteProperty(L"Max", Max(), 100);
    PropBag.WriteProperty(L"Min", Min(), 0);
    PropBag.WriteProperty(L"Value", Value(), 50);
    PropBag.WriteProperty(L"RoundedValue", RoundedValue(), 5);
    PropBag.WriteProperty(L"Enabled", Enabled(), true);
    PropBag.WriteProperty(L"Theme", Theme(), 1);
    PropBag.WriteProperty(L"TextStyle", TextStyle(), 1);
    PropBag.WriteProperty(L"TextFont", textFont_, Ambient().Font());
    PropBag.WriteProperty(L"TextForeColor", TextForeColor(), 0);
    PropBag.WriteProperty(L"TextAlignment", TextAlignment(), 5);
    PropBag.WriteProperty(L"Text", Text(), L"");
    PropBag.WriteProperty(L"TextEffectColor", TextEffectColor(), ReadEffectColour);
    PropBag.WriteProperty(L"TextEffect", TextEffect(), 1);
    PropBag.WriteProperty(L"PBSCustomeColor2", PBSCustomeColor2(), 0);
    PropBag.WriteProperty(L"PBSCustomeColor1", PBSCustomeColor1(), 0);
}

void ProgressBar::UserControl_Resize()
{
    RefreshBar();
}

void ProgressBar::RefreshBar()
{
    const int sw = ScaleWidth();
    const int sh = ScaleHeight();
    const int corner = props_.RoundedValue();

    if (hWnd()) {
        forms::gdi::RegionHandle region(CreateRoundRectRgn(0, 0, sw, sh, corner, corner));
        if (region && SetWindowRgn(hWnd(), region, TRUE))
            region.Release();
    }

    const double percent = Percentage(props_.Value(), props_.Max());
    const int fill = FillLength(props_.Orientations(), sw, sh, percent);
    LoadThemePalette(palette_, props_.Theme(), props_.PBSCustomeColor1(), props_.PBSCustomeColor2());
    if (!props_.Enabled())
        GreyPalette(palette_);

    Cls();
    for (const GradientBand& band : BarBands(props_.Orientations(), sw, sh, props_.Value(), fill))
        GradientTwoColour(hDC(), band.direction, palette_[static_cast<std::size_t>(band.fromEntry)],
                          palette_[static_cast<std::size_t>(band.toEntry)], band.left, band.top, band.right,
                          band.bottom);

    ForeColor(palette_[BorderEntry]);
    {
        forms::gdi::PenHandle pen(CreatePen(PS_SOLID, 1, palette_[BorderEntry]));
        forms::gdi::Selection usePen(hDC(), pen);
        forms::gdi::Selection noFill(hDC(), GetStockObject(NULL_BRUSH));
        RoundRect(hDC(), 0, 0, sw - 1, sh - 1, corner, corner);
    }

    if (const auto text =
            BarText(props_.TextStyle(), props_.Value(), percent, props_.Text(), UsersDecimalSeparator()))
        DrawBarText(*text, props_.TextAlignment());
    Graphics().Drawn();
}

void ProgressBar::DrawBarText(const std::wstring& text, int alignment)
{
    const TextColours colours =
        BarTextColours(props_.Enabled(), props_.TextForeColor(), props_.TextEffectColor());
    forms::Surface& g = Graphics();
    g.ForeColor(colours.text);
    const TextPlace at =
        TextPosition(alignment, ScaleWidth(), ScaleHeight(), g.TextWidth(text), g.TextHeight(text));
    for (const TextCopy& copy : TextCopies(props_.TextEffect())) {
        g.ForeColor(copy.colour == CopyColour::Text     ? colours.text
                    : copy.colour == CopyColour::Effect ? colours.effect
                                                        : ShadowGrey);
        g.CurrentX = static_cast<float>(at.x + copy.dx);
        g.CurrentY = static_cast<float>(at.y + copy.dy);
        g.Print(text);
    }
    g.ForeColor(colours.text);
}

void ProgressBar::GradientTwoColour(HDC dc, std::int32_t direction, Colour startColour, Colour endColour,
                                    std::int32_t left, std::int32_t top, std::int32_t right,
                                    std::int32_t bottom)
{
    // The platform's third mode reads a triangle mesh, which one rectangle is not.
    if (direction != 0 && direction != 1)
        return;
    const VertexChannels a = VertexOfColour(startColour);
    const VertexChannels b = VertexOfColour(endColour);
    TRIVERTEX vertices[2] = {{left, top, a.red, a.green, a.blue, a.alpha},
                             {right, bottom, b.red, b.green, b.blue, b.alpha}};
    GRADIENT_RECT rect{0, 1};
    GradientFill(dc, vertices, 2, &rect, 1, direction == 0 ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void ProgressBar::DrawGradientFourColour(HDC dc, std::int32_t left, std::int32_t top, std::int32_t width,
                                         std::int32_t height, Colour topLeft, Colour topRight,
                                         Colour bottomLeft, Colour bottomRight)
{
    const FourColourGradient gradient(width, height, topLeft, topRight, bottomLeft, bottomRight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint8_t> row;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int64_t rowTop = static_cast<std::int64_t>(top) + y;
        if (rowTop > std::numeric_limits<std::int32_t>::max())
            throw forms::RuntimeError(forms::kOverflow);
        gradient.Row(y, row);
        SetDIBitsToDevice(dc, left, static_cast<int>(rowTop), static_cast<DWORD>(width), 1, 0, 0, 0, 1,
                          row.data(), &info, DIB_RGB_COLORS);
    }
}

}  // namespace quill::small
