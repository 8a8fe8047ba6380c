// The updater's window: its controls, its loading and closing, and the
// wizard's pages and buttons; its steps are in OnlineDescriptor.cpp,
// OnlineDownloads.cpp and OnlineMoves.cpp.
#include "updater/Online.h"

#include "forms/App.h"
#include "forms/Files.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Shell.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "session/ServiceAddress.h"
#include "updater/GetRnd.h"
#include "updater/OnlineTexts.h"
#include "updater/VersionResource.h"
#include "updater/WizardPicture.h"

#include <windows.h>

namespace quill::updater {
namespace {

constexpr int Twips = 15;  // the window's design: 15 twips per pixel

const wchar_t AppName[] = L"Quillmoor";
const wchar_t WelcomeText[] = L"　　本程序将更新您机器上的%APPNAME%升级到最新版本."
                              L"将要开始进行升级，请注意关闭正在运行的%APPNAME%，并确认网络畅通．";
const wchar_t ConnectingText[] = L"请等待，正在连接中...";
const wchar_t QuitQuestion[] = L"还未完成更新,确定的要退出在线更新程序吗?";

forms::ControlArgs Layout(const wchar_t* name, int left, int top, int width, int height, bool visible = true)
{
    return {.name = name,
            .left = left * Twips,
            .top = top * Twips,
            .width = width * Twips,
            .height = height * Twips,
            .visible = visible};
}

forms::Font::Ref SongTi(bool bold)
{
    forms::Font::Ref font = forms::Font::New(L"宋体", 10.5, bold);
    font->Charset(GB2312_CHARSET);
    return font;
}

}  // namespace

// The archive routine's rows and messages, in this window.
class Online::ListRows : public RarWindow {
public:
    explicit ListRows(Online& w) : w_(w) {}
    void AddRow(const std::wstring& text) override { w_.List1->AddItem(text); }
    void AppendToLastRow(const std::wstring& text) override
    {
        const std::int32_t last = w_.List1->ListCount() - 1;
        if (last >= 0)
            w_.List1->List(last, w_.List1->List(last) + text);
    }
    void ShowMessage(const std::wstring& text, Icon icon, const std::wstring& title) override
    {
        w_.Ask(text, icon == Icon::Information ? forms::vbInformation : forms::vbExclamation, title);
    }
    void Repaint() override
    {
        if (w_.hWnd())
            RedrawWindow(w_.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }

private:
    Online& w_;
};

namespace {

OnlineSetup Completed(OnlineSetup setup)
{
    if (setup.programFolder.empty())
        setup.programFolder = forms::App::Path();
    if (setup.updateBaseUrl.empty())
        setup.updateBaseUrl = session::ServicePrimaryBaseUrl();
    if (setup.homePage.empty())
        setup.homePage = session::SiteOf(setup.updateBaseUrl);
    return setup;
}

}  // namespace

Online::Online(OnlineSetup setup)
    : Form({.caption = L" - 在线升级程序",
            .clientWidth = 391 * Twips,
            .clientHeight = 289 * Twips,
            .startUpPosition = forms::vbStartUpScreen,
            .borderStyle = forms::vbFixedSingle,
            .maxButton = false}),
      setup_(Completed(std::move(setup))), unrar_(setup_.programFolder)
{
}

Online::~Online() = default;

template <class Handler>
void Online::Run(Handler&& handler)
{
    try {
        handler();
    } catch (const ProgramEnded&) {
        // The program has ended (only tests get here: End returns for them).
    }
}

// ---------------------------------------------------------------------------
// Layout

void Online::CreateControls()
{
    const forms::FrameArgs page{.borderStyle = 0, .backColor = 0x80000005, .foreColor = 0x80000008};
    const forms::LabelArgs pageLabel{.backStyle = 0, .foreColor = 0x80000008};
    forms::LabelArgs bold = pageLabel;
    bold.font = SongTi(true);
    forms::LabelArgs plain = pageLabel;
    plain.font = SongTi(false);

    Frame1.Load(*this, Layout(L"Frame1", 0, 0, 385, 250), forms::FrameArgs{.borderStyle = 0});
    Image1.Load(*Frame1, Layout(L"Image1", 3, 9, 131, 237),
                forms::ImageArgs{.picture = WizardPicture(131, 237)});
    whitebl.Load(*Frame1, Layout(L"whitebl", 132, 9, 250, 238), forms::LabelArgs{.backColor = 0xFFFFFF});

    // Front to back: Frame4, Frame3, Frame2. The pages come before the
    // controls on them: a window ends its controls in the reverse order of
    // their holders, so each page outlives what stands on it.
    // The welcome page reaches to the white strip's edges: its bold title
    // takes 247 pixels in the Song face.
    Frame2.Load(*Frame1, Layout(L"Frame2", 134, 9, 248, 238), page);
    Frame3.Load(*Frame1, Layout(L"Frame3", 141, 12, 241, 235, false), page);
    Frame4.Load(*Frame1, Layout(L"Frame4", 141, 12, 241, 235, false), page);
    Frame4->ZOrder(0);

    forms::LabelArgs title = bold;
    title.autoSize = true;
    Label1.Load(0, *Frame2, Layout(L"Label1", 0, 9, 0, 0), title);
    Label1.Load(1, *Frame2, Layout(L"Label1", 13, 42, 226, 67), plain);
    Label1[1].Caption(WelcomeText);

    Label1.Load(3, *Frame3, Layout(L"Label1", 3, 9, 235, 16), bold);
    Label1[3].Caption(L"正在下载并分析升级信息...");
    Label1.Load(9, *Frame3, Layout(L"Label1", 3, 36, 226, 28), pageLabel);
    Label1[9].Caption(L"根据您的网络速度不同，这个过程将持续一段时间，请耐心等候．");
    Waitlab.Load(*Frame3, Layout(L"Waitlab", 3, 96, 235, 13),
                 forms::LabelArgs{.caption = L"--", .backColor = 0xFFFFFF});
    Label1.Load(4, *Frame3, Layout(L"Label1", 12, 192, 226, 37), pageLabel);
    Label1[4].Caption(ConnectingText);
    Timer1.Load(*Frame3, forms::ControlArgs{.name = L"Timer1"},
                forms::TimerArgs{.interval = 250, .enabled = false});
    Timer1->Timer = [this] { Run([&] { Timer1_Timer(); }); };

    Label1.Load(6, *Frame4, Layout(L"Label1", 3, 9, 235, 16), bold);
    Label1[6].Caption(L"开始下载更新文件...");
    Label1.Load(5, *Frame4, Layout(L"Label1", 3, 30, 226, 19), pageLabel);
    Label1[5].Caption(L"-");
    // Each list ends where the next begins: a list drawn over its neighbour
    // would hide the first character of that one's rows. The sizes' list
    // holds a size's longest text ("9999.9 KB") beside its scroll bar.
    List1.Load(*Frame4, Layout(L"List1", 3, 45, 99, 146));
    List2.Load(*Frame4, Layout(L"List2", 102, 45, 78, 146));
    List3.Load(*Frame4, Layout(L"List3", 180, 45, 58, 146));
    for (forms::ListBox* list : {List1.get(), List2.get(), List3.get()})
        list->MouseDown = [this, list](forms::MouseArgs&) { Run([&] { List_MouseDown(*list); }); };
    Label1.Load(7, *Frame4, Layout(L"Label1", 0, 195, 235, 13), pageLabel);
    Label1[7].Caption(L"全部完成量:");
    static const forms::PropertyBag down1{{L"Color", 0xFF00}, {L"ShowText", true}};
    Down1.Load(*Frame4, Layout(L"Down1", 3, 210, 235, 22), &down1);

    OutTi.Load(*this, forms::ControlArgs{.name = L"OutTi"},
               forms::TimerArgs{.interval = 10000, .enabled = false});
    OutTi->Timer = [this] { Run([&] { OutTi_Timer(); }); };
    Verlabel.Load(*this, Layout(L"Verlabel", 6, 255, 240, 13), forms::LabelArgs{.backStyle = 0});
    NewVer.Load(*this, Layout(L"NewVer", 6, 270, 240, 13), forms::LabelArgs{.backStyle = 0});

    const auto verdana = forms::Font::New(L"Verdana", 8.25);
    const forms::PropertyBag wizard{{L"Style", 10}, {L"Caption", L"下一步"}, {L"Font", verdana}};
    StyledButton2.Load(*this, Layout(L"StyledButton2", 249, 255, 64, 28), &wizard);
    StyledButton2->Click = [this] { Run([&] { StyledButton2_Click(); }); };
    const forms::PropertyBag quit{{L"Style", 10}, {L"Caption", L"退出"}, {L"Font", verdana}};
    StyledButton1.Load(*this, Layout(L"StyledButton1", 318, 255, 64, 28), &quit);
    StyledButton1->Click = [this] { Run([&] { StyledButton1_Click(); }); };
}

LRESULT Online::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // While a rollback runs (its steps let messages through), the window
    // cannot be closed; a session ending then leaves the rest to the
    // journal, which the next start takes back.
    if (rollingBack_ && (msg == WM_CLOSE || msg == WM_ENDSESSION))
        return 0;
    // The Windows session ends: the process goes when this returns, so moves
    // under way are taken back now rather than left half made.
    if (msg == WM_ENDSESSION && wp && moves_) {
        TakeBackMoves();
        ended_ = true;
        forms::End();
        return 0;
    }
    return Form::WndProc(msg, wp, lp);
}

// ---------------------------------------------------------------------------
// Load, version, close

void Online::Form_Load()
{
    forms::ResumeNext([&] { Caption(std::wstring(AppName) + Caption() + L"\t"); });
    forms::ResumeNext([&] { Label1[0].Caption(std::wstring(L"欢迎使用 ") + AppName + L" 在线升级程序!"); });
    forms::ResumeNext([&] { Label1[1].Caption(forms::Replace(Label1[1].Caption(), L"%APPNAME%", AppName)); });
    CacheFolder = setup_.programFolder + L"\\update\\";
    if (!IsFolder(CacheFolder))
        CreateDirectoryW((setup_.programFolder + L"\\update").c_str(), nullptr);
    // The files of a run that ended in the middle of its moves come back
    // before anything reads them (the main program's version first).
    const bool recovered = FinishEarlierMoves();
    EndRecoveryPage();
    if (!recovered) {
        MainStop = true;
        FinishClose();
        return;
    }
    Getver();
    if (CurrentVersion.empty()) {
        Ask(L"不能取得当前程序版本号，程序退出执行", forms::vbCritical, ProgramTitle);
        MainStop = true;
        FinishClose();
        return;
    }
    Verlabel->Caption(L"当前版本：" + CurrentVersion);
}

void Online::Getver()
{
    FullFileName = setup_.programFolder + L"\\" + MainProgram;
    CurrentVersion.clear();
    const auto words = ReadFileVersionWords(FullFileName);
    if (!words)
        return;
    StrucVer = words->StrucVer;
    FileVer = words->FileVer;
    ProdVer = words->ProdVer;
    CurrentVersion = words->CurrentVersion;
}

void Online::Form_Unload(std::int16_t& Cancel)
{
    if (!MainStop) {
        if (!AskToQuit()) {
            Cancel = 1;
            return;
        }
        MainStop = true;
    }
    FinishClose();
}

// The quit question; the automatic start waits while it is open, so the
// download cannot begin under it.
bool Online::AskToQuit()
{
    const bool autoStart = OutTi && OutTi->Enabled();
    if (autoStart)
        OutTi->Enabled(false);
    const bool quit = Ask(QuitQuestion, forms::vbQuestion | forms::vbYesNo, L"退出") == forms::vbYes;
    if (!quit && autoStart && OutTi)
        OutTi->Enabled(true);
    return quit;
}

void Online::FinishClose()
{
    // A close confirmed in the middle of the moves leaves none of them made.
    TellTakenBack(TakeBackMoves());
    forms::ResumeNext([&] {
        if (forms::FileExists(DescriptorPath()))
            forms::Kill(DescriptorPath());
    });
    ended_ = true;
    forms::End();
}

void Online::CheckEnded() const
{
    if (ended_)
        throw ProgramEnded{};
}

void Online::EndAtOnce()
{
    ended_ = true;
    forms::End();
    throw ProgramEnded{};
}

bool Online::CloseWindow()
{
    if (!Unload() && !ended_)
        return false;
    ended_ = true;
    throw ProgramEnded{};
}

std::int32_t Online::Ask(const std::wstring& prompt, std::int32_t buttons, const std::wstring& title)
{
    const std::int32_t answer = forms::MsgBox(prompt, buttons, title);
    CheckEnded();
    return answer;
}

// ---------------------------------------------------------------------------
// The wizard

void Online::StyledButton2_Click()
{
    const std::wstring caption = StyledButton2->Caption();
    if (caption == L"上一步") {
        BackToWelcome();
    } else if (caption == L"下一步") {
        try {
            Connect();
        } catch (const forms::RuntimeError& e) {
            Timer1->Enabled(false);
            Ask(std::to_wstring(e.Number()) + e.Description(), forms::vbInformation, L"出错");
            if (!CloseWindow())
                BackToWelcome();
        } catch (const DescriptorUnreadable&) {
            BackToWelcome();
        }
    } else if (caption == L"开始下载") {
        StartDownload();
    }
}

void Online::BackToWelcome()
{
    Timer1->Enabled(false);
    OutTi->Enabled(false);
    Waitlab->Caption(L"");
    Frame4->Visible(false);
    Frame3->Visible(false);
    Frame2->Visible(true);
    StyledButton2->Caption(L"下一步");
    StyledButton2->Enabled(true);
    Label1[4].Caption(ConnectingText);
    StarCount = 0;
}

void Online::StartDownload()
{
    OutTi->Enabled(false);
    Frame3->Visible(false);
    Frame4->Visible(true);
    StyledButton2->Visible(false);
    GetNext();
}

void Online::OutTi_Timer()
{
    ++InTime;
    if (InTime >= 1) {
        OutTi->Enabled(false);
        StyledButton2_Click();
    }
}

void Online::Timer1_Timer()
{
    if (StarCount >= 30)
        StarCount = 0;
    ++StarCount;
    Waitlab->Caption(std::wstring(static_cast<std::size_t>(StarCount), L'*'));
}

void Online::List_MouseDown(forms::ListBox& pressed)
{
    const std::int32_t index = pressed.ListIndex();
    if (index < 0)
        return;
    for (forms::ListBox* list : {List1.get(), List2.get(), List3.get()})
        if (list != &pressed)
            list->ListIndex(index);
}

void Online::StyledButton1_Click()
{
    const std::wstring caption = StyledButton1->Caption();
    if (caption == L"退出") {
        if (AskToQuit()) {
            MainStop = true;
            CloseWindow();
        }
    } else if (caption == L"完成") {
        if (Ask(L"更新完成，是否现在启动程序?", forms::vbQuestion | forms::vbYesNo, L"启动") == forms::vbYes)
            forms::ShellExecuteA(hWnd(), L"", setup_.programFolder + L"\\" + MainProgram, L"", L"",
                                 SW_SHOWNORMAL);
        CloseWindow();
    } else {
        CloseWindow();
    }
}

// ---------------------------------------------------------------------------
// The archive routine and the random numbers

std::int16_t Online::GetRnd(std::int16_t Rnds)
{
    return updater::GetRnd(Rnds);
}

void Online::ExtractRar(std::int32_t& mode, std::wstring& archive, std::wstring& destination,
                        std::wstring& password)
{
    ListRows rows(*this);
    try {
        updater::ExtractRar(
            mode, archive, destination, password,
            [this]() -> const UnrarEntryPoints& { return unrar_.EntryPoints(); }, rows);
    } catch (const ProgramEnded&) {
        throw;
    } catch (const std::exception&) {
        // The routine raises nothing to its caller.
    }
}

}  // namespace quill::updater
