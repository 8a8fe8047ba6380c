#include "tests/support/OneShotServer.h"

namespace quill::test {

OneShotServer::OneShotServer(std::string body, bool held, std::string contentType)
    : answer_(CreateEventW(nullptr, TRUE, !held, nullptr))
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(listener_, 1);
    int len = sizeof addr;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
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
        std::string reply = "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                            "\r\nContent-Type: " + contentType + "\r\n\r\n" + body;
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
    return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
}

}  // namespace quill::test
