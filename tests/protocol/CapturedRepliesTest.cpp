// The readers and classifiers over replies captured from the reference
// service (tests/fuzz/capture_replies.py), as the client decodes them.
#include "protocol/ReplyForms.h"
#include "protocol/ServiceRecords.h"

#include "tests/support/ErrorNumber.h"
#include "tests/support/WholeFile.h"

#include "forms/lang/Ansi.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace quill::protocol {
namespace {

std::wstring CapturedReply(const std::string& name)
{
    const std::string bytes =
        test::ReadWholeFile(std::string(QUILL_SOURCE_DIR) + "/tests/fuzz/seeds/replies/" + name);
    EXPECT_FALSE(bytes.empty()) << name;
    return forms::AnsiToText(bytes);
}

void ExpectProjectRows(const std::wstring& list)
{
    for (const ProjectRow& row : ReadRows<ProjectRow>(list)) {
        ASSERT_EQ(row.Count(), 14) << row.Text(0);
        EXPECT_GT(row.Id(), 0);
        EXPECT_NO_THROW(row.TermInDays());
        EXPECT_NO_THROW(row.StrictDate(ProjectRow::ValueDate));
        EXPECT_NO_THROW(row.StrictDate(ProjectRow::DueDate));
        for (int item : {ProjectRow::Amount, ProjectRow::ExpectedIncome, ProjectRow::ActualIncome})
            EXPECT_NO_THROW(row.Strict(item)) << row.Text(item);
    }
}

// A complete snapshot read the way the pages read it.
void ExpectCompleteSnapshot(const std::wstring& text)
{
    EXPECT_FALSE(LoginNeedsBackup(text));
    EXPECT_EQ(ClassifyLoginReply(text).outcome, LoginOutcome::Accepted);
    EXPECT_FALSE(ActionReplyRejected(text));
    const AccountSnapshot snapshot(text);
    ASSERT_EQ(snapshot.SectionCount(), AccountSnapshot::kSectionCount);

    const UserInfo info = snapshot.ReadUserInfo();
    ASSERT_GE(info.Count(), 19);
    EXPECT_FALSE(info.UserNameSignalsServerFailure());
    EXPECT_FALSE(info.NothingRecorded());
    for (int item :
         {UserInfo::CurrentPrincipal, UserInfo::FinishedInterest, UserInfo::PendingInterest,
          UserInfo::MonthHoldingInterest, UserInfo::MonthRepaidPrincipal, UserInfo::MonthRepaidInterest,
          UserInfo::FinishedPrincipal, UserInfo::CurrentWeightedRate, UserInfo::FinishedWeightedRate})
        EXPECT_NO_THROW(info.Strict(item)) << item;

    const std::vector<MonthRow> months = ReadRows<MonthRow>(snapshot.Section(AccountSnapshot::Monthly));
    EXPECT_FALSE(months.empty());
    for (const MonthRow& month : months) {
        ASSERT_EQ(month.Count(), 5);
        EXPECT_NO_THROW(month.MonthStart()) << month.Text(MonthRow::YearMonth);
        EXPECT_NO_THROW(month.Strict(MonthRow::HoldingInterest));
    }
    for (int section : {AccountSnapshot::CurrentPlatforms, AccountSnapshot::FinishedPlatforms}) {
        const std::vector<PlatformRow> platforms = ReadRows<PlatformRow>(snapshot.Section(section));
        EXPECT_FALSE(platforms.empty());
        for (const PlatformRow& platform : platforms) {
            ASSERT_EQ(platform.Count(), 9);
            EXPECT_NO_THROW(platform.Strict(PlatformRow::Principal));
            EXPECT_NO_THROW(platform.Strict(PlatformRow::InterestIncome));
        }
    }
    const std::optional<NameLists> names = ReadNameLists(snapshot.Section(AccountSnapshot::PlatformList));
    ASSERT_TRUE(names);
    EXPECT_FALSE(names->platforms.empty());
    EXPECT_FALSE(names->accounts.empty());
    ExpectProjectRows(snapshot.Section(AccountSnapshot::DueSoon));
}

TEST(CapturedReplies, Snapshots)
{
    for (const char* name : {"login.txt", "relogin.txt", "overinfo.txt", "bad.txt", "del.txt",
                             "login-odd-names.txt", "login-short-6-19.txt", "login-short-6-25.txt"}) {
        SCOPED_TRACE(name);
        ExpectCompleteSnapshot(CapturedReply(name));
    }
    const UserInfo info = AccountSnapshot(CapturedReply("login.txt")).ReadUserInfo();
    EXPECT_EQ(info.Text(UserInfo::UserName), L"演示用户");
    EXPECT_EQ(CompareLatestVersion(info, L"1.3"), LatestVersionState::NotNewer);
    const UserInfo tenth = AccountSnapshot(CapturedReply("login-version-1.10.txt")).ReadUserInfo();
    EXPECT_EQ(tenth.Text(UserInfo::LatestVersion), L"1.10");
    EXPECT_EQ(CompareLatestVersion(tenth, L"1.3"), LatestVersionState::NotNewer);
}

TEST(CapturedReplies, ShortAndBrokenSnapshots)
{
    const UserInfo nine = AccountSnapshot(CapturedReply("login-short-6-9.txt")).ReadUserInfo();
    EXPECT_EQ(nine.Count(), 9);
    EXPECT_EQ(test::ErrorOf([&] { nine.NothingRecorded(); }), 9);
    EXPECT_EQ(CompareLatestVersion(nine, L"1.3"), LatestVersionState::Unreadable);

    const UserInfo twelve = AccountSnapshot(CapturedReply("login-short-6-12.txt")).ReadUserInfo();
    EXPECT_EQ(twelve.Count(), 12);
    EXPECT_EQ(CompareLatestVersion(twelve, L"1.3"), LatestVersionState::Unreadable);

    const AccountSnapshot three(CapturedReply("login-short-3-None.txt"));
    EXPECT_EQ(three.SectionCount(), 3);
    EXPECT_EQ(test::ErrorOf([&] { three.Section(AccountSnapshot::PlatformList); }), 9);
    EXPECT_EQ(AccountSnapshot(CapturedReply("login-short-1-None.txt")).SectionCount(), 1);
    // Cut short, none of them is a login.
    for (const char* name : {"login-short-6-9.txt", "login-short-6-12.txt", "login-short-3-None.txt"})
        EXPECT_EQ(ClassifyLoginReply(CapturedReply(name)).outcome, LoginOutcome::Unreachable) << name;

    const std::wstring longName = CapturedReply("login-long-username.txt");
    EXPECT_TRUE(AccountSnapshot(longName).ReadUserInfo().UserNameSignalsServerFailure());

    // A server error page with a "|" is no snapshot: a failed login. Read as
    // one, its "name" is too long.
    const std::wstring errorPage = CapturedReply("http500-pipe.txt");
    EXPECT_EQ(ClassifyLoginReply(errorPage).outcome, LoginOutcome::Unreachable);
    EXPECT_TRUE(AccountSnapshot(errorPage).ReadUserInfo().UserNameSignalsServerFailure());
    EXPECT_TRUE(ActionReplyRejected(errorPage));
    EXPECT_TRUE(LoginNeedsBackup(CapturedReply("http500-plain.txt")));
}

TEST(CapturedReplies, Refusals)
{
    const LoginVerdict refused = ClassifyLoginReply(CapturedReply("login-refusal-2.txt"));
    EXPECT_EQ(refused.outcome, LoginOutcome::Refused);
    EXPECT_EQ(refused.refusalCode, L"-2");
    EXPECT_EQ(ClassifyLoginReply(CapturedReply("login-refusal-7.txt")).outcome, LoginOutcome::Unreachable);
    EXPECT_TRUE(ReloginRefused(CapturedReply("login-refusal-2.txt")));
}

TEST(CapturedReplies, ProjectLists)
{
    for (const char* name : {"list.txt", "overlist.txt", "list-odd-names.txt"}) {
        SCOPED_TRACE(name);
        const std::wstring list = CapturedReply(name);
        EXPECT_FALSE(ListReplyFailed(list, 1));
        EXPECT_FALSE(ReadRows<ProjectRow>(list).empty());
        ExpectProjectRows(list);
    }
}

TEST(CapturedReplies, ProjectRecords)
{
    for (const char* name :
         {"showinfo-0.txt", "showinfo-1.txt", "showinfo-2.txt", "showinfo-odd-names.txt"}) {
        SCOPED_TRACE(name);
        const std::wstring reply = CapturedReply(name);
        ASSERT_TRUE(RecordReplyUsable(reply));
        const ProjectRecord record(reply);
        ASSERT_EQ(record.Count(), ProjectRecord::kItemCount);
        EXPECT_NO_THROW(record.IsFinished());
        EXPECT_NO_THROW(record.StrictDate(ProjectRecord::DueDate));
        EXPECT_NO_THROW(record.StrictInt32(ProjectRecord::RepayType));
        const std::vector<ScheduleRow> schedule = record.ScheduleRows();
        EXPECT_FALSE(schedule.empty());
        for (const ScheduleRow& month : schedule) {
            ASSERT_EQ(month.Count(), 6);
            EXPECT_NO_THROW(month.Strict(ScheduleRow::HoldingInterest));
            EXPECT_NO_THROW(month.Strict(ScheduleRow::RepaidPrincipal));
        }
    }
    const std::wstring withoutPipe = CapturedReply("showinfo-without-pipe.txt");
    EXPECT_FALSE(RecordReplyUsable(withoutPipe));
    EXPECT_EQ(ProjectRecord(withoutPipe).Count(), ProjectRecord::kItemCount);
    EXPECT_FALSE(RecordReplyUsable(CapturedReply("showinfo-unknown.txt")));
}

TEST(CapturedReplies, SaveReplies)
{
    for (const char* name : {"add.txt", "add-days.txt"}) {
        SCOPED_TRACE(name);
        const SaveVerdict saved = ClassifySaveReply(CapturedReply(name));
        ASSERT_EQ(saved.outcome, SaveOutcome::Saved);
        ASSERT_TRUE(saved.id);
        EXPECT_GT(*saved.id, 0);
        ExpectCompleteSnapshot(saved.snapshot);
    }
    const SaveVerdict message = ClassifySaveReply(CapturedReply("add-fail-message.txt"));
    EXPECT_EQ(message.outcome, SaveOutcome::Message);
    EXPECT_EQ(message.message, L"项目名称含有不被接受的字符");
    // Without an id before the first "," nothing is taken as saved: the
    // bare snapshot's first "," lies inside a section.
    for (const char* name :
         {"add-without-id-no_comma.txt", "add-without-id-bare.txt", "add-without-id-empty_id.txt"}) {
        const SaveVerdict verdict = ClassifySaveReply(CapturedReply(name));
        EXPECT_EQ(verdict.outcome, SaveOutcome::WithoutId) << name;
        EXPECT_FALSE(verdict.id) << name;
    }
}

}  // namespace
}  // namespace quill::protocol
