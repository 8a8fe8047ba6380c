// The session's one reset: what a logout empties, what a fresh run starts
// without, and what each keeps.
#include "session/Session.h"

#include <gtest/gtest.h>

#include <string>

namespace quill::session {
namespace {

// A session in the middle of a run: every value holds something.
Session Busy()
{
    Session s;
    s.ServerBaseUrl = L"http://backup/do/";
    s.BackupBaseUrl = L"http://backup/do/";
    s.TwipsPerPixelX = 15;
    s.TwipsPerPixelY = 12;
    s.MainWindowOpened = true;
    s.LayoutMargin = 90;
    s.ChartHeight = 4500;
    s.ReplyRows = {L"1,a", L""};
    s.RowFields = {L"1", L"a"};
    s.CurrentProjectId = 7;
    s.CurrentProjectDueDate = 42500;
    s.AuthQuery = L"username=demo&password=x&v=1.3";
    s.LoginReply = L"u|1[]m[]c[]f[]p|a[]d";
    s.UserInfo = protocol::UserInfo(L"u|1");
    s.MonthlySection = L"m";
    s.CurrentPlatformSection = L"c";
    s.FinishedPlatformSection = L"f";
    s.PlatformListSection = L"p|a";
    s.DueSoonSection = L"d";
    s.CurrentListCache = L"1,x|";
    s.FinishedListCache = L"2,y|";
    s.RecordCache.Put(7, L"a project's record");
    s.KeptPlatform = L"P1";
    s.KeptAccount = L"A1";
    return s;
}

const AccountValues& AccountOf(const Session& s)
{
    return s;
}

const RunValues& RunOf(const Session& s)
{
    return s;
}

TEST(Session, ALogoutEmptiesTheAccountsValuesAndKeepsTheRuns)
{
    const Session busy = Busy();
    Session s = busy;
    s.Reset(SessionReset::Logout);
    // Another account logging in next finds every value of this one as a
    // fresh run has it, whatever values the account holds.
    EXPECT_TRUE(AccountOf(s) == AccountValues());
    EXPECT_TRUE(RunOf(s) == RunOf(busy));
    // The empty values are the empty ones, not merely other ones.
    EXPECT_TRUE(s.AuthQuery.empty());
    EXPECT_TRUE(s.LoginReply.empty());
    EXPECT_EQ(s.UserInfo.Count(), 0);
    EXPECT_EQ(s.RecordCache.Get(7), L"");
    EXPECT_TRUE(s.ReplyRows.empty());
    EXPECT_TRUE(s.RowFields.empty());
    EXPECT_EQ(s.CurrentProjectId, 0);
    EXPECT_EQ(s.CurrentProjectDueDate, 0);
    EXPECT_TRUE(s.KeptPlatform.empty());
    EXPECT_TRUE(s.KeptAccount.empty());
    EXPECT_EQ(s.ServerBaseUrl, L"http://backup/do/");
    EXPECT_TRUE(s.MainWindowOpened);
    EXPECT_EQ(s.TwipsPerPixelX, 15);
    EXPECT_EQ(s.TwipsPerPixelY, 12);
}

TEST(Session, ANewRunStartsWithNothingButTheScreensFactors)
{
    Session s = Busy();
    s.Reset(SessionReset::NewRun);
    RunValues start;
    start.TwipsPerPixelX = 15;
    start.TwipsPerPixelY = 12;
    EXPECT_TRUE(AccountOf(s) == AccountValues());
    EXPECT_TRUE(RunOf(s) == start);
    EXPECT_FALSE(s.MainWindowOpened);
    EXPECT_EQ(s.LayoutMargin, 0);
    EXPECT_EQ(s.ChartHeight, 0);
    EXPECT_EQ(s.CurrentProjectId, 0);
    EXPECT_TRUE(s.ServerBaseUrl.empty());
    EXPECT_TRUE(s.ReplyRows.empty());
    EXPECT_EQ(s.TwipsPerPixelX, 15);
    EXPECT_EQ(s.TwipsPerPixelY, 12);
}

TEST(Session, TheCacheOperationsWorkOnTheProgramsSession)
{
    CurrentSession().Reset(SessionReset::NewRun);
    CachePut(5, L"five");
    EXPECT_EQ(CurrentSession().RecordCache.Get(5), L"five");
    CurrentSession().Reset(SessionReset::Logout);
    EXPECT_EQ(CacheGet(5), L"");
}

}  // namespace
}  // namespace quill::session
