#pragma once
// An HTTP server on the loopback address that answers one request with a
// fixed body, and can hold its answer back until the test lets it go.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quill::test {

class OneShotServer {
public:
    // `held`: the answer waits for Answer(). The body goes out with the given
    // Content-Type.
    explicit OneShotServer(std::string body, bool held = false,
                           std::string contentType = "application/octet-stream");
    ~OneShotServer();
    OneShotServer(const OneShotServer&) = delete;
    OneShotServer& operator=(const OneShotServer&) = delete;

    int Port() const { return port_; }
    std::wstring Url(const std::wstring& path) const;
    // The request's head has arrived.
    bool RequestArrived() const { return arrived_; }
    // Lets a held answer go.
    void Answer() { SetEvent(answer_); }
    // The request's head, once RequestArrived().
    std::string request;

private:
    SOCKET listener_;
    int port_ = 0;
    HANDLE answer_;
    std::atomic<bool> arrived_{false};
    std::thread thread_;
};

// An HTTP server on the loopback address that answers every request with the
// same fixed body, one connection at a time, until it is destroyed: a reply
// served from memory, whatever the load of the machine does to the program
// that made it.
class FixedReplyServer {
public:
    FixedReplyServer(std::string body, std::string contentType);
    ~FixedReplyServer();
    FixedReplyServer(const FixedReplyServer&) = delete;
    FixedReplyServer& operator=(const FixedReplyServer&) = delete;

    std::wstring Url(const std::wstring& path) const;
    // Requests answered so far.
    int Answered() const { return answered_; }

private:
    SOCKET listener_;
    int port_ = 0;
    std::atomic<int> answered_{0};
    std::thread thread_;
};

// A server on the loopback address that takes every connection and never
// answers, holding each open until it closes them all: a silent server.
class SilentServer {
public:
    SilentServer();
    ~SilentServer();
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    std::wstring Url(const std::wstring& path) const;
    // Connections taken so far, and those still held open.
    int Accepted() const { return accepted_; }
    int Open();
    void CloseAll();

private:
    SOCKET listener_;
    int port_ = 0;
    std::atomic<int> accepted_{0};
    std::mutex lock_;
    std::vector<SOCKET> held_;
    std::thread thread_;
};

}  // namespace quill::test
