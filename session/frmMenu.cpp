#include "session/frmMenu.h"

#include "forms/lang/Error.h"
#include "forms/Screen.h"
#include "session/mMenuProc.h"
#include "session/Session.h"

#include <windowsx.h>

#include <cmath>

namespace quill::session {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

constexpr int RowHeight = 22;
constexpr int SeparatorHeight = 4;
constexpr ARGB Magenta = 0xFFFF00FF;

int TwipsX(double pixels)
{
    return static_cast<int>(std::nearbyint(pixels * CurrentSession().TwipsPerPixelX));
}

int TwipsY(double pixels)
{
    return static_cast<int>(std::nearbyint(pixels * CurrentSession().TwipsPerPixelY));
}

// A bitmap w x h, 32-bit ARGB, with a graphics object drawing on it.
struct Canvas {
    BitmapOwner bitmap;
    GraphicsOwner graphics;
};

Canvas NewCanvas(int width, int height)
{
    Canvas c;
    GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, c.bitmap.Out());
    c.bitmap.Take();
    if (c.bitmap) {
        GdipGetImageGraphicsContext(c.bitmap, c.graphics.Out());
        c.graphics.Take();
    }
    return c;
}

// A gradient from `from` at p1 to `to` at p2, mirrored beyond both.
LineBrushOwner Gradient(PointF p1, PointF p2, ARGB from, ARGB to, WrapMode wrap)
{
    LineBrushOwner brush;
    GdipCreateLineBrush(&p1, &p2, from, to, wrap, brush.Out());
    brush.Take();
    return brush;
}

PenOwner SolidPen(ARGB colour, float width)
{
    PenOwner pen;
    GdipCreatePen1(colour, width, UnitPixel, pen.Out());
    pen.Take();
    return pen;
}

// The top of a text item's row (its label's top): its text sits 4 pixels lower.
int RowTop(const frmMenu::MenuItem& item)
{
    return static_cast<int>(std::nearbyint(item.y)) - 4;
}

void FillAndOutline(GpGraphics* g, GpPath* path, ARGB colour)
{
    SolidBrushOwner fill;
    GdipCreateSolidFill(colour, fill.Out());
    fill.Take();
    GdipFillPath(g, fill, path);
    PenOwner pen = SolidPen(colour, 1);
    GdipDrawPath(g, pen, path);
}

void Outline(GpGraphics* g, GpPath* path, ARGB colour)
{
    PenOwner pen = SolidPen(colour, 1);
    GdipDrawPath(g, pen, path);
}

}  // namespace

frmMenu::frmMenu()
    : forms::Form({.caption = L"frmMenu",
                   .clientWidth = 1635,
                   .clientHeight = 810,
                   .startUpPosition = forms::vbStartUpManual,
                   .borderStyle = forms::vbBSNone,
                   .controlBox = false,
                   .minButton = false,
                   .maxButton = false,
                   .showInTaskbar = false})
{
}

void frmMenu::CreateControls()
{
    lblC.Wire = [this](forms::Label& label) { WireLabel(label); };
    lblC.Load(0, *this, forms::ControlArgs{.name = L"lblC", .width = 1545, .height = 330, .visible = false},
              forms::LabelArgs{.backStyle = 0});
    timMouse.Load(*this, forms::ControlArgs{.name = L"timMouse"},
                  forms::TimerArgs{.interval = 1, .enabled = false});
    timMouse->Timer = [this] { timMouse_Timer(); };
}

void frmMenu::WireLabel(forms::Label& label)
{
    const int index = label.Index();
    label.MouseMove = [this, index](forms::MouseArgs&) { lblC_MouseMove(index); };
    label.Click = [this, index] { lblC_Click(index); };
}

void frmMenu::Form_Load()
{
    ++showing_;
    gdiplus_ = std::make_unique<GdiplusSession>();
    HookMenuWindow(hWnd());
    SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void frmMenu::Form_Unload(int16_t& Cancel)
{
    forms::ResumeNext([&] {
        timMouse->Enabled(false);
        for (int n = lblC.UBound(); n > 0; --n)
            lblC.Unload(n);
    });
    items_.clear();
    FreeDrawing();
    gdiplus_.reset();
    MenuShown = false;
}

void frmMenu::FreeDrawing()
{
    surface_.Reset();
    format_.Reset();
    fontFamily_.Reset();
    font_.Reset();
    normalText_.Reset();
    hotText_.Reset();
    background_.Reset();
    highlight_.Reset();
    separator_.Reset();
}

void frmMenu::InitMenu(std::int32_t MenuListID, std::int32_t MenuWidth)
{
    menuWidth_ = MenuWidth;
    runningHeight_ = 3;
    hotItem_ = -1;
    menuListId_ = MenuListID;
}

void frmMenu::AddMenu(std::int32_t itemID, std::int32_t ItemType, const std::wstring& Caption,
                      Gdiplus::GpImage* Icon, std::int32_t IconW, std::int32_t IconH)
{
    MenuItem item;
    item.itemID = itemID;
    item.ItemType = ItemType;
    const int n = static_cast<int>(items_.size());
    if (ItemType == 0) {
        item.x = 38;
        item.y = static_cast<float>(runningHeight_ + 4);
        item.width = static_cast<float>(menuWidth_ - 6);
        item.height = RowHeight;
        forms::ResumeNext([&] {
            forms::Label& label = lblC.Contains(n) ? lblC[n] : lblC.Load(n);
            label.Move(TwipsX(3), TwipsY(runningHeight_), TwipsX(menuWidth_ - 6), TwipsY(RowHeight));
            label.Visible(true);
        });
        item.Caption = Caption;
        item.captionLength = static_cast<std::int32_t>(Caption.size());
        if (Icon) {
            item.Icon = Icon;
            item.IconW = IconW;
            item.IconH = IconH;
        }
        runningHeight_ += RowHeight;
    } else {
        item.y = static_cast<float>(runningHeight_);
        runningHeight_ += SeparatorHeight;
    }
    items_.push_back(std::move(item));
}

void frmMenu::MakePictures()
{
    const int w = menuWidth_, h = runningHeight_;
    const float fw = static_cast<float>(w), fh = static_cast<float>(h);

    Canvas back = NewCanvas(w, h);
    if (back.graphics) {
        PathOwner panel = CreateRoundRectPath(0, 0, fw, fh, 10);
        FillAndOutline(back.graphics, panel, 0xFF19555F);
        LineBrushOwner body = Gradient({0, 3}, {0, fh - 3}, 0xFFCCE9FD, 0xFFB7DEF9, WrapModeTileFlipY);
        GdipFillRectangleI(back.graphics, body, 3, 3, w - 6, h - 6);
        LineBrushOwner text = Gradient({0, 3}, {0, fh - 3}, 0xFFEDF6FE, 0xFFD9EEFB, WrapModeTileFlipY);
        GdipFillRectangleI(back.graphics, text, 29, 3, w - 32, h - 6);
        GdipSetSmoothingMode(back.graphics, SmoothingModeAntiAlias);
        PathOwner outer = CreateRoundRectPath(1, 1, fw - 2, fh - 2, 8);
        Outline(back.graphics, outer, 0xFF89D6FF);
        PathOwner inner = CreateRoundRectPath(2, 2, fw - 4, fh - 4, 6);
        Outline(back.graphics, inner, 0xFFFFFFFF);
    }
    back.graphics.Reset();
    background_ = std::move(back.bitmap);

    Canvas hot = NewCanvas(w - 6, RowHeight);
    if (hot.graphics) {
        GdipSetSmoothingMode(hot.graphics, SmoothingModeAntiAlias);
        PathOwner bar = CreateRoundRectPath(0, 0, fw - 6, RowHeight, 4);
        LineBrushOwner fill = Gradient({0, 0}, {0, RowHeight}, 0xFF00B9ED, 0xFF009CD7, WrapModeTileFlipY);
        GdipFillPath(hot.graphics, fill, bar);
        PenOwner edge;
        GdipCreatePen2(fill, 1, UnitPixel, edge.Out());
        edge.Take();
        GdipDrawPath(hot.graphics, edge, bar);
    }
    hot.graphics.Reset();
    highlight_ = std::move(hot.bitmap);

    Canvas line = NewCanvas(w - 32, SeparatorHeight);
    if (line.graphics) {
        const float middle = fw / 2 - 16;
        LineBrushOwner dark = Gradient({0, 0}, {middle, 0}, 0x00B2DEF6, 0xFFB2DEF6, WrapModeTileFlipX);
        GdipFillRectangleI(line.graphics, dark, 0, 1, w - 32, 1);
        LineBrushOwner light = Gradient({0, 0}, {middle, 0}, 0x00FEFFFF, 0xFFFEFFFF, WrapModeTileFlipX);
        GdipFillRectangleI(line.graphics, light, 0, 2, w - 32, 1);
    }
    line.graphics.Reset();
    separator_ = std::move(line.bitmap);

    GdipCreateSolidFill(0xFF001524, normalText_.Out());
    normalText_.Take();
    GdipCreateSolidFill(0xFFFFFFFF, hotText_.Out());
    hotText_.Take();
    fontFamily_ = FontFamilyFor(L"Verdana");
    if (fontFamily_) {
        GdipCreateFont(fontFamily_, 11, FontStyleRegular, UnitPixel, font_.Out());
        font_.Take();
    }
    GdipCreateStringFormat(0, LANG_NEUTRAL, format_.Out());
    format_.Take();
    GdipSetStringFormatAlign(format_, StringAlignmentNear);
}

void frmMenu::ShowMenu(float x, float y, float OutSkip)
{
    runningHeight_ += 3;
    const int w = menuWidth_, h = runningHeight_;
    forms::ResumeNext([&] { Move(Left(), Top(), TwipsX(w), TwipsY(h)); });
    FreeDrawing();
    forms::ResumeNext([&] { MakePictures(); });
    // The window's drawing surface, at the size it has now.
    GdipCreateFromHDC(Graphics().hDC(), surface_.Out());
    surface_.Take();
    Repaint();

    LONG_PTR style = GetWindowLongPtrW(hWnd(), GWL_EXSTYLE);
    SetWindowLongPtrW(hWnd(), GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hWnd(), RGB(255, 0, 255), 0, LWA_COLORKEY);

    if (x != 0) {
        double left = x < 0 ? 0 : x;
        if ((left + w) * CurrentSession().TwipsPerPixelX > forms::Screen::Width())
            left -= w;
        forms::ResumeNext([&] { Left(TwipsX(left)); });
    }
    if (y != 0) {
        double top = y < 0 ? 0 : y;
        if ((top + h) * CurrentSession().TwipsPerPixelY > forms::Screen::Height())
            top = top - OutSkip - h;
        forms::ResumeNext([&] { Top(TwipsY(top)); });
    }
    MenuShown = true;
    Show();
}

void frmMenu::Repaint()
{
    if (!surface_)
        return;
    const int w = menuWidth_, h = runningHeight_;
    GdipGraphicsClear(surface_, Magenta);
    GdipDrawImageRectI(surface_, background_, 0, 0, w, h);
    if (hotItem_ >= 0 && hotItem_ < static_cast<int>(items_.size()) && items_[hotItem_].ItemType == 0)
        GdipDrawImageRectI(surface_, highlight_, 3, RowTop(items_[hotItem_]), w - 6, RowHeight);
    for (int n = 0; n < static_cast<int>(items_.size()); ++n) {
        const MenuItem& item = items_[n];
        const int y = static_cast<int>(std::nearbyint(item.y));
        if (item.ItemType != 0) {
            GdipDrawImageRectI(surface_, separator_, 29, y, w - 32, SeparatorHeight);
            continue;
        }
        const RectF layout(item.x, item.y, item.width, item.height);
        GdipDrawString(surface_, item.Caption.c_str(), item.captionLength, font_, &layout, format_,
                       n == hotItem_ ? hotText_.Get() : normalText_.Get());
        if (item.Icon)
            GdipDrawImageRectI(surface_, item.Icon, static_cast<int>(std::nearbyint(16 - item.IconW / 2.0)),
                               static_cast<int>(std::nearbyint(item.y + 7 - item.IconH / 2.0)), item.IconW,
                               item.IconH);
    }
    GdipFlush(surface_, FlushIntentionSync);
    InvalidateRect(hWnd(), nullptr, FALSE);
    UpdateWindow(hWnd());
}

void frmMenu::SetHotItem(std::int32_t item)
{
    if (item == hotItem_)
        return;
    hotItem_ = item;
    Repaint();
}

void frmMenu::lblC_MouseMove(int index)
{
    timMouse->Enabled(true);
    SetHotItem(index);
}

void frmMenu::lblC_Click(int index)
{
    if (index < 0 || index >= static_cast<int>(items_.size()))
        return;
    const std::int32_t itemID = items_[index].itemID;
    // The callback may close this menu and open another.
    const std::uint64_t showing = showing_;
    if (Callback)
        Callback->MenuItemClicked(menuListId_, itemID);
    // Not from inside the label's own handler: once it has returned.
    PostMenuUnload(showing);
}

void frmMenu::timMouse_Timer()
{
    POINT cursor{};
    RECT window{};
    GetCursorPos(&cursor);
    GetWindowRect(hWnd(), &window);
    // The window's edges count as inside.
    if (cursor.x < window.left || cursor.x > window.right || cursor.y < window.top ||
        cursor.y > window.bottom) {
        timMouse->Enabled(false);
        SetHotItem(-1);
    }
}

LRESULT frmMenu::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    const LRESULT result = Form::WndProc(msg, wp, lp);
    if (msg == WM_MOUSEMOVE) {
        // Over the window but over no item: nothing is hot.
        const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
        bool onItem = false;
        for (const MenuItem& item : items_) {
            const int top = RowTop(item);
            onItem |= item.ItemType == 0 && x >= 3 && x < menuWidth_ - 3 && y >= top && y < top + RowHeight;
        }
        if (!onItem)
            SetHotItem(-1);
    }
    return result;
}

void frmMenu::UnloadMenu()
{
    Unload();
}

frmMenu& MenuWindow()
{
    static frmMenu menu;
    return menu;
}

}  // namespace quill::session
