#include "session/HttpRequest.h"

#include "forms/Automation.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Error.h"
#include "forms/Pump.h"
#include "protocol/RequestEncoding.h"
#include "session/SessionToken.h"

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
    forms::ReleaseCompletedRequests();
    int32_t token = MakeSessionToken(L"");
    int repeatCount = 0;
    while (true) {
        if (timeout == 0)
            timeout = 6;
        try {
            forms::ObjectRef http = CreateRequestObject();
            if (!http)
                return L"";
            const std::wstring method = body.empty() ? L"GET" : L"POST";
            http->Call(L"open", {method, url, true, std::wstring(), std::wstring()});
            if (!body.empty())
                http->Call(L"setRequestHeader", {std::wstring(L"Content-Type"),
                                                 std::wstring(L"application/x-www-form-urlencoded")});
            if (noCache) {
                http->Call(L"setRequestHeader", {std::wstring(L"Cache-Control"), std::wstring(L"no-cache")});
                http->Call(L"setRequestHeader", {std::wstring(L"Pragma"), std::wstring(L"no-cache")});
            }
            if (!cookie.empty())
                http->Call(L"setRequestHeader", {std::wstring(L"Cookie"), cookie});
            if (!body.empty())
                http->Call(L"send", {protocol::UrlEncodeAnsi(body + L"&session=" + std::to_wstring(token))});
            else
                http->Call(L"send");

            // Measured on the monotonic clock: the time of day starts again at
            // midnight and would let a request begun before it wait for ever.
            const int64_t t0 = forms::MonotonicMilliseconds();
            while (forms::VariantNumber(http->Get(L"readyState")) != 4) {
                forms::DoEvents();
                Sleep(10);
                if (forms::MonotonicMilliseconds() - t0 >= int64_t(timeout) * 1000) {
                    forms::HoldUntilComplete(http);
                    return L"";
                }
            }

            std::wstring reply = BytesToText(forms::VariantBytes(http->Get(L"responseBody")), charset);

            if (IsStaleTokenReply(reply) && repeatCount == 0) {
                token = TokenAfterStaleReply(reply);
                repeatCount = 1;
                continue;
            }
            DropUrlCache(url);
            return reply;
        } catch (const std::exception&) {
            return L"";
        }
    }
}

void DropUrlCache(const std::wstring& url)
{
    if (url.find(L":\\") != std::wstring::npos)
        return;
    DeleteUrlCacheEntryA(forms::TextToAnsi(url).c_str());
}

}  // namespace quill::session
