#pragma once
// The reference service (tools/service) run by a test under Wine on free
// ports, with its control request and the folder it publishes under
// "update/".
#include "tests/support/MiniJson.h"

#include <string>
#include <vector>

namespace quill::test {

struct LoggedRequest {
    std::string method, path, target, note;
    std::string raw;    // the body exactly as it arrived (one char per byte)
    std::string reply;  // UTF-8
    int status = 0;
    Json fields;  // decoded fields (UTF-8), null for a request that was not read
};

class ReferenceService {
public:
    ReferenceService();  // throws std::runtime_error when the service does not come up
    ~ReferenceService();
    ReferenceService(const ReferenceService&) = delete;
    ReferenceService& operator=(const ReferenceService&) = delete;

    const std::wstring& Primary() const { return primary_; }
    const std::wstring& Backup() const { return backup_; }
    // The folder served under "update/" (Windows path, empty at the start):
    // without an "update.txt" in it, the service describes its files itself.
    std::wstring UpdateFolder() const { return dir_ + L"\\update"; }

    // POSTs one operation (or a list) to the control request of the primary
    // instance and returns the parsed reply; throws when it is refused.
    Json Control(const std::string& json);
    // The requests an instance ("primary" or "backup") logged, oldest first.
    std::vector<LoggedRequest> Requests(const std::string& instance, int count = 50);
    void ClearLogs();
    // Waits (up to a few seconds) until an instance has logged `count`
    // requests: a delayed reply is logged only when the service sends it,
    // also after the client gave up waiting for it.
    void AwaitLogged(const std::string& instance, size_t count);
    // Lets every reply held by a "hold" fault go (also one not yet asked for).
    void Release();

private:
    std::wstring dir_;  // Windows path of the run folder
    std::wstring primary_, backup_;
};

// "A%20b" -> bytes; the body as the service received it, decoded from its
// percent escapes (no "+" rule), for comparisons with what the client meant.
std::string PercentDecoded(const std::string& raw);
std::wstring FromUtf8(const std::string& s);
// A Unix path as Wine's programs see it (drive Z:).
std::wstring UnixToWine(const std::string& unixPath);
std::string ToUtf8(const std::wstring& s);

}  // namespace quill::test
