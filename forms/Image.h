#pragma once
// The Image control: a windowless picture, at its own size or stretched.
#include "forms/WindowlessControl.h"

namespace quill::forms {

struct ImageArgs {
    Picture::Ref picture{};
    bool stretch = false;
};

class Image : public WindowlessControl {
public:
    void Create(Container& container, const ControlArgs& args, const ImageArgs& image = {});

    const forms::Picture::Ref& Picture() const { return picture_; }
    void Picture(forms::Picture::Ref p);
    bool Stretch() const { return stretch_; }
    void Stretch(bool v);

protected:
    void PaintWindowless(HDC dc) override;

private:
    void FitToPicture();
    forms::Picture::Ref picture_;
    bool stretch_ = false;
};

}  // namespace quill::forms
