#include "session/MainWindowLink.h"
#include "session/Session.h"

namespace quill::session {
namespace {

struct Opening {
    std::function<void()> opener;
    bool running = false;
    bool cancelled = false;
};

Opening& MainOpening()
{
    static Opening opening;
    return opening;
}

}  // namespace

bool MainWindowOpenedInRun()
{
    return CurrentSession().MainWindowOpened;
}

void SetMainWindowOpener(std::function<void()> opener)
{
    MainOpening().opener = std::move(opener);
}

void OpenMainWindow()
{
    Opening& opening = MainOpening();
    if (!opening.opener || opening.running)
        return;
    struct Running {
        Opening& opening;
        explicit Running(Opening& o) : opening(o)
        {
            opening.running = true;
            opening.cancelled = false;
        }
        ~Running() { opening.running = false; }
    } running(opening);
    const std::function<void()> open = opening.opener;
    open();
}

bool MainWindowOpening()
{
    return MainOpening().running;
}

void CancelMainWindowOpening()
{
    if (MainOpening().running)
        MainOpening().cancelled = true;
}

bool MainWindowOpeningCancelled()
{
    return MainOpening().running && MainOpening().cancelled;
}

}  // namespace quill::session
