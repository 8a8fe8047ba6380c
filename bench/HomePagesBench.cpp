// The current-projects page with 10, 1,000, 10,000 and 100,000 projects from the
// reference service: the time from the tab's click until the window is idle
// again, against filling the platform's list view (SysListView32) with the
// same rows and texts, in one run. Each measurement runs in a process of its
// own, so that each peak memory is its own; the rounds alternate between the
// two sides, and the run prints the median times, the median of the rounds'
// ratios with the lowest and highest, and the peaks.
//
// Both sides do the same work: from a reply already received to the list on
// the screen. Each side's timed part makes the request through the program's
// HTTP client as the page does (its transfer thread, the decoding, the rows,
// their texts, the list), but the platform's request object, once it has
// fetched the reply for real, is replaced by one that holds that reply: Wine's
// object takes 5 to 9 seconds to take in a list of 100,000 projects on a
// loaded machine, and the page gives up on a request after 6 seconds, so a
// page timed with the transfer would measure the machine's load, or fail.
// That real request is printed too ("req"). The list reply is asked of the
// reference service once and then served from memory by this program to both
// sides. Both sides must show every row of the reply and the same texts:
// each prints its row count and a digest of every cell, and a round whose
// counts or digests differ fails the run (exit code 1, no ratio for that
// count).
//     home_pages_bench [rounds=5] [projects: 10, 1000, 10000 and 100000 when not given]
#include "workspace/Home.h"
#include "workspace/ProjectRows.h"
#include "protocol/ReplyText.h"
#include "protocol/ServiceRecords.h"

#include "forms/App.h"
#include "forms/Automation.h"
#include "forms/Files.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Error.h"
#include "forms/Pump.h"
#include "forms/Screen.h"
#include "session/HttpRequest.h"
#include "session/Login.h"
#include "session/Session.h"
#include "tests/support/OneShotServer.h"
#include "tests/support/ReferenceService.h"
#include "workspace/ChartSlot.h"

#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchRounds.h"

using namespace quill;
using test::ReferenceService;
using test::UnixToWine;

namespace {

const std::wstring kAuth = L"username=bench&password=821e09549a3d62f521bb33892eba30e1&v=1.3";

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceCounter(&start_); }
    double Milliseconds() const
    {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_;
};

double PeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

// FNV-1a over every cell's text, row by row.
class TextDigest {
public:
    void Add(const std::wstring& text)
    {
        for (wchar_t c : text)
            Mix(static_cast<uint64_t>(c));
        Mix(0x1F);
    }
    unsigned long long Value() const { return value_; }

private:
    void Mix(uint64_t v)
    {
        value_ ^= v;
        value_ *= 0x100000001B3ull;
    }
    uint64_t value_ = 0xCBF29CE484222325ull;
};

std::wstring Post(const std::wstring& base, const std::wstring& body, std::int16_t seconds)
{
    return session::HttpRequest(base + L"softcenter.asp", body, seconds, L"GB2312", L"", false);
}

// The platform's request object with its reply already in: complete as soon
// as it is sent, with the reply's length and bytes.
class HeldReply : public forms::Object {
public:
    explicit HeldReply(std::shared_ptr<const forms::Bytes> body) : body_(std::move(body)) {}
    forms::Variant Get(const std::wstring& name, const std::vector<forms::Variant>&) override
    {
        if (name == L"readyState")
            return int32_t(sent_ ? 4 : 1);
        if (name == L"status")
            return int32_t(200);
        if (name == L"responseBody" && sent_)
            return *body_;
        throw forms::RuntimeError(forms::kMemberNotSupported);
    }
    void Put(const std::wstring&, const forms::Variant&) override
    {
        throw forms::RuntimeError(forms::kMemberNotSupported);
    }
    forms::Variant Call(const std::wstring& name, const std::vector<forms::Variant>& args) override
    {
        if (name == L"send")
            sent_ = true;
        else if (name == L"getResponseHeader" && sent_ && !args.empty() &&
                 forms::VariantText(args[0]) == L"Content-Length")
            return std::to_wstring(body_->size());
        else if (name == L"getResponseHeader")
            throw forms::RuntimeError(forms::kMemberNotSupported);  // no such header
        else if (name != L"open" && name != L"setRequestHeader" && name != L"abort")
            throw forms::RuntimeError(forms::kMemberNotSupported);
        return {};
    }

private:
    std::shared_ptr<const forms::Bytes> body_;
    bool sent_ = false;
};

// The list reply fetched for real from `lists` (the time it took goes to
// `requestMs`); from then on every request object this process makes holds it.
std::wstring FetchAndHold(const std::wstring& lists, double& requestMs)
{
    const Stopwatch request;
    const std::wstring reply = Post(lists, L"do=list&" + kAuth, 60);
    requestMs = request.Milliseconds();
    const std::string bytes = forms::TextToAnsi(reply);
    auto body = std::make_shared<const forms::Bytes>(bytes.begin(), bytes.end());
    forms::RegisterStandIn(L"MSXML2.XMLHTTP.6.0", [body] { return std::make_shared<HeldReply>(body); });
    return reply;
}

// Until nothing is left in the queue and the window has painted.
void UntilIdle(HWND window)
{
    MSG m;
    do {
        forms::DoEvents();
        UpdateWindow(window);
    } while (PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE));
}

// The page in the program's own window: opened on the bench account's
// snapshot from the service, then tab 2 clicked, its list asked of `lists`.
int Subject(const std::wstring& primary, const std::wstring& lists, const std::wstring& backup)
{
    session::CurrentSession().TwipsPerPixelX = forms::Screen::TwipsPerPixelX();
    session::CurrentSession().TwipsPerPixelY = forms::Screen::TwipsPerPixelY();
    session::CurrentSession().ServerBaseUrl = lists;
    session::CurrentSession().BackupBaseUrl = backup;
    session::CurrentSession().AuthQuery = kAuth;
    session::CurrentSession().LoginReply = Post(primary, L"do=login&" + kAuth, 60);
    const forms::Bytes page = forms::ReadFileBytes(UnixToWine(QUILL_PROGRAM_DIR) + L"\\webchart.htm");
    forms::WriteFileBytes(workspace::ChartTemplatePath(), page);

    workspace::Home& w = workspace::HomeWindow();
    w.Show();
    while (w.IsLoaded() && (w.NowId != 0 || w.ActionBusy)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        forms::DoEvents();
    }
    UntilIdle(w.hWnd());

    double requestMs = 0;
    const std::wstring reply = FetchAndHold(lists, requestMs);

    const Stopwatch click;
    w.StyledButton1_Click(2);
    UntilIdle(w.hWnd());
    const double pageMs = click.Milliseconds();
    const int rows = w.ListView->ItemCount();
    TextDigest digest;
    for (int i = 0; i < rows; ++i)
        for (int column = 0; column < workspace::kProjectRowColumns; ++column)
            digest.Add(w.ListView->ItemText(i, column));
    std::printf("%d %.1f %.1f %.1f %zu %llu\n", rows, pageMs, requestMs, PeakMegabytes(),
                protocol::ListRows(reply).size(), digest.Value());
    w.Unload();
    forms::DoEvents();
    return rows > 0 ? 0 : 1;
}

LRESULT CALLBACK PlainWindow(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// The same rows in the platform's list view.
int Reference(const std::wstring& lists)
{
    INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainWindow;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuillBenchHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"SysListView32", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                1280, 1000, nullptr, nullptr, wc.hInstance, nullptr);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 400, 1260, 560,
                                host, nullptr, wc.hInstance, nullptr);
    for (const workspace::ListColumn& column : workspace::ListColumns(workspace::ProjectList)) {
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.fmt = LVCFMT_CENTER;
        c.cx = column.width;
        c.pszText = const_cast<wchar_t*>(column.caption.c_str());
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(&column - &workspace::ListColumns(1)[0]),
                     reinterpret_cast<LPARAM>(&c));
    }
    UntilIdle(host);

    double requestMs = 0;
    FetchAndHold(lists, requestMs);
    const Stopwatch fill;
    const std::wstring reply = Post(lists, L"do=list&" + kAuth, 60);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    const double today = forms::Today();
    const std::vector<std::wstring> rows = protocol::ListRows(reply);
    for (size_t i = 0; i < rows.size(); ++i) {
        const protocol::ProjectRow row(rows[i]);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.lParam = row.Id();
        std::wstring text =
            workspace::ProjectRowText(row, 0, static_cast<int>(i), workspace::DueColumn::DaysLeft, today);
        item.pszText = text.data();
        const int index =
            static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int column = 1; column < workspace::kProjectRowColumns; ++column) {
            text = workspace::ProjectRowText(row, column, static_cast<int>(i), workspace::DueColumn::DaysLeft,
                                             today);
            LVITEMW cell{};
            cell.iSubItem = column;
            cell.pszText = text.data();
            SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&cell));
        }
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    UntilIdle(host);
    const double fillMs = fill.Milliseconds();
    const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    TextDigest digest;
    std::vector<wchar_t> buffer(4096);
    for (int i = 0; i < count; ++i)
        for (int column = 0; column < workspace::kProjectRowColumns; ++column) {
            LVITEMW cell{};
            cell.iSubItem = column;
            cell.pszText = buffer.data();
            cell.cchTextMax = static_cast<int>(buffer.size());
            const auto length =
                static_cast<size_t>(SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&cell)));
            digest.Add(std::wstring(buffer.data(), length));
        }
    std::printf("%d %.1f %.1f %.1f %llu\n", count, fillMs, requestMs, PeakMegabytes(), digest.Value());
    DestroyWindow(host);
    return count > 0 ? 0 : 1;
}

// A child's output without its line end.
std::string Line(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// Runs this program again with `arguments` and returns what it printed.
std::string RunChild(const std::wstring& arguments)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        return {};
    CloseHandle(writeEnd);
    std::string out;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got)
        out.append(buffer, got);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(readEnd);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 5 && std::wstring(argv[1]) == L"subject")
        return Subject(argv[2], argv[3], argv[4]);
    if (argc == 3 && std::wstring(argv[1]) == L"reference")
        return Reference(argv[2]);

    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    ReferenceService service;
    std::printf(
        "Current-projects page (tab 2) against SysListView32, same rows and texts, from the received reply "
        "on both sides, %d rounds interleaved\n",
        rounds);
    std::printf("%9s %10s %10s %10s %10s %20s %9s %9s\n", "projects", "page ms", "list ms", "page req",
                "list req", "page/list (low-high)", "page MB", "list MB");
    // 10 projects show the part of the page's time that does not grow with
    // its rows.
    std::vector<int> counts{10, 1000, 10000, 100000};
    if (argc > 2)
        counts = {std::max(1, _wtoi(argv[2]))};
    int status = 0;
    for (int count : counts) {
        service.Control(R"({"op":"seed_projects","name":"bench","password":"bench123","count":)" +
                        std::to_string(count) + "}");
        Post(service.Primary(), L"do=login&" + kAuth, 120);
        // The list as the service sends it (code page 936), served from
        // memory to both sides from here on.
        const std::wstring list = Post(service.Primary(), L"do=list&" + kAuth, 120);
        const std::string bytes = forms::TextToAnsi(list);
        const size_t listed = protocol::ListRows(list).size();
        if (listed != static_cast<size_t>(count) || forms::AnsiToText(bytes) != list) {
            std::fprintf(stderr, "FAILED: %d projects: the service listed %zu rows (%zu characters)%s\n",
                         count, listed, list.size(),
                         forms::AnsiToText(bytes) != list ? ", not all in code page 936" : "");
            status = 1;
            continue;
        }
        test::FixedReplyServer lists(bytes, "text/html; charset=gb2312");
        const std::wstring listsUrl = lists.Url(L"/do/");
        std::vector<double> page, listView, pageRequest, listRequest, pageMb, listMb;
        bool failed = false;
        for (int r = 0; r < rounds && !failed; ++r) {
            std::string subject, reference;
            const std::wstring subjectArguments =
                L"subject " + service.Primary() + L" " + listsUrl + L" " + service.Backup();
            if (r % 2) {
                reference = RunChild(L"reference " + listsUrl);
                subject = RunChild(subjectArguments);
            } else {
                subject = RunChild(subjectArguments);
                reference = RunChild(L"reference " + listsUrl);
            }
            int rows = 0, refRows = 0;
            double pageMs = 0, requestMs = 0, pagePeak = 0, listMs = 0, listRequestMs = 0, listPeak = 0;
            size_t replyRows = 0;
            unsigned long long pageDigest = 0, listDigest = 0;
            const bool read = std::sscanf(subject.c_str(), "%d %lf %lf %lf %zu %llu", &rows, &pageMs,
                                          &requestMs, &pagePeak, &replyRows, &pageDigest) == 6 &&
                              std::sscanf(reference.c_str(), "%d %lf %lf %lf %llu", &refRows, &listMs,
                                          &listRequestMs, &listPeak, &listDigest) == 5;
            if (!read || replyRows != listed || rows != count || refRows != count ||
                pageDigest != listDigest) {
                std::printf(
                    "%9d FAILED in round %d: the reply holds %d rows; page \"%s\", list view \"%s\"\n", count,
                    r + 1, count, Line(subject).c_str(), Line(reference).c_str());
                // A page that shows fewer rows keeps the overview's: its
                // request failed, or a row could not be read.
                std::fprintf(stderr, "FAILED: %d projects: the page showed %d rows, the list view %d%s\n",
                             count, rows, refRows, pageDigest != listDigest ? ", their texts differ" : "");
                failed = true;
                status = 1;
                break;
            }
            page.push_back(pageMs);
            listView.push_back(listMs);
            pageRequest.push_back(requestMs);
            listRequest.push_back(listRequestMs);
            pageMb.push_back(pagePeak);
            listMb.push_back(listPeak);
        }
        if (failed)
            continue;
        using quill::bench::Median;
        std::printf("%9d %10.1f %10.1f %10.1f %10.1f ", count, Median(page), Median(listView),
                    Median(pageRequest), Median(listRequest));
        quill::bench::PrintRatio(quill::bench::RatioOf(page, listView));
        std::printf(" %9.1f %9.1f\n", Median(pageMb), Median(listMb));
        std::fflush(stdout);
    }
    return status;
}
