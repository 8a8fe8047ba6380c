#pragma once
// What a Subclasser calls for the messages its owner asked for.
#include <windows.h>

namespace quill::listview {

class ISubclass {
public:
    // bBefore: called before the window's previous procedure. bHandled, set in
    // a before-call, keeps the message from the previous procedure. lReturn is
    // the message's result (the previous procedure's in an after-call).
    // lParamUser is the window's user value, which the owner may change.
    virtual void WndProc(bool bBefore, bool& bHandled, LRESULT& lReturn, HWND lng_hWnd, UINT uMsg,
                         WPARAM wParam, LPARAM lParam, LONG_PTR& lParamUser)
    {
    }

protected:
    ~ISubclass() = default;
};

}  // namespace quill::listview
