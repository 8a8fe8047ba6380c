#pragma once
// The Line control: a windowless line between two points of its container.
#include "forms/Color.h"
#include "forms/WindowlessControl.h"

namespace quill::forms {

struct LineArgs {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // the container's units
    OleColor borderColor = 0x80000008;
    int16_t borderWidth = 1;
    int16_t borderStyle = 1;  // 0 transparent, 1 solid, 2 dash, 3 dot
};

class Line : public WindowlessControl {
public:
    void Create(Container& container, const ControlArgs& args, const LineArgs& line = {});

    int X1() const { return x1_; }
    int Y1() const { return y1_; }
    int X2() const { return x2_; }
    int Y2() const { return y2_; }
    void Ends(int x1, int y1, int x2, int y2);
    OleColor BorderColor() const { return borderColor_; }
    void BorderColor(OleColor c);

protected:
    void PaintWindowless(HDC dc) override;

private:
    int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    OleColor borderColor_ = 0x80000008;
    int16_t borderWidth_ = 1, borderStyle_ = 1;
};

}  // namespace quill::forms
