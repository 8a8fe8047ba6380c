#include "workspace/Home.h"
#include "workspace/HexTable.h"

#include "workspace/HomePages.h"
#include "workspace/ListFilter.h"
#include "workspace/ListPages.h"
#include "protocol/ReplyForms.h"
#include "protocol/ServiceRequests.h"

#include "forms/App.h"
#include "forms/Files.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Resources.h"
#include "forms/Screen.h"
#include "forms/Shell.h"
#include "resources/resource_ids.h"
#include "session/Adweb.h"
#include "session/MainWindowLink.h"
#include "session/ServiceLogin.h"
#include "session/Session.h"

#include <windows.h>

namespace quill::workspace {

std::wstring Home::Post(const protocol::ServiceRequest& request)
{
    return session::PostRequest(request, session::CurrentSession().ServerBaseUrl);
}

void Home::Form_Load()
{
    session::Session& current = session::CurrentSession();
    const std::uint64_t generation = ++generation_;
    forms::ResumeNext([&] { Caption(Caption() + L" - V" + forms::App::MajorMinor()); });
    // Shown maximised: the window's design.
    ReLoad(current.LoginReply);
    if (!Alive(generation))
        return;  // the snapshot's failure closed the window
    if (session::MainWindowOpeningCancelled()) {
        StyledButton3_Click();
        return;
    }
    if (!current.MainWindowOpened) {
        // The first opening in this run.
        switch (protocol::CompareLatestVersion(current.UserInfo, forms::App::MajorMinor())) {
        case protocol::LatestVersionState::Maintenance:
            forms::MsgBox(L"当前服务器处于维护模式，暂时无法登录，请稍候再试。", forms::vbInformation);
            forms::End();
            return;
        case protocol::LatestVersionState::Newer:
            forms::ResumeNext([&] { updateTimer->Enabled(true); });
            break;
        case protocol::LatestVersionState::NotNewer:
        case protocol::LatestVersionState::Unreadable:
            break;
        }
    }
    ShownListKind = -1;
    forms::ResumeNext(
        [&] { current.ChartHeight = forms::ToInt32(300 * static_cast<double>(current.TwipsPerPixelY)); });
    forms::ResumeNext(
        [&] { current.LayoutMargin = forms::Screen::Height() / current.TwipsPerPixelY >= 900 ? 90 : 15; });
    current.MainWindowOpened = true;
    NowId = -1;
    InitHexTable();
    // The months' repayment types, while the days option stays chosen.
    TY1_Click();
    forms::ResumeNext([&] {
        Maininfo->Caption(current.UserInfo.Text(protocol::UserInfo::UserName) + L"，欢迎您的登录。");
    });
    FlashOk1 = FlashOk2 = false;
    Flash1xml.clear();
    Flash2xml.clear();
    forms::ResumeNext([&] { ListView->Font()->Size(11); });
    forms::ResumeNext([&] { ListView->ItemPaddingBottom(15); });
    forms::ResumeNext([&] { ListView->MultiSelect(false); });
    forms::ResumeNext([&] { ListView->BorderStyle(0); });
    forms::ResumeNext([&] { ListView->ItemsAutoSize(false); });
    forms::ResumeNext([&] {
        const double today = forms::Today();
        const int year = forms::Year(today);
        for (int y = year - 3; y <= year + 3; ++y)
            Combo3->AddItem(std::to_wstring(y));
        Combo3->ListIndex(3);
        for (int m = 1; m <= 12; ++m)
            Combo4->AddItem(std::to_wstring(m));
        Combo4->ListIndex(forms::Month(today) - 1);
    });
    forms::ResumeNext([&] { Combo5->ListIndex(0); });
    // The notice window, hidden: it fetches the service's notice by itself.
    forms::ResumeNext([&] { session::AdwebWindow().Load(); });
    if (!LoadBe)
        LoadBe = true;
}

void Home::Form_Unload(std::int16_t& Cancel)
{
    ++generation_;
    heldEntry_.reset();
    for (const wchar_t* report : {L"report1.html", L"report2.html"})
        forms::ResumeNext([&] {
            if (forms::FileExists(ReportPath(report)))
                forms::Kill(ReportPath(report));
        });
    forms::ResumeNext([&] { RemoveDirectoryW(ReportFolder().c_str()); });
    forms::ResumeNext([&] { session::AdwebWindow().Unload(); });
    forms::ResumeNext([&] { session::UnloadLoginWindow(); });
}

void Home::StyledButton2_Click()
{
    forms::ResumeNext([&] {
        forms::ShellExecuteA(hWnd(), L"", forms::App::Path() + L"\\update.exe", L"", L"", SW_SHOWNORMAL);
    });
}

void Home::updateTimer_Timer()
{
    updateTimer->Enabled(false);
    const std::uint64_t generation = generation_;
    const int32_t answer =
        forms::MsgBox(L"发现新版本，需要启动升级程序进行自动升级吗?\r\n提示：自动升级前将关闭本程序。",
                      forms::vbQuestion | forms::vbYesNo, L"自动升级");
    if (!Alive(generation) || answer != forms::vbYes)
        return;
    StyledButton2_Click();
    Unload();
}

void Home::ShowLoading(std::int16_t Loadingtype)
{
    forms::ResumeNext([&] {
        if (Loadingtype == 0) {
            Loadingole->Visible(false);
            return;
        }
        Loadingole->Visible(true);
        // Over whatever the page still shows: the entry form stays during a save.
        forms::ResumeNext([&] { Loadingole->ZOrder(0); });
        const bool loading = Loadingtype == 1;
        forms::ResumeNext([&] {
            Loading->LoadAnimatedGIF_Array(forms::LoadResData(loading ? IDR_LOADING_GIF : IDR_FAILED_GIF));
        });
        // The picture takes its own size: centred over the label.
        forms::ResumeNext([&] { Loading->Move((Loadingole->Width() - Loading->Width()) / 2, 0); });
        forms::ResumeNext([&] {
            LoadingLabel->Caption(loading ? L"正在加载中，请稍候..." : L"呃，加载失败，请再试或稍候再试。");
        });
    });
    forms::ResumeNext([&] {
        Loadingole->Move(forms::ToInt32(ScaleWidth() / 2.0 - Loadingole->Width() / 2.0), PubTop + 1500);
    });
}

void Home::HideAll()
{
    HidePageContent();
    CaptionL->Visible(false);
}

void Home::HidePageContent()
{
    for (forms::Control* region :
         std::initializer_list<forms::Control*>{&*Flashole1, &*Flashole2, &*Ole1, &*Ole2, &*ole3, &*ListView})
        region->Visible(false);
}

ChartSlot Home::Slot1()
{
    return {Flashole1, Flash1, L"Flashid1", FlashOk1, Flash1xml, Flashweb1, L"report1.html", Flashfail1};
}

ChartSlot Home::Slot2()
{
    return {Flashole2, Flash2, L"FlashID2", FlashOk2, Flash2xml, Flashweb2, L"report2.html", Flashfail2};
}

void Home::ShowFlash1(std::int32_t Sfleft, std::int32_t Sftop, std::int32_t Sfwidth, std::int32_t Sfheight,
                      const std::wstring& Sfxmldata, std::int16_t Sftype)
{
    ShowChart(Slot1(), {Sfleft, Sftop, Sfwidth, Sfheight, Sfxmldata, Sftype}, ChartLabelAngle);
}

void Home::ShowFlash2(std::int32_t Sfleft, std::int32_t Sftop, std::int32_t Sfwidth, std::int32_t Sfheight,
                      const std::wstring& Sfxmldata, std::int16_t Sftype)
{
    ShowChart(Slot2(), {Sfleft, Sftop, Sfwidth, Sfheight, Sfxmldata, Sftype}, ChartLabelAngle);
}

void Home::ShowWeb1(std::int32_t Sfleft, std::int32_t Sftop, std::int32_t Sfwidth, std::int32_t Sfheight,
                    const std::wstring& Sfxmldata, std::int16_t Sftype)
{
    ShowChartPage(Slot1(), {Sfleft, Sftop, Sfwidth, Sfheight, Sfxmldata, Sftype}, ChartLabelAngle);
}

void Home::ShowWeb2(std::int32_t Sfleft, std::int32_t Sftop, std::int32_t Sfwidth, std::int32_t Sfheight,
                    const std::wstring& Sfxmldata, std::int16_t Sftype)
{
    ShowChartPage(Slot2(), {Sfleft, Sftop, Sfwidth, Sfheight, Sfxmldata, Sftype}, ChartLabelAngle);
}

void Home::ShowListView(std::int32_t sLVid)
{
    HomeList list(*ListView);
    workspace::ShowListView(list, ShownListKind, sLVid);
}

void Home::StyledButton4_Click()
{
    HomePages pages(*this);
    if (RunFilter(pages) == FilterEnd::Abandoned)
        ActionBusy = false;  // the window went while the run let messages through
}

void Home::SXdateb_Click()
{
    OpenCalendar(FilterStartDate, *Ole2, *SXdateb);
}

void Home::SXdatee_Click()
{
    OpenCalendar(FilterEndDate, *Ole2, *SXdatee);
}

void Home::SXdateb_DblClick()
{
    SXdateb->Text(L"");
}

void Home::SXdatee_DblClick()
{
    SXdatee->Text(L"");
}

void Home::SXKey_GotFocus()
{
    if (Mdateole->Visible())
        Mdateole->Visible(false);
}

void Home::ListView_DblClick(std::int32_t ItemIndex)
{
    std::wstring argument;
    if (!forms::ResumeNext([&] {
            argument =
                ShowinfoArgument(NowId, ListView->ItemTag(ItemIndex), ListView->ItemText(ItemIndex, 1));
        }))
        return;
    Showinfo(argument);
}

Home& HomeWindow()
{
    static Home home;
    return home;
}

}  // namespace quill::workspace
