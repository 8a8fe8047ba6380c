// The wizard's downloads: each listed file fetched into the cache folder,
// the progress shown, and what counts as a file that came whole.
#include "updater/Online.h"

#include "forms/Automation.h"
#include "forms/HttpTransfer.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "session/WholeReply.h"
#include "updater/FileList.h"
#include "updater/UpdateDescriptor.h"

#include <windows.h>
#include <wininet.h>

#include <functional>

namespace quill::updater {
namespace {

constexpr std::int64_t DownloadLimitMs = 300 * 1000;
// A transfer that shows no sign of life for this long (no state, no headers,
// no piece of its body) is taken for a dead connection; one whose bytes come,
// however slowly, has the whole download's limit.
constexpr std::int64_t StallLimitMs = 30 * 1000;

const wchar_t GetNextFailed[] =
    L"GetNext发生意外错误，升级失败，请重新安装程序或访问官方网站手动下载新版本！";

}  // namespace

void Online::GetNext()
{
    try {
        RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const int rows = List1->ListCount();
        // No retry can help an entry that may not be fetched, and nothing is
        // fetched for a list that holds one.
        for (int i = 0; i < rows; ++i) {
            if (const std::wstring refusal = RefusalOf(i); !refusal.empty()) {
                Inid = static_cast<std::int16_t>(i);
                List3->List(i, L"错误");
                Ask(refusal + L"\r\n" + GetNextFailed, forms::vbCritical, L"出错");
                MainStop = true;
                CloseWindow();
                return;
            }
        }
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
    // A descriptor whose headers announce more than its bound is refused
    // there: waiting does not make it smaller.
    std::function<bool(std::wstring_view)> refusesLength;
    if (!listedSize)
        refusesLength = [](std::wstring_view length) {
            return session::AnnouncesMoreThan(length, DescriptorByteLimit);
        };
    forms::HttpTransfer transfer([] { return forms::CreateObject(L"MSXML2.XMLHTTP"); },
                                 {L"Get", url, {}, std::nullopt}, StallLimitMs, std::move(refusesLength));
    const forms::TransferWait waited = transfer.Wait(DownloadLimitMs, [this] { return ended_; });
    if (waited == forms::TransferWait::Refused)
        return Fetched::Oversized;
    if (waited != forms::TransferWait::Done) {
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

}  // namespace quill::updater
