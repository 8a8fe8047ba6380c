#include "session/MainWindowLink.h"

namespace quill::session {
namespace {

std::function<void()>& Opener()
{
    static std::function<void()> opener;
    return opener;
}

}  // namespace

// The values double as flags: the main window sets them on its first load
// and never back to 0, so 0 means "not yet in this run".
bool MainWindowOpenedInRun()
{
    return ChartHeight != 0;
}

bool FirstOpeningChecksDone()
{
    return LayoutMargin != 0;
}

void SetMainWindowOpener(std::function<void()> opener)
{
    Opener() = std::move(opener);
}

void OpenMainWindow()
{
    if (Opener())
        Opener()();
}

}  // namespace quill::session
