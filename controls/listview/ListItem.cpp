#include "controls/listview/ListItem.h"

#include "controls/listview/ReferenceSlots.h"

namespace quill::listview {

const std::wstring& ListItem::Text(int32_t Index) const
{
    if (Index < 0 || static_cast<size_t>(Index) >= cells_.size())
        RaiseSubscriptOutOfRange();
    return cells_[static_cast<size_t>(Index)];
}

void ListItem::Text(int32_t Index, std::wstring value)
{
    if (Index < 0 || static_cast<size_t>(Index) >= cells_.size())
        RaiseSubscriptOutOfRange();
    cells_[static_cast<size_t>(Index)] = std::move(value);
}

void ListItem::SetSubItemCount(int32_t items)
{
    cells_.assign(items > 0 ? static_cast<size_t>(items) : 0, std::wstring());
}

}  // namespace quill::listview
