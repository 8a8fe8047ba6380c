// What requests given up leave behind, and how the window answers while a
// reply given up is still read. Two parts, in one run:
//
// 1. 200 requests through the program's transfer (forms::HttpTransfer with
//    the platform's request object) to a silent server of this program's
//    own, which takes each connection and never answers; each is given up
//    once the server has its connection. Against it, 200 requests that a
//    server answers at once. For each side: the time, and what the process
//    holds afterwards (private memory, handles, threads, connections open at
//    the server), the processor time it uses idle for 5 seconds after; for
//    the given-up side also what the platform gives back once the silent
//    server closes its connections. Both sides must have made 200
//    connections (else exit code 1, no ratio); the ratio is the time a
//    request, given up ÷ answered.
//
// 2. A reply of N MiB (100 when not given) that the reference service keeps
//    sending after the request gave up at 2 seconds: at full speed with a
//    length, in chunks, ended by the close, and trickled (64 KiB every 50
//    ms, in chunks). Meanwhile the pointer moves over a window of the test's
//    own every 100 ms, whose handling of the move paints a line of text; the
//    run prints how long each move took to be handled (median, highest, how
//    many over 200 ms) and the longest allocation from the process heap,
//    until the given-up transfer's thread has ended, and how long that took.
//
//     http_transfer_bench [megabytes=100] [part: given-up | window | both]
#include "forms/Automation.h"
#include "forms/HttpTransfer.h"
#include "forms/Pump.h"
#include "session/WholeReply.h"
#include "tests/support/OneShotServer.h"
#include "tests/support/ReferenceService.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchRounds.h"

using namespace quill;

namespace {

constexpr int Requests = 200;

struct Holdings {
    double privateMiB = 0;
    DWORD handles = 0;
    int threads = 0;
};

// What the process holds: its committed private memory (summed over its
// address space: Wine reports no private usage), its handles (counted one by
// one: Wine keeps no count) and its threads.
Holdings Now()
{
    Holdings h;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            h.privateMiB += double(region.RegionSize) / (1 << 20);
        if (region.RegionSize == 0)
            break;
    }
    DWORD flags;
    for (std::uintptr_t value = 4; value < (1u << 18); value += 4)
        h.handles += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) != 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        h.threads += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    return h;
}

double ProcessorSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto s = [](FILETIME t) {
        return double(std::uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e7;
    };
    return s(kernel) + s(user);
}

double Seconds()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) / double(f.QuadPart);
}

// Pumps messages until `done` or `limitS` seconds: whether it came.
bool PumpUntil(const std::function<bool()>& done, double limitS)
{
    const double start = Seconds();
    while (!done()) {
        if (Seconds() - start > limitS)
            return false;
        forms::DoEvents();
        MsgWaitForMultipleObjectsEx(0, nullptr, 5, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return true;
}

void Idle(double seconds)
{
    PumpUntil([] { return false; }, seconds);
}

forms::ObjectRef PlatformRequest()
{
    return forms::CreateObject(L"MSXML2.XMLHTTP.6.0");
}

void Print(const char* what, const Holdings& h, const Holdings& before)
{
    std::printf("  %-34s private %+8.1f MiB  handles %+5ld  threads %+4d\n", what,
                h.privateMiB - before.privateMiB, long(h.handles) - long(before.handles),
                h.threads - before.threads);
}

// Part 1: returns whether both sides made every connection.
bool GivenUpPart()
{
    std::printf("== 1. %d requests given up to a silent server, against %d answered (load: see uptime)\n",
                Requests, Requests);
    test::FixedReplyServer answering(std::string(200, 'x'), "text/plain");
    test::SilentServer silent;
    // One request of each first, so that what the platform sets up once is
    // not counted.
    {
        forms::HttpTransfer warm(&PlatformRequest, {L"GET", answering.Url(L"/do/warm"), {}, std::nullopt});
        warm.Wait(60000);
    }
    const Holdings start = Now();

    const double answeredStart = Seconds(), answeredCpu = ProcessorSeconds();
    int answeredOk = 0;
    for (int i = 0; i < Requests; ++i) {
        forms::HttpTransfer transfer(&PlatformRequest,
                                     {L"GET", answering.Url(L"/do/" + std::to_wstring(i)), {}, std::nullopt});
        answeredOk += transfer.Wait(60000) == forms::TransferWait::Done && transfer.Reply().complete;
    }
    const double answeredTime = Seconds() - answeredStart, answeredCpuUsed = ProcessorSeconds() - answeredCpu;
    Idle(2);
    const Holdings afterAnswered = Now();
    const double idleCpu0 = ProcessorSeconds();
    Idle(5);
    const double answeredIdleCpu = ProcessorSeconds() - idleCpu0;

    const double givenUpStart = Seconds(), givenUpCpu = ProcessorSeconds();
    for (int i = 0; i < Requests; ++i) {
        forms::HttpTransfer transfer(&PlatformRequest,
                                     {L"GET", silent.Url(L"/do/softcenter.asp"), {}, std::nullopt});
        if (!PumpUntil([&] { return silent.Accepted() > i; }, 30))
            break;
    }
    PumpUntil([] { return forms::GivenUpTransferCount() == 0; }, 60);
    const double givenUpTime = Seconds() - givenUpStart, givenUpCpuUsed = ProcessorSeconds() - givenUpCpu;
    Idle(2);
    const Holdings afterGivenUp = Now();
    const double idleCpu1 = ProcessorSeconds();
    Idle(5);
    const double givenUpIdleCpu = ProcessorSeconds() - idleCpu1;
    const int openAtServer = silent.Open();
    silent.CloseAll();
    // The platform's threads end some while after their connections.
    const double closed = Seconds();
    Holdings afterClose = Now();
    for (int stable = 0; stable < 5 && Seconds() - closed < 60;) {
        Idle(1);
        const Holdings next = Now();
        stable = next.threads == afterClose.threads ? stable + 1 : 0;
        afterClose = next;
    }

    std::printf(
        "  answered: %d of %d in %.2f s (%.1f ms a request), processor %.2f s, idle 5 s after: %.3f s\n",
        answeredOk, Requests, answeredTime, answeredTime * 1000 / Requests, answeredCpuUsed, answeredIdleCpu);
    Print("held after the answered ones", afterAnswered, start);
    std::printf("  given up: %d connections taken in %.2f s (%.1f ms a request), processor %.2f s, idle 5 s "
                "after: %.3f s; our threads left running: %d; connections open at the server: %d\n",
                silent.Accepted(), givenUpTime, givenUpTime * 1000 / Requests, givenUpCpuUsed, givenUpIdleCpu,
                forms::GivenUpTransferCount(), openAtServer);
    Print("held after the given-up ones", afterGivenUp, afterAnswered);
    Print("held once the server closed them", afterClose, afterAnswered);
    std::printf(
        "  (at the start: private %.1f MiB, %lu handles, %d threads; the platform's threads settled %.0f s "
        "after the close)\n",
        start.privateMiB, start.handles, start.threads, Seconds() - closed);
    if (answeredOk != Requests || answering.Answered() < Requests || silent.Accepted() != Requests) {
        std::printf(
            "  the sides differ: %d answered (%d at the server), %d connections to the silent server: "
            "no ratio\n",
            answeredOk, answering.Answered(), silent.Accepted());
        return false;
    }
    std::printf("  time a request, given up / answered: %.2f\n", givenUpTime / answeredTime);
    return true;
}

// Part 2's window: each pointer move paints a line of text, and notes when
// it was handled.
double moveHandledAt = 0;

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp)
{
    if (message == WM_MOUSEMOVE) {
        HDC dc = GetDC(window);
        HFONT font = CreateFontW(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, L"SimSun");
        const HGDIOBJ old = SelectObject(dc, font);
        HBRUSH brush = CreateSolidBrush(RGB(LOWORD(lp) & 255, 200, 200));
        RECT line{0, 0, 400, 40};
        FillRect(dc, &line, brush);
        const wchar_t text[] = L"当前持有项目明细（双击项目:操作/查看详情）";
        TextOutW(dc, 5, 5, text, int(std::wcslen(text)));
        SelectObject(dc, old);
        DeleteObject(font);
        DeleteObject(brush);
        ReleaseDC(window, dc);
        moveHandledAt = Seconds();
    }
    return DefWindowProcW(window, message, wp, lp);
}

void MovePointer(int x, int y)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void WindowPart(int megabytes)
{
    std::printf("== 2. the window while a reply of %d MiB given up at 2 s is still read\n", megabytes);
    test::ReferenceService service;
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeWindowProc;
    wc.lpszClassName = L"QuillTransferProbe";
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);
    HWND window = CreateWindowW(wc.lpszClassName, L"probe", WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr,
                                nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    const struct {
        const char* name;
        const char* fault;
    } kinds[] = {
        {"full speed, length first", R"("framing":"length","interval":0)"},
        {"full speed, chunked", R"("framing":"chunked","interval":0)"},
        {"full speed, ended by the close", R"("framing":"close","interval":0)"},
        {"trickled, chunked", R"("framing":"chunked","interval":0.05)"},
    };
    int moved = 0;  // alternates the pointer between two points: a move to where it is sends nothing
    for (const auto& kind : kinds) {
        service.Control(R"({"op":"reset"})");
        service.Control(
            std::string(R"({"op":"fault","kind":"huge_reply","on":["notice"],"times":1,"megabytes":)") +
            std::to_string(megabytes) + "," + kind.fault + "}");
        const double cpuStart = ProcessorSeconds();
        forms::TransferWait waited;
        {
            forms::HttpTransfer transfer(
                &PlatformRequest, {L"GET", service.Primary() + L"status.shtml?ver=1.3", {}, std::nullopt}, 0,
                &session::AnnouncesTooLarge);
            waited = transfer.Wait(2000);
        }
        const double givenUp = Seconds();
        std::vector<double> moves;
        double worstHeap = 0;
        while (forms::GivenUpTransferCount() > 0 && Seconds() - givenUp < 300) {
            const double h0 = Seconds();
            HeapFree(GetProcessHeap(), 0, HeapAlloc(GetProcessHeap(), 0, 64));
            worstHeap = std::max(worstHeap, Seconds() - h0);
            moveHandledAt = 0;
            const double sent = Seconds();
            MovePointer(100 + (moved++ % 2) * 50, 100);
            PumpUntil([] { return moveHandledAt != 0; }, 30);
            moves.push_back((moveHandledAt ? moveHandledAt : Seconds()) - sent);
            PumpUntil([] { return false; }, 0.1);
        }
        const double readFor = Seconds() - givenUp;
        std::sort(moves.begin(), moves.end());
        const auto over = std::count_if(moves.begin(), moves.end(), [](double s) { return s > 0.2; });
        std::printf(
            "  %-31s wait ended %s; read on for %.1f s after, processor %.1f s; %zu moves: median %.0f ms, "
            "highest %.0f ms, %ld over 200 ms; longest heap allocation %.0f ms\n",
            kind.name,
            waited == forms::TransferWait::Refused     ? "refused"
            : waited == forms::TransferWait::OutOfTime ? "at the limit"
                                                       : "otherwise",
            readFor, ProcessorSeconds() - cpuStart, moves.size(),
            moves.empty() ? 0 : bench::Median(moves) * 1000, moves.empty() ? 0 : moves.back() * 1000,
            long(over), worstHeap * 1000);
    }
    DestroyWindow(window);
}

}  // namespace

int main(int argc, char** argv)
{
    const int megabytes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const std::string part = argc > 2 ? argv[2] : "both";
    forms::EnsureCom();
    bool same = true;
    if (part != "window")
        same = GivenUpPart();
    if (part != "given-up")
        WindowPart(megabytes);
    return same ? 0 : 1;
}
