// The account box's drop window: a borderless list of accounts under the
// box. It holds the mouse while open, so a click anywhere else closes it; a
// click on an entry picks it.
#pragma once

#include "controls/small/AccountEntries.h"
#include "forms/Events.h"
#include "forms/Surface.h"
#include "forms/Window.h"

#include <cstddef>

namespace quill::small {

class AccountDropList : public forms::Window {
public:
    explicit AccountDropList(AccountEntries& entries) : entries_(entries) {}
    ~AccountDropList() override;

    // Places the window, in twips of the screen; `owner` is the window it
    // stays above.
    void Move(HWND owner, int left, int top, int width, int height);
    // Draws the entries afresh.
    void ReDrawDrop();
    // Shows it without taking the focus from the box's text field.
    void Show();
    void Hide();
    bool Visible() const;

    forms::Event<std::size_t> Picked;  // the entry's index; the window is hidden already

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Hover(int x, int y);

    AccountEntries& entries_;
    forms::Surface surface_;
    bool hiding_ = false;
};

}  // namespace quill::small
