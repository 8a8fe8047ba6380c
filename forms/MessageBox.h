#pragma once
// Message boxes with the platform's flags and answers. A message box given
// no title shows the program's title. While a MessageBoxScript lives (tests),
// nothing is shown: each message box is recorded and answered from the
// script, or with its default button when the script has no answer left.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace quill::forms {

enum : int32_t {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
    vbSystemModal = 4096,
};
enum : int32_t { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

int32_t MsgBox(const std::wstring& prompt, int32_t buttons = vbOKOnly, const std::wstring& title = {});

class MessageBoxScript {
public:
    struct Shown {
        std::wstring prompt;
        int32_t buttons;
        std::wstring title;
        int32_t answer;
    };

    MessageBoxScript(std::initializer_list<int32_t> answers = {});
    ~MessageBoxScript();
    MessageBoxScript(const MessageBoxScript&) = delete;
    MessageBoxScript& operator=(const MessageBoxScript&) = delete;

    void Answer(int32_t answer) { answers_.push_back(answer); }
    const std::vector<Shown>& Boxes() const { return shown_; }
    // Runs while the box would be up, as a modal loop would let other
    // handlers run (timers, a form unloading itself).
    std::function<void(const Shown&)> WhileShown;

private:
    friend int32_t MsgBox(const std::wstring&, int32_t, const std::wstring&);
    std::vector<int32_t> answers_;
    size_t next_ = 0;
    std::vector<Shown> shown_;
};

}  // namespace quill::forms
