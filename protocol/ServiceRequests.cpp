#include "protocol/ServiceRequests.h"

#include "protocol/RequestEncoding.h"

namespace quill::protocol {

namespace {

constexpr int kDefaultTimeout = 6;
// Saving a project may take the service longer.
constexpr int kSaveTimeout = 15;

std::wstring Concat(std::initializer_list<std::wstring_view> parts)
{
    std::wstring text;
    for (std::wstring_view part : parts)
        text += part;
    return text;
}

ServiceRequest Action(std::wstring_view action, std::wstring_view authQuery)
{
    return {Concat({action, authQuery}), kDefaultTimeout};
}

// A typed value goes out escaped, so that "&", "=", "%", "+" and "#" in it
// reach the service as typed instead of splitting the body.
std::wstring Typed(std::wstring_view value)
{
    return EscapeFieldValue(value);
}

ServiceRequest ActionOnProject(std::wstring_view action, std::wstring_view projectId,
                               std::wstring_view authQuery)
{
    return {Concat({action, Typed(projectId), L"&", authQuery}), kDefaultTimeout};
}

}  // namespace

std::wstring AddFields::Text() const
{
    return Concat({L"v1=",   Typed(platform),
                   L"&v14=", Typed(account),
                   L"&v2=",  Typed(projectName),
                   L"&v3=",  Typed(valueDate),
                   L"&v4=",  Typed(term),
                   L"&v15=", termInDays ? L"0" : L"1",
                   L"&v5=",  Typed(amount),
                   L"&v6=",  Typed(annualRate),
                   L"&v7=",  std::to_wstring(repayTypeCode),
                   L"&v8=",  finished ? L"2" : L"0",
                   L"&v9=",  Typed(voucher),
                   L"&v10=", Typed(extraIncome),
                   L"&v11=", Typed(extraExpense),
                   L"&v12=", Typed(remark),
                   L"&v16=", Typed(interestFeeRate),
                   L"&v17=", yearBasis360 ? L"360" : L"365",
                   L"&id=",  std::to_wstring(id)});
}

ServiceRequest LoginRequest(std::wstring_view authQuery)
{
    return Action(L"do=login&", authQuery);
}

ServiceRequest ReloginRequest(std::wstring_view authQuery)
{
    return Action(L"", authQuery);
}

ServiceRequest CurrentListRequest(std::wstring_view authQuery)
{
    return Action(L"do=list&", authQuery);
}

ServiceRequest FinishedListRequest(std::wstring_view authQuery)
{
    return Action(L"do=overlist&", authQuery);
}

ServiceRequest RecordRequest(std::wstring_view projectId, std::wstring_view authQuery)
{
    return ActionOnProject(L"do=showinfo&id=", projectId, authQuery);
}

ServiceRequest RecordRequest(std::int32_t projectId, std::wstring_view authQuery)
{
    return RecordRequest(std::to_wstring(projectId), authQuery);
}

ServiceRequest SaveRequest(std::wstring_view authQuery, const AddFields& fields)
{
    return {Concat({L"do=add&", authQuery, L"&", fields.Text()}), kSaveTimeout};
}

ServiceRequest DeleteRequest(std::int32_t projectId, std::wstring_view authQuery)
{
    return ActionOnProject(L"do=del&id=", std::to_wstring(projectId), authQuery);
}

ServiceRequest BadDebtRequest(std::int32_t projectId, std::wstring_view authQuery)
{
    return ActionOnProject(L"do=bad&id=", std::to_wstring(projectId), authQuery);
}

ServiceRequest FinishRequest(std::int32_t projectId, std::wstring_view authQuery)
{
    return ActionOnProject(L"do=overinfo&id=", std::to_wstring(projectId), authQuery);
}

std::wstring RequestAddress(std::wstring_view baseUrl)
{
    return Concat({baseUrl, L"softcenter.asp"});
}

std::wstring Send(const ServiceRequest& request, std::wstring_view baseUrl, const Transport& transport)
{
    return transport(RequestAddress(baseUrl), request.body, request.timeoutSeconds);
}

}  // namespace quill::protocol
