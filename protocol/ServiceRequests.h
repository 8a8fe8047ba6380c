// The nine requests the client makes of the service, as request bodies.
//
// A body is the action (with its id) followed by the session's AuthQuery and,
// for a saved project, the entry form's fields. AuthQuery comes built (its
// account escaped by the login); every value a builder adds is escaped with
// EscapeFieldValue, the one escaping rule. The transport (the session
// token, the body encoding, the wait, the repeat after a stale token) belongs
// to the HTTP client; Send hands a request to it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quill::protocol {

struct ServiceRequest {
    std::wstring body;
    int timeoutSeconds = 6;
};

// The fields of a saved project, "v1" to "v17" (there is no "v13") and "id",
// each text already cleaned by the entry form. Texts go out as typed: the
// body escapes what would change its structure ("&", "=", "%", "+", "#").
struct AddFields {
    std::wstring platform;         // v1
    std::wstring account;          // v14
    std::wstring projectName;      // v2
    std::wstring valueDate;        // v3
    std::wstring term;             // v4
    bool termInDays = true;        // v15: "0" days, "1" months
    std::wstring amount;           // v5
    std::wstring annualRate;       // v6
    std::int32_t repayTypeCode{};  // v7
    bool finished = false;         // v8: "0" not finished, "2" finished
    std::wstring voucher;          // v9
    std::wstring extraIncome;      // v10
    std::wstring extraExpense;     // v11
    std::wstring remark;           // v12
    std::wstring interestFeeRate;  // v16
    bool yearBasis360 = true;      // v17: "360" or "365"
    std::int32_t id = 0;           // 0 for a new project

    // "v1=...&v14=...&...&id=..." in the order the service reads them.
    std::wstring Text() const;
};

ServiceRequest LoginRequest(std::wstring_view authQuery);
// The first try of the re-login: AuthQuery without an action.
ServiceRequest ReloginRequest(std::wstring_view authQuery);
ServiceRequest CurrentListRequest(std::wstring_view authQuery);
ServiceRequest FinishedListRequest(std::wstring_view authQuery);
// The id goes out as the caller holds it (the detail page passes its text on
// unchanged), escaped like a typed value.
ServiceRequest RecordRequest(std::wstring_view projectId, std::wstring_view authQuery);
ServiceRequest RecordRequest(std::int32_t projectId, std::wstring_view authQuery);
ServiceRequest SaveRequest(std::wstring_view authQuery, const AddFields& fields);
ServiceRequest DeleteRequest(std::int32_t projectId, std::wstring_view authQuery);
ServiceRequest BadDebtRequest(std::int32_t projectId, std::wstring_view authQuery);
ServiceRequest FinishRequest(std::int32_t projectId, std::wstring_view authQuery);

// Posts a body to an address and returns the decoded reply, "" on any failure
// (the HTTP client's request routine, or canned replies in tests).
using Transport =
    std::function<std::wstring(std::wstring_view url, std::wstring_view body, int timeoutSeconds)>;

// Every request goes to the base URL followed by "softcenter.asp".
std::wstring RequestAddress(std::wstring_view baseUrl);

std::wstring Send(const ServiceRequest& request, std::wstring_view baseUrl, const Transport& transport);

}  // namespace quill::protocol
