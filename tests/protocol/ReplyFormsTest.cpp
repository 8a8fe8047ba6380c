// How each caller classifies a reply.
#include "protocol/ReplyForms.h"

#include <gtest/gtest.h>

namespace quill::protocol {
namespace {

const wchar_t kSnapshot[] = L"演示用户|1|2|3|4|5|6|7|0|0|10|11|1.3[][][][]|[]";
// A snapshot with every UserInfo item the pages read.
const wchar_t kFullSnapshot[] = L"演示用户|1|2|3|4|5|6|7|0|0|10|11|1.3|13|14|15|16|17|18[][][][]|[]";

TEST(LoginReply, BackupIsTriedWhenThePrimaryGivesNothingUsable)
{
    const struct {
        const wchar_t* reply;
        bool backup;
    } cases[] = {
        {L"", true},
        {L"<html>error</html>", true},
        {L"-2|", false},
        {kSnapshot, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoginNeedsBackup(c.reply), c.backup) << c.reply;
}

TEST(LoginReply, RefusalsAreThreeCharactersWithAListedCode)
{
    const struct {
        const wchar_t* reply;
        LoginOutcome outcome;
        const wchar_t* code;
    } cases[] = {
        {L"", LoginOutcome::Unreachable, L""},
        {L"-1|", LoginOutcome::Refused, L"-1"},
        {L"-2|", LoginOutcome::Refused, L"-2"},
        {L"-3|", LoginOutcome::Refused, L"-3"},
        {L"-4|", LoginOutcome::Refused, L"-4"},
        {L"-5|", LoginOutcome::Refused, L"-5"},
        // Anything else that is no readable snapshot is a failed login.
        {L"-7|", LoginOutcome::Unreachable, L""},
        {L"-9|", LoginOutcome::Unreachable, L""},
        {L"-F|", LoginOutcome::Unreachable, L""},
        {L"|", LoginOutcome::Unreachable, L""},
        {L"-2|x", LoginOutcome::Unreachable, L""},
        {L"<html><head><title>Object moved</title></head><body><a href=\"/x?a=1|2\">here</a></body></html>",
         LoginOutcome::Unreachable, L""},
        {kSnapshot, LoginOutcome::Unreachable, L""},
        {L"演示用户|1|2|3|4|5|6|7|0|0|10|11|1.3|13|14|15|16|17|18[][][][]", LoginOutcome::Unreachable, L""},
        {kFullSnapshot, LoginOutcome::Accepted, L""},
    };
    for (const auto& c : cases) {
        const LoginVerdict verdict = ClassifyLoginReply(c.reply);
        EXPECT_EQ(verdict.outcome, c.outcome) << c.reply;
        EXPECT_EQ(verdict.refusalCode, c.code) << c.reply;
        EXPECT_EQ(verdict.refusalMessage.empty(), verdict.outcome != LoginOutcome::Refused) << c.reply;
    }
}

// The login window reads its replies with these two (the login's only
// classification): a reply that holds "[]" but no "|" is not repeated at the
// backup, and still gives the connection message.
TEST(LoginReply, SectionsWithoutPipeAreNeitherRepeatedNorAccepted)
{
    EXPECT_FALSE(LoginNeedsBackup(L"x[]y"));
    EXPECT_EQ(ClassifyLoginReply(L"x[]y").outcome, LoginOutcome::Unreachable);
}

TEST(ReloginReply, BackupWithoutASnapshotAndRefusalByLength)
{
    EXPECT_TRUE(ReloginNeedsBackup(L""));
    EXPECT_TRUE(ReloginNeedsBackup(L"-2|"));
    EXPECT_FALSE(ReloginNeedsBackup(kSnapshot));
    EXPECT_TRUE(ReloginRefused(L"-2|"));
    EXPECT_TRUE(ReloginRefused(L"abc"));
    EXPECT_FALSE(ReloginRefused(L""));
    EXPECT_FALSE(ReloginRefused(kSnapshot));
}

TEST(ListAndRecordReplies, OnlyTheirOwnMarkers)
{
    const struct {
        const wchar_t* reply;
        double projectCount;
        bool failed;
    } lists[] = {
        {L"", 0, true},
        {L"", 3, true},
        // The service's empty list, for an account without such projects.
        {L"0", 0, false},
        {L"1,a|", 0, false},
        {L"1,a|", 3, false},
        // No "|" while the summary counts projects: not the empty list.
        {L"0", 3, true},
        {L"err=2026-12-10 13:05:09", 1, true},
        {L"<html><body>500</body></html>", 26, true},
        {L"<html><body>500</body></html>", 0, false},
        // Cut inside a row: its last row lacks the "|" every row ends with.
        {L"1,a|2,b|3,", 3, true},
        {L"1,a|2", 3, true},
        {L"1,a|2,b|3,c|", 3, false},
        {L"1,a|2,b|3,c", 0, true},
        {L"|", 1, false},
        {L"<html>|</html>", 0, true},
    };
    for (const auto& c : lists)
        EXPECT_EQ(ListReplyFailed(c.reply, c.projectCount), c.failed) << c.reply << " " << c.projectCount;

    EXPECT_TRUE(RecordReplyUsable(L"a,b,c,,202611:1:2:3:4:5|,360"));
    // 22 items with an empty schedule and no "|" anywhere: a failed fetch.
    EXPECT_FALSE(RecordReplyUsable(L"P,N,a,2015-1-5,2015-2-5,1000,1,1,9,9,0,0,1,1,1,0,0,0,0,,,360"));
    EXPECT_FALSE(RecordReplyUsable(L""));
    EXPECT_FALSE(RecordReplyUsable(L"-9"));
}

TEST(ActionReply, RejectedByRefusalOrWithoutASnapshot)
{
    const struct {
        const wchar_t* reply;
        bool rejected;
    } cases[] = {
        {L"", true},
        {L"-9|", true},
        {L"abc", true},
        {L"<html>500 | error</html>", true},
        // Three characters holding both markers are a refusal all the same.
        {L"[]|", true},
        {L"x[]", false},
        {L"a[]b", false},
        {kSnapshot, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ActionReplyRejected(c.reply), c.rejected) << c.reply;
}

TEST(SaveReply, TestsInOrder)
{
    const std::wstring snapshot = kFullSnapshot;
    const struct {
        std::wstring reply;
        SaveOutcome outcome;
        std::wstring message;
        std::optional<std::int32_t> id;
        std::wstring snapshot;
    } cases[] = {
        {L"-F|", SaveOutcome::Refused, L"", std::nullopt, L""},
        {L"-2|", SaveOutcome::Refused, L"", std::nullopt, L""},
        {L"abc", SaveOutcome::Refused, L"", std::nullopt, L""},
        {L"-F|名称不可用", SaveOutcome::Message, L"名称不可用", std::nullopt, L""},
        {L"-F|a-F|b", SaveOutcome::Message, L"ab", std::nullopt, L""},
        {L"-F|x[]|,", SaveOutcome::Message, L"x[]|,", std::nullopt, L""},
        // No answer at all: the save may have arrived.
        {L"", SaveOutcome::Unknown, L"", std::nullopt, L""},
        {L"12,abc|", SaveOutcome::NotSaved, L"", std::nullopt, L""},
        {L"12,a[]b", SaveOutcome::NotSaved, L"", std::nullopt, L""},
        {L"演示用户|1[]2", SaveOutcome::WithoutId, L"", std::nullopt, L""},
        {L"12," + snapshot, SaveOutcome::Saved, L"", 12, snapshot},
        {L"2147483647," + snapshot, SaveOutcome::Saved, L"", 2147483647, snapshot},
    };
    for (const auto& c : cases) {
        const SaveVerdict verdict = ClassifySaveReply(c.reply);
        EXPECT_EQ(verdict.outcome, c.outcome) << c.reply;
        EXPECT_EQ(verdict.message, c.message) << c.reply;
        EXPECT_EQ(verdict.id, c.id) << c.reply;
        EXPECT_EQ(verdict.snapshot, c.snapshot) << c.reply;
    }
}

// A save is taken only with a positive whole id before the first "," and a
// readable snapshot after it; anything else would open a project that may
// not be the one saved, or load sections that are not there.
TEST(SaveReply, AnIdThatIsNoPositiveNumberOrNoSnapshotAfterItIsNoSave)
{
    const std::wstring snapshot = kFullSnapshot;
    const std::wstring replies[] = {
        L"," + snapshot,                   // no id at all
        L"0," + snapshot,                  // no project has the id 0
        L"-12," + snapshot,                // nor a negative one
        L" 41 ," + snapshot,               // blanks are no digits
        L"12.5," + snapshot,               // nor a fraction
        L"1e2," + snapshot,                // nor an exponent
        L"2147483648," + snapshot,         // beyond the 32-bit range
        L"99999999999," + snapshot,        //
        L"１２," + snapshot,               // full-width digits
        L"12,a,b|[]",                      // one section
        L"12," + std::wstring(kSnapshot),  // UserInfo cut after item 12
        L"演示用户|1[]P,1|",               // the first "," sits inside a section
        L"<html>x,y|z[]</html>",           // an error page holding all three marks
    };
    for (const std::wstring& reply : replies) {
        const SaveVerdict verdict = ClassifySaveReply(reply);
        EXPECT_EQ(verdict.outcome, SaveOutcome::WithoutId) << reply;
        EXPECT_FALSE(verdict.id) << reply;
        EXPECT_EQ(verdict.snapshot, L"") << reply;
    }
}

TEST(SaveReply, ASnapshotIsReadableWithSixSectionsAndNineteenUserInfoItems)
{
    EXPECT_TRUE(SnapshotReadable(kFullSnapshot));
    EXPECT_TRUE(SnapshotReadable(std::wstring(kFullSnapshot) + L"[]extra"));
    EXPECT_FALSE(SnapshotReadable(kSnapshot));
    EXPECT_FALSE(SnapshotReadable(L""));
    const std::wstring fiveSections = L"演示用户|1|2|3|4|5|6|7|0|0|10|11|1.3|13|14|15|16|17|18[][][][]";
    EXPECT_FALSE(SnapshotReadable(fiveSections));
}

}  // namespace
}  // namespace quill::protocol
