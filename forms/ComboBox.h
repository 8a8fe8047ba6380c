#pragma once
// The standard combo box, as a drop-down combo (an edit field with a list)
// or a drop-down list. Click is raised when the chosen item changes, by the
// user or by code (ListIndex, or Text naming an item of a drop-down list).
#include "forms/ListControl.h"

namespace quill::forms {

enum : int16_t { vbComboDropdown = 0, vbComboSimple = 1, vbComboDropdownList = 2 };

struct ComboBoxArgs {
    int16_t style = vbComboDropdown;
    std::wstring text{};
    bool sorted = false;
    int dropHeight = 200;  // pixels of the open list
    OleColor backColor = 0x80000005;
    OleColor foreColor = 0x80000008;
    forms::Font::Ref font{};
};

class ComboBox : public ListControl {
public:
    ComboBox();
    void Create(Container& container, const ControlArgs& args, const ComboBoxArgs& combo = {});

    int16_t Style() const { return style_; }
    std::wstring Text() const { return WindowText(); }
    // A drop-down list takes only the text of one of its items (else error
    // 383, the property is read-only); a drop-down combo takes any text.
    void Text(const std::wstring& v);

    Event<> Change;
    Event<> DropDown;

protected:
    std::optional<LRESULT> Reflect(UINT msg, WPARAM wp, LPARAM lp) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int16_t style_ = vbComboDropdown;
};

}  // namespace quill::forms
