#include "forms/PictureBox.h"

#include "forms/Form.h"
#include "forms/Screen.h"

namespace quill::forms {

PictureBox::PictureBox()
{
    surface_.onDrawn = [this] {
        if (hWnd() && !painting_)
            InvalidateRect(hWnd(), nullptr, FALSE);
    };
}

void PictureBox::Create(Container& container, const ControlArgs& args, const PictureBoxArgs& box)
{
    AutoRedraw = box.autoRedraw;
    surface_.ForeColor(box.foreColor);
    surface_.Font(box.font ? box.font : container.ParentForm().Font()->Clone());
    CreateContainerWindow(container, args, box.borderStyle ? WS_EX_CLIENTEDGE : 0, box.backColor);
    RECT client{};
    GetClientRect(hWnd(), &client);
    surface_.Resize(client.right, client.bottom);
    picture_ = box.picture;
    BackColor(box.backColor);
    Sited();
}

void PictureBox::BackColor(OleColor c)
{
    ContainerControl::BackColor(c);
    surface_.BackColor(c);
    Cls();
}

void PictureBox::Picture(forms::Picture::Ref p)
{
    picture_ = std::move(p);
    Cls();
}

void PictureBox::Cls()
{
    surface_.Cls();
    if (picture_)
        surface_.PaintPicture(*picture_, 0, 0);
}

int PictureBox::ScaleWidth() const
{
    return Screen::TwipsX(surface_.ScaleWidth());
}
int PictureBox::ScaleHeight() const
{
    return Screen::TwipsY(surface_.ScaleHeight());
}

void PictureBox::PaintFace(HDC dc, const RECT& area)
{
    if (!AutoRedraw) {
        painting_ = true;
        Paint();
        painting_ = false;
    }
    surface_.BlitTo(dc, area);
}

void PictureBox::Resized()
{
    RECT client{};
    GetClientRect(hWnd(), &client);
    surface_.Resize(client.right, client.bottom);
    Resize();
}

}  // namespace quill::forms
