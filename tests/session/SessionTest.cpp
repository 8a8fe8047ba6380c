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
    return s;
}

// Each value: its name, and whether it is still as Busy() left it.
struct Value {
    const char* name;
    bool (*kept)(const Session&);
};

const Value kValues[] = {
    {"ServerBaseUrl", [](const Session& s) { return s.ServerBaseUrl == L"http://backup/do/"; }},
    {"BackupBaseUrl", [](const Session& s) { return s.BackupBaseUrl == L"http://backup/do/"; }},
    {"MainWindowOpened", [](const Session& s) { return s.MainWindowOpened; }},
    {"LayoutMargin", [](const Session& s) { return s.LayoutMargin == 90; }},
    {"ChartHeight", [](const Session& s) { return s.ChartHeight == 4500; }},
    {"ReplyRows", [](const Session& s) { return s.ReplyRows.size() == 2; }},
    {"RowFields", [](const Session& s) { return s.RowFields.size() == 2; }},
    {"CurrentProjectId", [](const Session& s) { return s.CurrentProjectId == 7; }},
    {"CurrentProjectDueDate", [](const Session& s) { return s.CurrentProjectDueDate == 42500; }},
    {"AuthQuery", [](const Session& s) { return !s.AuthQuery.empty(); }},
    {"LoginReply", [](const Session& s) { return !s.LoginReply.empty(); }},
    {"UserInfo", [](const Session& s) { return s.UserInfo.Count() == 2; }},
    {"MonthlySection", [](const Session& s) { return s.MonthlySection == L"m"; }},
    {"CurrentPlatformSection", [](const Session& s) { return s.CurrentPlatformSection == L"c"; }},
    {"FinishedPlatformSection", [](const Session& s) { return s.FinishedPlatformSection == L"f"; }},
    {"PlatformListSection", [](const Session& s) { return s.PlatformListSection == L"p|a"; }},
    {"DueSoonSection", [](const Session& s) { return s.DueSoonSection == L"d"; }},
    {"CurrentListCache", [](const Session& s) { return s.CurrentListCache == L"1,x|"; }},
    {"FinishedListCache", [](const Session& s) { return s.FinishedListCache == L"2,y|"; }},
    {"RecordCache", [](const Session& s) { return s.RecordCache.Get(7) == L"a project's record"; }},
};

// The values a logout empties: the account's, so that another account
// logging in next sees nothing of this one.
bool EmptiedAtLogout(const std::string& name)
{
    for (const char* account : {"AuthQuery", "LoginReply", "UserInfo", "MonthlySection",
                                "CurrentPlatformSection", "FinishedPlatformSection", "PlatformListSection",
                                "DueSoonSection", "CurrentListCache", "FinishedListCache", "RecordCache"})
        if (name == account)
            return true;
    return false;
}

TEST(Session, ALogoutEmptiesTheAccountsValuesAndKeepsTheRuns)
{
    Session s = Busy();
    s.Reset(SessionReset::Logout);
    for (const Value& v : kValues)
        EXPECT_EQ(v.kept(s), !EmptiedAtLogout(v.name)) << v.name;
    // The empty values are the empty ones, not merely other ones.
    EXPECT_TRUE(s.AuthQuery.empty());
    EXPECT_TRUE(s.LoginReply.empty());
    EXPECT_EQ(s.UserInfo.Count(), 0);
    EXPECT_EQ(s.RecordCache.Get(7), L"");
    EXPECT_EQ(s.TwipsPerPixelX, 15);
    EXPECT_EQ(s.TwipsPerPixelY, 12);
}

TEST(Session, ANewRunStartsWithNothingButTheScreensFactors)
{
    Session s = Busy();
    s.Reset(SessionReset::NewRun);
    for (const Value& v : kValues)
        EXPECT_FALSE(v.kept(s)) << v.name;
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
