#include "session/StartUp.h"

#include "forms/Screen.h"
#include "session/Login.h"
#include "session/TwipsPerPixel.h"

namespace quill::session {

void StartUp()
{
    quill::session::TwipsPerPixelX = forms::Screen::TwipsPerPixelX();
    quill::session::TwipsPerPixelY = forms::Screen::TwipsPerPixelY();
    LoginWindow().Show();
}

}  // namespace quill::session
