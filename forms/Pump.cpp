#include "forms/Pump.h"

#include "forms/Form.h"
#include "forms/lang/Error.h"
#include "forms/Picture.h"
#include "forms/TimerControl.h"

#include <windows.h>

namespace quill::forms {

namespace {

void DispatchOne(MSG& m)
{
    if (m.hwnd) {
        if (auto* form = dynamic_cast<Form*>(Window::FromHandle(GetAncestor(m.hwnd, GA_ROOT)));
            form && form->PreTranslate(m))
            return;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
}

}  // namespace

int DoEvents()
{
    TimerControl::PostDueTicks();
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            break;
        }
        DispatchOne(m);
    }
    return static_cast<int>(Forms().size());
}

namespace {
EndRecorder* endRecorder = nullptr;
}

void SendKeys(std::wstring_view keys)
{
    bool forward;
    if (keys == L"{TAB}")
        forward = true;
    else if (keys == L"{+TAB}")
        forward = false;
    else
        throw RuntimeError(kInvalidCall);
    HWND focus = GetFocus();
    if (auto* form = focus ? dynamic_cast<Form*>(Window::FromHandle(GetAncestor(focus, GA_ROOT))) : nullptr)
        PostMessageW(form->hWnd(), Form::kMoveFocusMessage, forward, 0);
}

EndRecorder::EndRecorder()
{
    endRecorder = this;
}
EndRecorder::~EndRecorder()
{
    endRecorder = nullptr;
}

void End()
{
    auto forms = Forms();
    for (auto it = forms.rbegin(); it != forms.rend(); ++it)
        (*it)->Discard();
    if (endRecorder) {
        ++endRecorder->ends_;
        return;
    }
    ExitProcess(0);
}

void Run(void (*startUp)())
{
    EnsureCom();
    startUp();
    MSG m;
    while (!Forms().empty()) {
        TimerControl::PostDueTicks();
        if (GetMessageW(&m, nullptr, 0, 0) <= 0)
            break;
        DispatchOne(m);
    }
}

}  // namespace quill::forms
