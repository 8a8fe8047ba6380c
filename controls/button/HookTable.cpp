#include "controls/button/HookTable.h"

#include <algorithm>

namespace quill::button {

bool HookTable::MessageTable::Contains(std::uint32_t message) const
{
    if (count == kEveryMessage)
        return true;
    return count > 0 &&
           std::find(entries.begin(), entries.begin() + count, message) != entries.begin() + count;
}

int HookTable::FindThunkIndex(Window window, bool findFree) const
{
    const Window wanted = findFree ? 0 : window;
    for (int i = static_cast<int>(entries_.size()) - 1; i >= 0; --i)
        if (entries_[static_cast<size_t>(i)].window == wanted)
            return i;
    return -1;
}

int HookTable::AttachThunk(Window window)
{
    int index = FindThunkIndex(window, true);
    if (index < 0) {
        entries_.emplace_back();
        index = static_cast<int>(entries_.size()) - 1;
    }
    entries_[static_cast<size_t>(index)] = Entry{window, {}, {}};
    return index;
}

void HookTable::AddMessageToTable(std::int32_t message, MessageTable& table)
{
    if (message == kEveryMessage) {
        table.count = kEveryMessage;
        return;
    }
    // A table that already takes every message needs no single entry; adding
    // one must not turn "every message" into "none".
    if (table.count == kEveryMessage)
        return;
    const auto number = static_cast<std::uint32_t>(message);
    for (int i = 0; i < table.count; ++i) {
        std::uint32_t& slot = table.entries[static_cast<size_t>(i)];
        if (slot == 0) {
            slot = number;
            return;
        }
        if (slot == number)
            return;
    }
    table.entries.resize(static_cast<size_t>(table.count));
    table.entries.push_back(number);
    ++table.count;
}

void HookTable::AddThunkMessage(Window window, std::int32_t message, int which)
{
    const int index = FindThunkIndex(window, false);
    if (index < 0 || window == 0)
        return;
    Entry& entry = entries_[static_cast<size_t>(index)];
    if (which & Before)
        AddMessageToTable(message, entry.before);
    if (which & After)
        AddMessageToTable(message, entry.after);
}

bool HookTable::DetachThunk(Window window)
{
    const int index = FindThunkIndex(window, false);
    if (index < 0 || window == 0)
        return false;
    entries_[static_cast<size_t>(index)] = Entry{};
    return true;
}

std::vector<HookTable::Window> HookTable::WindowsFromTop() const
{
    std::vector<Window> windows;
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
        if (it->window != 0)
            windows.push_back(it->window);
    return windows;
}

const HookTable::Entry* HookTable::Find(Window window) const
{
    const int index = window == 0 ? -1 : FindThunkIndex(window, false);
    return index < 0 ? nullptr : &entries_[static_cast<size_t>(index)];
}

bool HookTable::CallsBefore(Window window, std::uint32_t message) const
{
    const Entry* entry = Find(window);
    return entry && entry->before.Contains(message);
}

bool HookTable::CallsAfter(Window window, std::uint32_t message) const
{
    const Entry* entry = Find(window);
    return entry && entry->after.Contains(message);
}

}  // namespace quill::button
