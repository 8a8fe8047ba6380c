#pragma once
// Replaces the window procedure of windows of this process with a small
// procedure of its own, one block per window: a few bytes of code in a page
// that is written once and then made execute-read, and the block's slots and
// message tables in ordinary read-write memory. The block decides from its
// two tables whether its owner is called before the window's previous
// procedure, after it, both or not at all, so that a message the owner did
// not ask for costs only a table lookup.
#include <windows.h>

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
    ~Subclasser() { Terminate(); }
    Subclasser(const Subclasser&) = delete;
    Subclasser& operator=(const Subclasser&) = delete;

    // True when the window now calls oCallback for the messages added with
    // AddMsg. Failures are reported (event log and message box).
    bool Subclass(HWND lng_hWnd, ISubclass* oCallback, LONG_PTR lParamUser, bool bIdeSafety);
    // Unsubclasses every window of this object, last made first.
    void Terminate();
    // The owner is not called again; the block puts the previous procedure
    // back and frees itself once no call of it is running.
    void UnSubclass(HWND lng_hWnd);
    // uMsg ALL_MESSAGES: every message (AddMsg) or none (DelMsg).
    void AddMsg(HWND lng_hWnd, UINT uMsg, eMsgWhen When);
    void DelMsg(HWND lng_hWnd, UINT uMsg, eMsgWhen When);
    // The window's previous procedure; 0 when this object does not hold it.
    LRESULT CallOrigWndProc(HWND lng_hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    LONG_PTR lParamUser(HWND lng_hWnd);
    void lParamUser(HWND lng_hWnd, LONG_PTR value);

private:
    using Slot = LONG_PTR;

    void zAddMsg(UINT uMsg, int tableSlot);
    void zDelMsg(UINT uMsg, int tableSlot);
    Slot* zMap_hWnd(HWND lng_hWnd);
    void ReportError(const wchar_t* routine, const std::wstring& message);
    static Slot ResolveProcAddress(const char* library, const char* function);
    Slot ReadThunkSlot(int n) const;
    void WriteThunkSlot(int n, Slot value);

    void BuildTemplate();
    bool HoldsValidBlock(HWND lng_hWnd);

    // Blocks made, in order, keyed by the window handle in decimal and "h".
    std::optional<std::vector<std::pair<std::wstring, Slot*>>> blocks_;
    Slot* current_ = nullptr;
    // Slots copied into every new block.
    std::vector<Slot> template_;
};

}  // namespace quill::listview
