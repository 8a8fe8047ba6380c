#include "protocol/ServiceRecords.h"

#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"

namespace quill::protocol {

bool UserInfo::UserNameSignalsServerFailure() const
{
    return forms::Len(Text(UserName)) > kLongestUserName;
}

bool UserInfo::NothingRecorded() const
{
    // Both counts are read before either is compared: a missing one fails.
    const std::wstring& current = Text(CurrentProjectCount);
    const std::wstring& finished = Text(FinishedProjectCount);
    return current == L"0" && finished == L"0";
}

LatestVersionState CompareLatestVersion(const UserInfo& info, std::wstring_view ownVersion)
{
    if (info.Count() <= UserInfo::LatestVersion)
        return LatestVersionState::Unreadable;
    // A version written with a comma for its decimal point ("1,4") is read
    // up to the comma, never as a grouped number (14) that would ask every
    // user to update.
    std::wstring_view latest = info.Text(UserInfo::LatestVersion);
    latest = latest.substr(0, latest.find(L','));
    if (!forms::IsNumeric(latest))
        return LatestVersionState::Unreadable;
    const double version = forms::ToDouble(latest);
    if (version <= 0)
        return LatestVersionState::Maintenance;
    return forms::Val(ownVersion) < version ? LatestVersionState::Newer : LatestVersionState::NotNewer;
}

AccountSnapshot::AccountSnapshot(std::wstring_view text) : sections_(forms::Split(text, L"[]")) {}

const std::wstring& AccountSnapshot::Section(int index) const
{
    return forms::At(sections_, index);
}

std::optional<NameLists> ReadNameLists(std::wstring_view section)
{
    const std::vector<std::wstring> parts = forms::Split(section, L"|");
    if (parts.size() < 2)
        return std::nullopt;
    return NameLists{ListNames(parts[0]), ListNames(parts[1])};
}

std::wstring MonthRow::YearText() const
{
    return forms::Left(Text(YearMonth), 4);
}

double MonthRow::MonthStart() const
{
    const std::wstring& yearMonth = Text(YearMonth);
    return forms::ToDate(forms::Left(yearMonth, 4) + L"-" + forms::Mid(yearMonth, 5) + L"-1");
}

std::int32_t ProjectRow::Id() const
{
    return StrictInt32(ProjectId);
}

bool ProjectRow::TermInDays() const
{
    return Strict(TermDaysFlag) == 1;
}

bool ProjectRecord::TermInDays() const
{
    return Lenient(TermUnit) == 0;
}

bool ProjectRecord::IsFinished() const
{
    return Strict(ProjectStatus) != 0;
}

int ProjectRecord::YearBasisDays() const
{
    const std::wstring& basis = Text(YearBasis);
    return forms::IsNumeric(basis) && forms::ToDouble(basis) == 360 ? 360 : 365;
}

std::vector<ScheduleRow> ProjectRecord::ScheduleRows() const
{
    return ReadRows<ScheduleRow>(Text(Schedule));
}

}  // namespace quill::protocol
