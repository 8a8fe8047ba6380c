// The main window's design: its title, the controls it makes on every load
// (tabs, buttons, greeting and status line, chart frames, the summary panel
// and its tiles, the filter, the list and the loading panel), and the
// summary panel's ground and tiles shown.
#include "workspace/Home.h"

#include "forms/App.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "forms/Resources.h"
#include "resources/resource_ids.h"
#include "session/ServiceAddress.h"

#include <windows.h>

#include <array>

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
        Ole1Money.Load(
            i, *Ole1,
            {.name = L"Ole1Money",
             .left = left,
             .top = top + kValueDrop,
             .width = kTileWidth,
             .height = kTileValueHeight},
            // A value is one line of its tile: a name at its longest
            // is cut there, not wrapped over the tile below.
            forms::LabelArgs{.backStyle = 0, .foreColor = kValueColor, .font = valueFont, .oneLine = true});
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

}  // namespace quill::workspace
