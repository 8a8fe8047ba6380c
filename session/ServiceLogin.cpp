#include "session/ServiceLogin.h"

#include "session/HttpRequest.h"
#include "session/Session.h"

namespace quill::session {

std::wstring PostRequest(const protocol::ServiceRequest& request, const std::wstring& baseUrl)
{
    return protocol::Send(
        request, baseUrl, [](std::wstring_view url, std::wstring_view body, int timeoutSeconds) {
            int16_t timeout = static_cast<int16_t>(timeoutSeconds);
            return HttpRequest(std::wstring(url), std::wstring(body), timeout, L"GB2312", L"", false);
        });
}

std::optional<LoginExchange> LoginWithBackup(const protocol::ServiceRequest& first,
                                             bool (*needsBackup)(std::wstring_view reply),
                                             BackupSwitch backupSwitch,
                                             const std::function<bool()>& stillWanted)
{
    Session& session = CurrentSession();
    LoginExchange exchange;
    exchange.reply = PostRequest(first, session.ServerBaseUrl);
    if (!stillWanted())
        return std::nullopt;
    exchange.answered = !exchange.reply.empty();
    if (needsBackup(exchange.reply)) {
        if (backupSwitch == BackupSwitch::BeforeBackupRequest)
            session.ServerBaseUrl = session.BackupBaseUrl;
        exchange.reply = PostRequest(protocol::LoginRequest(session.AuthQuery), session.BackupBaseUrl);
        if (!stillWanted())
            return std::nullopt;
        exchange.backupUsed = true;
        exchange.answered = exchange.answered || !exchange.reply.empty();
    }
    return exchange;
}

}  // namespace quill::session
