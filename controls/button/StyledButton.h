#pragma once
// The button of each program: StyledButton in the main program, and the
// updater's, which has no IconSizeH (its icons are drawn IconSize by
// IconSize) and repaints when the focus leaves it. Both are built from the
// same sources (StyledButtonBase).
#include "controls/button/StyledButtonBase.h"

namespace quill::button {

class StyledButton : public StyledButtonBase {
public:
    StyledButton() : StyledButtonBase({.iconSizeH = true, .repaintWhenFocusLeaves = false}) {}

    int16_t IconSizeH() const { return iconSizeH_; }
    void IconSizeH(int16_t v) { StoreIconSizeH(v); }
};

class UpdaterStyledButton : public StyledButtonBase {
public:
    UpdaterStyledButton() : StyledButtonBase({.iconSizeH = false, .repaintWhenFocusLeaves = true}) {}
};

}  // namespace quill::button
