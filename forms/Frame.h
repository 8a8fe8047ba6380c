#pragma once
// The Frame control: a container with an optional border and caption.
// Hiding it hides its children, who are told (Hide).
#include "forms/ContainerControl.h"

namespace quill::forms {

struct FrameArgs {
    std::wstring caption{};
    int16_t borderStyle = 1;  // 0 none, 1 etched line with the caption
    OleColor backColor = 0x8000000F;
    OleColor foreColor = 0x80000012;
    forms::Font::Ref font{};
};

class Frame : public ContainerControl {
public:
    void Create(Container& container, const ControlArgs& args, const FrameArgs& frame = {});

    const std::wstring& Caption() const { return caption_; }
    void Caption(std::wstring v);
    const forms::Font::Ref& Font() const { return font_; }

protected:
    void PaintFace(HDC dc, const RECT& area) override;

private:
    std::wstring caption_;
    int16_t borderStyle_ = 1;
    OleColor foreColor_ = 0x80000012;
    forms::Font::Ref font_;
};

}  // namespace quill::forms
