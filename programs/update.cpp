// update.exe: the online updater of Quillmoor. One runs at a time for each
// installation; a second one started meanwhile shows the first and ends.
#include "forms/App.h"
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
    quill::updater::SingleInstance instance(quill::forms::App::Path());
    if (!instance.Acquired()) {
        quill::updater::BringOtherInstanceToFront();
        return 0;
    }
    quill::forms::Run(StartUp);
    return 0;
}
