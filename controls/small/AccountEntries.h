// The accounts the account box offers in its drop window: the list, the row
// under the mouse and the first row shown, in rows of a fixed height.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quill::small {

class AccountEntries {
public:
    static constexpr int RowHeight = 18;

    // An empty text or one already listed is not added.
    bool Add(const std::wstring& text);
    void Clear();
    std::size_t Count() const { return entries_.size(); }
    const std::wstring& At(std::size_t index) const { return entries_.at(index); }

    // The window's client height decides how many rows fit.
    void SetViewHeight(int pixels);
    int VisibleRows() const;
    std::size_t FirstShown() const { return first_; }
    // Wheel steps: positive scrolls towards the first entry.
    void Scroll(int rows);

    // The entry under a point of the window's client area, if any.
    std::optional<std::size_t> EntryAt(int y) const;
    // Returns true when the row under the mouse changed (the window redraws).
    bool Hover(std::optional<std::size_t> index);
    std::optional<std::size_t> Hovered() const { return hovered_; }

private:
    void ClampFirst();

    std::vector<std::wstring> entries_;
    int viewHeight_ = 0;
    std::size_t first_ = 0;
    std::optional<std::size_t> hovered_;
};

}  // namespace quill::small
