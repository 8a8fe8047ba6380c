// The wizard's descriptor steps: fetching the service's update descriptor,
// reading its values and making the list of the files that differ.
#include "updater/Online.h"

#include "forms/Files.h"
#include "forms/Gdi.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Shell.h"
#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "updater/FileList.h"
#include "updater/OnlineTexts.h"
#include "updater/UpdateDescriptor.h"

#include <windows.h>

#include <algorithm>
#include <set>

namespace quill::updater {
namespace {

const wchar_t ConnectQuestion[] =
    L"连接超时或网络故障，要重试吗?\r\n如果一直出现本提示,请检查网络连接,或过段时间再试.";
const wchar_t DescriptorFailed[] = L"下载更新信息失败，请确定网络是否畅通，重试请返回上一步．";
const wchar_t DescriptorInvalid[] = L"服务器上的升级信息无效，请过段时间再试，重试请返回上一步．";
// Waiting does not make a descriptor smaller.
const wchar_t DescriptorTooLarge[] = L"服务器上的升级信息过大，无法读取，请到网站下载最新版本进行安装．";
const wchar_t SetDownFailed[] = L"SetDown发生意外错误，请重新执行安装程序或访问程序官方网站！";

// A text of any length in a column of the file list (an invalid size as the
// descriptor wrote it): cut where the column would cover it, even with the
// list's scroll bar shown, with "…" after the cut.
std::wstring FitToColumn(const forms::ListBox& list, std::wstring text)
{
    const HWND hwnd = list.hWnd();
    RECT client{};
    GetClientRect(hwnd, &client);
    int width = client.right;
    if (!(GetWindowLongW(hwnd, GWL_STYLE) & WS_VSCROLL))
        width -= GetSystemMetrics(SM_CXVSCROLL);
    width -= 1;  // the list draws a row's text a pixel in from its left edge
    forms::gdi::WindowDc dc(hwnd);
    forms::gdi::Selection font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    const auto fits = [&](const std::wstring& t) {
        SIZE size{};
        GetTextExtentPoint32W(dc, t.c_str(), static_cast<int>(t.size()), &size);
        return size.cx <= width;
    };
    if (fits(text))
        return text;
    // No column shows more characters than this.
    if (text.size() > 64)
        text.resize(64);
    while (!text.empty() && !fits(text + L"…")) {
        text.pop_back();
        if (!text.empty() && IS_HIGH_SURROGATE(text.back()))
            text.pop_back();
    }
    return text + L"…";
}

// The path as the file system spells it when it exists (a short alias such
// as TALLIV~1.EXE becomes the file's own name); nothing when it does not.
std::optional<std::wstring> LongPath(const std::wstring& path)
{
    std::wstring out(MAX_PATH, L'\0');
    DWORD length = GetLongPathNameW(path.c_str(), out.data(), static_cast<DWORD>(out.size()));
    if (length >= out.size()) {
        out.resize(length);
        length = GetLongPathNameW(path.c_str(), out.data(), static_cast<DWORD>(out.size()));
    }
    if (length == 0 || length >= out.size())
        return std::nullopt;
    out.resize(length);
    return out;
}

}  // namespace

// Two entries that name one file meet under one key, however they spell it:
// letter case and separators aside, and with the part of the path that
// exists as the file system spells it, so that an alias names the file it
// stands for. Every entry shares the program folder, spelled the same way.
std::wstring Online::SameFileKey(const UpdatePath& path) const
{
    const std::vector<std::wstring>& parts = path.Components();
    std::wstring key;
    std::size_t spelled = 0;
    for (std::size_t n = parts.size(); n > 0 && key.empty(); --n) {
        std::wstring prefix = setup_.programFolder;
        for (std::size_t i = 0; i < n; ++i)
            prefix += L"\\" + parts[i];
        if (const auto found = LongPath(prefix)) {
            key = *found;
            spelled = n;
        }
    }
    if (key.empty())
        key = LongPath(setup_.programFolder).value_or(setup_.programFolder);
    for (std::size_t i = spelled; i < parts.size(); ++i)
        key += L"\\" + parts[i];
    return forms::UCase(key);
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
        // too long, empty, or no code-page text.
        const bool tooLarge = fetched == Fetched::Oversized;
        bool invalid = tooLarge;
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
            Label1[4].Caption(tooLarge ? DescriptorTooLarge : invalid ? DescriptorInvalid : DescriptorFailed);
            StyledButton2->Caption(L"上一步");
            StyledButton2->Enabled(true);
        }
        return;
    }
}

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

std::wstring Online::RefusalOf(int row) const
{
    const Row& entry = rows_.at(static_cast<std::size_t>(row));
    if (!entry.path)
        return L"更新信息中的文件名[" + List1->List(row) + L"]无效，重试也无法下载。";
    if (!entry.sized)
        return L"更新信息中的文件[" + List1->List(row) + L"]大小无效，重试也无法下载。";
    return L"";
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

// The file list's rows, added a batch at a time with the window's messages
// handled in between: a list of thousands takes seconds to fill, and the
// window answers meanwhile (a quit confirmed there ends the program).
class Online::ListFill {
public:
    explicit ListFill(Online& w) : w_(w) {}
    void Add(std::wstring path, std::wstring size, std::wstring state)
    {
        paths_.push_back(std::move(path));
        sizes_.push_back(std::move(size));
        states_.push_back(std::move(state));
        if (paths_.size() == BatchRows) {
            Flush();
            forms::DoEvents();
            w_.CheckEnded();
        }
    }
    void Flush()
    {
        w_.List1->AddItems(paths_);
        w_.List2->AddItems(sizes_);
        w_.List3->AddItems(states_);
        paths_.clear();
        sizes_.clear();
        states_.clear();
    }

private:
    static constexpr std::size_t BatchRows = 100;
    Online& w_;
    std::vector<std::wstring> paths_, sizes_, states_;
};

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
        ListFill fill(*this);
        for (int i = 1; i <= entries; ++i) {
            Inid = static_cast<std::int16_t>(i);
            const DescriptorEntry entry = SplitEntry(Getini(L"update", L"file" + std::to_wstring(i)));
            // No file is listed by a size that is no count of its bytes.
            const std::optional<double> size = ByteCount(entry.sizeText);
            // A path from the network is written only when it stays a plain
            // path inside the program folder.
            std::optional<UpdatePath> path = UpdatePath::Parse(entry.path);
            if (path && !MayWrite(*path))
                path.reset();
            if (path && size) {
                if (!listed.insert(SameFileKey(*path)).second)
                    continue;
                const std::wstring target = TargetOf(*path);
                if (forms::FileExists(target) && static_cast<double>(forms::FileLen(target)) == *size)
                    continue;
            }
            // The row first: adding to the lists lets the window's messages run.
            rows_.push_back({path, size.value_or(0), size.has_value()});
            fill.Add(entry.path, size ? SizeText(*size) : FitToColumn(*List2, entry.sizeText),
                     path && size ? L"-" : L"错误");
        }
        fill.Flush();
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

}  // namespace quill::updater
