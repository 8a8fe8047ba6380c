#include "tests/support/OneShotServer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace quill::test {
namespace {

// A socket listening on a free port of the loopback address (after WSAStartup).
SOCKET LoopbackListener(int& port, int backlog)
{
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(listener, backlog);
    int len = sizeof addr;
    getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return listener;
}

std::string Reply(const std::string& body, const std::string& contentType)
{
    return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nContent-Type: " + contentType + "\r\n\r\n" + body;
}

// The request's head, and as much of its body as its Content-Length says:
// a socket closed with bytes still unread resets the connection, and the
// reply with it.
std::string ReadRequest(SOCKET s)
{
    char buf[4096];
    std::string got;
    int n = 0;
    size_t headEnd = std::string::npos;
    while ((headEnd = got.find("\r\n\r\n")) == std::string::npos && (n = recv(s, buf, sizeof buf, 0)) > 0)
        got.append(buf, static_cast<size_t>(n));
    if (headEnd == std::string::npos)
        return got;
    std::string head = got.substr(0, headEnd);
    std::transform(head.begin(), head.end(), head.begin(), [](unsigned char c) { return std::tolower(c); });
    size_t length = 0;
    const size_t at = head.find("\r\ncontent-length:");
    if (at != std::string::npos)
        length = std::strtoul(head.c_str() + at + 17, nullptr, 10);
    while (got.size() < headEnd + 4 + length && (n = recv(s, buf, sizeof buf, 0)) > 0)
        got.append(buf, static_cast<size_t>(n));
    return got;
}

std::wstring LoopbackUrl(int port, const std::wstring& path)
{
    return L"http://127.0.0.1:" + std::to_wstring(port) + path;
}

bool SendAll(SOCKET s, const std::string& bytes)
{
    for (size_t sent = 0; sent < bytes.size();) {
        const int n =
            send(s, bytes.data() + sent, static_cast<int>(std::min<size_t>(bytes.size() - sent, 1 << 20)), 0);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

OneShotServer::OneShotServer(std::string body, bool held, std::string contentType)
    : answer_(CreateEventW(nullptr, TRUE, !held, nullptr))
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = LoopbackListener(port_, 1);
    thread_ = std::thread([this, body, contentType] {
        SOCKET s = accept(listener_, nullptr, nullptr);
        if (s == INVALID_SOCKET)
            return;
        char buf[4096];
        std::string got;
        int n;
        while (got.find("\r\n\r\n") == std::string::npos && (n = recv(s, buf, sizeof buf, 0)) > 0)
            got.append(buf, static_cast<size_t>(n));
        request = got;
        arrived_ = true;
        WaitForSingleObject(answer_, INFINITE);
        std::string reply = Reply(body, contentType);
        send(s, reply.data(), static_cast<int>(reply.size()), 0);
        closesocket(s);
    });
}

OneShotServer::~OneShotServer()
{
    Answer();
    closesocket(listener_);
    thread_.join();
    CloseHandle(answer_);
    WSACleanup();
}

std::wstring OneShotServer::Url(const std::wstring& path) const
{
    return LoopbackUrl(port_, path);
}

FixedReplyServer::FixedReplyServer(std::string body, std::string contentType)
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = LoopbackListener(port_, SOMAXCONN);
    thread_ = std::thread([this, reply = Reply(body, contentType)] {
        SOCKET s;
        while ((s = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET) {
            // A client that connects and says nothing must not keep the
            // server from ending.
            const DWORD patience = 10000;
            setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&patience), sizeof patience);
            if (!ReadRequest(s).empty() && SendAll(s, reply))
                ++answered_;
            // The request was read to its end, so the close is an orderly
            // one, not a reset that could take the reply's tail with it.
            shutdown(s, SD_SEND);
            closesocket(s);
        }
    });
}

FixedReplyServer::~FixedReplyServer()
{
    closesocket(listener_);
    thread_.join();
    WSACleanup();
}

std::wstring FixedReplyServer::Url(const std::wstring& path) const
{
    return LoopbackUrl(port_, path);
}

SilentServer::SilentServer()
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = LoopbackListener(port_, SOMAXCONN);
    thread_ = std::thread([this] {
        for (;;) {
            const SOCKET s = accept(listener_, nullptr, nullptr);
            if (s == INVALID_SOCKET)
                return;
            std::lock_guard guard(lock_);
            held_.push_back(s);
            ++accepted_;
        }
    });
}

SilentServer::~SilentServer()
{
    closesocket(listener_);
    thread_.join();
    CloseAll();
    WSACleanup();
}

std::wstring SilentServer::Url(const std::wstring& path) const
{
    return LoopbackUrl(port_, path);
}

int SilentServer::Open()
{
    std::lock_guard guard(lock_);
    return static_cast<int>(held_.size());
}

void SilentServer::CloseAll()
{
    std::lock_guard guard(lock_);
    for (SOCKET s : held_)
        closesocket(s);
    held_.clear();
}

}  // namespace quill::test
