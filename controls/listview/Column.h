#pragma once
// One column of the list view. The list view's AddColumn fills every member;
// until then each is 0, empty or false.
#include <cstdint>
#include <string>

namespace quill::listview {

struct Column {
    int32_t LastSortOrder = 0;  // order of the next header-click sort: 0 ascending, 1 descending
    bool Pushed = false;        // header button drawn pressed
    bool Visible = false;
    std::wstring key;  // looked up without regard to case; need not be unique
    std::wstring Caption;
    int32_t TextAlign = 0;  // 0 left, 1 right, 2 centred
    int32_t Width = 0;
    int32_t WidthAutoSized = 0;  // width the layout gives it when the list sizes its columns
    bool Resizable = false;
};

}  // namespace quill::listview
