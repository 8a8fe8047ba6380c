#include "controls/button/StyledButton.h"

#include "controls/button/ButtonLayout.h"
#include "controls/button/FaceCanvas.h"
#include "controls/button/PaintedStyles.h"
#include "forms/App.h"
#include "forms/Form.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "forms/Lifetime.h"
#include "forms/Screen.h"
#include "forms/Shell.h"

#include <olectl.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>

namespace quill::button {

using button::Colour;
using button::StateDisabled;
using button::StateHot;
using button::StateNormal;
using button::StatePressed;

namespace {

constexpr UINT_PTR kThunkId = 0x5142;  // our subclass among others on the same window

// The OLE translation of a colour value; -1 when it fails.
Colour TranslateColor(forms::OleColor c)
{
    COLORREF out = 0;
    return SUCCEEDED(OleTranslateColor(c, nullptr, &out)) ? out : 0xFFFFFFFFu;
}

// The face primitives on a device context, with 1-pixel solid pens and solid
// brushes made for each call and deleted after it.
class DcCanvas final : public button::FaceCanvas {
public:
    DcCanvas(HDC dc, int width, int height, std::function<void(Colour)> fill)
        : dc_(dc), width_(width), height_(height), fill_(std::move(fill))
    {
    }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void Fill(Colour c) override { fill_(c & 0xFFFFFF); }
    void DrawLine(int x1, int y1, int x2, int y2, Colour c) override
    {
        forms::gdi::PenHandle pen(CreatePen(PS_SOLID, 1, c & 0xFFFFFF));
        forms::gdi::Selection use(dc_, pen);
        MoveToEx(dc_, x1, y1, nullptr);
        LineTo(dc_, x2, y2);
    }
    void SetPixel(int x, int y, Colour c) override { SetPixelV(dc_, x, y, c & 0xFFFFFF); }
    void FillBox(int x, int y, int width, int height, Colour c) override
    {
        if (width <= 0 || height <= 0)
            return;
        RECT r{x, y, x + width, y + height};
        forms::gdi::BrushHandle brush(CreateSolidBrush(c & 0xFFFFFF));
        FillRect(dc_, &r, brush);
    }

private:
    HDC dc_;
    int width_, height_;
    std::function<void(Colour)> fill_;
};

void DrawEdgeBox(HDC dc, int x, int y, int width, int height, UINT edge, UINT flags)
{
    RECT r{x, y, x + width, y + height};
    DrawEdge(dc, &r, edge, flags);
}

// Copies of an icon's mask and colour bitmaps.
bool GetIconBitmaps(HICON icon, forms::gdi::BitmapHandle& mask, forms::gdi::BitmapHandle& colour)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return false;
    mask.Reset(info.hbmMask);
    colour.Reset(info.hbmColor);
    return true;
}

// Greys the bitmap in place, column by column, keeping the sixteen greys.
bool GrayscaleIconBitmap(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!GetObjectW(bitmap, sizeof(bm), &bm) || bm.bmWidth < 1 || bm.bmHeight < 1)
        return false;
    forms::gdi::WindowDc screen(nullptr);
    forms::gdi::MemoryDc dc(screen);
    forms::gdi::Selection use(dc, bitmap);
    for (int x = 0; x < bm.bmWidth; ++x)
        for (int y = 0; y < bm.bmHeight; ++y) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c == CLR_INVALID)
                continue;
            SetPixelV(dc, x, y, button::GrayscaleIconPixel(c));
        }
    return true;
}

forms::gdi::IconHandle CreateIconFromBitmaps(HBITMAP mask, HBITMAP colour)
{
    ICONINFO info{TRUE, 0, 0, mask, colour};
    return forms::gdi::IconHandle(CreateIconIndirect(&info));
}

}  // namespace

// ---------------------------------------------------------------------------
// The about box: a hidden child picture box of the control that About turns
// into a top-most captioned window; its drawing stays in its own surface.

class StyledButton::AboutBox final : public forms::Window {
public:
    AboutBox(StyledButton& owner, HWND parent) : owner_(owner)
    {
        CreateHandle(
            {.style = WS_CHILD | WS_CLIPSIBLINGS, .width = kWidth, .height = kHeight, .parent = parent});
        surface_.Resize(kWidth, kHeight);
    }
    HWND Handle() const { return hWnd(); }
    forms::Surface& Surface() { return surface_; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            Draw(pressed_);
            forms::gdi::PaintDc dc(hWnd());
            surface_.BlitTo(dc, dc.Area());
            return 0;
        }
        case WM_PRINTCLIENT: {
            Draw(pressed_);
            RECT all{0, 0, kWidth, kHeight};
            surface_.BlitTo(reinterpret_cast<HDC>(wp), all);
            return 0;
        }
        case WM_LBUTTONDOWN:
            pressed_ = true;
            SetCapture(hWnd());
            InvalidateRect(hWnd(), nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP:
            // A click anywhere in the box closes it.
            pressed_ = false;
            if (GetCapture() == hWnd())
                ReleaseCapture();
            ShowWindow(hWnd(), SW_HIDE);
            return 0;
        default:
            return Window::WndProc(msg, wp, lp);
        }
    }

private:
    static constexpr int kWidth = 380, kHeight = 120;

    void Text(const std::wstring& text, double points, bool underline, COLORREF colour, RECT r, UINT format)
    {
        auto font = forms::Font::New(owner_.Font() ? owner_.Font()->Name() : L"Verdana", points, false, false,
                                     underline);
        forms::gdi::FontHandle handle = font->CreateHandle();
        forms::gdi::Selection use(surface_.hDC(), handle);
        SetTextColor(surface_.hDC(), colour);
        SetBkMode(surface_.hDC(), TRANSPARENT);
        DrawTextW(surface_.hDC(), text.c_str(), -1, &r, format | DT_SINGLELINE | DT_VCENTER);
    }

    void Draw(bool pressed)
    {
        HDC dc = surface_.hDC();
        surface_.Cls();
        Text(L"StyledButton", 18, false, GetSysColor(COLOR_BTNTEXT), {20, 10, 220, 40}, 0);
        Text(L"Version " + owner_.Version(), 10, false, GetSysColor(COLOR_BTNTEXT), {160, 70, 300, 20}, 0);

        DcCanvas canvas(dc, kWidth, kHeight, [this](Colour c) { surface_.BackColor(c); });
        const Colour face = GetSysColor(COLOR_BTNFACE);
        const Colour light = button::ShiftColor(face, 15), dark = button::ShiftColor(face, -15);
        button::PaintGradientV(canvas, pressed ? dark : light, pressed ? light : dark, 290, 80, 360, 26);
        const Colour shadow = GetSysColor(COLOR_BTNSHADOW);
        canvas.DrawLine(292, 80, 358, 80, shadow);
        canvas.DrawLine(292, 80, 290, 82, shadow);
        canvas.DrawLine(358, 80, 360, 82, shadow);
        canvas.DrawLine(290, 82, 290, 104, shadow);
        canvas.DrawLine(360, 82, 360, 106, shadow);
        canvas.DrawLine(290, 104, 292, 106, shadow);
        canvas.DrawLine(360, 104, 357, 107, shadow);
        canvas.DrawLine(292, 106, 358, 106, shadow);
        button::Pixels(canvas,
                       {{290, 80},
                        {291, 80},
                        {290, 81},
                        {360, 80},
                        {359, 80},
                        {360, 81},
                        {290, 106},
                        {291, 106},
                        {290, 105},
                        {360, 106},
                        {359, 106},
                        {360, 105}},
                       face);
        Text(L"Close", 8, true, 0xFF0000, {290, 80, 360, 106}, DT_CENTER);
    }

    StyledButton& owner_;
    forms::Surface surface_;
    bool pressed_ = false;
};

// What the window's subclass procedure holds on to: it outlives a call in
// which the control ends, and knows the control only while it is alive.
struct StyledButton::ThunkLink : std::enable_shared_from_this<StyledButton::ThunkLink> {
    StyledButton* owner = nullptr;
};

StyledButton::StyledButton() : thunkLink_(std::make_shared<ThunkLink>())
{
    thunkLink_->owner = this;
}

StyledButton::~StyledButton()
{
    thunkLink_->owner = nullptr;
}

// ---------------------------------------------------------------------------
// Properties

template <class T>
void StyledButton::Store(T& field, T value, const wchar_t* reportedName, Relayout relayout)
{
    field = std::move(value);
    Report(reportedName);
    if (relayout == Relayout::Yes)
        UserControl_Resize();
    Refresh();
}

void StyledButton::Style(int v)
{
    Store(style_, v, L"Style", Relayout::Yes);
}

void StyledButton::Caption(std::wstring v)
{
    Store(caption_, std::move(v), L"Caption", Relayout::Yes);
}

void StyledButton::Icon(forms::Picture::Ref v)
{
    Store(icon_, std::move(v), L"Icon", Relayout::Yes);
}

void StyledButton::IconAlign(int v)
{
    Store(iconAlign_, v, L"IconAlign", Relayout::Yes);
}

void StyledButton::IconSize(int16_t v)
{
    Store(iconSize_, v, L"IconSize", Relayout::Yes);
}

#ifndef QUILL_BUTTON_UPDATER
void StyledButton::IconSizeH(int16_t v)
{
    Store(iconSizeH_, v, L"IconSizeH", Relayout::Yes);
}
#endif

void StyledButton::CaptionAlign(int v)
{
    Store(captionAlign_, v, L"CaptionAlign", Relayout::Yes);
}

void StyledButton::NonThemeStyle(int v)
{
    Store(nonThemeStyle_, v, L"NonThemeStyle", Relayout::Yes);
}

bool StyledButton::Enabled()
{
    Refresh();
    return enabled_;
}

void StyledButton::Enabled(bool v)
{
    state_ = StateNormal;
    enabled_ = v;
    Refresh();
    Report(L"Enabled");
    UserControl::Enabled(v);
}

void StyledButton::ShowFocus(bool v)
{
    Store(showFocus_, v, L"ShowFocus");
}

void StyledButton::UseCustomColors(bool v)
{
    Store(useCustomColors_, v, L"UseCustomColors");
}

void StyledButton::BackColor(forms::OleColor v)
{
    Store(backColor_, v, L"BackColor");
}

void StyledButton::HighlightColor(forms::OleColor v)
{
    Store(highlightColor_, v, L"HighlightColor");
}

void StyledButton::FontColor(forms::OleColor v)
{
    Store(fontColor_, v, L"FontColor");
}

void StyledButton::FontHighlightColor(forms::OleColor v)
{
    Store(fontHighlightColor_, v, L"FontHighlightColor");
}

void StyledButton::ToolTipText(std::wstring v)
{
    toolTipText_ = std::move(v);
    CreateToolTip();
    Report(L"ToolTipText");
    Refresh();
}

void StyledButton::ToolTipTitle(std::wstring v)
{
    Store(toolTipTitle_, std::move(v), L"TooltipTitle");
}

void StyledButton::ToolTipIcon(int v)
{
    Store(toolTipIcon_, v, L"TooltipIcon");
}

void StyledButton::ToolTipType(int v)
{
    Store(toolTipType_, v, L"ToolTipType");
}

void StyledButton::ToolTipBackColor(forms::OleColor v)
{
    Store(toolTipBackColor_, v, L"ToolTipBackColor");
}

void StyledButton::ToolTipForeColor(forms::OleColor v)
{
    Store(toolTipForeColor_, v, L"ToolTipForeColor");
}

void StyledButton::Font(forms::Font::Ref v)
{
    UserControl::Font(std::move(v));
    Refresh();
    Report(L"Font");
}

void StyledButton::ButtonType(int v)
{
    Store(buttonType_, v, L"ButtonType");
}

void StyledButton::MousePointer(int16_t v)
{
    UserControl::MousePointer(v);
    Report(L"MousePointer");
}

void StyledButton::Value(bool v)
{
    // A toggle button's pressed look lasts as long as its Value: the state
    // Refresh settled for True must not outlive a Value cleared from code.
    if (buttonType_ == 1 && value_ && !v && state_ == StatePressed)
        state_ = StateNormal;
    value_ = v;
    Report(L"Value");
    Refresh();
}

void StyledButton::MaskColor(forms::OleColor v)
{
    Store(maskColor_, v, L"MaskColor");
}

void StyledButton::UseMaskColor(bool v)
{
    Store(useMaskColor_, v, L"UseMaskColor");
}

intptr_t StyledButton::OpenLink(const std::wstring& link)
{
    return forms::ShellExecuteA(hWnd(), L"open", link, L"1", L"1", SW_SHOWNORMAL);
}

// ---------------------------------------------------------------------------
// Container notifications

void StyledButton::UserControl_InitProperties()
{
    style_ = 0;
    caption_ = Extender().Name();
    iconSize_ = 16;
#ifndef QUILL_BUTTON_UPDATER
    iconSizeH_ = 16;
#endif
    icon_ = nullptr;
    showFocus_ = false;
    useCustomColors_ = false;
    captionFormat_ = button::kNewInstanceCaptionFormat;
    enabled_ = true;
    backColor_ = TranslateColor(0x80000000u | COLOR_BTNFACE);
    highlightColor_ = TranslateColor(0x80000000u | COLOR_HIGHLIGHT);
    fontColor_ = TranslateColor(0x80000000u | COLOR_BTNTEXT);
    fontHighlightColor_ = TranslateColor(0x80000000u | COLOR_BTNTEXT);
    if (!m_About)
        m_About = std::make_unique<AboutBox>(*this, hWnd());
    savedAboutStyle_ = GetWindowLongPtrW(m_About->Handle(), GWL_STYLE);
    toolTipType_ = 1;
}

void StyledButton::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    using forms::OleColor;
    state_ = StateNormal;
    icon_ = PropBag.ReadProperty<forms::Picture::Ref>(L"Icon", nullptr);
    style_ = PropBag.ReadProperty(L"Style", 3);
    caption_ = PropBag.ReadProperty(L"Caption", L"StyledButton");
    iconSize_ = PropBag.ReadProperty<int16_t>(L"IconSize", 16);
#ifndef QUILL_BUTTON_UPDATER
    iconSizeH_ = PropBag.ReadProperty<int16_t>(L"IconSizeH", 16);
#endif
    captionAlign_ = PropBag.ReadProperty(L"CaptionAlign", 0);
    iconAlign_ = PropBag.ReadProperty(L"IconAlign", 1);
    nonThemeStyle_ = PropBag.ReadProperty(L"iNonThemeStyle", 5);
    enabled_ = PropBag.ReadProperty(L"Enabled", true);
    showFocus_ = PropBag.ReadProperty(L"ShowFocus", false);
    useCustomColors_ = PropBag.ReadProperty(L"USeCustomColors", false);
    backColor_ = PropBag.ReadProperty<OleColor>(L"BackColor", GetSysColor(COLOR_BTNFACE));
    highlightColor_ = PropBag.ReadProperty<OleColor>(L"HighlightColor", GetSysColor(COLOR_HIGHLIGHT));
    fontColor_ = PropBag.ReadProperty<OleColor>(L"FontColor", GetSysColor(COLOR_BTNTEXT));
    fontHighlightColor_ = PropBag.ReadProperty<OleColor>(L"FontHighlightColor", GetSysColor(COLOR_BTNTEXT));
    Extender().ToolTipText(PropBag.ReadProperty(L"ToolTipText", toolTipText_));
    toolTipText_ = PropBag.ReadProperty(L"ToolTipText", L"");
    toolTipTitle_ = PropBag.ReadProperty(L"Tooltiptitle", L"");
    toolTipIcon_ = PropBag.ReadProperty(L"ToolTipIcon", 0);
    toolTipType_ = PropBag.ReadProperty(L"ToolTipType", 1);
    // The text colour index for the back colour and the background index for
    // the fore colour: stored layouts hold both keys this way round.
    toolTipBackColor_ = PropBag.ReadProperty<OleColor>(L"ttBackColor", GetSysColor(COLOR_INFOTEXT));
    toolTipForeColor_ = PropBag.ReadProperty<OleColor>(L"ttForeColor", GetSysColor(COLOR_INFOBK));
    UserControl::Font(PropBag.ReadProperty(L"Font", UserControl::Font()));
    buttonType_ = PropBag.ReadProperty(L"ButtonType", 0);
    value_ = PropBag.ReadProperty(L"Value", false);
    useMaskColor_ = PropBag.ReadProperty(L"UseMaskColor", false);
    maskColor_ = PropBag.ReadProperty<OleColor>(L"MaskColor", 0xC0C0C0);
    UserControl::MousePointer(PropBag.ReadProperty<int16_t>(L"MousePointer", 0));
    UserControl::Enabled(enabled_);
    if (Ambient().UserMode())
        InstallHoverTracking();
}

void StyledButton::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    PropBag.WriteProperty(L"Icon", icon_);
    PropBag.WriteProperty(L"Style", style_, 3);
    PropBag.WriteProperty(L"Caption", caption_, L"");
    PropBag.WriteProperty(L"IconSize", iconSize_, 16);
#ifndef QUILL_BUTTON_UPDATER
    PropBag.WriteProperty(L"IconSizeH", iconSizeH_, 16);
#endif
    PropBag.WriteProperty(L"IconAlign", iconAlign_, 1);
    PropBag.WriteProperty(L"CaptionAlign", captionAlign_, 0);
    PropBag.WriteProperty(L"iNonThemeStyle", nonThemeStyle_, 5);
    PropBag.WriteProperty(L"Enabled", enabled_, true);
    PropBag.WriteProperty(L"ShowFocus", showFocus_, false);
    PropBag.WriteProperty(L"USeCustomColors", useCustomColors_, false);
    PropBag.WriteProperty(L"BackColor", backColor_, GetSysColor(COLOR_BTNFACE));
    PropBag.WriteProperty(L"HighlightColor", highlightColor_, GetSysColor(COLOR_HIGHLIGHT));
    PropBag.WriteProperty(L"FontColor", fontColor_, GetSysColor(COLOR_BTNTEXT));
    PropBag.WriteProperty(L"FontHighlightColor", fontHighlightColor_, GetSysColor(COLOR_BTNTEXT));
    PropBag.WriteProperty(L"ToolTipText", toolTipText_, Extender().ToolTipText());
    PropBag.WriteProperty(L"Tooltiptitle", toolTipTitle_);
    PropBag.WriteProperty(L"ToolTipIcon", toolTipIcon_);
    PropBag.WriteProperty(L"ToolTipType", toolTipType_);
    PropBag.WriteProperty(L"ttBackColor", toolTipBackColor_, GetSysColor(COLOR_INFOTEXT));
    PropBag.WriteProperty(L"ttForeColor", toolTipForeColor_, GetSysColor(COLOR_INFOBK));
    PropBag.WriteProperty(L"Font", UserControl::Font());
    PropBag.WriteProperty(L"ButtonType", buttonType_, 0);
    PropBag.WriteProperty(L"Value", value_, false);
    PropBag.WriteProperty(L"MaskColor", maskColor_, 0xC0C0C0);
    PropBag.WriteProperty(L"UseMaskColor", useMaskColor_, false);
    PropBag.WriteProperty(L"MousePointer", UserControl::MousePointer(), 0);
}

void StyledButton::UserControl_Resize()
{
    // Never smaller than 300 twips either way (20 pixels at 15 twips per pixel).
    const double twipsX = forms::Screen::TwipsPerPixelX(), twipsY = forms::Screen::TwipsPerPixelY();
    if (ScaleWidth() * twipsX < button::kMinimumTwips)
        Extender().Width(
            static_cast<int>(std::lround(button::kMinimumTwips / twipsX * ContainerUnitsPerPixelX())));
    if (ScaleHeight() * twipsY < button::kMinimumTwips)
        Extender().Height(
            static_cast<int>(std::lround(button::kMinimumTwips / twipsY * ContainerUnitsPerPixelY())));
    const int W = ScaleWidth(), H = ScaleHeight();
    clientRect_ = {0, 0, W, H};
    captionRect_ = {4, 4, W - 4, H - 4};
    if (auto format = button::CaptionFormatFor(captionAlign_))
        captionFormat_ = *format;
    ApplyStyleRegion();
    Refresh();
}

void StyledButton::UserControl_Show()
{
    isShown_ = true;
    Refresh();
}

void StyledButton::UserControl_Hide()
{
    isShown_ = false;
    Extender().ToolTipText(toolTipText_);
}

void StyledButton::PressWithLeft()
{
    state_ = StatePressed;
    Refresh();
}

void StyledButton::ReleaseButton(int16_t button)
{
    if (button == forms::vbLeftButton) {
        state_ = buttonType_ == 1 && !value_ ? StatePressed : StateHot;
        Refresh();
    }
    lastButton_ = button;
}

void StyledButton::UserControl_MouseDown(forms::MouseArgs& e)
{
    if (e.Button == forms::vbLeftButton)
        PressWithLeft();
}

void StyledButton::UserControl_MouseUp(forms::MouseArgs& e)
{
    ReleaseButton(e.Button);
}

bool StyledButton::ClickAction()
{
    if (lastButton_ != forms::vbLeftButton)
        return false;
    if (buttonType_ == 1)
        value_ = !value_;
    state_ = StateHot;
    Refresh();
    Click();
    return true;
}

void StyledButton::UserControl_DblClick()
{
    if (lastButton_ == forms::vbLeftButton)
        PressWithLeft();
}

void StyledButton::UserControl_KeyDown(forms::KeyArgs& e)
{
    switch (e.KeyCode) {
    case VK_SPACE:
        PressWithLeft();
        break;
    // The windows rely on the arrow keys moving the focus along the tab order.
    case VK_LEFT:
    case VK_RIGHT:
        if (ParentContainer())
            ParentForm().MoveFocus(e.KeyCode == VK_RIGHT);
        break;
    default:
        break;
    }
}

void StyledButton::UserControl_KeyUp(forms::KeyArgs& e)
{
    if (e.KeyCode == VK_SPACE)
        ReleaseButton(forms::vbLeftButton);
}

void StyledButton::UserControl_KeyPress(forms::KeyPressArgs& e)
{
    // Enter does nothing here: a default button is reached as an access key.
    if (e.KeyAscii == 32 && !ClickAction())
        Click();
}

void StyledButton::UserControl_AccessKeyPress(int16_t KeyAscii)
{
    ClickAction();
    state_ = StateNormal;
}

void StyledButton::UserControl_AmbientChanged(const std::wstring& PropertyName)
{
    if (PropertyName == L"DisplayAsDefault")
        Refresh();
}

void StyledButton::UserControl_EnterFocus()
{
    hasFocus_ = true;
    Refresh();
}

void StyledButton::UserControl_GotFocus()
{
    hasFocus_ = true;
    Refresh();
}

void StyledButton::UserControl_LostFocus()
{
    hasFocus_ = false;
    Refresh();
}

void StyledButton::UserControl_ExitFocus()
{
    hasFocus_ = false;
#ifdef QUILL_BUTTON_UPDATER
    Refresh();
#endif
}

void StyledButton::UserControl_Terminate()
{
    // The tool tip subclasses our window too; it goes before our hook does.
    forms::ResumeNext([&] { DestroyToolTip(); });
    forms::ResumeNext([&] { DetachAllThunks(); });
    thunkLink_->owner = nullptr;
}

// ---------------------------------------------------------------------------
// Drawing

void StyledButton::Refresh()
{
    Cls();
    iconMargin_ = 4;
    if (!isShown_)
        return;
    state_ = button::SettleState(state_, style_, Ambient().UserMode(), buttonType_, value_, enabled_);
    if (!enabled_)
        UserControl::BackColor(GetSysColor(COLOR_BTNFACE));
    const int W = ScaleWidth(), H = ScaleHeight();
    const int drawnStyle = style_;
    DrawFace(W, H);
    iconMargin_ = button::IconMargin(drawnStyle);
    if (icon_ && icon_->Handle())
        DrawIcon(W, H);
    DrawCaption();
    Graphics().Drawn();
}

void StyledButton::DrawFace(int W, int H)
{
    HDC dc = hDC();
    DcCanvas canvas(dc, W, H, [this](Colour c) { UserControl::BackColor(c); });
    const bool custom = useCustomColors_;
    const Colour buttonFace = GetSysColor(COLOR_BTNFACE);
    const bool normal = state_ == StateNormal, hot = state_ == StateHot, pressed = state_ == StatePressed,
               disabled = state_ == StateDisabled;
    switch (style_) {
    case 0: {
        UserControl::BackColor(custom ? (normal ? backColor_ : highlightColor_) : buttonFace);
        DrawEdgeBox(dc, 0, 0, W, H, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        if ((showFocus_ && hasFocus_) || (!hasFocus_ && Ambient().DisplayAsDefault()))
            button::DrawBox(canvas, 0, 0, W - 1, H - 1, 0);
        break;
    }
    case 1:
    case 2: {
        const Colour B = custom ? (normal || disabled ? backColor_ : highlightColor_) : buttonFace;
        UserControl::BackColor(B);
        if (disabled || (style_ == 2 && normal))
            button::DrawBox(canvas, 0, 0, W - 1, H - 1, B);
        else
            DrawEdgeBox(dc, 0, 0, W, H, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        break;
    }
    case 3: {
        UserControl::BackColor(custom ? backColor_ : buttonFace);
        const Colour F = hot       ? (custom ? button::MixColors(highlightColor_, backColor_)
                                             : button::MixColors(GetSysColor(COLOR_BTNSHADOW), buttonFace))
                         : pressed ? (custom ? highlightColor_ : GetSysColor(COLOR_BTNSHADOW))
                                   : (custom ? backColor_ : buttonFace);
        canvas.FillBox(4, 4, W - 8, H - 8, F);
        button::DrawEtchedFrame(canvas, 0, 0, W - 1, H - 1, GetSysColor(COLOR_BTNSHADOW),
                                GetSysColor(COLOR_WINDOW), F);
        break;
    }
    case 4: {
        if (normal || disabled) {
            canvas.FillBox(0, 0, W, H, button::LightenColor(custom ? backColor_ : buttonFace, 32));
        } else {
            const Colour L = custom ? highlightColor_ : GetSysColor(COLOR_HIGHLIGHT);
            canvas.FillBox(0, 0, W - 1, H - 1, button::LightenColor(L, hot ? 176 : 128));
            button::DrawBox(canvas, 0, 0, W - 1, H - 1, L);
        }
        break;
    }
    case 6: {
        UserControl::BackColor(buttonFace);
        const int themeState = hasFocus_ && normal ? PBS_DEFAULTED : state_;
        if (!DrawThemedFace(L"Button", BP_PUSHBUTTON, themeState))
            style_ = nonThemeStyle_;
        break;
    }
    default: {
        const button::FaceInputs in{state_,
                                    hasFocus_,
                                    showFocus_,
                                    custom,
                                    Ambient().DisplayAsDefault(),
                                    backColor_,
                                    highlightColor_,
                                    buttonFace,
                                    GetSysColor(COLOR_HIGHLIGHT)};
        button::PaintPaintedFace(canvas, style_, in);
        break;
    }
    }
}

bool StyledButton::DrawThemedFace(const wchar_t* className, int part, int state)
{
    HTHEME theme = OpenThemeData(hWnd(), className);
    if (!theme)
        return false;
    RECT r = clientRect_;
    const bool drawn = SUCCEEDED(DrawThemeBackground(theme, hDC(), part, state, &r, &r));
    CloseThemeData(theme);
    return drawn;
}

int StyledButton::IconHeight() const
{
#ifdef QUILL_BUTTON_UPDATER
    return iconSize_;
#else
    return iconSizeH_;
#endif
}

void StyledButton::PaintIconInto(HDC dc, int x, int y)
{
    icon_->Render(dc, x, y, iconSize_, IconHeight());
}

void StyledButton::DrawIcon(int W, int H)
{
    auto [x, y] = button::IconPosition(iconAlign_, iconMargin_, W, H, iconSize_, IconHeight());
    if (state_ == StatePressed) {
        ++x;
        ++y;
    }
    if (state_ == StateHot && style_ == 4) {
        DrawHotShadow(x, y);
        x -= 2;
        y -= 2;
    }
    if (useMaskColor_ && DrawMaskedIcon(x, y, !enabled_))
        return;
    if (enabled_)
        PaintIconInto(hDC(), x, y);
    else
        PaintIconGrayscale(hDC(), static_cast<HICON>(icon_->Handle()), x, y, iconSize_, IconHeight());
}

// Paints the icon into pMask, cleared to the mask colour, so that the
// icon's own transparent pixels are left out as well.
bool StyledButton::DrawMaskedIcon(int x, int y, bool grey)
{
    const int w = iconSize_, h = IconHeight();
    if (w <= 0 || h <= 0)
        return false;
    pMask.Resize(std::max(1, x + w), std::max(1, y + std::max<int>(w, h)));
    if (pMask.ScaleWidth() < x + w || pMask.ScaleHeight() < y + std::max<int>(w, h))
        return false;
    pMask.BackColor(maskColor_);
    PaintIconInto(pMask.hDC(), x, y);
    const int64_t mask = forms::TranslateColor(maskColor_);
    for (int py = y; py < y + w; ++py)
        for (int px = x; px < x + w; ++px) {
            const int64_t c = pMask.Point(px, py);
            if (c < 0 || c == mask)
                continue;
            const Colour colour = static_cast<Colour>(c);
            SetPixelV(hDC(), px, py, grey ? button::GrayOfColor(colour) : colour);
        }
    return true;
}

void StyledButton::DrawHotShadow(int x, int y)
{
    const int w = iconSize_;
    const Colour shadow = 0x808080;
    if (useMaskColor_) {
        pMask.Resize(std::max(1, x + w), std::max(1, y + std::max<int>(w, IconHeight())));
        pMask.BackColor(maskColor_);
        PaintIconInto(pMask.hDC(), x, y);
        const int64_t mask = forms::TranslateColor(maskColor_);
        for (int py = y; py < y + w; ++py)
            for (int px = x; px < x + w; ++px)
                if (const int64_t c = pMask.Point(px, py); c >= 0 && c != mask)
                    SetPixelV(hDC(), px, py, shadow);
        return;
    }
    PaintIconInto(hDC(), x, y);
    const int64_t face = Point(1, 1);
    for (int py = y; py <= y + w; ++py)
        for (int px = x; px <= x + w; ++px)
            if (const int64_t c = Point(px, py); c >= 0 && c != face)
                SetPixelV(hDC(), px, py, shadow);
}

bool StyledButton::PaintIconGrayscale(HDC dc, HICON icon, int x, int y, int height, int width)
{
    if (!dc || !icon)
        return false;
    forms::gdi::BitmapHandle mask, colour;
    if (!GetIconBitmaps(icon, mask, colour) || !colour)
        return false;
    if (!GrayscaleIconBitmap(colour))
        return false;
    forms::gdi::IconHandle grey = CreateIconFromBitmaps(mask, colour);
    if (!grey)
        return false;
    return DrawIconEx(dc, x, y, grey, width, height, 0, nullptr, DI_NORMAL) != FALSE;
}

void StyledButton::DrawCaption()
{
    const Colour grey = TranslateColor(0x80000000u | COLOR_GRAYTEXT);
    const bool disabled = state_ == StateDisabled;
    const forms::OleColor colour = useCustomColors_ ? (state_ == StateNormal ? fontColor_
                                                       : disabled            ? grey
                                                                             : fontHighlightColor_)
                                                    : (disabled ? grey : GetSysColor(COLOR_BTNTEXT));
    const forms::OleColor saved = UserControl::ForeColor();
    UserControl::ForeColor(colour);
    SetTextColor(hDC(), forms::TranslateColor(colour));
    SetBkMode(hDC(), TRANSPARENT);
    RECT r = captionRect_;
    DrawTextW(hDC(), caption_.c_str(), -1, &r, captionFormat_);
    UserControl::ForeColor(saved);
}

void StyledButton::ApplyStyleRegion()
{
    if (!hWnd())
        return;
    const int W = ScaleWidth(), H = ScaleHeight();
    auto polygon = [](const std::array<button::Point, 8>& points) {
        POINT p[8];
        for (size_t i = 0; i < points.size(); ++i)
            p[i] = {points[i].x, points[i].y};
        return forms::gdi::RegionHandle(CreatePolygonRgn(p, 8, ALTERNATE));
    };
    forms::gdi::RegionHandle region;
    switch (button::RegionShapeFor(style_)) {
    case button::RegionShape::CutSmall:
        region = polygon(button::CutRegionSmall(W, H));
        break;
    case button::RegionShape::CutLarge:
        region = polygon(button::CutRegionLarge(W, H));
        break;
    case button::RegionShape::Round:
        region = forms::gdi::RegionHandle(
            CreateRoundRectRgn(0, 0, W + 1, H + 1, button::kRoundRegionEllipse, button::kRoundRegionEllipse));
        break;
    case button::RegionShape::Rectangle:
        region = forms::gdi::RegionHandle(CreateRectRgn(0, 0, W, H));
        break;
    }
    // Once given, the region is the window's: it deletes the one it had.
    if (region && SetWindowRgn(hWnd(), region, TRUE))
        region.Release();
}

// ---------------------------------------------------------------------------
// The hook on the control's own window procedure

bool StyledButton::IsFunctionExported(const char* function, const wchar_t* library)
{
    if (HMODULE loaded = GetModuleHandleW(library))
        return GetProcAddress(loaded, function) != nullptr;
    HMODULE module = LoadLibraryW(library);
    if (!module)
        return false;
    const bool exported = GetProcAddress(module, function) != nullptr;
    FreeLibrary(module);
    return exported;
}

void StyledButton::InstallHoverTracking()
{
    trackingAvailable_ = true;
    useUser32Tracking_ = IsFunctionExported("TrackMouseEvent", L"User32");
    if (!useUser32Tracking_ && !IsFunctionExported("_TrackMouseEvent", L"Comctl32"))
        trackingAvailable_ = false;
    if (!trackingAvailable_)
        return;
    if (AttachThunk(hWnd()) < 0)
        return;
    for (int32_t m : {WM_MOUSEMOVE, WM_MOUSELEAVE, WM_THEMECHANGED, WM_SYSCOLORCHANGE})
        AddThunkMessage(hWnd(), m, button::HookTable::After);
}

int StyledButton::AttachThunk(HWND window)
{
    const auto key = reinterpret_cast<button::HookTable::Window>(window);
    if (!window || thunks_.Find(key))
        return window ? thunks_.FindThunkIndex(key, false) : -1;
    const int index = thunks_.AttachThunk(key);
    if (!SetWindowSubclass(window, ThunkProc, kThunkId, reinterpret_cast<DWORD_PTR>(thunkLink_.get()))) {
        thunks_.DetachThunk(key);
        return -1;
    }
    return index;
}

void StyledButton::AddThunkMessage(HWND window, int32_t message, int which)
{
    thunks_.AddThunkMessage(reinterpret_cast<button::HookTable::Window>(window), message, which);
}

void StyledButton::DetachThunk(HWND window)
{
    if (!thunks_.DetachThunk(reinterpret_cast<button::HookTable::Window>(window)))
        return;
    if (IsWindow(window))
        RemoveWindowSubclass(window, ThunkProc, kThunkId);
}

void StyledButton::DetachAllThunks()
{
    for (button::HookTable::Window w : thunks_.WindowsFromTop())
        DetachThunk(reinterpret_cast<HWND>(w));
}

bool StyledButton::Hooked() const
{
    return hWnd() && thunks_.Find(reinterpret_cast<button::HookTable::Window>(hWnd()));
}

LRESULT CALLBACK StyledButton::ThunkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref)
{
    // The control may end inside this call (a handler unloads its form): the
    // link stays, and the control is deleted only after the call returns.
    const std::shared_ptr<ThunkLink> link = reinterpret_cast<ThunkLink*>(ref)->shared_from_this();
    forms::HandlerScope running;
    const auto key = reinterpret_cast<button::HookTable::Window>(hwnd);
    LRESULT result = 0;
    bool handled = false;
    if (StyledButton* b = link->owner; b && b->thunks_.CallsBefore(key, msg))
        b->HookProc(true, handled, result, hwnd, msg, wp, lp);
    if (!handled) {
        result = DefSubclassProc(hwnd, msg, wp, lp);
        if (StyledButton* b = link->owner; b && b->thunks_.CallsAfter(key, msg))
            b->HookProc(false, handled, result, hwnd, msg, wp, lp);
    }
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, ThunkProc, kThunkId);
        if (StyledButton* b = link->owner) {
            b->thunks_.DetachThunk(key);
            b->toolTipWindow_ = nullptr;  // an owned window, gone with ours
        }
    }
    return result;
}

void StyledButton::HookProc(bool before, bool& handled, LRESULT& returnValue, HWND window, UINT message,
                            WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEMOVE:
        if (hover_)
            break;
        hover_ = true;
        // Without a leave notification to come the button would stay hot:
        // it goes hot only once the system has taken the request.
        if (!TrackMouseLeave(window)) {
            hover_ = false;
            break;
        }
        state_ = StateHot;
        Refresh();
        MouseEnter();
        CreateToolTip();
        break;
    case WM_MOUSELEAVE:
        hover_ = false;
        state_ = StateNormal;
        DestroyToolTip();
        Refresh();
        MouseLeave();
        break;
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
        Refresh();
        break;
    default:
        break;
    }
}

bool StyledButton::TrackMouseLeave(HWND window)
{
    if (!trackingAvailable_)
        return false;
    TRACKMOUSEEVENT request{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
    return (useUser32Tracking_ ? ::TrackMouseEvent(&request) : ::_TrackMouseEvent(&request)) != FALSE;
}

// ---------------------------------------------------------------------------
// Tool tip, about box

void StyledButton::CreateToolTip()
{
    toolTipText_ = Extender().ToolTipText();
    Extender().ToolTipText(L"");
    if (!hWnd())
        return;
    if (toolTipWindow_) {
        DestroyWindow(toolTipWindow_);
        toolTipWindow_ = nullptr;
    }
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    DWORD style = TTS_ALWAYSTIP | TTS_NOPREFIX;
    if (toolTipType_ == 1)
        style |= TTS_BALLOON;
    toolTipWindow_ =
        CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, hWnd(), nullptr, forms::App::hInstance(), nullptr);
    if (!toolTipWindow_)
        return;
    SetWindowPos(toolTipWindow_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);

    toolRecordText_ = forms::TextToAnsi(toolTipText_);
    toolRecord_ = {};
    toolRecord_.cbSize = sizeof(TOOLINFOA);
    toolRecord_.uFlags = TTF_SUBCLASS;
    toolRecord_.hwnd = hWnd();
    toolRecord_.uId = 0;
    GetClientRect(hWnd(), &toolRecord_.rect);
    toolRecord_.hinst = forms::App::hInstance();
    toolRecord_.lpszText = toolRecordText_.data();
    SendMessageA(toolTipWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&toolRecord_));
    if (!toolTipTitle_.empty() || toolTipIcon_ != 0) {
        const std::string title = forms::TextToAnsi(toolTipTitle_);
        SendMessageA(toolTipWindow_, TTM_SETTITLEA, static_cast<WPARAM>(toolTipIcon_),
                     reinterpret_cast<LPARAM>(title.c_str()));
    }
    if (toolTipForeColor_ != 0)
        SendMessageA(toolTipWindow_, TTM_SETTIPTEXTCOLOR, toolTipForeColor_, 0);
    if (toolTipBackColor_ != 0)
        SendMessageA(toolTipWindow_, TTM_SETTIPBKCOLOR, toolTipBackColor_, 0);
}

void StyledButton::DestroyToolTip()
{
    Extender().ToolTipText(toolTipText_);
    if (toolTipWindow_) {
        if (IsWindow(toolTipWindow_))
            DestroyWindow(toolTipWindow_);
        toolTipWindow_ = nullptr;
    }
}

HWND StyledButton::AboutWindow() const
{
    return m_About ? m_About->Handle() : nullptr;
}

void StyledButton::About()
{
    if (!m_About)
        m_About = std::make_unique<AboutBox>(*this, hWnd());
    HWND box = m_About->Handle();
    if (!box)
        return;
    ShowWindow(box, SW_SHOW);
    SetWindowLongPtrW(box, GWL_STYLE, savedAboutStyle_ + (WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX));
    SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    SetWindowTextW(box, (L"About StyledButton " + Version()).c_str());
    SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    SetParent(box, nullptr);
}

}  // namespace quill::button
