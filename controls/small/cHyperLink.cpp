#include "controls/small/cHyperLink.h"

#include "controls/small/CaptureHover.h"
#include "controls/small/LoginControlPictures.h"
#include "forms/Screen.h"

#include <cmath>

namespace quill::small {

namespace {

// What the platform's controls default to; a link saved with these colours
// stores no colour at all and comes back in the link colours.
constexpr forms::OleColor ButtonFaceColor = 0x8000000F;
constexpr forms::OleColor ButtonTextColor = 0x80000012;

}  // namespace

cHyperLink::cHyperLink()
{
    MousePointer(forms::vbCustom);
    MouseIcon(MakeCursorPicture(HandCursorShape()));
}

void cHyperLink::BackColor(forms::OleColor value)
{
    UserControl::BackColor(value);
    PropertyChanged(L"BackColor");
}

void cHyperLink::ForeColor(forms::OleColor value)
{
    UserControl::ForeColor(value);
    DrawLinkText();
    PropertyChanged(L"ForeColor");
}

void cHyperLink::Caption(std::wstring value)
{
    caption_ = std::move(value);
    DrawLinkText();
    PropertyChanged(L"Caption");
}

void cHyperLink::ApplyFixedLook()
{
    AutoRedraw = true;
    Font(forms::Font::New(L"Verdana", 9));
    Graphics().FontTransparent(true);
}

void cHyperLink::UserControl_InitProperties()
{
    ApplyFixedLook();
    UserControl::BackColor(DesignBackColor);
    UserControl::ForeColor(DesignForeColor);
}

void cHyperLink::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    ApplyFixedLook();
    UserControl::BackColor(PropBag.ReadProperty<forms::OleColor>(L"BackColor", DesignBackColor));
    UserControl::ForeColor(PropBag.ReadProperty<forms::OleColor>(L"ForeColor", DesignForeColor));
    caption_ = PropBag.ReadProperty(L"Caption", L"");
    DrawLinkText();
}

void cHyperLink::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    PropBag.WriteProperty(L"BackColor", BackColor(), ButtonFaceColor);
    PropBag.WriteProperty(L"ForeColor", ForeColor(), ButtonTextColor);
    PropBag.WriteProperty(L"Caption", caption_, L"");
}

void cHyperLink::UserControl_Resize()
{
    const int textHeight = Graphics().TextHeight(caption_);
    Extender().Height(static_cast<int>(std::nearbyint(textHeight * forms::Screen::TwipsPerPixelY())));
    DrawLinkText();
}

void cHyperLink::UserControl_MouseMove(forms::MouseArgs& e)
{
    if (TrackCaptureHover(*this, e, hot_, MouseMove, MouseOut))
        DrawLinkText();
}

void cHyperLink::DrawLinkText()
{
    forms::Surface& g = Graphics();
    g.Cls();
    g.CurrentX = 0;
    g.CurrentY = 0;
    g.Font()->Underline(hot_);
    g.Print(caption_);
}

}  // namespace quill::small
