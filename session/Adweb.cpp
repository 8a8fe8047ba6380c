#include "session/Adweb.h"
#include "session/Session.h"

#include "forms/App.h"
#include "forms/lang/Error.h"
#include "forms/MessageBox.h"
#include "forms/Screen.h"
#include "forms/Shell.h"

#include <windows.h>

namespace quill::session {

Adweb::Adweb()
    : forms::Form({.caption = L"Quillmoor向您推荐:",
                   .clientWidth = 389 * 15,
                   .clientHeight = 325 * 15,
                   .startUpPosition = forms::vbStartUpManual,
                   .borderStyle = forms::vbFixedSingle,
                   .minButton = false,
                   .maxButton = false})
{
}

void Adweb::CreateControls()
{
    Web.Load(*this,
             forms::ControlArgs{.name = L"Web", .width = 389 * 15, .height = 325 * 15, .tabStop = false});
    Timer1.Load(*this, forms::ControlArgs{.name = L"Timer1"},
                forms::TimerArgs{.interval = 15000, .enabled = true});
    Timer1->Timer = [this] { AdwebReadNotice(); };
    Timer2.Load(*this, forms::ControlArgs{.name = L"Timer2"},
                forms::TimerArgs{.interval = 1000, .enabled = false});
    Timer2->Timer = [this] { Timer2_Timer(); };
}

void Adweb::Form_Load()
{
    // Each load reads the notice afresh.
    notice_ = Notice{};
    count_ = 0;
    forms::ResumeNext([&] {
        Web->Navigate(CurrentSession().ServerBaseUrl + L"/status.shtml?ver=" + forms::App::MajorMinor());
    });
}

std::wstring Adweb::GetWebstr() const
{
    const forms::HtmlDocument* document = Web ? Web->Document() : nullptr;
    if (!document)
        return {};
    return NoticeBlock(document->body.outerHTML);
}

void Adweb::AdwebReadNotice()
{
    forms::ResumeNext([&] { Timer1->Enabled(false); });
    const std::wstring block = GetWebstr();
    if (block.find(L"[set]") == std::wstring::npos)
        return;
    notice_ = ReadNotice(block);

    if (notice_.type == NoticePopup) {
        // The page comes from a plain-HTTP notice: nothing but a web address
        // is loaded (the browser would read a local file as well).
        if (!IsWebAddress(notice_.url))
            return;
        forms::ResumeNext([&] {
            const PopupPlace place =
                PlacePopup(Width(), Height(), ScaleWidth(), ScaleHeight(), notice_.width, notice_.height,
                           CurrentSession().TwipsPerPixelX, CurrentSession().TwipsPerPixelY,
                           forms::Screen::Width(), forms::Screen::Height());
            Move(place.left, place.top, place.width, place.height);
        });
        forms::ResumeNext([&] { Web->Move(0, 0, ScaleWidth(), ScaleHeight()); });
        forms::ResumeNext([&] { Web->Navigate(notice_.url); });
        forms::ResumeNext([&] { Show(); });
        if (notice_.showtime != 0)
            forms::ResumeNext([&] { Timer2->Enabled(true); });
    } else if (notice_.type == NoticeQuestion) {
        const int32_t answer =
            forms::MsgBox(notice_.title, forms::vbInformation | forms::vbYesNo, forms::App::Title());
        if (answer == forms::vbYes && IsWebAddress(notice_.url))
            forms::ShellExecuteA(hWnd(), L"", notice_.url, L"", L"", SW_SHOWNORMAL);
    }
}

void Adweb::Timer2_Timer()
{
    ++count_;
    if (count_ >= notice_.showtime)
        Unload();
}

Adweb& AdwebWindow()
{
    static Adweb adweb;
    return adweb;
}

}  // namespace quill::session
