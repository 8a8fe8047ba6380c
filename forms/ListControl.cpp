#include "forms/ListControl.h"

#include "forms/lang/Error.h"

namespace quill::forms {

void ListControl::CheckIndex(int32_t index) const
{
    if (index < 0 || index >= ListCount())
        throw RuntimeError(kInvalidCall);
}

void ListControl::AddItem(const std::wstring& item, int32_t index)
{
    if (index > ListCount())
        throw RuntimeError(kInvalidCall);
    LRESULT r = index < 0 ? SendMessageW(hWnd(), m_.add, 0, reinterpret_cast<LPARAM>(item.c_str()))
                          : SendMessageW(hWnd(), m_.insert, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(item.c_str()));
    newIndex_ = static_cast<int32_t>(r);
    lastIndex_ = ListIndex();
}

void ListControl::AddItems(std::span<const std::wstring> items)
{
    for (const std::wstring& item : items)
        newIndex_ = static_cast<int32_t>(
            SendMessageW(hWnd(), m_.insert, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str())));
    lastIndex_ = ListIndex();
}

void ListControl::RemoveItem(int32_t index)
{
    CheckIndex(index);
    SendMessageW(hWnd(), m_.remove, static_cast<WPARAM>(index), 0);
    lastIndex_ = ListIndex();
}

void ListControl::Clear()
{
    SendMessageW(hWnd(), m_.reset, 0, 0);
    lastIndex_ = -1;
}

int32_t ListControl::ListCount() const
{
    return hWnd() ? static_cast<int32_t>(SendMessageW(hWnd(), m_.count, 0, 0)) : 0;
}

std::wstring ListControl::List(int32_t index) const
{
    if (index < 0 || index >= ListCount())
        return {};  // the platform reads positions outside the list as empty texts
    LRESULT n = SendMessageW(hWnd(), m_.getTextLength, static_cast<WPARAM>(index), 0);
    if (n <= 0)
        return {};
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    n = SendMessageW(hWnd(), m_.getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return s;
}

void ListControl::List(int32_t index, const std::wstring& item)
{
    CheckIndex(index);
    int32_t selected = ListIndex();
    int32_t data = ItemData(index);
    SendMessageW(hWnd(), m_.remove, static_cast<WPARAM>(index), 0);
    SendMessageW(hWnd(), m_.insert, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.c_str()));
    ItemData(index, data);
    if (selected == index)
        SendMessageW(hWnd(), m_.setSelection, static_cast<WPARAM>(index), 0);
}

int32_t ListControl::ListIndex() const
{
    return hWnd() ? static_cast<int32_t>(SendMessageW(hWnd(), m_.getSelection, 0, 0)) : -1;
}

void ListControl::ListIndex(int32_t index)
{
    if (index < -1 || index >= ListCount())
        throw RuntimeError(kInvalidPropertyValue);
    SendMessageW(hWnd(), m_.setSelection, static_cast<WPARAM>(index), 0);
    if (index != lastIndex_) {
        lastIndex_ = index;
        Click();
    }
}

int32_t ListControl::ItemData(int32_t index) const
{
    CheckIndex(index);
    return static_cast<int32_t>(SendMessageW(hWnd(), m_.getData, static_cast<WPARAM>(index), 0));
}

void ListControl::ItemData(int32_t index, int32_t value)
{
    CheckIndex(index);
    SendMessageW(hWnd(), m_.setData, static_cast<WPARAM>(index), static_cast<LPARAM>(value));
}

void ListControl::SelectionChanged()
{
    lastIndex_ = ListIndex();
    Click();
}

}  // namespace quill::forms
