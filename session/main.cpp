// tallivo.exe: the client of the Quillmoor service.
#include "forms/Pump.h"
#include "session/StartUp.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    quill::forms::Run(quill::session::StartUp);
    return 0;
}
