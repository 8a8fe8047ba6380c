#pragma once
// The list view's columns in display order. A column is addressed by its
// position or by its key; a text that reads as a number is a position.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/listview/Column.h"
#include "controls/listview/ObjectRef.h"

namespace quill::listview {

class ColumnCollection {
public:
    int32_t Count() const { return count_; }

    // The column at a position of the array, or the first whose key matches.
    // Error 9 outside the array or for a key not found. After removals a
    // position from Count to the array's end holds no column: an empty
    // reference, whose use raises 91.
    ObjectRef<Column> Item(int32_t Index) const;
    ObjectRef<Column> Item(std::wstring_view Index) const;

    // Error 9 when the position is not 0 to Count - 1 or the key is not found.
    void Remove(int32_t Index);
    void Remove(std::wstring_view Index);

    // Never fails: a key already in use is accepted, and later lookups find
    // the older column.
    Column& Add(std::wstring key = {});

private:
    int32_t FindKey(std::wstring_view key) const;  // -1 when no column has it

    // Exactly Count slots right after Add; Remove leaves empty slots at the end.
    std::vector<std::unique_ptr<Column>> columns_;
    int32_t count_ = 0;
};

}  // namespace quill::listview
