#include "controls/listview/ColumnCollection.h"

#include "controls/listview/ReferenceSlots.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"

namespace quill::listview {

namespace {

// An index given as text that reads as a number is a position. One beyond
// the 32-bit range lies outside any array.
bool ReadsAsPosition(std::wstring_view Index, int32_t& position)
{
    if (!forms::IsNumeric(Index))
        return false;
    const double value = forms::ToDouble(Index);
    if (!(value > -2147483648.5 && value < 2147483647.5))
        RaiseSubscriptOutOfRange();
    position = forms::ToInt32(value);
    return true;
}

}  // namespace

int32_t ColumnCollection::FindKey(std::wstring_view key) const
{
    for (int32_t i = 0; i < count_; ++i) {
        if (forms::TextEquals(key, columns_[static_cast<size_t>(i)]->key))
            return i;
    }
    return -1;
}

ObjectRef<Column> ColumnCollection::Item(int32_t Index) const
{
    return SlotAt(columns_, Index);
}

ObjectRef<Column> ColumnCollection::Item(std::wstring_view Index) const
{
    int32_t position = 0;
    if (ReadsAsPosition(Index, position))
        return Item(position);
    position = FindKey(Index);
    if (position < 0)
        RaiseSubscriptOutOfRange();
    return columns_[static_cast<size_t>(position)].get();
}

void ColumnCollection::Remove(int32_t Index)
{
    RemoveSlot(columns_, Index, count_);
}

void ColumnCollection::Remove(std::wstring_view Index)
{
    int32_t position = 0;
    if (!ReadsAsPosition(Index, position))
        position = FindKey(Index);
    Remove(position);
}

Column& ColumnCollection::Add(std::wstring key)
{
    columns_.resize(static_cast<size_t>(count_) + 1);
    auto& slot = columns_[static_cast<size_t>(count_)];
    slot = std::make_unique<Column>();
    slot->key = std::move(key);
    ++count_;
    return *slot;
}

}  // namespace quill::listview
