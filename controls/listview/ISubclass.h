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

    // Whether `owner` is an owner that has been made and not yet destroyed.
    // A window procedure asks before every call, so an owner that ends
    // without unsubclassing its windows is never called again.
    static bool IsLive(const ISubclass* owner);

protected:
    ISubclass();
    ISubclass(const ISubclass&);
    ISubclass& operator=(const ISubclass&) = default;
    ~ISubclass();
};

}  // namespace quill::listview
