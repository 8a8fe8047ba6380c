// tallivo.exe: the client of the Quillmoor service.
#include "forms/Pump.h"
#include "session/MainWindowLink.h"
#include "session/StartUp.h"
#include "workspace/Home.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    quill::forms::Run([] {
        // The main window that a successful login opens.
        quill::session::SetMainWindowOpener([] { quill::workspace::HomeWindow().Show(); });
        quill::session::StartUp();
    });
    return 0;
}
