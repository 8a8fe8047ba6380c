#include "session/StartUp.h"

#include "forms/screen.h"
#include "session/Login.h"
#include "session/TwipsPerPixel.h"

namespace session {

void StartUp()
{
    quill::session::TwipsPerPixelX = forms::Screen::TwipsPerPixelX();
    quill::session::TwipsPerPixelY = forms::Screen::TwipsPerPixelY();
    LoginWindow().Show();
}

}  // namespace session
