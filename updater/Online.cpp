#include "updater/Online.h"

#include "forms/App.h"
#include "forms/Automation.h"
#include "forms/Files.h"
#include "forms/HttpTransfer.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Shell.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "session/ServiceAddress.h"
#include "session/WholeReply.h"
#include "updater/FileList.h"
#include "updater/GetRnd.h"
#include "updater/ProgramProcesses.h"
#include "updater/UpdateDescriptor.h"
#include "updater/VersionResource.h"
#include "updater/WizardPicture.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <set>

namespace quill::updater {
namespace {

constexpr int Twips = 15;  // the window's design: 15 twips per pixel
constexpr std::int64_t DownloadLimitMs = 300 * 1000;
// A transfer that receives nothing for this long is taken for a dead connection.
constexpr std::int64_t StallLimitMs = 30 * 1000;

const wchar_t AppName[] = L"Quillmoor";
const wchar_t ProgramTitle[] = L"在线更新";
const wchar_t MainProgram[] = L"tallivo.exe";
const wchar_t WelcomeText[] = L"　　本程序将更新您机器上的%APPNAME%升级到最新版本."
                              L"将要开始进行升级，请注意关闭正在运行的%APPNAME%，并确认网络畅通．";
const wchar_t ConnectingText[] = L"请等待，正在连接中...";
const wchar_t QuitQuestion[] = L"还未完成更新,确定的要退出在线更新程序吗?";
const wchar_t ConnectQuestion[] =
    L"连接超时或网络故障，要重试吗?\r\n如果一直出现本提示,请检查网络连接,或过段时间再试.";
const wchar_t DescriptorFailed[] = L"下载更新信息失败，请确定网络是否畅通，重试请返回上一步．";
const wchar_t DescriptorInvalid[] = L"服务器上的升级信息无效，请过段时间再试，重试请返回上一步．";
const wchar_t SetDownFailed[] = L"SetDown发生意外错误，请重新执行安装程序或访问程序官方网站！";
const wchar_t GetNextFailed[] =
    L"GetNext发生意外错误，升级失败，请重新安装程序或访问官方网站手动下载新版本！";

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
    Frame2.Load(*Frame1, Layout(L"Frame2", 138, 9, 241, 238), page);
    Frame3.Load(*Frame1, Layout(L"Frame3", 141, 12, 241, 235, false), page);
    Frame4.Load(*Frame1, Layout(L"Frame4", 141, 12, 241, 235, false), page);
    Frame4->ZOrder(0);

    Label1.Load(0, *Frame2, Layout(L"Label1", 0, 9, 241, 16), bold);
    Label1.Load(1, *Frame2, Layout(L"Label1", 9, 42, 226, 67), plain);
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
    // would hide the first character of that one's rows.
    List1.Load(*Frame4, Layout(L"List1", 3, 45, 105, 146));
    List2.Load(*Frame4, Layout(L"List2", 108, 45, 72, 146));
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
    MoveJournal::Recover(BackupFolder());
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
    TakeBackMoves();
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

void Online::Connect()
{
    // A retry starts the step again from here rather than inside itself.
    while (true) {
        StyledButton2->Enabled(false);
        Frame2->Visible(false);
        Frame3->Visible(true);
        Timer1->Enabled(true);
        const std::wstring descriptor = DescriptorPath();
        if (forms::FileExists(descriptor))
            forms::Kill(descriptor);
        const std::wstring url = setup_.updateBaseUrl + L"update/update.txt";
        const Fetched fetched = Fetch(url, descriptor, std::nullopt);
        DescriptorText.clear();
        // A reply came, but no descriptor the service could have meant:
        // empty, too long, or no code-page text.
        bool invalid = fetched == Fetched::Oversized;
        if (fetched == Fetched::Saved) {
            DelCache(url);
            if (forms::FileExists(descriptor)) {
                const forms::Bytes bytes = forms::ReadFileBytes(descriptor);
                const auto text = updater::DescriptorText(
                    std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
                invalid = !text;
                DescriptorText = text.value_or(L"");
            }
        }
        // No reply, or none that stayed: the network is the likely cause.
        if (!invalid && DescriptorText.empty()) {
            OutTi->Enabled(false);
            InTime = 0;
            if (Ask(ConnectQuestion, forms::vbQuestion | forms::vbYesNo, L"超时") == forms::vbYes)
                continue;
            EndAtOnce();
        }
        Timer1->Enabled(false);
        Waitlab->Caption(L"");
        if (!invalid && HasUpdateMarkers(DescriptorText)) {
            SetDown();
            Sleep(200);
            StyledButton2->Caption(L"开始下载");
            Label1[5].Caption(L"单击开始下载进行更新(10秒后自动执行).");
            Frame4->Visible(true);
            Frame4->ZOrder(0);
            StyledButton2->Enabled(true);
            OutTi->Enabled(true);
        } else {
            Label1[4].Caption(invalid ? DescriptorInvalid : DescriptorFailed);
            StyledButton2->Caption(L"上一步");
            StyledButton2->Enabled(true);
        }
        return;
    }
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
// Descriptor and file list

std::wstring Online::DescriptorPath() const
{
    return CacheFolder + L"\\update.ini";
}

std::wstring Online::Getini(const std::wstring& section, const std::wstring& key)
{
    const std::wstring path = DescriptorPath();
    if (!forms::FileExists(path)) {
        Ask(L"发生错误!", forms::vbCritical, L"出错");
        CloseWindow();
        // Kept open: the list cannot be made from a value that is not there.
        throw DescriptorUnreadable{};
    }
    if (!descriptorSection_ || !forms::TextEquals(descriptorSection_->first, section)) {
        const forms::Bytes bytes = ReadDescriptor(path);
        const std::size_t size = std::min(bytes.size(), DescriptorByteLimit);
        const auto text =
            updater::DescriptorText(std::string_view(reinterpret_cast<const char*>(bytes.data()), size));
        descriptorSection_.emplace(section, ProfileSection(text.value_or(L""), section));
    }
    return descriptorSection_->second.Value(key);
}

forms::Bytes Online::ReadDescriptor(const std::wstring& path)
{
    return forms::ReadFileBytes(path);
}

std::wstring Online::TargetOf(const UpdatePath& path) const
{
    return setup_.programFolder + L"\\" + path.WindowsPath();
}

// A path from the network is written only where it can touch nothing but
// its own file: its target inside the program folder but not in the cache
// folder (where it would be another entry's download, or that download would
// be it), and its download inside the cache folder but not among the backups.
bool Online::MayWrite(const UpdatePath& path) const
{
    const std::wstring target = TargetOf(path);
    const std::wstring cached = CacheFolder + path.WindowsPath();
    return IsWithinFolder(target, setup_.programFolder) && !IsWithinFolder(target, CacheFolder) &&
           IsWithinFolder(cached, CacheFolder) && !IsWithinFolder(cached, BackupFolder());
}

void Online::SetDown()
{
    // Read once for the whole list, and again for the next descriptor.
    descriptorSection_.reset();
    struct Forget {
        std::optional<std::pair<std::wstring, ProfileSection>>& section;
        ~Forget() { section.reset(); }
    } forget{descriptorSection_};
    try {
        List1->Clear();
        List2->Clear();
        List3->Clear();
        rows_.clear();
        const std::wstring newest = Getini(L"update", L"newver");
        NewVer->Caption(L"最新版本：" + newest);
        if (IsUpToDate(CurrentVersion, newest)) {
            Ask(L"您的程序已经是最新版本了,不需要进行更新.", forms::vbInformation, L"最新版本");
            MainStop = true;
            CloseWindow();
            return;
        }
        const std::wstring count = Getini(L"update", L"checkfile");
        if (!PromisesEntries(count)) {
            if (Ask(L"没有找到与当前程序版本相关更新信息,是否去官方网站查看最新版本?",
                    forms::vbInformation | forms::vbYesNo, L"版本") == forms::vbYes)
                OpenHomePage();
            MainStop = true;
            CloseWindow();
            return;
        }
        const int entries = EntryCount(count);
        std::set<std::wstring> listed;
        for (int i = 1; i <= entries; ++i) {
            Inid = static_cast<std::int16_t>(i);
            const DescriptorEntry entry = SplitEntry(Getini(L"update", L"file" + std::to_wstring(i)));
            const double size = ListedSize(entry.sizeText);
            // A path from the network is written only when it stays a plain
            // path inside the program folder.
            std::optional<UpdatePath> path = UpdatePath::Parse(entry.path);
            if (path && !MayWrite(*path))
                path.reset();
            if (path) {
                if (!listed.insert(path->SameFileKey()).second)
                    continue;
                const std::wstring target = TargetOf(*path);
                if (forms::FileExists(target) && static_cast<double>(forms::FileLen(target)) == size)
                    continue;
            }
            List1->AddItem(entry.path);
            List2->AddItem(SizeInKb(size));
            List3->AddItem(path ? L"-" : L"错误");
            rows_.push_back({path, size});
        }
        if (List1->ListCount() == 0) {
            Ask(L"意外没有找到可用的更新，请稍候再试或者到网站下载最新版本进行安装.", forms::vbInformation,
                ProgramTitle);
            OpenHomePage();
            MainStop = true;
            CloseWindow();
            return;
        }
        forms::Kill(DescriptorPath());
    } catch (const forms::RuntimeError& e) {
        Ask(e.Description() + L"\r\n" + SetDownFailed, forms::vbCritical, L"出错");
        OpenHomePage();
        MainStop = true;
        CloseWindow();
    }
}

void Online::OpenHomePage()
{
    forms::ResumeNext([&] { forms::ShellExecuteA(hWnd(), L"", setup_.homePage, L"", L"", SW_SHOWNORMAL); });
}

// ---------------------------------------------------------------------------
// Download and move into place

void Online::GetNext()
{
    try {
        RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const int rows = List1->ListCount();
        for (int i = 0; i < rows; ++i) {
            Inid = static_cast<std::int16_t>(i);
            if (!DownloadRow(i))
                return;
        }
        Label1[5].Caption(L"全部下载完成，正在更新文件...");
        if (!MoveRows())
            return;
        Label1[6].Caption(L"更新完成");
        Label1[5].Caption(L"恭喜,全部文件更新成功！");
        StyledButton1->Caption(L"完成");
        MainStop = true;
        forms::DoEvents();
        CheckEnded();
    } catch (const forms::RuntimeError& e) {
        TakeBackMoves();
        Ask(e.Description() + L"\r\n" + GetNextFailed, forms::vbCritical, L"出错");
        MainStop = true;
        CloseWindow();
    }
}

bool Online::DownloadRow(int row)
{
    const Row& entry = rows_.at(static_cast<std::size_t>(row));
    const int rows = List1->ListCount();
    if (!entry.path) {
        // No retry can help a name that may not be written.
        List3->List(row, L"错误");
        Ask(L"更新信息中的文件名[" + List1->List(row) + L"]无效，重试也无法下载。\r\n" + GetNextFailed,
            forms::vbCritical, L"出错");
        MainStop = true;
        CloseWindow();
        return false;
    }
    // A retry asks again from the top of this loop, not from inside itself.
    while (true) {
        List3->List(row, L"正在下载");
        const std::wstring cached = CacheFolder + entry.path->WindowsPath();
        if (entry.path->Components().size() > 1)
            CreatePath(cached);
        const std::wstring url = setup_.updateBaseUrl + L"update/" + entry.path->UrlPath();
        if (DownHttpFile(url, cached, entry.size)) {
            DelCache(url);
            List3->List(row, L"完成");
            Down1->Value(ProgressValue(row + 1, rows));
            return true;
        }
        List3->List(row, L"错误");
        if (Ask(L"更新文件下载失败,是否重试?", forms::vbQuestion | forms::vbYesNo, L"失败") == forms::vbYes)
            continue;
        Ask(L"\r\n" + std::wstring(GetNextFailed), forms::vbCritical, L"出错");
        MainStop = true;
        CloseWindow();
        return false;
    }
}

std::wstring Online::BackupFolder() const
{
    return CacheFolder + L"~backup";
}

void Online::TakeBackMoves()
{
    if (moves_) {
        moves_->Rollback();
        moves_.reset();
    }
}

bool Online::MoveRows()
{
    moves_.emplace(BackupFolder());
    const int rows = List1->ListCount();
    for (int i = 0; i < rows; ++i) {
        Inid = static_cast<std::int16_t>(i);
        const Row& row = rows_.at(static_cast<std::size_t>(i));
        const UpdatePath& path = *row.path;
        const std::wstring cached = CacheFolder + path.WindowsPath();
        // Only the bytes downloaded for this entry may be installed.
        if (!forms::FileExists(cached) || static_cast<double>(forms::FileLen(cached)) != row.size) {
            List3->List(i, L"错误");
            throw forms::RuntimeError(forms::kDeviceIoError,
                                      L"更新文件[" + List1->List(i) + L"]与更新信息不符");
        }
        std::wstring target = TargetOf(path);
        while (!MoveFile(cached, target)) {
            const std::wstring question =
                L"移动文件[" + List1->List(i) + L"]时出错:" + L",请确认相关文件和程序未被打开或运行。" +
                L"\r\n" +
                L"是否重试？重试将尝试退出正在运行的程序。选择否将可能导致文件更新不一致，造成意外错误。";
            if (Ask(question, forms::vbQuestion | forms::vbYesNo, ProgramTitle) == forms::vbYes) {
                KillProcessByName(MainProgram);
                continue;
            }
            // Declined: the program folder goes back to how it was.
            TakeBackMoves();
            MainStop = true;
            CloseWindow();
            return false;
        }
    }
    moves_->Commit();
    moves_.reset();
    return true;
}

bool Online::DownHttpFile(const std::wstring& DownUrlPath, const std::wstring& SavePath,
                          std::optional<double> listedSize)
{
    return Fetch(DownUrlPath, SavePath, listedSize) == Fetched::Saved;
}

Online::Fetched Online::Fetch(const std::wstring& url, const std::wstring& savePath,
                              std::optional<double> listedSize)
{
    // A copy the system kept of an earlier reply must not answer for the service.
    DelCache(url);
    forms::ObjectRef stream;
    try {
        stream = forms::CreateObject(L"ADODB.Stream");
    } catch (const std::exception&) {
        return Fetched::Failed;
    }
    forms::HttpTransfer transfer([] { return forms::CreateObject(L"MSXML2.XMLHTTP"); },
                                 {L"Get", url, {}, std::nullopt}, StallLimitMs);
    if (transfer.Wait(DownloadLimitMs, [this] { return ended_; }) != forms::TransferWait::Done) {
        CheckEnded();
        return Fetched::Failed;
    }
    const forms::HttpReply& got = transfer.Reply();
    if (!got.complete || got.status != 200)
        return Fetched::Failed;  // an error page is no file
    const forms::Bytes& body = got.body;
    // A reply cut by a reset or by a connection closed early is no reply:
    // the request object completes with what came.
    if (!session::MatchesItsLength(got.contentLength, got.contentEncoding, body.size()))
        return Fetched::Failed;
    if (listedSize && static_cast<double>(body.size()) != *listedSize)
        return Fetched::Failed;
    if (!listedSize && body.size() > DescriptorByteLimit)
        return Fetched::Oversized;
    // Writing is local: a failure here is reported as what it is.
    stream->Put(L"Type", std::int32_t(1));
    stream->Put(L"Mode", std::int32_t(3));
    stream->Call(L"Open");
    stream->Call(L"Write", {body});
    stream->Call(L"SaveToFile", {savePath, std::int32_t(2)});
    stream->Call(L"Close");
    return Fetched::Saved;
}

void Online::DelCache(const std::wstring& Delin)
{
    if (Delin.find(L":\\") != std::wstring::npos)
        return;
    forms::ResumeNext([&] { DeleteUrlCacheEntryA(forms::TextToAnsi(Delin).c_str()); });
}

bool Online::MoveFile(std::wstring Mfsource, std::wstring& Mftargth)
{
    Mfsource = forms::Replace(Mfsource, L"/", L"\\");
    Mftargth = forms::Replace(Mftargth, L"/", L"\\");
    if (moves_)
        return moves_->Replace(Mfsource, Mftargth);
    // A move of its own, not part of an update's: nothing to take back later.
    MoveJournal single(BackupFolder());
    const bool moved = single.Replace(Mfsource, Mftargth);
    single.Commit();
    return moved;
}

bool Online::CreatePath(const std::wstring& Cpstr)
{
    return updater::CreatePath(Cpstr);
}

void Online::KillProcessByName(const std::wstring& name)
{
    updater::KillProcessByName(name, setup_.programFolder);
}

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
