#include "controls/listview/ListItemCollection.h"

#include <algorithm>

#include "controls/listview/modShellSort.h"
#include "controls/listview/ReferenceSlots.h"
#include "controls/listview/modSortCallback.h"
#include "forms/lang/Numbers.h"

namespace quill::listview {

namespace {
constexpr size_t kInitialCapacity = 1000;
}  // namespace

ListItemCollection::ListItemCollection() : storage_(kInitialCapacity) {}

ObjectRef<ListItem> ListItemCollection::Item(int32_t Index) const
{
    return SlotAt(storage_, Index);
}

void ListItemCollection::Clear()
{
    const size_t capacity = storage_.size();
    storage_.clear();
    storage_.resize(capacity);
    count_ = 0;
}

void ListItemCollection::Sort(int32_t Column, int32_t Order)
{
    if (count_ < 1 || Column < 0 || Column >= ColumnCount_)
        return;
    SetSortColumn(Column);
    SetSortOrder(Order);
    ShellSortWithCallback(storage_.data(), count_,
                          [](const Slot& a, const Slot& b) { return CompareListItems(*a, *b); });
}

void ListItemCollection::MoveItem(int32_t IndexFrom, int32_t IndexTo)
{
    if (IndexFrom < 0 || IndexFrom >= count_ || IndexTo < 0 || IndexTo >= count_)
        RaiseSubscriptOutOfRange();
    const auto from = storage_.begin() + IndexFrom;
    const auto to = storage_.begin() + IndexTo;
    if (IndexFrom < IndexTo)
        std::rotate(from, from + 1, to + 1);
    else
        std::rotate(to, from, from + 1);
}

void ListItemCollection::RemoveItem(int32_t Index)
{
    RemoveSlot(storage_, Index, count_);
}

ListItem& ListItemCollection::AddItem(int32_t InsertAt)
{
    if (InsertAt > count_)
        RaiseSubscriptOutOfRange();
    auto row = std::make_unique<ListItem>();
    row->SetSubItemCount(ColumnCount_);
    int32_t position = count_;
    if (InsertAt >= 0) {
        // There is always an empty slot after the last row to shift into.
        std::move_backward(storage_.begin() + InsertAt, storage_.begin() + count_,
                           storage_.begin() + count_ + 1);
        position = InsertAt;
    }
    Slot& slot = storage_[static_cast<size_t>(position)];
    slot = std::move(row);
    ListItem& added = *slot;

    ++count_;
    if (static_cast<size_t>(count_) > storage_.size() - 1) {
        const double capacity = static_cast<double>(storage_.size());
        storage_.resize(static_cast<size_t>(forms::Round(capacity + capacity / 2)));
    }
    return added;
}

void ListItemCollection::PrepareForItems(int32_t lngCount)
{
    if (lngCount < 1)
        RaiseSubscriptOutOfRange();
    storage_.clear();
    storage_.resize(static_cast<size_t>(lngCount));
    count_ = 0;
}

}  // namespace quill::listview
