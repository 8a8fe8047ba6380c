// Retries of a download after stalled tries: the tries given up hold no later
// request back.
#include "OnlineFixture.h"

#include "forms/lang/Clock.h"
#include "tests/support/Pump.h"

#include <gtest/gtest.h>

namespace quill::updater::testing {
namespace {

using forms::MessageBoxScript;
using forms::vbNo;
using forms::vbOK;
using forms::vbYes;

const wchar_t RetryQuestion[] = L"更新文件下载失败,是否重试?";

class OnlineRetryTest : public OnlineFixture {
protected:
    // The requests for one published file so far.
    size_t RequestsFor(const std::string& file)
    {
        size_t count = 0;
        for (const test::LoggedRequest& r : UpdateRequests())
            count += r.path.size() >= file.size() &&
                     r.path.compare(r.path.size() - file.size(), file.size(), file) == 0;
        return count;
    }
};

// The service sends the headers and a few bytes of a file, then keeps the
// connection open without a word, four times over; each try stalls, is given
// up and retried. The fifth try, the service healthy again, reaches it and
// the update completes.
TEST_F(OnlineRetryTest, ARetryAfterStalledTriesReachesTheServer)
{
    const auto release = Release14();
    Publish(release);
    Fault(R"({"kind":"slow_body","after":10,"seconds":120,"then":"finish","path":"update.ocx","times":4})");
    forms::ClockOverride clock(46000.5);
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    // Once a stalled try's request has reached the service, its 30 silent
    // seconds pass at each pass of the pump; the fifth try's never do.
    MessageBoxScript boxes{vbYes, vbYes, vbYes, vbYes, vbNo, vbOK};
    test::PumpedAction steps([] {});
    steps.When([&] {
        const size_t asked = boxes.Boxes().size();
        if (asked < 4 && RequestsFor("update.ocx") == asked + 1)
            clock.Advance(30 * 1000);
        return false;
    });
    Press(*w.StyledButton2);
    size_t retries = 0;
    for (const auto& shown : boxes.Boxes())
        retries += shown.prompt == RetryQuestion;
    EXPECT_EQ(retries, 4u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes().size(), 4u) << Describe(boxes.Boxes());
    EXPECT_EQ(RequestsFor("update.ocx"), 5u);
    EXPECT_EQ(w.Label1[5].Caption(), L"恭喜,全部文件更新成功！");
    EXPECT_EQ(ProgramFiles(), Installed(release));
}

}  // namespace
}  // namespace quill::updater::testing
