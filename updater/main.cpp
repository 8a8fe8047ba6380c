// update.exe: the online updater of Quillmoor. One runs at a time; a second
// one started meanwhile ends at once.
#include "forms/Pump.h"
#include "updater/Online.h"
#include "updater/SingleInstance.h"

#include <windows.h>

namespace {

void StartUp()
{
    static quill::updater::Online online;
    online.Load();
    if (!online.Ended())
        online.Show();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    quill::updater::SingleInstance instance;
    if (!instance.Acquired())
        return 0;
    quill::forms::Run(StartUp);
    return 0;
}
