// The list view's layout and painting: column widths, the scroll ranges, the
// back buffer, the font, the border, and the header and rows drawn into the
// back buffer and copied to the window in one blit.
#include <algorithm>

#include "controls/listview/FlagScope.h"
#include "controls/listview/ListDropTarget.h"
#include "controls/listview/ListGeometry.h"
#include "controls/listview/ListView.h"

namespace quill::listview {

namespace {

constexpr int32_t kButtonFace = static_cast<int32_t>(0x8000000F);
constexpr int32_t kButtonText = static_cast<int32_t>(0x80000012);
constexpr UINT kEdgeRaised = 0x5;      // EDGE_RAISED
constexpr UINT kEdgePushed = 0x6;      // BDR_SUNKENOUTER | BDR_RAISEDINNER
constexpr UINT kEdgeAllSides = 0xF;    // BF_RECT
constexpr UINT kEdgeNoRight = 0xB;     // BF_LEFT | BF_TOP | BF_BOTTOM
constexpr UINT kTextLine = 0x8024;     // DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS
constexpr UINT kFrameChanged = 0x227;  // no size, move, z-order, owner z-order; frame changed

}  // namespace

int32_t ListView::ItemHeight() const
{
    return listview::ItemHeight({.itemsAutoSize = ItemsAutoSize_,
                                 .fontHeight = FontHeight_,
                                 .checkboxes = Checkboxes_,
                                 .picturesShown = PicturesShown(),
                                 .pictureHeight = PictureHeight_,
                                 .paddingTop = ItemPaddingTop_,
                                 .paddingBottom = ItemPaddingBottom_});
}

int32_t ListView::VisibleRowCount() const
{
    return listview::VisibleRowCount(ItemAreaRect_.top, ItemAreaRect_.bottom, ItemHeight());
}

RECT ListView::PadTextRect(const RECT& r) const
{
    RECT padded = r;
    padded.left += ItemPaddingLeft_;
    padded.right -= ItemPaddingRight_;
    return padded;
}

void ListView::ReadClientRect()
{
    if (hWnd())
        GetClientRect(hWnd(), &client_);
}

void ListView::Refresh()
{
    CalculateLayout();
    UpdateVerticalScroll();
    RedrawList();
}

void ListView::UserControl_Resize()
{
    // The layout shows or hides the horizontal bar, which resizes the client
    // area; the layout reads the client area again itself.
    if (!layingOut_)
        Refresh();
}

void ListView::CalculateLayout()
{
    if (!hWnd())
        return;
    FlagScope layout(layingOut_);
    ReadClientRect();
    if (ColumnsAutoSize_) {
        AutoSizeColumns(columns_, ClientWidth());
        TotalColumnWidth_ = ClientWidth();
    } else {
        TotalColumnWidth_ = TotalColumnWidth(columns_, false, ClientWidth());
    }

    if (ClientWidth() < TotalColumnWidth_) {
        scrollBars_.Visible(SB_HORZ, true);
        scrollBars_.Min(SB_HORZ, 0);
        scrollBars_.Max(SB_HORZ, TotalColumnWidth_ - ClientWidth() - 1);
        scrollBars_.LargeChange(SB_HORZ, RoundClamped(TotalColumnWidth_ / 2.0));
        scrollBars_.SmallChange(SB_HORZ, 3);
        scrollBars_.Enabled(SB_HORZ, Enabled_);
    } else {
        scrollBars_.Visible(SB_HORZ, false);
        scrollBars_.Value(SB_HORZ, 0);
    }

    ReadClientRect();
    CreateBackBuffer();

    const int32_t contentRight = std::max(TotalColumnWidth_, ClientWidth());
    if (ColumnsVisible_)
        HeaderRect_ = {0, 0, contentRight, FontHeight_ + 8};
    else
        HeaderRect_ = {0, 0, 0, 0};
    ItemAreaRect_ = {0, HeaderRect_.bottom, contentRight, ClientHeight()};
}

void ListView::UpdateVerticalScroll()
{
    const int32_t n = ItemCount();
    const int32_t v = VisibleRowCount();
    // The range follows the rows also while the control is disabled: its bar
    // cannot scroll then, so a position left past the rows would keep the
    // first rows out of sight and out of reach.
    if (n < v) {
        if (scrollBars_.Enabled(SB_VERT) || scrollBars_.Value(SB_VERT) != 0) {
            scrollBars_.Enabled(SB_VERT, false);
            scrollBars_.Max(SB_VERT, 0);
            scrollBars_.Value(SB_VERT, 0);
        }
    } else if (Enabled_) {
        if (!scrollBars_.Enabled(SB_VERT))
            scrollBars_.Enabled(SB_VERT, true);
        scrollBars_.Max(SB_VERT, n - v);
    } else if (scrollBars_.Max(SB_VERT) != n - v) {
        scrollBars_.Max(SB_VERT, n - v);
    }
    if (!Enabled_)
        scrollBars_.Enabled(SB_VERT, false);
}

void ListView::CreateBackBuffer()
{
    if (!hWnd())
        return;
    if (!backBuffer_) {
        backBuffer_ = std::make_unique<BackBuffer>(hWnd());
        if (drawingFont_)
            backBuffer_->SelectFont(drawingFont_);
        if (FocusRectColor_.GotGDIPen())
            backBuffer_->SelectPen(FocusRectColor_.GDIPen());
    }
    ReadClientRect();
    // A refused bitmap leaves the one before, which still shows the list.
    backBuffer_->Resize(std::max(ClientWidth(), TotalColumnWidth_), ClientHeight());
}

void ListView::ApplyFont()
{
    if (!hWnd() || !Font_)
        return;
    {
        forms::gdi::WindowDc dc(hWnd());
        FontHeight_ = MulDiv(RoundClamped(Font_->Size()), GetDeviceCaps(dc, LOGPIXELSY), 72);
    }
    LOGFONTA logFont{};
    logFont.lfHeight = -FontHeight_;
    logFont.lfWeight = Font_->Weight();
    logFont.lfItalic = Font_->Italic() ? 1 : 0;
    logFont.lfUnderline = Font_->Underline() ? 1 : 0;
    logFont.lfStrikeOut = Font_->Strikethrough() ? 1 : 0;
    logFont.lfCharSet = static_cast<BYTE>(Font_->Charset());
    const std::string face = FaceNameBytes(Font_->Name());
    std::copy(face.begin(), face.end(), logFont.lfFaceName);
    forms::gdi::FontHandle font(CreateFontIndirectA(&logFont));
    if (backBuffer_)
        backBuffer_->SelectFont(font);
    drawingFont_ = std::move(font);  // the font before, no longer selected, goes
}

void ListView::ChangeWindowStyle(int index, LONG_PTR setBits, LONG_PTR clearBits)
{
    const LONG_PTR old = GetWindowLongPtrW(hWnd(), index);
    SetWindowLongPtrW(hWnd(), index, setBits | (old & ~clearBits));
    SetWindowPos(hWnd(), nullptr, 0, 0, 0, 0, kFrameChanged);
}

void ListView::ApplyBorderStyle(int32_t style)
{
    if (!hWnd() || style < 0 || style > 2)
        return;
    ChangeWindowStyle(GWL_STYLE, 0, WS_BORDER | WS_THICKFRAME);
    switch (style) {
    case 0:
        ChangeWindowStyle(GWL_EXSTYLE, 0, WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE);
        break;
    case 1:
        ChangeWindowStyle(GWL_EXSTYLE, WS_EX_STATICEDGE, WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE);
        break;
    default:
        ChangeWindowStyle(GWL_EXSTYLE, WS_EX_CLIENTEDGE, WS_EX_STATICEDGE | WS_EX_WINDOWEDGE);
        break;
    }
}

LRESULT ListView::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        // Validated even while painting is off, or the request would repeat.
        forms::gdi::PaintDc dc(hWnd());
        RedrawList(dc);
        return 0;
    }
    case WM_DESTROY:
        // OLE holds the drop target for the window: give it back while the
        // window is still there to revoke it from.
        dropTarget_.reset();
        return UserControl::WndProc(msg, wp, lp);
    case WM_CANCELMODE:
        AbandonPress();
        return UserControl::WndProc(msg, wp, lp);
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a message box, a menu): no release
        // will come, so the press ends here.
        if (lp != 0 && reinterpret_cast<HWND>(lp) != hWnd())
            AbandonPress();
        return UserControl::WndProc(msg, wp, lp);
    case WM_SIZE:
        // The user control's own drawing surface is not used: only the layout
        // follows the size.
        if (backBuffer_)
            UserControl_Resize();
        return 0;
    default:
        return UserControl::WndProc(msg, wp, lp);
    }
}

void ListView::RedrawList(HDC paintDc)
{
    if (!Redraw_ || IsPainting_)
        return;
    FlagScope painting(IsPainting_);
    if (!backBuffer_ || !backBuffer_->HasBitmap() || !hWnd())
        return;
    const HDC dc = backBuffer_->Dc();
    DrawHeader(dc);
    DrawRows(dc);
    int32_t offset = ClientWidth() < TotalColumnWidth_ ? scrollBars_.Value(SB_HORZ) : 0;
    offset = std::clamp(offset, 0, std::max(0, backBuffer_->Width() - ClientWidth()));
    if (paintDc) {
        BitBlt(paintDc, 0, 0, ClientWidth(), ClientHeight(), dc, offset, 0, SRCCOPY);
    } else {
        forms::gdi::WindowDc window(hWnd());
        BitBlt(window, 0, 0, ClientWidth(), ClientHeight(), dc, offset, 0, SRCCOPY);
        ValidateRect(hWnd(), nullptr);
    }
}

void ListView::DrawCellText(HDC dc, const std::wstring& text, RECT area, int32_t align, bool prefix)
{
    UINT flags = kTextLine;
    switch (align) {
    case 0:
        break;
    case 1:
        flags |= DT_RIGHT;
        break;
    case 2:
        flags |= DT_CENTER;
        break;
    default:
        return;
    }
    // Row cells show their text as typed; header captions keep "&&" for "&".
    if (!prefix)
        flags |= DT_NOPREFIX;
    const std::string bytes = DrawnBytes(text);
    DrawTextA(dc, bytes.data(), static_cast<int>(bytes.size()), &area, flags);
}

void ListView::DrawHeader(HDC dc)
{
    if (!ColumnsVisible_)
        return;
    forms::gdi::BrushHandle face(CreateSolidBrush(static_cast<COLORREF>(TranslateOleColor(kButtonFace))));
    SetTextColor(dc, static_cast<COLORREF>(TranslateOleColor(kButtonText)));
    int32_t x = 0;
    for (int32_t i = 0; i < ColumnCount(); ++i) {
        const Column& column = *columns_.Item(i);
        if (!column.Visible)
            continue;
        RECT cell{x, 0, x + LaidOutWidth(column, ColumnsAutoSize_), HeaderRect_.bottom};
        FillRect(dc, &cell, face);
        DrawEdge(dc, &cell, column.Pushed ? kEdgePushed : kEdgeRaised, kEdgeAllSides);
        const RECT text = PadTextRect(cell);
        if (text.right - text.left > 0)
            DrawCellText(dc, column.Caption, text, column.TextAlign, true);
        x = cell.right;
    }
    if (x < HeaderRect_.right) {
        RECT rest{x, 0, HeaderRect_.right, HeaderRect_.bottom};
        FillRect(dc, &rest, face);
        DrawEdge(dc, &rest, kEdgeRaised, kEdgeNoRight);
    }
}

void ListView::DrawRowCheckbox(HDC dc, const RECT& cell, bool selected, bool checked)
{
    const HPEN pen = selected ? CheckboxSelectedColor_.GDIPen() : CheckboxColor_.GDIPen();
    const HGDIOBJ previous = SelectObject(dc, pen);
    const GridPoint o = CheckboxOrigin(cell.left, cell.top, cell.bottom);
    const POINT inner[] = {{o.x, o.y}, {o.x + 12, o.y}, {o.x + 12, o.y + 12}, {o.x, o.y + 12}, {o.x, o.y}};
    const POINT outer[] = {{o.x - 1, o.y - 1},
                           {o.x + 13, o.y - 1},
                           {o.x + 13, o.y + 13},
                           {o.x - 1, o.y + 13},
                           {o.x - 1, o.y - 1}};
    for (const auto* path : {inner, outer}) {
        MoveToEx(dc, path[0].x, path[0].y, nullptr);
        for (int i = 1; i < 5; ++i)
            LineTo(dc, path[i].x, path[i].y);
    }
    if (checked) {
        for (const Stroke& stroke : TickStrokes) {
            MoveToEx(dc, o.x + stroke.from.x, o.y + stroke.from.y, nullptr);
            LineTo(dc, o.x + stroke.to.x, o.y + stroke.to.y);
        }
    }
    if (previous)
        SelectObject(dc, previous);
}

void ListView::DrawRows(HDC dc)
{
    const HBRUSH background = BackColor_.GDIBrush();
    const int32_t n = ItemCount();
    if (n == 0) {
        FillRect(dc, &ItemAreaRect_, background);
        return;
    }
    COLORREF lastTextColour = CLR_INVALID;
    const auto textColour = [&](int32_t colour) {
        const auto c = static_cast<COLORREF>(colour);
        if (c != lastTextColour) {
            SetTextColor(dc, c);
            lastTextColour = c;
        }
    };

    // Cells wholly outside the part of the buffer that reaches the window
    // are not painted.
    const int32_t offset = ClientWidth() < TotalColumnWidth_ ? scrollBars_.Value(SB_HORZ) : 0;
    const int32_t shownLeft = offset;
    const int32_t shownRight = offset + ClientWidth();

    const int32_t first = std::clamp(scrollBars_.Value(SB_VERT), 0, n - 1);
    const int32_t visible = std::min(VisibleRowCount(), n);
    const int32_t height = ItemHeight();
    const bool picturesShown = PicturesShown();
    int32_t top = ItemAreaRect_.top;
    for (int32_t row = first; row <= first + visible && row <= n - 1; ++row, top += height) {
        const ListItem& item = Row(row);
        const int32_t bottom = top + height;
        int32_t x = 0;
        for (int32_t c = 0; c < ColumnCount(); ++c) {
            const Column& column = *columns_.Item(c);
            if (!column.Visible)
                continue;
            RECT cell{x, top, x + LaidOutWidth(column, ColumnsAutoSize_), bottom};
            x = cell.right;
            if (cell.right <= shownLeft || cell.left >= shownRight)
                continue;

            int32_t back = -1;
            int32_t fore = -1;
            HBRUSH brush = background;
            if (DrawCallback_->CustomDraw(row, c, back, fore)) {
                if (fore != -1) {
                    if (CustomForeColor_.OLEColor() != fore)
                        CustomForeColor_.SetColor(fore, false, false);
                    textColour(CustomForeColor_.RGBColor());
                } else {
                    textColour(ForeColor_.RGBColor());
                }
                if (back != -1) {
                    if (CustomBackColor_.OLEColor() != back)
                        CustomBackColor_.SetColor(back, true, false);
                    brush = CustomBackColor_.GDIBrush();
                }
            } else if (item.Selected) {
                textColour(SelectedForeColor_.RGBColor());
                brush = SelectedBackColor_.GDIBrush();
            } else {
                textColour(ForeColor_.RGBColor());
            }
            FillRect(dc, &cell, brush);

            RECT text = cell;
            if (c == 0) {
                if (picturesShown) {
                    text.left = cell.left + 2;
                    if (item.PictureIndex >= 0)
                        pictures_.Render(item.PictureIndex, dc, text.left,
                                         PictureTop(top, bottom, PictureHeight_), PictureWidth_,
                                         PictureHeight_);
                    text.left += PictureWidth_ + 3;
                }
                if (Checkboxes_) {
                    RECT box = cell;
                    box.left = text.left;
                    DrawRowCheckbox(dc, box, item.Selected, item.Checked);
                    text.left += 18;
                }
            }
            DrawCellText(dc, item.Text(c), PadTextRect(text), column.TextAlign, false);
        }
        if (x < ItemAreaRect_.right) {
            RECT rest{x, top, ItemAreaRect_.right, bottom};
            FillRect(dc, &rest, background);
        }
        if (row == SelectedItem_ && HasFocus_ && Enabled_) {
            if (SolidFocusRect_) {
                MoveToEx(dc, 0, top, nullptr);
                LineTo(dc, x - 1, top);
                LineTo(dc, x - 1, bottom - 1);
                LineTo(dc, 0, bottom - 1);
                LineTo(dc, 0, top);
            } else {
                textColour(0);
                RECT frame{0, top, x, bottom};
                DrawFocusRect(dc, &frame);
            }
        }
    }
    RECT below{0, top, ItemAreaRect_.right, ClientHeight()};
    FillRect(dc, &below, background);
}

}  // namespace quill::listview
