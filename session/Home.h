// The main window, as much of it as the start-up needs until the workspace
// brings the whole window: opened by a successful login, it carries its title,
// opens maximised, marks that it has been opened in this run, and ends the
// program when it closes. The account snapshot stays in LoginReply.
#pragma once

#include "forms/Form.h"

#include <cstdint>

namespace quill::session {

// Vertical gap of the header's regions; 0 until the first load in the run.
inline int32_t LayoutMargin = 0;
// Height of the chart frames in twips; 0 until the first load in the run,
// which keeps the login window arming its automatic login.
inline int32_t ChartHeight = 0;

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
