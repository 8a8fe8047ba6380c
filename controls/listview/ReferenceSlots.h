#pragma once
// The collections keep their columns and rows as references in slots, the
// objects in slots 0 to count - 1 and the slots after them empty, so that a
// removal moves references and never copies an object.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "forms/lang/Error.h"

namespace quill::listview {

[[noreturn]] inline void RaiseSubscriptOutOfRange()
{
    throw forms::RuntimeError(forms::kSubscriptOutOfRange);
}

// The object in slot index, none for an empty slot; error 9 outside the slots.
template <class T>
T* SlotAt(const std::vector<std::unique_ptr<T>>& slots, int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= slots.size())
        RaiseSubscriptOutOfRange();
    return slots[static_cast<size_t>(index)].get();
}

// Releases the object in slot index (error 9 unless 0 to count - 1), moves
// the references after it down by one and empties slot count - 1.
template <class T>
void RemoveSlot(std::vector<std::unique_ptr<T>>& slots, int32_t index, int32_t& count)
{
    if (index < 0 || index > count - 1)
        RaiseSubscriptOutOfRange();
    const auto slot = slots.begin() + index;
    slot->reset();
    std::move(slot + 1, slots.begin() + count, slot);
    --count;
}

}  // namespace quill::listview
