// The main window, as much of it as the start-up needs until the workspace
// brings the whole window: opened by a successful login (the program's
// start-up registers it with SetMainWindowOpener), it carries its title,
// opens maximised, sets the layout values that mark it opened in this run, and
// closes the login window when it closes. The account snapshot stays in
// LoginReply.
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
