#pragma once
// The one way this program hooks the messages of a window it did not make
// itself (or made from a class that is not its own): the system's subclass
// chain (SetWindowSubclass). Several hooks on one window run in order, the
// last made first; any of them may go at any time, also from inside its own
// call, and the chain puts the window's own procedure back once the last hook
// has gone and no call of it is running. No code is written anywhere. Every
// message a hook receives goes through the trace (QUILL_TRACE) under the
// hook's name.
//
// A hook ends on its own: it leaves a window when the window goes (after
// passing it WM_NCDESTROY) and leaves every window it is still on when it is
// destroyed, even inside one of its calls, so that no window calls a hook
// that is gone.
#include <windows.h>

#include <vector>

namespace quill::forms {

class WindowHook {
public:
    WindowHook(const WindowHook&) = delete;
    WindowHook& operator=(const WindowHook&) = delete;

    // Puts this hook in front of the window's procedure (again: nothing
    // changes). False when the system refuses; the last error says why.
    bool Hook(HWND window);
    // Takes it out of the window's chain; nothing when it is not there.
    void Unhook(HWND window);
    // Leaves it in the chain passing every message on, never calling
    // HookProc again: for a window where taking the last hook out would also
    // undo a procedure that was set over the chain since.
    void PassOn(HWND window);

    // The hook on the window that was made with `key`, or null. The chain's
    // own look-up is exported by ordinal only, so a registered message asks
    // each hook of the window in turn.
    static WindowHook* Find(HWND window, const void* key);

    // Inside a hook's call: the answer of the procedures below the hook.
    static LRESULT Next(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // `name` (a literal) names the hook in the trace; `key` lets Find find it.
    explicit WindowHook(const char* name, const void* key = nullptr) : name_(name), key_(key) {}
    virtual ~WindowHook();

    // One message of a hooked window. The hook may end inside it (Unhook,
    // and even its own deletion) as long as it touches nothing of itself
    // afterwards.
    virtual LRESULT HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    // One running call of the hook, on the stack; the calls of a hook nest.
    struct Call;

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);
    UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }
    void Forget(HWND window);

    const char* name_;
    const void* key_;
    std::vector<HWND> windows_;  // the windows whose chain calls this hook
    Call* call_ = nullptr;       // the innermost call running
};

}  // namespace quill::forms
