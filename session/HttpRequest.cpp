#include "session/HttpRequest.h"

#include "forms/Automation.h"
#include "forms/HttpTransfer.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "protocol/RequestEncoding.h"
#include "session/SessionToken.h"
#include "session/WholeReply.h"

#include <windows.h>
#include <wininet.h>

namespace quill::session {
namespace {

// The platform's request object, tried by ProgID from the newest; nothing
// when none of the three classes is available.
forms::ObjectRef CreateRequestObject()
{
    for (const wchar_t* progId : {L"MSXML2.XMLHTTP.6.0", L"MSXML2.XMLHTTP", L"Microsoft.XMLHTTP"}) {
        try {
            return forms::CreateObject(progId);
        } catch (const forms::RuntimeError& e) {
            if (e.Number() != forms::kClassNotAvailable)
                throw;
        }
    }
    return nullptr;
}

// The reply's bytes read as text in charset through the decoding stream.
// Every step is tried even when one before it failed; a stream that cannot
// be created or read gives "".
std::wstring BytesToText(const forms::Bytes& bytes, const std::wstring& charset)
{
    forms::ObjectRef stream;
    if (!forms::ResumeNext([&] { stream = forms::CreateObject(L"Adodb.Stream"); }) || !stream)
        return L"";
    std::wstring text;
    forms::ResumeNext([&] { stream->Put(L"Type", int32_t(1)); });
    forms::ResumeNext([&] { stream->Put(L"Mode", int32_t(3)); });
    forms::ResumeNext([&] { stream->Call(L"Open"); });
    forms::ResumeNext([&] { stream->Call(L"Write", {bytes}); });
    forms::ResumeNext([&] { stream->Put(L"Position", int32_t(0)); });
    forms::ResumeNext([&] { stream->Put(L"Type", int32_t(2)); });
    forms::ResumeNext([&] { stream->Put(L"Charset", charset); });
    forms::ResumeNext([&] { text = forms::VariantText(stream->Call(L"ReadText")); });
    forms::ResumeNext([&] { stream->Call(L"Close"); });
    return text;
}

}  // namespace

std::wstring HttpRequest(const std::wstring& url, const std::wstring& body, int16_t& timeout,
                         const std::wstring& charset, const std::wstring& cookie, bool noCache)
{
    int32_t token = MakeSessionToken(L"");
    int repeatCount = 0;
    while (true) {
        if (timeout == 0)
            timeout = 6;
        forms::HttpRequestLine request{body.empty() ? L"GET" : L"POST", url, {}, std::nullopt};
        if (!body.empty())
            request.headers.emplace_back(L"Content-Type", L"application/x-www-form-urlencoded");
        if (noCache) {
            request.headers.emplace_back(L"Cache-Control", L"no-cache");
            request.headers.emplace_back(L"Pragma", L"no-cache");
        }
        if (!cookie.empty())
            request.headers.emplace_back(L"Cookie", cookie);
        if (!body.empty())
            request.body = protocol::UrlEncodeAnsi(body + L"&session=" + std::to_wstring(token));
        forms::HttpTransfer transfer(&CreateRequestObject, std::move(request), 0, &AnnouncesTooLarge);
        if (transfer.Wait(int64_t(timeout) * 1000) != forms::TransferWait::Done)
            return L"";
        const forms::HttpReply& got = transfer.Reply();
        // A reply cut short (a reset, a length longer than the bytes sent,
        // broken chunks) is no answer, whatever its bytes would read as.
        if (!got.complete || !ArrivedWhole(got.contentLength, got.contentEncoding, got.body.size()))
            return L"";

        std::wstring reply = BytesToText(got.body, charset);

        if (IsStaleTokenReply(reply) && repeatCount == 0) {
            token = TokenAfterStaleReply(reply);
            repeatCount = 1;
            continue;
        }
        DropUrlCache(url);
        return reply;
    }
}

void DropUrlCache(const std::wstring& url)
{
    if (url.find(L":\\") != std::wstring::npos)
        return;
    DeleteUrlCacheEntryA(forms::TextToAnsi(url).c_str());
}

}  // namespace quill::session
