#pragma once
// The standard list box.
#include "forms/ListControl.h"

namespace quill::forms {

struct ListBoxArgs {
    bool sorted = false;
    OleColor backColor = 0x80000005;
    OleColor foreColor = 0x80000008;
    forms::Font::Ref font{};
};

class ListBox : public ListControl {
public:
    ListBox();
    void Create(Container& container, const ControlArgs& args, const ListBoxArgs& list = {});

protected:
    std::optional<LRESULT> Reflect(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace quill::forms
