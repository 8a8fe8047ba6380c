#pragma once
// The key and mouse events most user controls pass on to their host as they
// arrive. A control that raises them from its constituents instead of its own
// window takes only the events (KeyAndMouseEvents); one that raises them from
// its own window derives from KeyAndMouseEventsControl and overrides a handler
// only where it does more (calling the base to still raise the event).
#include "forms/Events.h"
#include "forms/UserControl.h"

namespace quill::forms {

struct KeyAndMouseEvents {
    Event<KeyArgs&> KeyDown;
    Event<KeyPressArgs&> KeyPress;
    Event<KeyArgs&> KeyUp;
    Event<MouseArgs&> MouseDown;
    Event<MouseArgs&> MouseMove;
    Event<MouseArgs&> MouseUp;
};

class KeyAndMouseEventsControl : public UserControl, public KeyAndMouseEvents {
protected:
    KeyAndMouseEventsControl() = default;

    void UserControl_KeyDown(KeyArgs& e) override { KeyDown(e); }
    void UserControl_KeyPress(KeyPressArgs& e) override { KeyPress(e); }
    void UserControl_KeyUp(KeyArgs& e) override { KeyUp(e); }
    void UserControl_MouseDown(MouseArgs& e) override { MouseDown(e); }
    void UserControl_MouseMove(MouseArgs& e) override { MouseMove(e); }
    void UserControl_MouseUp(MouseArgs& e) override { MouseUp(e); }
};

}  // namespace quill::forms
