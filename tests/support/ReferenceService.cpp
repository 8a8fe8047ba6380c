#include "tests/support/ReferenceService.h"

#include "quill/Config.h"
#include "tests/support/Pump.h"
#include "tests/support/WholeFile.h"

#include <windows.h>
#include <wininet.h>

#include <stdexcept>

namespace quill::test {
namespace {

constexpr int ServiceLifetimeSeconds = 600;

struct InternetHandle {
    HINTERNET h;
    explicit InternetHandle(HINTERNET handle) : h(handle) {}
    ~InternetHandle()
    {
        if (h)
            InternetCloseHandle(h);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
};

// "http://127.0.0.1:PORT/do/" -> PORT
INTERNET_PORT PortOf(const std::wstring& baseUrl)
{
    size_t colon = baseUrl.rfind(L':');
    return INTERNET_PORT(_wtoi(baseUrl.c_str() + colon + 1));
}

std::string Post(INTERNET_PORT port, const std::wstring& path, const std::string& body)
{
    InternetHandle net(InternetOpenW(L"session-tests", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    InternetHandle con(
        InternetConnectW(net.h, L"127.0.0.1", port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    InternetHandle req(HttpOpenRequestW(con.h, L"POST", path.c_str(), nullptr, nullptr, nullptr,
                                        INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD, 0));
    if (!req.h)
        throw std::runtime_error("control: cannot open request");
    static const wchar_t headers[] = L"Content-Type: application/json\r\n";
    if (!HttpSendRequestW(req.h, headers, DWORD(-1), const_cast<char*>(body.data()), DWORD(body.size())))
        throw std::runtime_error("control: send failed");
    std::string out;
    char buf[8192];
    DWORD n = 0;
    while (InternetReadFile(req.h, buf, sizeof buf, &n) && n > 0)
        out.append(buf, n);
    return out;
}

}  // namespace

std::wstring UnixToWine(const std::string& unixPath)
{
    std::wstring w = L"Z:" + FromUtf8(unixPath);
    for (auto& c : w)
        if (c == L'/')
            c = L'\\';
    return w;
}

std::wstring FromUtf8(const std::string& s)
{
    if (s.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), n);
    return w;
}

std::string ToUtf8(const std::wstring& w)
{
    if (w.empty())
        return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::string PercentDecoded(const std::string& raw)
{
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '%' && i + 2 < raw.size() && isxdigit(static_cast<unsigned char>(raw[i + 1])) &&
            isxdigit(static_cast<unsigned char>(raw[i + 2]))) {
            out += char(std::stoi(raw.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += raw[i];
        }
    }
    return out;
}

ReferenceService::ReferenceService()
{
    const std::string unixDir = "/tmp/quill-service-" + std::to_string(GetCurrentProcessId()) + "-" +
                                std::to_string(GetTickCount64());
    dir_ = UnixToWine(unixDir);
    std::wstring script = FromUtf8(std::string(QUILL_SOURCE_DIR) + "/tests/support/run_service.sh");
    std::wstring cmd = L"/bin/sh \"" + script + L"\" \"" + FromUtf8(QUILL_SOURCE_DIR) + L"\" \"" +
                       FromUtf8(unixDir) + L"\" " + std::to_wstring(ServiceLifetimeSeconds) + L" " +
                       std::to_wstring(quill::config::TokenConstant);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // Wine runs a Unix program detached: no handle comes back, so the run
    // folder is the only channel (its "running" file keeps the service alive).
    if (!CreateProcessW(L"Z:\\bin\\sh", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw std::runtime_error("cannot start /bin/sh");
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    // The service writes its addresses into "ready" once it listens.
    const auto ready = [this] {
        std::string line = ReadWholeFile(dir_ + L"\\ready");
        size_t p = line.find("primary="), b = line.find(" backup=");
        if (p == std::string::npos || b == std::string::npos)
            return false;
        primary_ = FromUtf8(line.substr(p + 8, b - p - 8));
        std::string rest = line.substr(b + 8);
        rest.erase(rest.find_last_not_of("\r\n ") + 1);
        backup_ = FromUtf8(rest);
        return true;
    };
    if (PumpUntil(ready, "the reference service"))
        return;
    throw std::runtime_error("service did not come up: " + ReadWholeFile(dir_ + L"\\stderr"));
}

ReferenceService::~ReferenceService()
{
    DeleteFileW((dir_ + L"\\running").c_str());
}

Json ReferenceService::Control(const std::string& json)
{
    Json reply = Json::Parse(Post(PortOf(primary_), L"/_control", json));
    if (!reply["ok"].boolean)
        throw std::runtime_error("control refused: " + reply["error"].text);
    return reply;
}

std::vector<LoggedRequest> ReferenceService::Requests(const std::string& instance, int count)
{
    Json state =
        Json::Parse(Post(PortOf(primary_), L"/_control?n=" + std::to_wstring(count), "{\"op\":\"state\"}"));
    std::vector<LoggedRequest> out;
    for (const Json& e : state["instances"][instance]["requests"].items) {
        LoggedRequest r;
        r.method = e["method"].text;
        r.path = e["path"].text;
        r.target = e["target"].text;
        r.note = e["note"].text;
        r.reply = e["reply"].text;
        r.status = int(e["status"].number);
        r.fields = e["fields"];
        // The service logs the body read as Latin-1: each code point is one byte.
        std::wstring latin = FromUtf8(e["raw"].text);
        for (wchar_t c : latin)
            r.raw += char(c);
        out.push_back(std::move(r));
    }
    return out;
}

void ReferenceService::Release()
{
    Control(R"({"op":"release","instance":"both"})");
}

void ReferenceService::ClearLogs()
{
    Control(R"({"op":"clear_log","instance":"both"})");
}

void ReferenceService::AwaitLogged(const std::string& instance, size_t count)
{
    PumpUntil([&] { return Requests(instance).size() >= count; }, "the logged requests");
}

}  // namespace quill::test
