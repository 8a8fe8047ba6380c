#include "StandInHome.h"

#include "forms/App.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "forms/Screen.h"
#include "session/MainWindowLink.h"
#include "session/ServiceAddress.h"
#include "session/Session.h"

#include <cmath>

namespace quill::session {
namespace {

// The stored title: the product and the service's web site in capitals.
std::wstring StoredTitle()
{
    std::wstring site = ServiceSiteUrl();
    size_t scheme = site.find(L"://");
    if (scheme != std::wstring::npos)
        site.erase(0, scheme + 3);
    if (!site.empty() && site.back() == L'/')
        site.pop_back();
    return L"Quillmoor - " + forms::UCase(site);
}

}  // namespace

Home::Home() : forms::Form({.caption = StoredTitle(), .windowState = forms::vbMaximized}) {}

void Home::Form_Load()
{
    forms::ResumeNext([&] { Caption(Caption() + L" - V" + forms::App::MajorMinor()); });
    Session& current = CurrentSession();
    forms::ResumeNext(
        [&] { current.ChartHeight = static_cast<int32_t>(std::nearbyint(300 * current.TwipsPerPixelY)); });
    forms::ResumeNext(
        [&] { current.LayoutMargin = forms::Screen::Height() / current.TwipsPerPixelY >= 900 ? 90 : 15; });
    current.MainWindowOpened = true;
}

void Home::Form_Unload(int16_t& Cancel)
{
    forms::ResumeNext([&] { UnloadLoginWindow(); });
}

Home& HomeWindow()
{
    static Home home;
    return home;
}

}  // namespace quill::session
