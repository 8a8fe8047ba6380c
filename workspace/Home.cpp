#include "workspace/Home.h"
#include "workspace/HexTable.h"

#include "workspace/HomeLayout.h"
#include "workspace/HomePages.h"
#include "workspace/ListFilter.h"
#include "workspace/ListPages.h"
#include "workspace/ProjectRows.h"
#include "protocol/ReplyForms.h"
#include "protocol/ServiceRequests.h"
#include "workspace/RandomColor.h"

#include "forms/App.h"
#include "forms/Files.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Resources.h"
#include "forms/Screen.h"
#include "forms/Shell.h"
#include "resources/resource_ids.h"
#include "session/Adweb.h"
#include "session/MainWindowLink.h"
#include "session/RecordCache.h"
#include "session/ServiceAddress.h"
#include "session/ServiceLogin.h"
#include "session/Session.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <span>

namespace quill::workspace {

namespace {

constexpr int kTabWidth = 1320, kTabHeight = 915;
constexpr int kButtonWidth = 1365, kButtonHeight = 420;
constexpr int kColumnWidth = 14725;  // the content column at 15 twips per pixel
constexpr int kTiles = 16;
constexpr std::array<int, 4> kTileLefts{1305, 4590, 7920, 11160};
constexpr int kTileTop = 180, kTileRow = 945, kValueDrop = 450;
constexpr int kTileCaptionHeight = 315, kTileValueHeight = 330, kTileWidth = 3000;
constexpr int kLoadingWidth = 5145, kLoadingHeight = 1950;
constexpr int kLongestUserName = 50;
// Names put into the boxes between two looks at the message queue: a few
// hundred milliseconds of the platform's combo boxes.
constexpr size_t kNamesBetweenPumps = 200;
constexpr forms::OleColor kDarkGreen = 0x004000;
constexpr forms::OleColor kValueColor = 0x1B55C2;  // the summary values: a warm brown
constexpr forms::OleColor kPanelColor = 0xFCF8F4;
constexpr forms::OleColor kPanelRule = 0xE6DCD2;

const wchar_t* const kTabCaptions[8] = {L"我的首页",     L"我要记账",     L"当前持有项目", L"当前平台汇总",
                                        L"已经完结项目", L"完结平台汇总", L"月度收益报表", L"年度收益报表"};

// The stored title: the product and the service's web site in capitals.
std::wstring StoredTitle()
{
    std::wstring site = session::ServiceSiteUrl();
    const size_t scheme = site.find(L"://");
    if (scheme != std::wstring::npos)
        site.erase(0, scheme + 3);
    if (!site.empty() && site.back() == L'/')
        site.pop_back();
    return L"Quillmoor - " + forms::UCase(site);
}

}  // namespace

std::wstring Home::Post(const protocol::ServiceRequest& request)
{
    return session::PostRequest(request, session::CurrentSession().ServerBaseUrl);
}

namespace {

// UserInfo items 8 and 9 as the layout reads them: leading numbers, 0 when missing.
double LenientItem(int item)
{
    const protocol::UserInfo& info = session::CurrentSession().UserInfo;
    return item < info.Count() ? info.Lenient(item) : 0;
}

const forms::PropertyBag& TabDesign(int index)
{
    static const std::array<forms::PropertyBag, 8> designs = [] {
        HICON icon = static_cast<HICON>(
            LoadImageW(forms::App::hInstance(), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 32, 32, 0));
        const forms::Picture::Ref picture = forms::Picture::FromIcon(icon);
        std::array<forms::PropertyBag, 8> bags;
        for (size_t i = 0; i < bags.size(); ++i)
            bags[i] = forms::PropertyBag{{L"Style", 10},      {L"Caption", kTabCaptions[i]},
                                         {L"Icon", picture},  {L"IconSize", 32},
                                         {L"IconSizeH", 32},  {L"IconAlign", 3},
                                         {L"CaptionAlign", 4}};
        return bags;
    }();
    return designs[static_cast<size_t>(index)];
}

}  // namespace

Home::Home()
    : forms::Form({.caption = StoredTitle(),
                   .clientWidth = 15360,
                   .clientHeight = 11520,
                   .windowState = forms::vbMaximized,
                   .backColor = 0xFFFFFF})
{
}

void Home::CreateControls()
{
    StyledButton1.Wire = [this](button::StyledButton& tab) {
        const auto index = static_cast<int16_t>(tab.Index());
        tab.Click = [this, index] { StyledButton1_Click(index); };
    };
    for (int i = 0; i < 8; ++i)
        StyledButton1.Load(i, *this,
                           {.name = L"StyledButton1",
                            .left = 15 + 1670 * i,
                            .top = 90,
                            .width = kTabWidth,
                            .height = kTabHeight,
                            .tabIndex = i},
                           &TabDesign(i));
    static const forms::PropertyBag update{{L"Caption", L"在线升级"}, {L"Style", 8}};
    StyledButton2.Load(
        *this,
        {.name = L"StyledButton2", .left = 13375, .top = 90, .width = kButtonWidth, .height = kButtonHeight},
        &update);
    StyledButton2->Click = [this] { StyledButton2_Click(); };
    static const forms::PropertyBag logout{{L"Caption", L"注销登录"}, {L"Style", 8}};
    StyledButton3.Load(
        *this,
        {.name = L"StyledButton3", .left = 13375, .top = 600, .width = kButtonWidth, .height = kButtonHeight},
        &logout);
    StyledButton3->Click = [this] { StyledButton3_Click(); };

    Maininfo.Load(*this, {.name = L"Maininfo", .left = 15, .top = 1110, .width = 7000, .height = 210},
                  forms::LabelArgs{.backStyle = 0});
    MaininfoR.Load(*this, {.name = L"MaininfoR", .left = 7740, .top = 1110, .width = 7000, .height = 210},
                   forms::LabelArgs{.alignment = 1, .backStyle = 0, .foreColor = kDarkGreen});

    const forms::FrameArgs chartFrame{.borderStyle = 0, .backColor = 0xFFFFFF};
    Flashole1.Load(*this, {.name = L"Flashole1", .width = kColumnWidth, .height = 4500, .visible = false},
                   chartFrame);
    Flashweb1.Load(*Flashole1,
                   {.name = L"Flashweb1", .width = kColumnWidth, .height = 4500, .visible = false});
    Flashole2.Load(*this, {.name = L"Flashole2", .width = kColumnWidth / 2, .height = 4500, .visible = false},
                   chartFrame);
    Flashweb2.Load(*Flashole2,
                   {.name = L"Flashweb2", .width = kColumnWidth / 2, .height = 4500, .visible = false});
    const forms::Picture::Ref failed = forms::Picture::FromBytes(forms::LoadResData(IDR_FAILED_GIF));
    Flashfail1.Load(*Flashole1, {.name = L"Flashfail1", .visible = false},
                    forms::ImageArgs{.picture = failed});
    Flashfail2.Load(*Flashole2, {.name = L"Flashfail2", .visible = false},
                    forms::ImageArgs{.picture = failed});

    Ole1.Load(*this, {.name = L"Ole1", .width = kColumnWidth, .height = 1095, .visible = false},
              forms::PictureBoxArgs{.borderStyle = 0, .autoRedraw = true, .backColor = kPanelColor});
    Ole1->Resize = [this] { PaintSummaryPanel(); };
    const forms::Picture::Ref bullet = forms::Picture::FromBytes(forms::LoadResData(IDR_BULLET_GIF));
    const forms::Font::Ref valueFont = forms::Font::New(L"\u5B8B\u4F53", 12, true);
    for (int i = 0; i < kTiles; ++i) {
        const int left = kTileLefts[static_cast<size_t>(i % 4)], top = kTileTop + kTileRow * (i / 4);
        Ole1img.Load(i, *Ole1,
                     {.name = L"Ole1img", .left = left - 300, .top = top + 45, .width = 180, .height = 180},
                     forms::ImageArgs{.picture = bullet});
        Ole1Label.Load(i, *Ole1,
                       {.name = L"Ole1Label",
                        .left = left,
                        .top = top,
                        .width = kTileWidth,
                        .height = kTileCaptionHeight},
                       forms::LabelArgs{.backStyle = 0});
        Ole1Money.Load(i, *Ole1,
                       {.name = L"Ole1Money",
                        .left = left,
                        .top = top + kValueDrop,
                        .width = kTileWidth,
                        .height = kTileValueHeight},
                       forms::LabelArgs{.backStyle = 0, .foreColor = kValueColor, .font = valueFont});
    }

    CaptionL.Load(*this, {.name = L"CaptionL", .width = 9000, .height = 240, .visible = false},
                  forms::LabelArgs{
                      .alignment = 2, .backStyle = 0, .font = forms::Font::New(L"\u5B8B\u4F53", 10.5, true)});

    Ole2.Load(*this, {.name = L"Ole2", .width = kColumnWidth, .height = 735, .visible = false},
              forms::FrameArgs{.borderStyle = 0, .backColor = 0xFFFFFF});
    Combo1.Load(*Ole2, {.name = L"Combo1", .left = 1170, .top = 270, .width = 1410, .height = 300},
                forms::ComboBoxArgs{.style = forms::vbComboDropdownList});
    Combo2.Load(*Ole2, {.name = L"Combo2", .left = 3780, .top = 270, .width = 1320, .height = 300},
                forms::ComboBoxArgs{.style = forms::vbComboDropdownList});
    Combo5.Load(*Ole2, {.name = L"Combo5", .left = 12195, .top = 270, .width = 1095, .height = 300},
                forms::ComboBoxArgs{.style = forms::vbComboDropdownList});
    Combo5->AddItem(L"起息日期");
    Combo5->AddItem(L"到期日期");
    const struct {
        int index, left;
        const wchar_t* caption;
    } filterLabels[] = {{0, 180, L"平台筛选："},
                        {1, 2745, L"平台账号："},
                        {4, 5175, L"项目名称："},
                        {2, 7650, L"开始日期："},
                        {3, 9945, L"结束日期："}};
    for (const auto& label : filterLabels)
        Label1.Load(label.index, *Ole2,
                    {.name = L"Label1", .left = label.left, .top = 315, .width = 1050, .height = 240},
                    forms::LabelArgs{.caption = label.caption, .backStyle = 0});
    SXKey.Load(*Ole2, {.name = L"SXKey", .left = 6165, .top = 270, .width = 1320, .height = 300},
               forms::TextBoxArgs{.maxLength = 20});
    SXKey->GotFocus = [this] { SXKey_GotFocus(); };
    SXdateb.Load(*Ole2, {.name = L"SXdateb", .left = 8730, .top = 270, .width = 1140, .height = 300},
                 forms::TextBoxArgs{.locked = true});
    SXdateb->Click = [this] { SXdateb_Click(); };
    SXdateb->DblClick = [this] { SXdateb_DblClick(); };
    SXdatee.Load(*Ole2, {.name = L"SXdatee", .left = 10980, .top = 270, .width = 1140, .height = 300},
                 forms::TextBoxArgs{.locked = true});
    SXdatee->Click = [this] { SXdatee_Click(); };
    SXdatee->DblClick = [this] { SXdatee_DblClick(); };
    static const forms::PropertyBag filterButton{{L"Caption", L"筛选"}, {L"Style", 6}};
    StyledButton4.Load(
        *Ole2, {.name = L"StyledButton4", .left = 13365, .top = 180, .width = 825, .height = kButtonHeight},
        &filterButton);
    StyledButton4->Click = [this] { StyledButton4_Click(); };

    ole3.Load(*this, {.name = L"ole3", .width = kColumnWidth, .height = 690, .visible = false},
              forms::FrameArgs{.borderStyle = 0, .backColor = 0xFFFFFF});
    Addole.Load(*this, {.name = L"Addole", .width = kColumnWidth, .height = 6000, .visible = false},
                forms::PictureBoxArgs{.borderStyle = 0, .backColor = 0xFFFFFF});

    ListView.Load(*this, {.name = L"ListView", .width = kColumnWidth, .height = 3000, .visible = false});
    ListView->DblClick = [this](std::int32_t ItemIndex) { ListView_DblClick(ItemIndex); };

    Loadingole.Load(
        *this, {.name = L"Loadingole", .width = kLoadingWidth, .height = kLoadingHeight, .visible = false},
        forms::FrameArgs{.borderStyle = 0, .backColor = 0xFFFFFF});
    // Stretch mode 4: the picture's own size, so the control can be centred on it.
    static const forms::PropertyBag pictureSize{{L"Stretch", 4}};
    Loading.Load(*Loadingole,
                 {.name = L"Loading", .left = 1447, .width = 2250, .height = 1500, .tabStop = false},
                 &pictureSize);
    LoadingLabel.Load(*Loadingole,
                      {.name = L"LoadingLabel", .top = 1560, .width = kLoadingWidth, .height = 300},
                      forms::LabelArgs{.caption = L"请稍候，加载中...", .alignment = 2, .backStyle = 0});

    CreateDetailControls();
    CreateEntryControls();
    CreateCalendarControls();

    updateTimer.Load(*this, {.name = L"updateTimer"}, forms::TimerArgs{.interval = 5000, .enabled = false});
    updateTimer->Timer = [this] { updateTimer_Timer(); };
}

void Home::PaintSummaryPanel()
{
    // The panel's ground: its colour, framed by a thin rule above and below.
    forms::ResumeNext([&] {
        forms::Surface& g = Ole1->Graphics();
        g.Cls();
        const auto w = static_cast<float>(g.ScaleWidth()), bottom = static_cast<float>(g.ScaleHeight() - 1);
        g.Line(0, 0, w, 0, kPanelRule);
        g.Line(0, bottom, w, bottom, kPanelRule);
    });
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

void Home::ReLoad(const std::wstring& Reloadstr)
{
    session::Session& current = session::CurrentSession();
    const std::uint64_t generation = generation_;
    bool reported = false;
    // A failing step is reported once, then skipped: a snapshot short of a
    // section must not bring one message per missing piece.
    auto step = [&](auto&& run) {
        try {
            run();
        } catch (const forms::RuntimeError& e) {
            if (!reported) {
                reported = true;
                forms::MsgBox(e.Description() + L" Reload出错.", forms::vbCritical);
            }
        }
        return Alive(generation);
    };

    if (!Reloadstr.empty()) {
        current.LoginReply = Reloadstr;
    } else {
        const std::optional<session::LoginExchange> exchange = session::LoginWithBackup(
            protocol::ReloginRequest(current.AuthQuery), protocol::ReloginNeedsBackup,
            session::BackupSwitch::BeforeBackupRequest, [&] { return Alive(generation); });
        if (!exchange)
            return;  // logged out or closed while it waited: the reply is no longer wanted
        current.LoginReply = exchange->reply;
        if (protocol::ReloginRefused(current.LoginReply)) {
            forms::MsgBox(L"操作过程中产生通讯错误，请重新登录操作。", forms::vbInformation);
            if (Alive(generation))
                StyledButton3_Click();
            return;
        }
    }

    // Every section is replaced; one the snapshot does not hold is left empty.
    const protocol::AccountSnapshot snapshot(current.LoginReply);
    std::wstring* const sections[] = {nullptr,
                                      &current.MonthlySection,
                                      &current.CurrentPlatformSection,
                                      &current.FinishedPlatformSection,
                                      &current.PlatformListSection,
                                      &current.DueSoonSection};
    current.UserInfo = protocol::UserInfo();
    for (std::wstring* section : sections)
        if (section)
            section->clear();
    for (int i = 0; i < protocol::AccountSnapshot::kSectionCount; ++i) {
        const bool alive = step([&] {
            if (i == 0)
                current.UserInfo = snapshot.ReadUserInfo();
            else
                *sections[i] = snapshot.Section(i);
        });
        if (!alive)
            return;
    }

    if (!step([&] {
            if (current.UserInfo.NothingRecorded())
                MaininfoR->Caption(L"您还没有录入投资数据，请进行记账操作。");
            else if (current.DueSoonSection.empty())
                MaininfoR->Caption(L"最近30天没有待收项目，您可安心做甩手掌柜^_^!");
        }))
        return;

    bool serverFailed = false;
    if (!step([&] {
            serverFailed = forms::Len(current.UserInfo.Text(protocol::UserInfo::UserName)) > kLongestUserName;
        }))
        return;
    if (serverFailed) {
        forms::MsgBox(L"登录时服务器上发生错误，无法继续操作，请稍候再试或联系客服人员反馈问题，谢谢。",
                      forms::vbCritical, L"出错");
        if (Alive(generation))
            Unload();
        forms::End();
        return;
    }

    if (!step([&] {
            Combo1->Clear();
            Addptmc->Clear();
        }))
        return;
    if (current.PlatformListSection.find(L'|') == std::wstring::npos)
        return;
    current.ReplyRows = forms::Split(current.PlatformListSection, L"|");
    // Platforms into the filter's box (with an empty first entry, "any") and
    // the entry form's; then the accounts the same way. Thousands of names
    // take the boxes seconds: the windows answer between two runs of names,
    // and the fill stops when the window goes, another fill starts, or the
    // login's 取消登录 stops the window's opening.
    const std::uint64_t fill = ++fills_;
    bool filling = true;
    auto fillBoxes = [&](const std::wstring& names, forms::ComboBox& filter, forms::ComboBox& entry) {
        if (names.find(L',') != std::wstring::npos) {
            current.RowFields = forms::Split(names, L",");
            const std::vector<std::wstring> fields = current.RowFields;
            const std::span<const std::wstring> all(fields.data(), fields.size() - 1);
            for (size_t from = 0; from < all.size(); from += kNamesBetweenPumps) {
                const std::span<const std::wstring> run =
                    all.subspan(from, std::min(kNamesBetweenPumps, all.size() - from));
                filter.AddItems(run);
                entry.AddItems(run);
                if (from + run.size() < all.size()) {
                    forms::DoEvents();
                    filling = Alive(generation) && fills_ == fill && !session::MainWindowOpeningCancelled();
                    if (!filling)
                        return;
                }
            }
        }
        filter.AddItem(L"", 0);
    };
    if (!step([&] { fillBoxes(forms::At(current.ReplyRows, 0), *Combo1, *Addptmc); }) || !filling)
        return;
    step([&] {
        Combo2->Clear();
        Addptid->Clear();
        fillBoxes(forms::At(current.ReplyRows, 1), *Combo2, *Addptid);
    });
}

void Home::StyledButton3_Click()
{
    ActionBusy = false;
    session::CurrentSession().Reset(session::SessionReset::Logout);
    Unload();
    session::ShowLoginWindow();
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

void Home::LoadTlist(std::int32_t LoadNums)
{
    forms::ResumeNext([&] {
        int height = 3930;
        if (LoadNums <= 12)
            height = 2985;
        if (LoadNums <= 8)
            height = 2040;
        if (LoadNums <= 4)
            height = 1095;
        Ole1->Height(height);
    });
    for (int i = 0; i < kTiles; ++i)
        forms::ResumeNext([&] {
            const bool shown = i < LoadNums;
            Ole1img[i].Visible(shown);
            Ole1Label[i].Visible(shown);
            Ole1Money[i].Visible(shown);
        });
}

void Home::HideAll()
{
    Flashole1->Visible(false);
    Flashole2->Visible(false);
    Ole1->Visible(false);
    Ole2->Visible(false);
    ole3->Visible(false);
    CaptionL->Visible(false);
    ListView->Visible(false);
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

void Home::Form_Resize()
{
    // The pass never fails out of the resize event: whatever goes wrong in
    // it stays in it.
    forms::ResumeNext([&] { LayOut(); });
}

void Home::LayOut()
{
    session::Session& current = session::CurrentSession();
    if (!IsLoaded())
        return;
    const std::uint64_t generation = generation_;
    auto input = [&] {
        LayoutInput in;
        in.W = ScaleWidth();
        in.H = ScaleHeight();
        in.twipsPerPixelX = current.TwipsPerPixelX;
        in.twipsPerPixelY = current.TwipsPerPixelY;
        in.NowId = NowId;
        in.margin = current.LayoutMargin;
        in.currentProjects = LenientItem(protocol::UserInfo::CurrentProjectCount);
        in.finishedProjects = LenientItem(protocol::UserInfo::FinishedProjectCount);
        in.ChartItemCount = ChartItemCount;
        in.loadingVisible = Loadingole->Visible();
        in.buttonWidth = StyledButton3->Width();
        in.buttonHeight = StyledButton3->Height();
        in.maininfoHeight = Maininfo->Height();
        in.maininfoRWidth = MaininfoR->Width();
        in.summaryHeight = Ole1->Height();
        in.captionWidth = CaptionL->Width();
        in.captionHeight = CaptionL->Height();
        in.filterHeight = Ole2->Height();
        in.buttonBarHeight = ole3->Height();
        in.loadingWidth = Loadingole->Width();
        in.editButtonVisible = Doedit->Visible();
        return in;
    };
    LayoutInput in = input();
    Header h = LayOutHeader(in);
    current.ChartHeight = h.ChartHeight;
    PubLeft = h.PubLeft;
    PubWidth = h.PubWidth;
    for (int i = 0; i < 8; ++i)
        StyledButton1[i].Move(h.tabs[static_cast<size_t>(i)].left, h.tabs[static_cast<size_t>(i)].top);
    StyledButton2->Move(h.update.left, h.update.top);
    StyledButton3->Move(h.logout.left, h.logout.top);
    Maininfo->Move(h.maininfo.left, h.maininfo.top);
    MaininfoR->Move(h.maininfoR.left, h.maininfoR.top);
    PubTop = h.PubTop;
    if (h.loading)
        Loadingole->Move(h.loading->left, h.loading->top);

    if (LoadBe) {
        // The first pass after the load builds the overview.
        LoadBe = false;
        StyledButton1[0].Value(true);
        StyledButton1_Click(0);
        if (!Alive(generation))
            return;
        in = input();
        h = LayOutHeader(in);
    }

    const PageRegions r = LayOutPage(in, h);
    if (r.showOverviewRegions) {
        Flashole1->Visible(true);
        Ole1->Visible(true);
        ListView->Visible(true);
    }
    auto placeChart = [&](const std::optional<Rect>& place, const ChartSlot& slot) {
        if (!place)
            return;
        slot.frame->Move(place->left, place->top, place->width, place->height);
        PlaceChartContent(slot);
    };
    placeChart(r.chart1, Slot1());
    placeChart(r.chart2, Slot2());
    if (r.summary)
        Ole1->Move(r.summary->left, r.summary->top, r.summary->width);
    if (r.caption)
        CaptionL->Move(r.caption->left, r.caption->top);
    if (r.filter)
        Ole2->Move(r.filter->left, r.filter->top, r.filter->width);
    if (r.entry)
        Addole->Move(r.entry->left, r.entry->top, r.entry->width);
    if (r.buttonBar)
        ole3->Move(r.buttonBar->left, r.buttonBar->top, r.buttonBar->width);
    if (r.detailButtonLefts) {
        button::StyledButton* const bar[] = {&*Doedit, &*Doover, &*Dodel, &*Dobad, &*DoBack};
        for (size_t i = 0; i < 5; ++i)
            if (const std::optional<int> left = (*r.detailButtonLefts)[i])
                bar[i]->Move(*left, bar[i]->Top());
    }
    if (r.list)
        ListView->Move(r.list->left, r.list->top, r.list->width, r.list->height);
}

void Home::PageFailed()
{
    ShowLoading(2);
    ActionBusy = false;
    pageFailed_ = true;
}

void Home::StyledButton1_Click(std::int16_t Index)
{
    // A failed page is built again by a click on its own tab.
    if (Index == NowId && !pageFailed_)
        return;
    if (ActionBusy)
        return;
    const std::uint64_t generation = generation_;
    try {
        NowId = Index;
        Form_Resize();
        NowIDb = Index;
        if (Mdateole->Visible())
            Mdateole->Visible(false);
        ActionBusy = true;
        pageFailed_ = false;
        HideAll();
        Ole1Money[3].ForeColor(Ole1Money[2].ForeColor());
        NearestDueDays = kNoDueProject;
        if (session::CurrentSession().CurrentProjectId != -1)
            for (int i = StyledButton1.LBound(); i <= StyledButton1.UBound(); ++i)
                StyledButton1[i].Value(false);
        session::CurrentSession().CurrentProjectId = 0;
        ShowLoading(0);
        // HideAll leaves the entry form to its callers.
        Addole->Visible(false);

        if (Index == OverviewPage) {
            BuildOverview();
        } else if (Index == EntryPage) {
            ShowBlankForm();
        } else if (Index <= YearlyReportPage) {
            switch (BuildHomePage(*this, Index)) {
            case PageEnd::Completed:
                break;
            case PageEnd::RequestFailed:
                PageFailed();
                return;
            case PageEnd::Abandoned:
                // The window went while the page let messages through.
                ActionBusy = false;
                return;
            }
        }
        if (!Alive(generation) || pageFailed_)
            return;
        Form_Resize();
        ActionBusy = false;
    } catch (const forms::RuntimeError& e) {
        if (!Alive(generation)) {
            ActionBusy = false;
            return;
        }
        pageFailed_ = true;
        ShowLoading(2);
        forms::MsgBox(e.Description(), forms::vbCritical, L"出错");
        ActionBusy = false;
    }
}

void Home::BuildOverview()
{
    session::Session& current = session::CurrentSession();
    const protocol::UserInfo& info = current.UserInfo;
    ChartLabelAngle = 0;
    PageChartXml1 = OverviewChartXml(info, [] { return RandomColor(false); });
    ShowFlash1(PubLeft, PubTop, PubWidth, current.ChartHeight, PageChartXml1, 0);
    LoadTlist(12);
    CaptionL->Caption(L"最近30天待收列表");
    CaptionL->Visible(true);
    for (int i = 0; i < kOverviewLines; ++i) {
        Ole1Label[i].Caption(OverviewCaption(i));
        Ole1Money[i].Caption(OverviewValue(info, i));
    }
    Ole1->Visible(true);

    current.ReplyRows = forms::Split(current.DueSoonSection, L"|");
    ShowListView(ProjectList);
    ListView->Redraw(false);
    HomeList list(*ListView);
    const double today = forms::Today();
    for (size_t i = 0; i + 1 < current.ReplyRows.size(); ++i) {
        current.RowFields = forms::Split(current.ReplyRows[i], L",");
        const protocol::ProjectRow row(current.ReplyRows[i]);
        AddProjectListRow(list, row, static_cast<int>(i), DueColumn::DaysLeft, today);
        if (NearestDueDays == kNoDueProject)
            NearestDueDays = forms::ToInt32(DaysToDue(row, today));
    }
    ListView->Redraw(true);
    ListView->Visible(true);

    const Reminder reminder = ReminderLine(NearestDueDays);
    MaininfoR->Caption(reminder.caption);
    MaininfoR->ForeColor(reminder.color);
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
