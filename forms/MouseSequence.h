#pragma once
// Turns a window's mouse messages into the platform's event order: a press
// gives MouseDown; its release MouseUp and, when released over the object,
// Click; a double click gives DblClick in place of the second MouseDown, and
// the release that ends it raises no Click. Left and right buttons click.
#include "forms/Events.h"

#include <windows.h>

#include <functional>

namespace quill::forms {

class MouseSequence {
public:
    struct Sinks {
        std::function<void(MouseArgs&)> down, move, up;
        std::function<void()> click, dblClick;
    };

    // `args` carries the shift state and the position in the object's units;
    // `inside` says whether the position lies on the object. Returns false
    // for messages that are not mouse buttons or moves.
    bool Feed(UINT msg, WPARAM wp, MouseArgs args, bool inside, const Sinks& sinks);
    int16_t Pressed() const { return pressed_; }

private:
    int16_t pressed_ = 0;
    bool afterDouble_ = false;
};

// The mouse events of a control that has no notifications of its own for
// clicks: raised straight from its mouse sequence.
struct MouseEvents {
    Event<> Click;
    Event<> DblClick;
    Event<MouseArgs&> MouseDown;
    Event<MouseArgs&> MouseMove;
    Event<MouseArgs&> MouseUp;

    MouseSequence::Sinks Raisers()
    {
        return {.down = [this](MouseArgs& a) { MouseDown(a); },
                .move = [this](MouseArgs& a) { MouseMove(a); },
                .up = [this](MouseArgs& a) { MouseUp(a); },
                .click = [this] { Click(); },
                .dblClick = [this] { DblClick(); }};
    }
};

}  // namespace quill::forms
