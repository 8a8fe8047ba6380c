#include "controls/small/AccountEntries.h"

#include <algorithm>

namespace quill::small {

bool AccountEntries::Add(const std::wstring& text)
{
    if (text.empty() || std::find(entries_.begin(), entries_.end(), text) != entries_.end())
        return false;
    entries_.push_back(text);
    return true;
}

void AccountEntries::Clear()
{
    entries_.clear();
    first_ = 0;
    hovered_.reset();
}

void AccountEntries::SetViewHeight(int pixels)
{
    viewHeight_ = std::max(pixels, 0);
    ClampFirst();
}

int AccountEntries::VisibleRows() const
{
    return viewHeight_ / RowHeight;
}

void AccountEntries::Scroll(int rows)
{
    const auto step = static_cast<std::size_t>(rows < 0 ? -static_cast<long long>(rows) : rows);
    if (rows > 0)
        first_ = first_ > step ? first_ - step : 0;
    else
        first_ += step;
    ClampFirst();
}

std::optional<std::size_t> AccountEntries::EntryAt(int y) const
{
    if (y < 0 || y >= VisibleRows() * RowHeight)
        return std::nullopt;
    const std::size_t index = first_ + static_cast<std::size_t>(y / RowHeight);
    if (index >= entries_.size())
        return std::nullopt;
    return index;
}

bool AccountEntries::Hover(std::optional<std::size_t> index)
{
    if (index == hovered_)
        return false;
    hovered_ = index;
    return true;
}

void AccountEntries::ClampFirst()
{
    const auto shown = static_cast<std::size_t>(VisibleRows());
    const std::size_t last = entries_.size() > shown ? entries_.size() - shown : 0;
    first_ = std::min(first_, last);
}

}  // namespace quill::small
