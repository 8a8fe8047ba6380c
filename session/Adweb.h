// Adweb, the notice window: loaded hidden by the main window, it reads the
// service's status page in its browser and, 15 seconds later, acts on the
// notice block there: a pop-up page at the bottom right of the screen for
// `showtime` seconds, or a yes/no question whose Yes opens a page in the
// user's browser. It never shows an error. What the block says and where the
// pop-up goes are read by NoticeReader.h.
#pragma once

#include "forms/Form.h"
#include "forms/Loaded.h"
#include "forms/TimerControl.h"
#include "forms/WebBrowser.h"
#include "session/NoticeReader.h"

#include <cstdint>
#include <string>

namespace quill::session {

class Adweb : public forms::Form {
public:
    Adweb();

    // The notice block of the page now in Web; "" while there is none.
    std::wstring GetWebstr() const;
    // Reads the notice once (Timer1, 15 seconds after the load) and acts on it.
    void AdwebReadNotice();

    // What the last reading found, and the pop-up's seconds so far.
    const Notice& CurrentNotice() const { return notice_; }
    std::int32_t Seconds() const { return count_; }

    forms::Loaded<forms::WebBrowser> Web;
    forms::Loaded<forms::TimerControl> Timer1;
    forms::Loaded<forms::TimerControl> Timer2;

protected:
    void CreateControls() override;
    void Form_Load() override;

private:
    void Timer2_Timer();

    Notice notice_;
    std::int32_t count_ = 0;
};

// The program's one notice window.
Adweb& AdwebWindow();

}  // namespace quill::session
