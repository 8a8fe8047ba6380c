#include "forms/Image.h"

#include "forms/Container.h"

#include <cmath>

namespace quill::forms {

void Image::Create(Container& container, const ControlArgs& args, const ImageArgs& image)
{
    picture_ = image.picture;
    stretch_ = image.stretch;
    Place(container, args);
    FitToPicture();
}

void Image::Picture(forms::Picture::Ref p)
{
    picture_ = std::move(p);
    FitToPicture();
    Refresh();
}

void Image::Stretch(bool v)
{
    stretch_ = v;
    FitToPicture();
    Refresh();
}

// Without stretching the control takes the picture's size, as the platform's does.
void Image::FitToPicture()
{
    if (stretch_ || !picture_ || !ParentContainer())
        return;
    int w = static_cast<int>(std::nearbyint(picture_->Width() / ParentContainer()->PixelsPerUnitX()));
    int h = static_cast<int>(std::nearbyint(picture_->Height() / ParentContainer()->PixelsPerUnitY()));
    Move(Left(), Top(), w, h);
}

void Image::PaintWindowless(HDC dc)
{
    if (!picture_)
        return;
    RECT r = PixelRect();
    int w = stretch_ ? r.right - r.left : picture_->Width();
    int h = stretch_ ? r.bottom - r.top : picture_->Height();
    picture_->Render(dc, r.left, r.top, w, h);
}

}  // namespace quill::forms
