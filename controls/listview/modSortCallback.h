#pragma once
// The row comparison of the list view's sort and the key it sorts by. The key
// is program-wide: it is set right before a sort, so one sort runs at a time
// and nothing may sort again from inside a comparison.
#include <cstdint>

#include "controls/listview/ListItem.h"

namespace quill::listview {

void SetSortColumn(int32_t value);
void SetSortOrder(int32_t value);  // 1 descending, anything else ascending

// -1, 0 or 1: the rows' texts in the sort column compared without regard to
// case, negated for order 1. All cells compare as text, so 10 sorts before 9.
int CompareListItems(const ListItem& a, const ListItem& b);

}  // namespace quill::listview
