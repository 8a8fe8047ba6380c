#pragma once
// The PictureBox control: a container with a retained drawing surface (the
// platform's AutoRedraw picture), a background picture and a border.
#include "forms/ContainerControl.h"
#include "forms/Picture.h"
#include "forms/Surface.h"

namespace quill::forms {

struct PictureBoxArgs {
    forms::Picture::Ref picture{};
    int16_t borderStyle = 1;  // 0 none, 1 fixed single
    bool autoRedraw = false;
    OleColor backColor = 0x8000000F;
    OleColor foreColor = 0x80000012;
    forms::Font::Ref font{};
};

class PictureBox : public ContainerControl {
public:
    PictureBox();
    void Create(Container& container, const ControlArgs& args, const PictureBoxArgs& box = {});

    const forms::Picture::Ref& Picture() const { return picture_; }
    void Picture(forms::Picture::Ref p);
    void BackColor(OleColor c) override;
    // With AutoRedraw False, Paint is raised before each repaint.
    bool AutoRedraw = false;
    Event<> Paint;
    Event<> Resize;

    // The drawing surface, in pixels.
    Surface& Graphics() { return surface_; }
    void Cls();
    int64_t Point(int x, int y) const { return surface_.Point(x, y); }
    int ScaleWidth() const;  // twips
    int ScaleHeight() const;

protected:
    void PaintFace(HDC dc, const RECT& area) override;
    void Resized() override;

private:
    Surface surface_;
    forms::Picture::Ref picture_;
    bool painting_ = false;
};

}  // namespace quill::forms
