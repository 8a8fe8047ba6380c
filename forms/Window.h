#pragma once
// The base of every window of the layer: owns one HWND (of our own window
// class, or a standard control subclassed) and sees its messages in one
// virtual window procedure. Notifications a parent receives from a child
// (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR...) are reflected to the child's object.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

namespace quill::forms {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hWnd() const { return hwnd_; }
    static Window* FromHandle(HWND hwnd);

    // Destroys the window (children with it); the object stays.
    void DestroyHandle();

protected:
    struct CreateParams {
        const wchar_t* className = nullptr;  // nullptr: the layer's own class
        DWORD style = 0;
        DWORD exStyle = 0;
        int x = 0, y = 0, width = 0, height = 0;  // pixels
        HWND parent = nullptr;
        UINT_PTR id = 0;
        std::wstring text{};
    };
    bool CreateHandle(const CreateParams& params);

    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);

    // A notification the parent received about this window; return a value
    // to answer it, nothing to let the parent's default handling run.
    virtual std::optional<LRESULT> Reflect(UINT msg, WPARAM wp, LPARAM lp) { return std::nullopt; }

    // Runs before the object is deleted, with the object still whole.
    virtual void Terminating() {}
    // WM_NCDESTROY arrived: the handle is gone.
    virtual void HandleDestroyed() {}

private:
    friend void Release(std::unique_ptr<Window>);
    friend void RunTermination(Window&);
    static LRESULT CALLBACK OwnClassProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void Attach(HWND hwnd);
    void Detach();

    HWND hwnd_ = nullptr;
    bool subclassed_ = false;
};

}  // namespace quill::forms
