// The records the service sends back: the account snapshot and its sections,
// and the rows of the project, platform, month and schedule lists.
//
// Items are named by position; a caller reads them through ReplyItems as its
// page prescribes (as received, strictly or leniently).
#pragma once

#include "protocol/ReplyItems.h"
#include "protocol/ReplyText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::protocol {

// Section 0 of a snapshot, items separated by "|".
class UserInfo : public ReplyItems {
public:
    enum Item : int {
        UserName = 0,
        CurrentPrincipal = 3,
        FinishedInterest = 4,
        PendingInterest = 5,
        MonthHoldingInterest = 6,
        CurrentProjectCount = 8,
        FinishedProjectCount = 9,
        MonthRepaidPrincipal = 10,
        MonthRepaidInterest = 11,
        LatestVersion = 12,
        FinishedPrincipal = 16,
        CurrentWeightedRate = 17,
        FinishedWeightedRate = 18,
    };
    // A longer display name means the service sent an error page.
    static constexpr int kLongestUserName = 50;

    UserInfo() = default;
    explicit UserInfo(std::wstring_view section) : ReplyItems(section, L"|") {}

    bool UserNameSignalsServerFailure() const;
    // Both project counts are the text "0" ("0.0" is not).
    bool NothingRecorded() const;
};

enum class LatestVersionState {
    Maintenance,  // the service's version is a number of 0 or less
    Newer,        // the service offers a newer client
    NotNewer,
    Unreadable,  // missing, or no number: a cut reply, which must neither close nor update the program
};

// Versions are major "." minor read as decimal numbers, so "1.10" is 1.1 and
// older than "1.3"; the service's version is read up to a comma, whatever
// the decimal separator it was written with ("1,4" is 1).
LatestVersionState CompareLatestVersion(const UserInfo& info, std::wstring_view ownVersion);

// The text of a snapshot: the reply to a login, a re-login and every change.
class AccountSnapshot {
public:
    enum SectionIndex : int {
        UserInfoItems = 0,
        Monthly = 1,            // MonthRow list
        CurrentPlatforms = 2,   // PlatformRow list
        FinishedPlatforms = 3,  // PlatformRow list
        PlatformList = 4,       // platform and account names
        DueSoon = 5,            // ProjectRow list, nearest first
    };
    static constexpr int kSectionCount = 6;

    AccountSnapshot() = default;
    explicit AccountSnapshot(std::wstring_view text);

    int SectionCount() const { return static_cast<int>(sections_.size()); }
    // A section the text does not hold raises 9.
    const std::wstring& Section(int index) const;
    UserInfo ReadUserInfo() const { return UserInfo(Section(UserInfoItems)); }

private:
    std::vector<std::wstring> sections_;
};

// Section 4: platform names, "|", account names, each name followed by ",".
struct NameLists {
    std::vector<std::wstring> platforms;
    std::vector<std::wstring> accounts;
};
// Nothing when the section holds no "|".
std::optional<NameLists> ReadNameLists(std::wstring_view section);

// One monthly income line, items separated by ":".
class MonthRow : public ReplyItems {
public:
    enum Item : int { YearMonth, ProjectCount, HoldingInterest, RepaidPrincipal, RepaidInterest };

    MonthRow() = default;
    explicit MonthRow(std::wstring_view row) : ReplyItems(row, L":") {}

    // The first four characters of YearMonth.
    std::wstring YearText() const;
    // Day 1 of the month: the year from the first four characters, the month
    // from the rest; raises 13 when they make no date.
    double MonthStart() const;
};

// One per-platform summary line, items separated by ",".
class PlatformRow : public ReplyItems {
public:
    enum Item : int {
        PlatformName,
        Principal,
        InterestIncome,
        ProjectCount,
        AverageRate,
        ActualRate,
        Voucher,
        OtherIncome,
        OtherExpense,
    };

    PlatformRow() = default;
    explicit PlatformRow(std::wstring_view row) : ReplyItems(row, L",") {}
};

// One project line of the project lists and of the due-soon section,
// items separated by ",".
class ProjectRow : public ReplyItems {
public:
    enum Item : int {
        ProjectId,
        PlatformName,
        ProjectName,
        ValueDate,
        DueDate,
        Amount,
        Term,
        AnnualRate,
        ActualRate,
        ExpectedIncome = 10,
        ActualIncome,
        TermDaysFlag,
        PlatformAccount,
    };

    ProjectRow() = default;
    explicit ProjectRow(std::wstring_view row) : ReplyItems(row, L",") {}

    // The strict integer of ProjectId.
    std::int32_t Id() const;
    // TermDaysFlag read strictly is 1 (days); any other number means months.
    bool TermInDays() const;
};

// One month of a project's repayment schedule, items separated by ":".
class ScheduleRow : public ReplyItems {
public:
    enum Item : int { YearMonth, Days, HoldingInterest, RepaidPrincipal, RepaidInterest, RepayDate };

    ScheduleRow() = default;
    explicit ScheduleRow(std::wstring_view row) : ReplyItems(row, L":") {}
};

// The reply to "do=showinfo&id=": one project's 22 items separated by ",".
class ProjectRecord : public ReplyItems {
public:
    enum Item : int {
        PlatformName,
        ProjectName,
        PlatformAccount,
        ValueDate,
        DueDate,
        Amount,
        Term,
        TermUnit,
        AnnualRate,
        ActualRate,
        InterestFeeRate,
        InterestFee,
        ExpectedIncome,
        ActualIncome,
        RepayType,
        ProjectStatus,
        Voucher,
        ExtraIncome,
        ExtraExpense,
        Remark,
        Schedule,
        YearBasis,
    };
    static constexpr int kItemCount = 22;

    ProjectRecord() = default;
    explicit ProjectRecord(std::wstring_view reply) : ReplyItems(reply, L",") {}

    // TermUnit's leading number is 0 (days); anything else means months. The
    // opposite coding of a ProjectRow's TermDaysFlag.
    bool TermInDays() const;
    // ProjectStatus read strictly is not 0.
    bool IsFinished() const;
    // 360 when YearBasis is the number 360, else 365.
    int YearBasisDays() const;
    std::vector<ScheduleRow> ScheduleRows() const;
};

// The rows of a row list, each read as Row.
template <class Row>
std::vector<Row> ReadRows(std::wstring_view list)
{
    std::vector<Row> rows;
    for (const std::wstring& row : ListRows(list))
        rows.emplace_back(row);
    return rows;
}

}  // namespace quill::protocol
