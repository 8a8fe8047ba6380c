// Bookkeeping of the button's window-procedure hook: one entry per hooked
// window, each with the message numbers whose callback runs before the
// window's previous procedure and those whose callback runs after it.
#pragma once

#include <cstdint>
#include <vector>

namespace quill::button {

class HookTable {
public:
    using Window = std::uintptr_t;  // 0 marks a free entry
    static constexpr std::int32_t kEveryMessage = -1;
    enum Which { After = 1, Before = 2 };

    // count -1: every message; 0: none; otherwise the entries in use (0 = free slot).
    struct MessageTable {
        int count = 0;
        std::vector<std::uint32_t> entries;
        bool Contains(std::uint32_t message) const;
    };
    struct Entry {
        Window window = 0;
        MessageTable after;
        MessageTable before;
    };

    // Takes a free entry (or a new one at the top) for the window; its tables start empty.
    int AttachThunk(Window window);
    // From the highest index down: the window's entry, or with findFree a free one; -1 if none.
    int FindThunkIndex(Window window, bool findFree) const;
    // `which` bit 2 adds to the before-table, bit 1 to the after-table.
    void AddThunkMessage(Window window, std::int32_t message, int which);
    // Frees the window's entry; false when the window has none.
    bool DetachThunk(Window window);
    // Hooked windows from the highest index down, the order in which all are detached.
    std::vector<Window> WindowsFromTop() const;

    bool CallsBefore(Window window, std::uint32_t message) const;
    bool CallsAfter(Window window, std::uint32_t message) const;
    const Entry* Find(Window window) const;
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    static void AddMessageToTable(std::int32_t message, MessageTable& table);
    std::vector<Entry> entries_;
};

}  // namespace quill::button
