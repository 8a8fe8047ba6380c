// The four summary lines that the list, platform and report pages show above
// their list, each a caption and a value read from UserInfo.
#pragma once

#include "forms/lang/Numbers.h"
#include "workspace/FormatWan.h"
#include "workspace/PageHost.h"

#include <string>
#include <vector>

namespace quill::workspace {

struct SummaryLine {
    const wchar_t* caption;
    // The value's text from UserInfo; a strict reading that fails raises.
    std::wstring (*value)(const protocol::UserInfo& info);
};

// FormatWan of a UserInfo item read strictly.
template <int Item>
std::wstring WanItem(const protocol::UserInfo& info)
{
    return FormatWan(info.Strict(Item));
}

// A UserInfo item as received.
template <int Item>
std::wstring ItemAsReceived(const protocol::UserInfo& info)
{
    return info.Text(Item);
}

// A rate item with two decimals and "%" (a text that is no number unchanged).
template <int Item>
std::wstring RateItem(const protocol::UserInfo& info)
{
    return forms::Format(std::wstring_view(info.Text(Item)), L"0.00") + L"%";
}

// The four lines of the finished projects and the finished platforms.
const std::vector<SummaryLine>& FinishedSummary();

// Shows as many tiles as there are lines and fills them in order; the first
// value that fails stops the page with its error.
void ShowSummary(PageHost& host, const std::vector<SummaryLine>& lines);

}  // namespace quill::workspace
