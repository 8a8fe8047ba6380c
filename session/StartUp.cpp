#include "session/StartUp.h"

#include "forms/Screen.h"
#include "session/Login.h"
#include "session/Session.h"

namespace quill::session {

void StartUp()
{
    quill::session::CurrentSession().TwipsPerPixelX = forms::Screen::TwipsPerPixelX();
    quill::session::CurrentSession().TwipsPerPixelY = forms::Screen::TwipsPerPixelY();
    LoginWindow().Show();
}

}  // namespace quill::session
