#include "controls/button/StyledButtonBase.h"

#include "controls/button/ButtonLayout.h"
#include "controls/button/PaintedStyles.h"
#include "forms/lang/Error.h"
#include "controls/button/DcCanvas.h"
#include "forms/Form.h"
#include "forms/Lifetime.h"
#include "forms/Screen.h"
#include "forms/Shell.h"

#include <cmath>

namespace quill::button {

namespace {

// The font the control is designed with; a new instance, and a layout that
// stores none, draw with it.
forms::Font::Ref DesignFont()
{
    return forms::Font::New(L"Verdana", 9);
}

}  // namespace

StyledButtonBase::StyledButtonBase(ButtonVariant variant)
    : thunkLink_(std::make_shared<ThunkLink>()), variant_(variant)
{
    thunkLink_->owner = this;
}

StyledButtonBase::~StyledButtonBase()
{
    thunkLink_->owner = nullptr;
}

// ---------------------------------------------------------------------------
// Properties

template <class T>
void StyledButtonBase::Store(T& field, T value, const wchar_t* reportedName, Relayout relayout)
{
    field = std::move(value);
    Report(reportedName);
    if (relayout == Relayout::Yes)
        UserControl_Resize();
    Refresh();
}

void StyledButtonBase::Style(int v)
{
    Store(style_, v, L"Style", Relayout::Yes);
}

void StyledButtonBase::Caption(std::wstring v)
{
    Store(caption_, std::move(v), L"Caption", Relayout::Yes);
}

void StyledButtonBase::Icon(forms::Picture::Ref v)
{
    Store(icon_, std::move(v), L"Icon", Relayout::Yes);
}

void StyledButtonBase::IconAlign(int v)
{
    Store(iconAlign_, v, L"IconAlign", Relayout::Yes);
}

void StyledButtonBase::IconSize(int16_t v)
{
    Store(iconSize_, v, L"IconSize", Relayout::Yes);
}

void StyledButtonBase::StoreIconSizeH(int16_t v)
{
    Store(iconSizeH_, v, L"IconSizeH", Relayout::Yes);
}

void StyledButtonBase::CaptionAlign(int v)
{
    Store(captionAlign_, v, L"CaptionAlign", Relayout::Yes);
}

void StyledButtonBase::NonThemeStyle(int v)
{
    Store(nonThemeStyle_, v, L"NonThemeStyle", Relayout::Yes);
}

bool StyledButtonBase::Enabled()
{
    Refresh();
    return enabled_;
}

void StyledButtonBase::Enabled(bool v)
{
    state_ = StateNormal;
    enabled_ = v;
    Refresh();
    Report(L"Enabled");
    UserControl::Enabled(v);
}

void StyledButtonBase::ShowFocus(bool v)
{
    Store(showFocus_, v, L"ShowFocus");
}

void StyledButtonBase::UseCustomColors(bool v)
{
    Store(useCustomColors_, v, L"UseCustomColors");
}

void StyledButtonBase::BackColor(forms::OleColor v)
{
    Store(backColor_, v, L"BackColor");
}

void StyledButtonBase::HighlightColor(forms::OleColor v)
{
    Store(highlightColor_, v, L"HighlightColor");
}

void StyledButtonBase::FontColor(forms::OleColor v)
{
    Store(fontColor_, v, L"FontColor");
}

void StyledButtonBase::FontHighlightColor(forms::OleColor v)
{
    Store(fontHighlightColor_, v, L"FontHighlightColor");
}

void StyledButtonBase::ToolTipText(std::wstring v)
{
    toolTipText_ = std::move(v);
    CreateToolTip();
    Report(L"ToolTipText");
    Refresh();
}

void StyledButtonBase::ToolTipTitle(std::wstring v)
{
    Store(toolTipTitle_, std::move(v), L"TooltipTitle");
}

void StyledButtonBase::ToolTipIcon(int v)
{
    Store(toolTipIcon_, v, L"TooltipIcon");
}

void StyledButtonBase::ToolTipType(int v)
{
    Store(toolTipType_, v, L"ToolTipType");
}

void StyledButtonBase::ToolTipBackColor(forms::OleColor v)
{
    Store(toolTipBackColor_, v, L"ToolTipBackColor");
}

void StyledButtonBase::ToolTipForeColor(forms::OleColor v)
{
    Store(toolTipForeColor_, v, L"ToolTipForeColor");
}

void StyledButtonBase::Font(forms::Font::Ref v)
{
    UserControl::Font(std::move(v));
    Refresh();
    Report(L"Font");
}

void StyledButtonBase::ButtonType(int v)
{
    Store(buttonType_, v, L"ButtonType");
}

void StyledButtonBase::MousePointer(int16_t v)
{
    UserControl::MousePointer(v);
    Report(L"MousePointer");
}

void StyledButtonBase::Value(bool v)
{
    // A toggle button's pressed look lasts as long as its Value: the state
    // Refresh settled for True must not outlive a Value cleared from code.
    if (buttonType_ == 1 && value_ && !v && state_ == StatePressed)
        state_ = StateNormal;
    value_ = v;
    Report(L"Value");
    Refresh();
}

void StyledButtonBase::MaskColor(forms::OleColor v)
{
    Store(maskColor_, v, L"MaskColor");
}

void StyledButtonBase::UseMaskColor(bool v)
{
    Store(useMaskColor_, v, L"UseMaskColor");
}

intptr_t StyledButtonBase::OpenLink(const std::wstring& link)
{
    return forms::ShellExecuteA(hWnd(), L"open", link, L"1", L"1", SW_SHOWNORMAL);
}

// ---------------------------------------------------------------------------
// Container notifications

void StyledButtonBase::UserControl_InitProperties()
{
    style_ = 0;
    caption_ = Extender().Name();
    iconSize_ = 16;
    iconSizeH_ = 16;
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
    // The control's own design font, not the container's.
    UserControl::Font(DesignFont());
}

void StyledButtonBase::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    using forms::OleColor;
    state_ = StateNormal;
    icon_ = PropBag.ReadProperty<forms::Picture::Ref>(L"Icon", nullptr);
    style_ = PropBag.ReadProperty(L"Style", 3);
    caption_ = PropBag.ReadProperty(L"Caption", L"StyledButton");
    iconSize_ = PropBag.ReadProperty<int16_t>(L"IconSize", 16);
    if (variant_.iconSizeH)
        iconSizeH_ = PropBag.ReadProperty<int16_t>(L"IconSizeH", 16);
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
    // A layout without "Font" keeps the design font the control starts with.
    UserControl::Font(PropBag.ReadProperty(L"Font", DesignFont()));
    buttonType_ = PropBag.ReadProperty(L"ButtonType", 0);
    value_ = PropBag.ReadProperty(L"Value", false);
    useMaskColor_ = PropBag.ReadProperty(L"UseMaskColor", false);
    maskColor_ = PropBag.ReadProperty<OleColor>(L"MaskColor", 0xC0C0C0);
    UserControl::MousePointer(PropBag.ReadProperty<int16_t>(L"MousePointer", 0));
    UserControl::Enabled(enabled_);
    if (Ambient().UserMode())
        InstallHoverTracking();
}

void StyledButtonBase::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    PropBag.WriteProperty(L"Icon", icon_);
    PropBag.WriteProperty(L"Style", style_, 3);
    PropBag.WriteProperty(L"Caption", caption_, L"");
    PropBag.WriteProperty(L"IconSize", iconSize_, 16);
    if (variant_.iconSizeH)
        PropBag.WriteProperty(L"IconSizeH", iconSizeH_, 16);
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

void StyledButtonBase::UserControl_Resize()
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

void StyledButtonBase::UserControl_Show()
{
    isShown_ = true;
    Refresh();
}

void StyledButtonBase::UserControl_Hide()
{
    isShown_ = false;
    Extender().ToolTipText(toolTipText_);
}

void StyledButtonBase::PressWithLeft()
{
    state_ = StatePressed;
    Refresh();
}

void StyledButtonBase::ReleaseButton(int16_t button)
{
    if (button == forms::vbLeftButton) {
        state_ = buttonType_ == 1 && !value_ ? StatePressed : StateHot;
        Refresh();
    }
    lastButton_ = button;
}

void StyledButtonBase::UserControl_MouseDown(forms::MouseArgs& e)
{
    if (e.Button == forms::vbLeftButton)
        PressWithLeft();
}

void StyledButtonBase::UserControl_MouseUp(forms::MouseArgs& e)
{
    ReleaseButton(e.Button);
}

bool StyledButtonBase::ClickAction()
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

void StyledButtonBase::UserControl_DblClick()
{
    if (lastButton_ == forms::vbLeftButton)
        PressWithLeft();
}

void StyledButtonBase::UserControl_KeyDown(forms::KeyArgs& e)
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

void StyledButtonBase::UserControl_KeyUp(forms::KeyArgs& e)
{
    if (e.KeyCode == VK_SPACE)
        ReleaseButton(forms::vbLeftButton);
}

void StyledButtonBase::UserControl_KeyPress(forms::KeyPressArgs& e)
{
    // Enter does nothing here: a default button is reached as an access key.
    if (e.KeyAscii == 32 && !ClickAction())
        Click();
}

void StyledButtonBase::UserControl_AccessKeyPress(int16_t KeyAscii)
{
    ClickAction();
    state_ = StateNormal;
}

void StyledButtonBase::UserControl_AmbientChanged(const std::wstring& PropertyName)
{
    if (PropertyName == L"DisplayAsDefault")
        Refresh();
}

void StyledButtonBase::UserControl_EnterFocus()
{
    hasFocus_ = true;
    Refresh();
}

void StyledButtonBase::UserControl_GotFocus()
{
    hasFocus_ = true;
    Refresh();
}

void StyledButtonBase::UserControl_LostFocus()
{
    hasFocus_ = false;
    Refresh();
}

void StyledButtonBase::UserControl_ExitFocus()
{
    hasFocus_ = false;
    if (variant_.repaintWhenFocusLeaves)
        Refresh();
}

void StyledButtonBase::UserControl_Terminate()
{
    // The tool tip subclasses our window too; it goes before our hook does.
    forms::ResumeNext([&] { DestroyToolTip(); });
    forms::ResumeNext([&] { DetachAllThunks(); });
    thunkLink_->owner = nullptr;
}

}  // namespace quill::button
