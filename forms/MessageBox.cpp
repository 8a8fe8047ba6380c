#include "forms/MessageBox.h"

#include "forms/App.h"
#include "forms/Form.h"
#include "forms/Lifetime.h"
#include "forms/Screen.h"

#include <windows.h>

namespace quill::forms {

namespace {

MessageBoxScript* script = nullptr;

// The answer of the default button of a box's button set.
int32_t DefaultAnswer(int32_t buttons)
{
    static const int32_t sets[6][3] = {{vbOK, vbOK, vbOK},           {vbOK, vbCancel, vbCancel},
                                       {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel},
                                       {vbYes, vbNo, vbNo},          {vbRetry, vbCancel, vbCancel}};
    int set = buttons & 0xF;
    int which = (buttons >> 8) & 0x3;
    if (set > 5)
        set = 0;
    return sets[set][which > 2 ? 0 : which];
}

}  // namespace

MessageBoxScript::MessageBoxScript(std::initializer_list<int32_t> answers) : answers_(answers)
{
    script = this;
}

MessageBoxScript::~MessageBoxScript()
{
    script = nullptr;
}

int32_t MsgBox(const std::wstring& prompt, int32_t buttons, const std::wstring& title)
{
    std::wstring caption = title.empty() ? App::Title() : title;
    HandlerScope scope;
    if (script) {
        MessageBoxScript& s = *script;
        int32_t answer = s.next_ < s.answers_.size() ? s.answers_[s.next_++] : DefaultAnswer(buttons);
        s.shown_.push_back({prompt, buttons, caption, answer});
        if (s.WhileShown)
            s.WhileShown(s.shown_.back());
        return answer;
    }
    Form* owner = Screen::ActiveForm();
    return MessageBoxW(owner ? owner->hWnd() : GetActiveWindow(), prompt.c_str(), caption.c_str(),
                       static_cast<UINT>(buttons));
}

}  // namespace quill::forms
