// The main window's logout: the session emptied, back to the login window.
#include "workspace/Home.h"

#include "session/MainWindowLink.h"
#include "session/Session.h"

namespace quill::workspace {

void Home::StyledButton3_Click()
{
    ActionBusy = false;
    session::CurrentSession().Reset(session::SessionReset::Logout);
    Unload();
    session::ShowLoginWindow();
}

}  // namespace quill::workspace
