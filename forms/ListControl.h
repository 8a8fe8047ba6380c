#pragma once
// What the list box and the combo box share: a list of texts with a number
// kept per item, and the selected position (ListIndex, -1 for none).
// Choosing a position in code raises Click as a user's choice does.
#include "forms/StandardControl.h"

#include <span>
#include <string>

namespace quill::forms {

class ListControl : public StandardControl {
public:
    // Appends, or inserts at `index`; the new item's position is NewIndex().
    void AddItem(const std::wstring& item, int32_t index = -1);
    // Appends the items in order, without sorting, one message each: a list
    // of thousands fills in a single pass.
    void AddItems(std::span<const std::wstring> items);
    void RemoveItem(int32_t index);
    void Clear();
    int32_t ListCount() const;
    std::wstring List(int32_t index) const;
    void List(int32_t index, const std::wstring& item);
    int32_t ListIndex() const;
    void ListIndex(int32_t index);
    int32_t ItemData(int32_t index) const;
    void ItemData(int32_t index, int32_t value);
    int32_t NewIndex() const { return newIndex_; }

    // The window's messages for the same operations (LB_... or CB_...).
    struct Messages {
        UINT add, insert, remove, reset, count, getText, getTextLength, getSelection, setSelection, getData,
            setData;
    };

protected:
    explicit ListControl(const Messages& m) : m_(m) {}
    void CheckIndex(int32_t index) const;
    // The user's choice changed the selection.
    void SelectionChanged();

private:
    const Messages& m_;
    int32_t newIndex_ = -1;
    int32_t lastIndex_ = -1;
};

}  // namespace quill::forms
