#include "controls/small/cCheckBox.h"

#include "controls/small/CaptureHover.h"
#include "controls/small/LoginControlPictures.h"
#include "forms/Screen.h"

#include <cmath>

namespace quill::small {

namespace {

constexpr forms::OleColor CaptionColor = 0x301C00;
constexpr forms::OleColor HoverFrameColor = 0xFFE485;
constexpr int FixedHeight = 15;

}  // namespace

cCheckBox::cCheckBox()
    : imgChked(MakePicture(CheckBoxPicture(true))), imgUnChked(MakePicture(CheckBoxPicture(false)))
{
}

void cCheckBox::Checked(bool value)
{
    checked_ = value;
    DrawCheckBox();
    PropertyChanged(L"Checked");
}

void cCheckBox::Caption(std::wstring value)
{
    caption_ = std::move(value);
    DrawCheckBox();
    PropertyChanged(L"Caption");
}

// The surface shows its bare background until something else redraws it.
void cCheckBox::BackColor(forms::OleColor value)
{
    UserControl::BackColor(value);
    PropertyChanged(L"BackColor");
}

// The host's font never reaches the box: its look is fixed.
void cCheckBox::ApplyFixedLook()
{
    AutoRedraw = true;
    Font(forms::Font::New(L"Verdana", 9));
    ForeColor(CaptionColor);
    Graphics().FontTransparent(true);
}

void cCheckBox::UserControl_InitProperties()
{
    ApplyFixedLook();
    UserControl::BackColor(DesignBackColor);
}

void cCheckBox::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    ApplyFixedLook();
    UserControl::BackColor(PropBag.ReadProperty<forms::OleColor>(L"BackColor", DesignBackColor));
    checked_ = PropBag.ReadProperty(L"Checked", false);
    caption_ = PropBag.ReadProperty(L"Caption", L"");
    DrawCheckBox();
}

void cCheckBox::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    PropBag.WriteProperty(L"BackColor", BackColor(), DesignBackColor);
    PropBag.WriteProperty(L"Checked", checked_, false);
    PropBag.WriteProperty(L"Caption", caption_, L"");
}

void cCheckBox::UserControl_Resize()
{
    Extender().Height(static_cast<int>(std::nearbyint(FixedHeight * forms::Screen::TwipsPerPixelY())));
    DrawCheckBox();
}

void cCheckBox::UserControl_Click()
{
    checked_ = !checked_;
    DrawCheckBox();
    Click();
}

void cCheckBox::UserControl_MouseMove(forms::MouseArgs& e)
{
    if (TrackCaptureHover(*this, e, hot_, MouseMove, MouseOut))
        DrawCheckBox();
}

void cCheckBox::DrawCheckBox()
{
    forms::Surface& g = Graphics();
    g.Cls();
    if (hot_)
        g.Line(0, 0, 14, 14, HoverFrameColor, forms::Surface::Box::Border);
    PaintPicture(g, checked_ ? imgChked : imgUnChked, 1, 1);
    g.CurrentX = 18;
    g.CurrentY = 0;
    g.Print(caption_);
}

}  // namespace quill::small
