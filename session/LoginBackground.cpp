#include "session/LoginBackground.h"

#include "forms/Gdi.h"

namespace quill::session {
namespace {

constexpr int Width = 334, Height = 218;
constexpr COLORREF Page = RGB(0xE4, 0xF4, 0xFF);  // the login controls' own back colour
constexpr COLORREF BandTop = RGB(0x2B, 0x7C, 0xC9), BandBottom = RGB(0x5A, 0xA8, 0xE6);
constexpr COLORREF FieldBorder = RGB(0x8C, 0xB4, 0xD8);
constexpr COLORREF LabelText = RGB(0x33, 0x4D, 0x66);

void Fill(HDC dc, RECT r, COLORREF colour)
{
    forms::gdi::BrushHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &r, brush);
}

void Text(HDC dc, const wchar_t* text, RECT r, const wchar_t* face, int pixels, int weight, COLORREF colour,
          UINT format)
{
    forms::gdi::FontHandle font(
        CreateFontW(-pixels, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, face));
    forms::gdi::Selection use(dc, font);
    SetTextColor(dc, colour);
    // Unclipped: the texts fit their cells, and Wine clips the glyphs of a
    // bitmap strike wrongly at a cell's edge (strokes of the last character
    // went missing).
    DrawTextW(dc, text, -1, &r, format | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

void HeaderBand(HDC dc)
{
    constexpr int bandHeight = 66;
    for (int y = 0; y < bandHeight; ++y) {
        auto mix = [&](int a, int b) { return a + (b - a) * y / (bandHeight - 1); };
        Fill(dc, {0, y, Width, y + 1},
             RGB(mix(GetRValue(BandTop), GetRValue(BandBottom)),
                 mix(GetGValue(BandTop), GetGValue(BandBottom)),
                 mix(GetBValue(BandTop), GetBValue(BandBottom))));
    }
    Text(dc, L"Quillmoor", {18, 10, Width - 18, 46}, L"Verdana", 26, FW_BOLD, RGB(0xFF, 0xFF, 0xFF),
         DT_LEFT | DT_VCENTER);
    Text(dc, L"\u7F51\u8D37\u6295\u8D44\u8BB0\u8D26", {20, 42, Width - 18, 60}, L"\u5B8B\u4F53", 12,
         FW_NORMAL, RGB(0xDD, 0xEE, 0xFF), DT_LEFT | DT_VCENTER);
}

// The password box has no border of its own: its frame is drawn here, as
// wide as the account box above it, with a small padlock in front of it.
void PasswordField(HDC dc)
{
    const RECT field{57, 116, 247, 142};
    Fill(dc, field, RGB(0xFF, 0xFF, 0xFF));
    forms::gdi::BrushHandle border(CreateSolidBrush(FieldBorder));
    FrameRect(dc, &field, border);
    const COLORREF lock = RGB(0x7A, 0x98, 0xB6);
    forms::gdi::PenHandle pen(CreatePen(PS_SOLID, 2, lock));
    forms::gdi::Selection usePen(dc, pen);
    forms::gdi::Selection noFill(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, 66, 119, 75, 130, 8, 10);
    Fill(dc, {63, 125, 78, 137}, lock);
}

}  // namespace

forms::Picture::Ref LoginBackground()
{
    uint32_t* bits = nullptr;
    forms::gdi::BitmapHandle bitmap = forms::gdi::TopDownDib(nullptr, Width, Height, bits);
    if (!bitmap)
        return nullptr;
    {
        forms::gdi::MemoryDc dc;
        forms::gdi::Selection use(dc, bitmap);
        SetBkMode(dc, TRANSPARENT);
        Fill(dc, {0, 0, Width, Height}, Page);
        HeaderBand(dc);
        Text(dc, L"\u5E10  \u53F7", {8, 78, 52, 104}, L"\u5B8B\u4F53", 12, FW_NORMAL, LabelText,
             DT_RIGHT | DT_VCENTER);
        Text(dc, L"\u5BC6  \u7801", {8, 116, 52, 142}, L"\u5B8B\u4F53", 12, FW_NORMAL, LabelText,
             DT_RIGHT | DT_VCENTER);
        PasswordField(dc);
        Fill(dc, {0, 180, Width, 181}, FieldBorder);
    }
    // The picture deletes the bitmap when it goes.
    return forms::Picture::FromBitmap(bitmap.Release());
}

}  // namespace quill::session
