#pragma once
// The list view's per-cell colour hook.
#include <cstdint>

namespace quill::listview {

class ICustomDraw {
public:
    // Asked for every painted cell. BackColor and ForeColor arrive as -1;
    // answering True paints the cell with the colours left there (-1 standing
    // for the normal unselected colour) whatever its selection, False paints
    // it normally.
    virtual bool CustomDraw(int32_t ItemIndex, int32_t ColumnIndex, int32_t& BackColor, int32_t& ForeColor)
    {
        return false;
    }

protected:
    ~ICustomDraw() = default;
};

}  // namespace quill::listview
