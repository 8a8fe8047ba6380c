#pragma once
// The list view's rows in display order, kept as references in a storage that
// grows by half when it fills and never shrinks, so that inserting, removing,
// moving and sorting shift references and never copy a row.
#include <cstdint>
#include <memory>
#include <vector>

#include "controls/listview/ListItem.h"
#include "controls/listview/ObjectRef.h"

namespace quill::listview {

class ListItemCollection {
public:
    ListItemCollection();

    // Cells every new row gets; the list view sets it after each AddColumn.
    int32_t ColumnCount() const { return ColumnCount_; }
    void ColumnCount(int32_t value) { ColumnCount_ = value; }

    // The row in storage slot Index. Error 9 outside the storage; a slot past
    // the last row holds no row: an empty reference, whose use raises 91.
    ObjectRef<ListItem> Item(int32_t Index) const;
    int32_t ItemCount() const { return count_; }

    void Clear();
    // Sorts by the text of cell Column; Order 1 descending, anything else
    // ascending. Does nothing without rows or for a column outside the cells.
    void Sort(int32_t Column, int32_t Order);
    // Error 9 unless both are positions of rows.
    void MoveItem(int32_t IndexFrom, int32_t IndexTo);
    // Error 9 unless Index is a position of a row.
    void RemoveItem(int32_t Index);
    // Negative InsertAt appends; 0 to ItemCount inserts before that row.
    // Error 9 for a position past the rows.
    ListItem& AddItem(int32_t InsertAt = -1);
    // Releases every row and gives the storage lngCount (at least 1) slots.
    void PrepareForItems(int32_t lngCount);

private:
    using Slot = std::unique_ptr<ListItem>;

    std::vector<Slot> storage_;  // its size is the capacity
    int32_t count_ = 0;
    int32_t ColumnCount_ = 0;
};

}  // namespace quill::listview
