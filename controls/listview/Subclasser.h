#pragma once
// Hooks the messages of windows of this process, one hook per window, in the
// system's subclass chain (forms/WindowHook.h). Each hook decides from its
// two message tables whether its owner is called before the procedures below
// it, after them, both or not at all, so that a message the owner did not
// ask for costs only a table lookup.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/listview/ISubclass.h"

namespace quill::listview {

class Subclasser {
public:
    // When the owner is called for a message: bit 1 before, bit 2 after.
    enum eMsgWhen : int32_t { MSG_BEFORE = 1, MSG_AFTER = 2, MSG_BEFORE_AND_AFTER = 3 };
    static constexpr UINT ALL_MESSAGES = static_cast<UINT>(-1);

    Subclasser() = default;
    ~Subclasser();
    Subclasser(const Subclasser&) = delete;
    Subclasser& operator=(const Subclasser&) = delete;

    // True when the window now calls oCallback for the messages added with
    // AddMsg. Failures are reported (event log and message box).
    bool Subclass(HWND lng_hWnd, ISubclass* oCallback, LONG_PTR lParamUser, bool bIdeSafety);
    // Unsubclasses every window of this object, last made first.
    void Terminate();
    // The owner is not called again and the hook leaves the window's chain;
    // a call of it that is running finishes first.
    void UnSubclass(HWND lng_hWnd);
    // uMsg ALL_MESSAGES: every message (AddMsg) or none (DelMsg).
    void AddMsg(HWND lng_hWnd, UINT uMsg, eMsgWhen When);
    void DelMsg(HWND lng_hWnd, UINT uMsg, eMsgWhen When);
    // The window's procedure from before the hook; 0 when this object does
    // not hold the window.
    LRESULT CallOrigWndProc(HWND lng_hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    LONG_PTR lParamUser(HWND lng_hWnd);
    void lParamUser(HWND lng_hWnd, LONG_PTR value);

    // A table is a count (0 none, -1 all messages, else entries in use) and
    // 32 entries; a freed entry holds 0.
    struct MessageTable {
        static constexpr int kEntries = 32;
        LONG_PTR count = 0;
        UINT entries[kEntries] = {};
        bool Wants(UINT uMsg) const;
    };

private:
    class WindowBlock;

    void zAddMsg(UINT uMsg, MessageTable& table);
    void zDelMsg(UINT uMsg, MessageTable& table);
    WindowBlock* zMap_hWnd(HWND lng_hWnd);
    void ReportError(const wchar_t* routine, const std::wstring& message);

    // Hooks made, in order, keyed by the window handle in decimal and "h". A
    // hook whose call is running outlives its entry until the call returns.
    std::optional<std::vector<std::pair<std::wstring, std::shared_ptr<WindowBlock>>>> blocks_;
    WindowBlock* current_ = nullptr;
};

}  // namespace quill::listview
