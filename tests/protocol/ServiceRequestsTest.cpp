// The request bodies and their hand-over to a transport.
#include "protocol/ServiceRequests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::protocol {
namespace {

const std::wstring kAuth = L"username=demo&password=62cc2d8b4bf2d8728120d052163a77df&v=1.3";

TEST(ServiceRequests, BodiesAndTimeouts)
{
    AddFields fields;
    fields.platform = L"陆金所";
    fields.account = L"acc1";
    fields.projectName = L"稳盈 1期";
    fields.valueDate = L"2015-12-3";
    fields.term = L"30";
    fields.termInDays = true;
    fields.amount = L"10000";
    fields.annualRate = L"8.5";
    fields.repayTypeCode = 1;
    fields.finished = false;
    fields.voucher = L"0";
    fields.extraIncome = L"0";
    fields.extraExpense = L"0";
    fields.remark = L"x:y";
    fields.interestFeeRate = L"0";
    fields.yearBasis360 = true;
    fields.id = 0;

    const struct {
        ServiceRequest request;
        std::wstring body;
        int timeout;
    } cases[] = {
        {LoginRequest(kAuth), L"do=login&" + kAuth, 6},
        {ReloginRequest(kAuth), kAuth, 6},
        {CurrentListRequest(kAuth), L"do=list&" + kAuth, 6},
        {FinishedListRequest(kAuth), L"do=overlist&" + kAuth, 6},
        {RecordRequest(12, kAuth), L"do=showinfo&id=12&" + kAuth, 6},
        // The detail page passes the id as it holds its text.
        {RecordRequest(L"012", kAuth), L"do=showinfo&id=012&" + kAuth, 6},
        {DeleteRequest(12, kAuth), L"do=del&id=12&" + kAuth, 6},
        {BadDebtRequest(12, kAuth), L"do=bad&id=12&" + kAuth, 6},
        {FinishRequest(-3, kAuth), L"do=overinfo&id=-3&" + kAuth, 6},
        {SaveRequest(kAuth, fields),
         L"do=add&" + kAuth +
             L"&v1=陆金所&v14=acc1&v2=稳盈 1期&v3=2015-12-3&v4=30&v15=0&v5=10000&v6=8.5&v7=1&v8=0"
             L"&v9=0&v10=0&v11=0&v12=x:y&v16=0&v17=360&id=0",
         15},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.request.body, c.body);
        EXPECT_EQ(c.request.timeoutSeconds, c.timeout) << c.body;
    }
}

TEST(ServiceRequests, AddFieldsOptionsAndTheEditedProjectsId)
{
    AddFields fields;
    fields.termInDays = false;
    fields.repayTypeCode = 6;
    fields.finished = true;
    fields.yearBasis360 = false;
    fields.id = 41;
    EXPECT_EQ(fields.Text(),
              L"v1=&v14=&v2=&v3=&v4=&v15=1&v5=&v6=&v7=6&v8=2&v9=&v10=&v11=&v12=&v16=&v17=365&id=41");
    // No thirteenth field, and the due date is never sent.
    EXPECT_EQ(fields.Text().find(L"v13="), std::wstring::npos);
}

// Every typed value is escaped as the login escapes the account, so that none
// can end its field or start another; the builders' own "&" and "=" stay.
TEST(ServiceRequests, TypedValuesCannotSplitTheBody)
{
    AddFields fields;
    fields.platform = L"p&v5=1";
    fields.account = L"a=b";
    fields.projectName = L"50% #1";
    fields.remark = L"a&b=c%d#e";
    fields.amount = L"1+1";
    const std::wstring text = fields.Text();
    EXPECT_EQ(text,
              L"v1=p%26v5%3D1&v14=a%3Db&v2=50%25 %231&v3=&v4=&v15=0&v5=1%2B1&v6=&v7=0&v8=0&v9=&v10=&v11="
              L"&v12=a%26b%3Dc%25d%23e&v16=&v17=360&id=0");
    EXPECT_EQ(RecordRequest(L"7&do=del", kAuth).body, L"do=showinfo&id=7%26do%3Ddel&" + kAuth);
}

TEST(ServiceRequests, SendPostsTheBodyToSoftcenterWithItsTimeout)
{
    struct Call {
        std::wstring url, body;
        int timeout;
    };
    std::vector<Call> calls;
    const Transport canned = [&](std::wstring_view url, std::wstring_view body, int timeout) {
        calls.push_back({std::wstring(url), std::wstring(body), timeout});
        return std::wstring(L"-2|");
    };
    EXPECT_EQ(Send(LoginRequest(kAuth), L"http://127.0.0.1:18080/do/", canned), L"-2|");
    EXPECT_EQ(Send(SaveRequest(kAuth, AddFields{}), L"http://127.0.0.1:18081/do/", canned), L"-2|");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].url, L"http://127.0.0.1:18080/do/softcenter.asp");
    EXPECT_EQ(calls[0].body, L"do=login&" + kAuth);
    EXPECT_EQ(calls[0].timeout, 6);
    EXPECT_EQ(calls[1].url, L"http://127.0.0.1:18081/do/softcenter.asp");
    EXPECT_EQ(calls[1].timeout, 15);
}

}  // namespace
}  // namespace quill::protocol
