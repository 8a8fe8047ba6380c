// A main window for the login tests, as much of one as the login relies on:
// opened by a successful login (the tests register it with
// SetMainWindowOpener), it carries its title, opens maximised, sets the
// layout values, marks itself opened in this run, and closes the login
// window when it closes. The account snapshot stays in LoginReply.
#pragma once

#include "forms/Form.h"

namespace quill::session {

class Home : public forms::Form {
public:
    Home();

protected:
    void Form_Load() override;
    void Form_Unload(int16_t& Cancel) override;
};

// The program's one main window.
Home& HomeWindow();

}  // namespace quill::session
