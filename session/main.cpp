// tallivo.exe: the client of the Quillmoor service.
#include "forms/pump.h"
#include "session/StartUp.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    forms::Run(session::StartUp);
    return 0;
}
