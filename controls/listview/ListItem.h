#pragma once
// One row of the list view: one text per column and the row's flags.
#include <cstdint>
#include <string>
#include <vector>

namespace quill::listview {

class ListItem {
public:
    int32_t PictureIndex = 0;  // below 0: no picture
    bool Checked = false;
    int32_t Tag = 0;
    bool Selected = false;

    // The text of cell Index; error 9 when the row has no such cell.
    const std::wstring& Text(int32_t Index) const;
    void Text(int32_t Index, std::wstring value);

    // Gives the row `items` empty cells, discarding any it had.
    void SetSubItemCount(int32_t items);

private:
    std::vector<std::wstring> cells_;  // absent until SetSubItemCount
};

}  // namespace quill::listview
