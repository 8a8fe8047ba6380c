// The wizard window against the reference service: its pages, texts and
// questions (answered by a script), the version test and the file list, the
// service's faults, and the program folder afterwards.
#include "OnlineFixture.h"

#include "forms/Automation.h"
#include "forms/Gdi.h"
#include "forms/WindowHook.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Clock.h"
#include "forms/lang/Error.h"
#include "updater/KernelHandle.h"
#include "updater/FileList.h"
#include "updater/UpdateDescriptor.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/SystemObject.h"
#include "tests/support/UrlCache.h"
#include "tests/support/Pump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace quill::updater::testing {
namespace {

using forms::MessageBoxScript;
using forms::vbCritical;
using forms::vbInformation;
using forms::vbNo;
using forms::vbOK;
using forms::vbQuestion;
using forms::vbYes;
using forms::vbYesNo;

const wchar_t ConnectQuestion[] =
    L"连接超时或网络故障，要重试吗?\r\n如果一直出现本提示,请检查网络连接,或过段时间再试.";
const wchar_t QuitQuestion[] = L"还未完成更新,确定的要退出在线更新程序吗?";
const wchar_t GetNextFailed[] =
    L"GetNext发生意外错误，升级失败，请重新安装程序或访问官方网站手动下载新版本！";
const wchar_t DescriptorInvalid[] = L"服务器上的升级信息无效，请过段时间再试，重试请返回上一步．";
const wchar_t DescriptorTooLarge[] = L"服务器上的升级信息过大，无法读取，请到网站下载最新版本进行安装．";

std::string Descriptor(const std::string& newver, const std::vector<std::string>& entries,
                       const std::string& checkfile = "")
{
    std::string text = "[Update]\r\nnewver=" + newver +
                       "\r\ncheckfile=" + (checkfile.empty() ? std::to_string(entries.size()) : checkfile) +
                       "\r\n";
    for (size_t i = 0; i < entries.size(); ++i)
        text += "file" + std::to_string(i + 1) + "=" + entries[i] + "\r\n";
    return text + "[/Update]\r\n";
}

std::vector<std::wstring> Rows(const forms::ListBox& list)
{
    std::vector<std::wstring> rows;
    for (int i = 0; i < list.ListCount(); ++i)
        rows.push_back(list.List(i));
    return rows;
}

// Files compared by name, each that differs named alone (a program's bytes
// would fill the screen).
::testing::AssertionResult SameFiles(const std::map<std::wstring, std::string>& actual,
                                     const std::map<std::wstring, std::string>& expected)
{
    std::string differ;
    for (const auto& [path, bytes] : expected) {
        const auto found = actual.find(path);
        if (found == actual.end())
            differ += " missing " + test::ToUtf8(path);
        else if (found->second != bytes)
            differ += " other bytes in " + test::ToUtf8(path);
    }
    for (const auto& [path, bytes] : actual)
        if (!expected.contains(path))
            differ += " unexpected " + test::ToUtf8(path);
    if (differ.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differ;
}

class OnlineTest : public OnlineFixture {};

// ---- loading and the version ----

TEST_F(OnlineTest, NoMainProgramEndsBeforeTheWindowShows)
{
    DeleteFileW((program / L"tallivo.exe").c_str());
    MessageBoxScript boxes;
    OnlineWindow& w = Open();
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"不能取得当前程序版本号，程序退出执行");
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbCritical);
    EXPECT_EQ(boxes.Boxes()[0].title, L"在线更新");
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(ends.Ends(), 1);
    EXPECT_FALSE(w.IsLoaded());
}

TEST_F(OnlineTest, AMainProgramWithoutAVersionIsNoVersion)
{
    CopyFileW(Fixture(L"unrar.dll").c_str(), (program / L"tallivo.exe").c_str(), FALSE);
    MessageBoxScript boxes;
    OnlineWindow& w = Open();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"不能取得当前程序版本号，程序退出执行");
    EXPECT_TRUE(w.Ended());
}

TEST_F(OnlineTest, TheWelcomePage)
{
    OnlineWindow& w = Open();
    EXPECT_FALSE(w.Ended());
    EXPECT_EQ(w.Caption(), L"Quillmoor - 在线升级程序\t");
    EXPECT_EQ(w.CurrentVersion, L"1.3");
    EXPECT_EQ(w.FileVer, L"1.3.0.0");
    EXPECT_EQ(w.ProdVer, L"1.3.0.0");
    EXPECT_EQ(w.StrucVer, L"1.0");
    EXPECT_EQ(w.FullFileName, program / L"tallivo.exe");
    EXPECT_EQ(w.Verlabel->Caption(), L"当前版本：1.3");
    EXPECT_EQ(w.NewVer->Caption(), L"");
    EXPECT_EQ(w.Label1[0].Caption(), L"欢迎使用 Quillmoor 在线升级程序!");
    EXPECT_EQ(w.Label1[1].Caption(),
              L"　　本程序将更新您机器上的Quillmoor升级到最新版本.将要开始进行升级，请注意关闭正在运行的"
              L"Quillmoor，并确认网络畅通．");
    EXPECT_EQ(w.CacheFolder, program / L"update\\");
    EXPECT_TRUE(Exists(program / L"update"));
    EXPECT_TRUE(w.Frame2->Visible());
    EXPECT_FALSE(w.Frame3->Visible());
    EXPECT_FALSE(w.Frame4->Visible());
    EXPECT_EQ(w.StyledButton2->Caption(), L"下一步");
    EXPECT_EQ(w.StyledButton1->Caption(), L"退出");
    EXPECT_EQ(w.Down1->Color(), 0xFF00u);
    EXPECT_TRUE(w.Down1->ShowText());
}

// The welcome title is shown whole: word-wrapped to its label's width, as the
// label draws it, it stays on the one line the label is high, and the label
// lies inside its page (which would cut it too). It once lost its last
// characters, "…在线升级程" showing of "…在线升级程序!".
TEST_F(OnlineTest, TheWelcomeTitleFitsItsLabel)
{
    OnlineWindow& w = Open();
    forms::Label& title = w.Label1[0];
    const RECT label = title.PixelRect();
    test::DibCanvas dc(1, 1);
    forms::gdi::FontHandle font = title.Font()->CreateHandle();
    forms::gdi::Selection selected(dc.Dc(), font);
    const std::wstring& text = title.Caption();
    RECT drawn{0, 0, label.right - label.left, 0};
    DrawTextW(dc.Dc(), text.c_str(), static_cast<int>(text.size()), &drawn,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SIZE oneLine{};
    GetTextExtentPoint32W(dc.Dc(), text.c_str(), static_cast<int>(text.size()), &oneLine);
    EXPECT_LE(oneLine.cx, label.right - label.left) << "the title on one line";
    EXPECT_LE(drawn.bottom, label.bottom - label.top) << "lines of the wrapped title";
    RECT page{};
    GetClientRect(w.Frame2->hWnd(), &page);
    EXPECT_GE(label.left, 0);
    EXPECT_LE(label.right, page.right) << "the page's width";
    // The page in its turn lies on the white strip.
    const RECT strip = w.whitebl->PixelRect(), pageOnStrip = w.Frame2->PixelRect();
    EXPECT_GE(pageOnStrip.left, strip.left);
    EXPECT_LE(pageOnStrip.right, strip.right);
}

// ---- the descriptor ----

TEST_F(OnlineTest, MarkersInAnyCaseAndTheWayBack)
{
    PublishDescriptor("[update]\r\nnewver=1.4\r\ncheckfile=1\r\nfile1=a.dll|3\r\n[/UPDATE]\r\n");
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    EXPECT_EQ(w.StyledButton2->Caption(), L"开始下载");
    EXPECT_EQ(Rows(*w.List1), std::vector<std::wstring>{L"a.dll"});
    w.MainStop = true;
    w.Unload();

    PublishDescriptor("[Update]\r\nnewver=1.4\r\ncheckfile=1\r\nfile1=a.dll|3\r\n");
    OnlineWindow& again = Open();
    Press(*again.StyledButton2);
    EXPECT_EQ(again.Label1[4].Caption(), L"下载更新信息失败，请确定网络是否畅通，重试请返回上一步．");
    EXPECT_EQ(again.StyledButton2->Caption(), L"上一步");
    EXPECT_TRUE(again.StyledButton2->Enabled());
    EXPECT_EQ(again.Waitlab->Caption(), L"");
    EXPECT_FALSE(again.Timer1->Enabled());
    RedrawWindow(again.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT frame{};
    GetWindowRect(again.hWnd(), &frame);
    EXPECT_TRUE(test::SaveScreenPng(frame, test::ScreensPath(L"online-connect-failed.png")));
    Press(*again.StyledButton2);
    EXPECT_TRUE(again.Frame2->Visible());
    EXPECT_FALSE(again.Frame3->Visible());
    EXPECT_EQ(again.StyledButton2->Caption(), L"下一步");
    EXPECT_EQ(again.Label1[4].Caption(), L"请等待，正在连接中...");
}

TEST_F(OnlineTest, NoReplyAndNoEndsAtOnce)
{
    Fault(R"({"kind":"http500","on":["update"],"path":"update.txt"})");
    MessageBoxScript boxes{vbNo};
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt, ConnectQuestion);
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbQuestion | vbYesNo);
    EXPECT_EQ(boxes.Boxes()[0].title, L"超时");
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(ends.Ends(), 1);
}

// Once a request is on its way, lets time pass 30 seconds at a step, five
// steps at most (half the overall limit): a transfer that never ends, as a
// cut one under Wine, is given up by the stall rule without the test
// waiting for it.
class StallSteps {
public:
    StallSteps(forms::ClockOverride& clock, std::function<bool()> onItsWay) : steps_([] {})
    {
        steps_.When([this, &clock, onItsWay = std::move(onItsWay)] {
            if (count_ < 5 && onItsWay()) {
                ++count_;
                clock.Advance(30 * 1000);
            }
            return false;
        });
    }

private:
    int count_ = 0;
    test::PumpedAction steps_;
};

// A descriptor cut by a reset, or shorter than its Content-Length says, is
// no answer, though its bytes may read as one.
TEST_F(OnlineTest, ADescriptorThatDidNotArriveWholeIsNoAnswer)
{
    // Long enough for a reset inside it to end the request at once.
    PublishDescriptor(Descriptor("1.4", {"a.dll|3"}) + std::string(8000, ' '));
    const struct {
        std::string fault;
        bool mayNeverEnd;  // under Wine the request object may never complete after a reset
    } cases[] = {
        {R"({"kind":"reset_in_body","bytes":6000,"on":["update"],"path":"update.txt"})", true},
        {R"({"kind":"long_length","extra":100,"on":["update"],"path":"update.txt"})", false},
    };
    for (const auto& [fault, mayNeverEnd] : cases) {
        Service().Control(R"({"op":"clear_faults","instance":"both"})");
        Fault(fault);
        MessageBoxScript boxes{vbNo};
        forms::ClockOverride clock(46000.5);
        OnlineWindow& w = Open();
        StallSteps steps(clock,
                         [&, mayNeverEnd = mayNeverEnd] { return mayNeverEnd && !UpdateRequests().empty(); });
        Press(*w.StyledButton2);
        ASSERT_EQ(boxes.Boxes().size(), 1u) << fault << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt, ConnectQuestion);
        EXPECT_EQ(boxes.Boxes()[0].title, L"超时");
        EXPECT_TRUE(w.Ended());
    }
}

TEST_F(OnlineTest, RetriesLoopUntilTheDescriptorComes)
{
    Publish(Release14());
    Fault(R"({"kind":"http500","on":["update"],"path":"update.txt","times":2})");
    MessageBoxScript boxes{vbYes, vbYes};
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    EXPECT_EQ(boxes.Boxes().size(), 2u) << Describe(boxes.Boxes());
    EXPECT_EQ(w.StyledButton2->Caption(), L"开始下载");
    EXPECT_EQ(w.List1->ListCount(), 3);
    EXPECT_EQ(UpdateRequests().size(), 3u);
}

TEST_F(OnlineTest, AnErrorPageOrAnOversizedDescriptorIsNoDescriptor)
{
    // A page that would pass for an up-to-date descriptor, were it read.
    Publish(Release14(), "1.3");
    for (const std::string fault : {R"({"kind":"error_page","status":404,"path":"update.txt"})",
                                    R"({"kind":"http500","on":["update"],"path":"update.txt"})"}) {
        Fault(fault);
        MessageBoxScript boxes{vbNo};
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].title, L"超时");
        EXPECT_TRUE(w.Ended());
        Service().Control(R"({"op":"clear_faults","instance":"both"})");
    }
    std::string big = Descriptor("1.3", {});
    big += std::string(DescriptorByteLimit - big.size(), ' ');
    PublishDescriptor(big);  // the bound itself is read
    MessageBoxScript upToDate;
    OnlineWindow& w2 = Open();
    Press(*w2.StyledButton2);
    ASSERT_EQ(upToDate.Boxes().size(), 1u) << Describe(upToDate.Boxes());
    EXPECT_EQ(upToDate.Boxes()[0].title, L"最新版本");
}

// A descriptor whose Content-Length is over the bound is refused as too
// large as soon as its length is known, whether its body comes at full
// speed or in pieces: no waiting out the time limit, no network question.
TEST_F(OnlineTest, ADescriptorAnnouncedOverTheBoundIsRefusedAtOnce)
{
    for (const std::string interval : {"0.05"}) {
        Fault(R"({"kind":"huge_reply","megabytes":200,"interval":)" + interval +
              R"(,"on":["update"],"path":"update.txt"})");
        forms::ClockOverride clock(46000.5);
        // The program's clock runs ten times as fast: its 300 seconds would
        // pass in 30 real ones.
        test::PassingTime time = test::PassingTime::Faster(clock, 10);
        MessageBoxScript boxes{vbNo};  // a network question would end the run
        OnlineWindow& w = Open();
        const std::int64_t start = forms::MonotonicMilliseconds();
        Press(*w.StyledButton2);
        ASSERT_TRUE(test::PumpUntil([&] { return w.Ended() || w.StyledButton2->Caption() == L"上一步"; },
                                    "the descriptor's end"));
        EXPECT_LT(forms::MonotonicMilliseconds() - start, 60 * 1000) << interval;
        EXPECT_TRUE(boxes.Boxes().empty()) << interval << Describe(boxes.Boxes());
        ASSERT_FALSE(w.Ended()) << interval;
        EXPECT_EQ(w.Label1[4].Caption(), DescriptorTooLarge) << interval;
        w.MainStop = true;
        w.Unload();
        Service().Control(R"({"op":"clear_faults","instance":"both"})");
    }
}

TEST_F(OnlineTest, ACutDescriptorFailsTheMarkerTest)
{
    Publish(Release14());
    Fault(R"({"kind":"wrong_length","delta":-12,"path":"update.txt"})");
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    EXPECT_EQ(w.StyledButton2->Caption(), L"上一步");
    EXPECT_EQ(w.Label1[4].Caption(), L"下载更新信息失败，请确定网络是否畅通，重试请返回上一步．");
}

// A reply that came but holds no descriptor the service could have meant
// says so, and not that the network failed; one over the bound says that it
// is too large (waiting would not help).
TEST_F(OnlineTest, AnEmptyOversizedOrForeignDescriptorIsInvalidInformation)
{
    const std::string valid = Descriptor("1.4", {"a.dll|3"});
    std::string utf16 = "\xff\xfe";
    for (char c : valid)
        utf16 += std::string{c, '\0'};
    const struct {
        std::string body;
        const wchar_t* says;
    } cases[] = {
        {"", DescriptorInvalid},
        {valid + std::string(DescriptorByteLimit + 1 - valid.size(), ' '), DescriptorTooLarge},
        {"\xef\xbb\xbf" + valid, DescriptorInvalid},
        {utf16, DescriptorInvalid},
    };
    for (const auto& [body, says] : cases) {
        PublishDescriptor(body);
        MessageBoxScript boxes{vbNo};  // a network question would end the run
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        ASSERT_TRUE(boxes.Boxes().empty()) << body.size() << Describe(boxes.Boxes());
        EXPECT_FALSE(w.Ended());
        EXPECT_EQ(w.Label1[4].Caption(), says) << body.size();
        EXPECT_EQ(w.StyledButton2->Caption(), L"上一步");
        EXPECT_TRUE(w.StyledButton2->Enabled());
        w.MainStop = true;
        w.Unload();
    }
}

// ---- the version test and the file list ----

TEST_F(OnlineTest, UpToDateByTheLeadingNumber)
{
    for (const std::string newver : {"1.3", "1.10", "1.2", "0"}) {
        Publish(Release14(), newver);
        MessageBoxScript boxes;
        OnlineWindow& w = Open();
        std::wstring shown;
        boxes.WhileShown = [&](const MessageBoxScript::Shown&) { shown = w.NewVer->Caption(); };
        Press(*w.StyledButton2);
        ASSERT_EQ(boxes.Boxes().size(), 1u) << newver << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt, L"您的程序已经是最新版本了,不需要进行更新.");
        EXPECT_EQ(boxes.Boxes()[0].buttons, vbInformation);
        EXPECT_EQ(boxes.Boxes()[0].title, L"最新版本");
        EXPECT_EQ(shown, L"最新版本：" + std::wstring(newver.begin(), newver.end()));
        EXPECT_TRUE(w.Ended());
        EXPECT_FALSE(Exists(Cache(L"\\update.ini")));  // the close deleted it
    }
}

TEST_F(OnlineTest, NoEntriesOffersTheWebSite)
{
    struct Case {
        std::string checkfile;
        int answer;
        size_t pages;
    } cases[] = {{"0", vbYes, 1}, {"", vbNo, 0}, {"0.4", vbYes, 1}, {"abc", vbNo, 0}};
    for (const Case& c : cases) {
        PublishDescriptor("[Update]\r\nnewver=1.4\r\n" +
                          (c.checkfile.empty() ? "" : "checkfile=" + c.checkfile + "\r\n") + "[/Update]\r\n");
        forms::ShellExecuteRecorder pages;
        MessageBoxScript boxes{c.answer};
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        ASSERT_EQ(boxes.Boxes().size(), 1u) << c.checkfile << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt, L"没有找到与当前程序版本相关更新信息,是否去官方网站查看最新版本?");
        EXPECT_EQ(boxes.Boxes()[0].buttons, vbInformation | vbYesNo);
        EXPECT_EQ(boxes.Boxes()[0].title, L"版本");
        ASSERT_EQ(pages.Calls().size(), c.pages);
        if (c.pages) {
            EXPECT_EQ(pages.Calls()[0].file, L"http://home.example/");
            EXPECT_EQ(pages.Calls()[0].operation, L"");
            EXPECT_EQ(pages.Calls()[0].showCmd, SW_SHOWNORMAL);
        }
        EXPECT_TRUE(w.Ended());
    }
}

TEST_F(OnlineTest, EverythingAlreadyInPlace)
{
    WriteBytes(program / L"update.ocx", std::string(1002, 'x'));  // only the size counts
    WriteBytes(program / L"sub\\dir\\a.dll", std::string(2048, 'y'));
    PublishDescriptor(Descriptor("1.4", {"tallivo.exe|" + std::to_string(oldMainProgram.size()),
                                         "update.ocx|1002", "SUB\\dir/a.dll|2048"}));
    MessageBoxScript boxes;
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"意外没有找到可用的更新，请稍候再试或者到网站下载最新版本进行安装.");
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbInformation);
    EXPECT_EQ(boxes.Boxes()[0].title, L"在线更新");
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].file, L"http://home.example/");
    EXPECT_TRUE(w.Ended());
}

TEST_F(OnlineTest, EntriesThatCannotBeRead)
{
    struct Case {
        std::vector<std::string> entries;
        std::string checkfile;
        const wchar_t* description;
    } cases[] = {
        {{"a.dll|3", "b.dll"}, "", L"下标越界"},
        {{"a.dll|3"}, "2", L"下标越界"},
        {{"a.dll|3"}, "40000", L"溢出"},
    };
    for (const Case& c : cases) {
        PublishDescriptor(Descriptor("1.4", c.entries, c.checkfile));
        forms::ShellExecuteRecorder pages;
        MessageBoxScript boxes;
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt,
                  std::wstring(c.description) +
                      L"\r\nSetDown发生意外错误，请重新执行安装程序或访问程序官方网站！");
        EXPECT_EQ(boxes.Boxes()[0].buttons, vbCritical);
        EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
        EXPECT_EQ(pages.Calls().size(), 1u);
        EXPECT_TRUE(w.Ended());
    }
}

TEST_F(OnlineTest, TheFileList)
{
    Publish(Release14());
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    EXPECT_EQ(w.NewVer->Caption(), L"最新版本：1.4");
    EXPECT_EQ(Rows(*w.List1), (std::vector<std::wstring>{L"tallivo.exe", L"update.ocx", L"sub/dir/a.dll"}));
    const std::wstring exeSize = SizeText(static_cast<double>(Release14()[0].bytes.size()));
    EXPECT_EQ(Rows(*w.List2), (std::vector<std::wstring>{exeSize, L"1 KB", L"2 KB"}));
    EXPECT_EQ(Rows(*w.List3), (std::vector<std::wstring>{L"-", L"-", L"-"}));
    EXPECT_EQ(w.Label1[5].Caption(), L"单击开始下载进行更新(10秒后自动执行).");
    EXPECT_TRUE(w.Frame4->Visible());
    EXPECT_TRUE(w.Frame3->Visible());  // behind the list
    EXPECT_TRUE(w.OutTi->Enabled());
    EXPECT_FALSE(Exists(Cache(L"\\update.ini")));  // deleted once the list is filled
}

// Each list shows all of its rows: none is drawn over its neighbour (the
// size column once lost its first digit, "0.7 KB" reading ".7 KB").
TEST_F(OnlineTest, NoListCoversItsNeighbour)
{
    PublishDescriptor(Descriptor("1.4", {"a.dll|700", "b.dll|1536"}));
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    ASSERT_EQ(Rows(*w.List2), (std::vector<std::wstring>{L"0.7 KB", L"1.5 KB"}));
    forms::ListBox* lists[] = {w.List1.get(), w.List2.get(), w.List3.get()};
    for (forms::ListBox* list : lists) {
        RedrawWindow(w.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const RECT area = test::WindowAreaOnScreen(list->hWnd());
        const auto shown = test::ScreenPixels(area);
        for (forms::ListBox* other : lists)
            if (other != list)
                other->Visible(false);
        RedrawWindow(w.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_EQ(shown, test::ScreenPixels(area)) << test::ToUtf8(list->Name());
        for (forms::ListBox* other : lists)
            other->Visible(true);
    }
}

// A descriptor of as many entries as "checkfile" can count is read and
// parsed once for the whole list, not once for each value.
TEST_F(OnlineTest, ALongDescriptorIsReadOnce)
{
    std::vector<std::string> entries;
    for (int n = 1; n <= 32767; ++n)
        entries.push_back(std::to_string(n) + ".dat|1");
    PublishDescriptor(Descriptor("1.4", entries));
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    ASSERT_EQ(w.List1->ListCount(), static_cast<int>(entries.size()));
    EXPECT_EQ(w.descriptorReads, 1) << entries.size() << " entries";
}

// Posts a click on a button once the list it watches has got its first row:
// the click waits in the queue for whoever pumps next.
class ClickOnFirstRow : public forms::WindowHook {
public:
    ClickOnFirstRow(HWND list, HWND button)
        : WindowHook("test::ClickOnFirstRow"), list_(list), button_(button)
    {
        Hook(list_);
    }
    ~ClickOnFirstRow() override { Unhook(list_); }
    bool Posted() const { return posted_; }

protected:
    LRESULT HookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (!posted_ && (message == LB_ADDSTRING || message == LB_INSERTSTRING)) {
            posted_ = true;
            ClickMessages(button_, Delivery::Posted);
        }
        return Next(window, message, wParam, lParam);
    }

private:
    HWND list_, button_;
    bool posted_ = false;
};

// A list of thousands of entries fills with the window alive: "退出" clicked
// as the first row comes is answered while the rows still come. "否" lets
// the list fill; "是" ends the program there.
TEST_F(OnlineTest, AListOfThousandsFillsWithTheWindowAnswering)
{
    constexpr int Entries = 3200;
    std::vector<std::string> entries;
    for (int i = 1; i <= Entries; ++i)
        entries.push_back("files/f" + std::to_string(i) + ".dat|" + std::to_string(i));
    PublishDescriptor(Descriptor("1.4", entries));
    for (const int answer : {vbNo, vbYes}) {
        OnlineWindow& w = Open();
        ClickOnFirstRow click(w.List1->hWnd(), w.StyledButton1->hWnd());
        MessageBoxScript boxes{answer};
        int rowsAtTheQuestion = -1;
        boxes.WhileShown = [&](const MessageBoxScript::Shown&) { rowsAtTheQuestion = w.List1->ListCount(); };
        Press(*w.StyledButton2);
        ASSERT_TRUE(click.Posted());
        ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt, QuitQuestion);
        EXPECT_GT(rowsAtTheQuestion, 0);
        EXPECT_LT(rowsAtTheQuestion, Entries) << "the click was answered once the list was full";
        if (answer == vbNo) {
            EXPECT_FALSE(w.Ended());
            EXPECT_EQ(w.List1->ListCount(), Entries);
            EXPECT_EQ(w.List3->ListCount(), Entries);
            EXPECT_EQ(w.List2->List(Entries - 1), L"3.1 KB");
            EXPECT_EQ(w.StyledButton2->Caption(), L"开始下载");
            EXPECT_TRUE(w.OutTi->Enabled());
        } else {
            EXPECT_TRUE(w.Ended());
        }
        window.reset();
    }
}

TEST_F(OnlineTest, CheckfileRoundsHalvesToEvenAndSizesInKb)
{
    PublishDescriptor(Descriptor("1.4", {"a.dll|1536", "b.dll|1075", "c.dll|1024"}, "2.5"));
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    EXPECT_EQ(Rows(*w.List1), (std::vector<std::wstring>{L"a.dll", L"b.dll"}));
    EXPECT_EQ(Rows(*w.List2), (std::vector<std::wstring>{L"1.5 KB", L"1 KB"}));
}

// Each text fits the width of the list box in the list's own font; the list
// draws a row's text a pixel in from its left edge.
void ExpectEachFits(HWND list, const std::vector<std::wstring>& texts)
{
    RECT client{};
    GetClientRect(list, &client);
    test::DibCanvas dc(1, 1);
    const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0));
    const HGDIOBJ before = SelectObject(dc.Dc(), font);
    for (const std::wstring& text : texts) {
        SIZE size{};
        GetTextExtentPoint32W(dc.Dc(), text.c_str(), static_cast<int>(text.size()), &size);
        EXPECT_LE(size.cx + 1, client.right) << test::ToUtf8(text);
    }
    SelectObject(dc.Dc(), before);
}

// Sizes from nothing to the largest count are listed whole, in a unit that
// fits the size column even with its scroll bar shown; a size that is no
// count of bytes makes the entry an error, and the download stops there.
TEST_F(OnlineTest, TheSizeColumnShowsEverySizeWholeAndNoCountIsAnError)
{
    std::vector<std::string> entries{"bad.dat|-5",       "half.dat|1.5",           "a.dat|1536",
                                     "b.dat|3774873",    "c.dat|10485760",         "d.dat|2147483648",
                                     "e.dat|9999999999", "f.dat|9007199254740992", "g.dat|0"};
    for (int i = 1; i <= 20; ++i)
        entries.push_back("more" + std::to_string(i) + ".dat|1");
    PublishDescriptor(Descriptor("1.4", entries));
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    const std::vector<std::wstring> sizes = Rows(*w.List2), states = Rows(*w.List3);
    ASSERT_EQ(sizes.size(), entries.size());
    EXPECT_EQ(std::vector<std::wstring>(sizes.begin(), sizes.begin() + 9),
              (std::vector<std::wstring>{L"-5", L"1.5", L"1.5 KB", L"3686.4 KB", L"10 MB", L"2048 MB",
                                         L"9536.7 MB", L"8192 TB", L"0 KB"}));
    EXPECT_EQ(std::vector<std::wstring>(states.begin(), states.begin() + 4),
              (std::vector<std::wstring>{L"错误", L"错误", L"-", L"-"}));

    const HWND list = w.List2->hWnd();
    ASSERT_NE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL, 0) << "the scroll bar is shown";
    ExpectEachFits(list, sizes);

    MessageBoxScript boxes{vbNo, vbOK};  // were a retry offered, it is declined
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt,
              L"更新信息中的文件[bad.dat]大小无效，重试也无法下载。\r\n" + std::wstring(GetNextFailed));
    EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(UpdateRequests().size(), 1u);  // the descriptor alone
}

// Every size that is not a whole number of bytes from 0 to 2^53, written as
// its digits, makes its entry invalid: listed as an error with its text (cut
// where the column ends), never a run-time error that ends the program. A
// list that holds one fetches nothing, not even the rows before it.
TEST_F(OnlineTest, AnInvalidSizeIsAnInvalidEntryAndNothingIsFetched)
{
    WriteBytes(Service().UpdateFolder() + L"\\ok.dat", std::string(1536, 'o'));
    const std::string manyDigits(401, '7');
    const std::vector<std::string> invalid{"9007199254740993", "abc", "",   "12abc", "NaN",
                                           "inf",              "0x10", "&H10", manyDigits, "-5"};
    std::vector<std::string> entries{"ok.dat|1536"};
    for (std::size_t i = 0; i < invalid.size(); ++i)
        entries.push_back("bad" + std::to_string(i) + ".dat|" + invalid[i]);
    entries.push_back("top.dat|9007199254740992");
    entries.push_back("last.dat|2048");
    PublishDescriptor(Descriptor("1.4", entries));
    OnlineWindow& w = Open();
    {
        MessageBoxScript listing;  // a run-time error would show here
        Press(*w.StyledButton2);
        EXPECT_TRUE(listing.Boxes().empty()) << Describe(listing.Boxes());
    }
    ASSERT_FALSE(w.Ended());
    const std::vector<std::wstring> sizes = Rows(*w.List2), states = Rows(*w.List3);
    ASSERT_EQ(sizes.size(), entries.size());
    EXPECT_EQ(states.front(), L"-");
    EXPECT_EQ(sizes.front(), L"1.5 KB");
    for (std::size_t i = 0; i < invalid.size(); ++i) {
        const std::wstring text = forms::AnsiToText(invalid[i]);
        const std::wstring& shown = sizes[i + 1];
        EXPECT_EQ(states[i + 1], L"错误") << invalid[i].substr(0, 20);
        if (shown.size() >= 1 && shown.back() == L'…')
            EXPECT_EQ(text.substr(0, shown.size() - 1), shown.substr(0, shown.size() - 1)) << test::ToUtf8(shown);
        else
            EXPECT_EQ(shown, text);
    }
    EXPECT_EQ(sizes[invalid.size() + 1], L"8192 TB");
    EXPECT_EQ(states[invalid.size() + 1], L"-");
    EXPECT_EQ(sizes.back(), L"2 KB");
    EXPECT_EQ(states.back(), L"-");
    // The 401 digits are cut, as far as the column shows them.
    const std::wstring& cut = sizes[1 + 8];
    ASSERT_GT(cut.size(), 4u);
    EXPECT_EQ(cut.back(), L'…');
    const HWND list = w.List2->hWnd();
    ExpectEachFits(list, sizes);

    MessageBoxScript boxes{vbNo, vbOK};  // were a retry offered, it is declined
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt,
              L"更新信息中的文件[bad0.dat]大小无效，重试也无法下载。\r\n" + std::wstring(GetNextFailed));
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(UpdateRequests().size(), 1u);  // the descriptor alone
    EXPECT_FALSE(Exists(Cache(L"ok.dat")));
}

// The normal case beside it: the largest count lists, ordinary sizes list
// and download.
TEST_F(OnlineTest, ValidSizesListAndDownload)
{
    WriteBytes(Service().UpdateFolder() + L"\\zero.dat", "");
    WriteBytes(Service().UpdateFolder() + L"\\ok.dat", std::string(1536, 'o'));
    PublishDescriptor(Descriptor("1.4", {"zero.dat|0", "ok.dat|001536"}));
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    EXPECT_EQ(Rows(*w.List2), (std::vector<std::wstring>{L"0 KB", L"1.5 KB"}));
    EXPECT_EQ(Rows(*w.List3), (std::vector<std::wstring>{L"-", L"-"}));
    MessageBoxScript boxes;
    Press(*w.StyledButton2);
    EXPECT_TRUE(boxes.Boxes().empty()) << Describe(boxes.Boxes());
    EXPECT_EQ(w.StyledButton1->Caption(), L"完成");
    EXPECT_EQ(ReadWholeFile(program / L"ok.dat"), std::string(1536, 'o'));
    EXPECT_EQ(ReadWholeFile(program / L"zero.dat"), "");
}

TEST_F(OnlineTest, UnsafePathsAreErrorsAndTheSameFileIsListedOnce)
{
    Publish(Release14());
    Fault(R"({"kind":"unsafe_paths","entries":[["../escape.dll",16],["C:\\escape.dll",16],["con.dll",16],)"
          R"(["TALLIVO.EXE",1538],["sub\\dir\\A.DLL",2048],["ok/new.txt",4]]})");
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    EXPECT_EQ(Rows(*w.List1),
              (std::vector<std::wstring>{L"tallivo.exe", L"update.ocx", L"sub/dir/a.dll", L"../escape.dll",
                                         L"C:\\escape.dll", L"con.dll", L"ok/new.txt"}));
    EXPECT_EQ(Rows(*w.List3), (std::vector<std::wstring>{L"-", L"-", L"-", L"错误", L"错误", L"错误", L"-"}));
}

// The last component of a path's short form (the alias the file system
// gives a long name, as WEBC~C50.HTM or TALLIV~1.EXE).
std::string ShortName(const std::wstring& path)
{
    wchar_t shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    EXPECT_GT(length, 0u);
    const std::wstring whole(shortPath, length);
    return forms::TextToAnsi(whole.substr(whole.find_last_of(L'\\') + 1));
}

// A descriptor that names one file twice, by a short alias of the file or of
// its folder, in another letter case or with the other separator, lists it
// once and moves it once: a rollback leaves the folder as it was, and an
// update installs each file once.
TEST_F(OnlineTest, OneFileNamedSeveralWaysIsOneRow)
{
    const std::string page(1200, 'w'), library(1700, 'l'), control(900, 'c');
    WriteBytes(program / L"webchart_long_name.htm", "old page");
    CreateDirectoryW((program / L"library_folder").c_str(), nullptr);
    WriteBytes(program / L"library_folder\\a.dll", "old library");
    WriteBytes(program / L"update.ocx", "old control");
    WriteBytes(Service().UpdateFolder() + L"\\webchart_long_name.htm", page);
    CreateDirectoryW((Service().UpdateFolder() + L"\\library_folder").c_str(), nullptr);
    WriteBytes(Service().UpdateFolder() + L"\\library_folder\\a.dll", library);
    WriteBytes(Service().UpdateFolder() + L"\\update.ocx", control);
    const std::string pageAlias = ShortName(program / L"webchart_long_name.htm");
    const std::string folderAlias = ShortName(program / L"library_folder");
    ASSERT_NE(pageAlias, "webchart_long_name.htm");
    ASSERT_NE(folderAlias, "library_folder");
    const std::string pageSize = std::to_string(page.size()), librarySize = std::to_string(library.size());
    PublishDescriptor(Descriptor("1.4", {"webchart_long_name.htm|" + pageSize, pageAlias + "|" + pageSize,
                                         "library_folder/a.dll|" + librarySize,
                                         folderAlias + "\\a.dll|" + librarySize,
                                         "LIBRARY_FOLDER\\A.DLL|" + librarySize, "update.ocx|900"}));
    const std::vector<std::wstring> oneRowEach{L"webchart_long_name.htm", L"library_folder/a.dll", L"update.ocx"};
    const auto before = ProgramFiles();
    for (const bool rollBack : {true, false}) {
        const std::size_t requestsBefore = UpdateRequests().size();
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        EXPECT_EQ(Rows(*w.List1), oneRowEach) << rollBack;
        EXPECT_EQ(Rows(*w.List3), (std::vector<std::wstring>(3, L"-"))) << rollBack;
        if (rollBack) {
            // The last file is open elsewhere: its move fails, and No puts
            // back the two moved before it.
            HANDLE inUse = CreateFileW((program / L"update.ocx").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
            MessageBoxScript boxes{vbNo};
            Press(*w.StyledButton2);
            CloseHandle(inUse);
            ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
            EXPECT_NE(boxes.Boxes()[0].prompt.find(L"移动文件[update.ocx]时出错:"), std::wstring::npos);
            EXPECT_TRUE(w.Ended());
            EXPECT_TRUE(SameFiles(ProgramFiles(), before));
        } else {
            MessageBoxScript boxes;
            Press(*w.StyledButton2);
            EXPECT_TRUE(boxes.Boxes().empty()) << Describe(boxes.Boxes());
            EXPECT_EQ(w.StyledButton1->Caption(), L"完成");
            auto after = before;
            after[L"webchart_long_name.htm"] = page;
            after[L"library_folder\\a.dll"] = library;
            after[L"update.ocx"] = control;
            EXPECT_TRUE(SameFiles(ProgramFiles(), after));
            // Each file was fetched once: the descriptor and three files.
            EXPECT_EQ(UpdateRequests().size() - requestsBefore, 4u);
            w.Unload();
        }
        window.reset();
    }
}

// The cache folder lies inside the program folder: an entry there would be
// another entry's download.
TEST_F(OnlineTest, AnEntryInsideTheCacheFolderIsRefused)
{
    WriteBytes(program / L"zlib1.dll", "old zlib");
    WriteBytes(Service().UpdateFolder() + L"\\update\\zlib1.dll", std::string(1100, 'u'));
    WriteBytes(Service().UpdateFolder() + L"\\zlib1.dll", std::string(1700, 'z'));
    PublishDescriptor(Descriptor("1.4", {"update/zlib1.dll|1100", "zlib1.dll|1700", "~backup/x.dll|3"}));
    const auto before = ProgramFiles();
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    EXPECT_EQ(Rows(*w.List3), (std::vector<std::wstring>{L"错误", L"-", L"错误"}));
    MessageBoxScript boxes{vbNo, vbOK};  // were a retry offered, it is declined
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt.find(L"更新信息中的文件名[update/zlib1.dll]无效"), 0u);
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(ProgramFiles(), before);
}

TEST_F(OnlineTest, AMissingDescriptorFileIsAnErrorNotUpToDate)
{
    OnlineWindow& w = Open();
    MessageBoxScript boxes{vbOK, vbNo};
    try {
        w.SetDown();
        ADD_FAILURE() << "the list was made without a descriptor";
    } catch (...) {
    }
    ASSERT_EQ(boxes.Boxes().size(), 2u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"发生错误!");
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbCritical);
    EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
    EXPECT_EQ(boxes.Boxes()[1].prompt, QuitQuestion);  // closed without MainStop
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_FALSE(w.Ended());
}

TEST_F(OnlineTest, ALocalWriteErrorIsReportedAndNoGoesBackToTheWelcomePage)
{
    Publish(Release14());
    OnlineWindow& w = Open();
    // A folder where the descriptor is to be saved: the write fails locally.
    RemoveTree(program / L"update");
    WriteBytes(program / L"update", "a file where the cache folder should be");
    MessageBoxScript boxes{vbOK, vbNo};
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 2u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"3004写入文件失败。");
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbInformation);
    EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
    EXPECT_EQ(boxes.Boxes()[1].prompt, QuitQuestion);
    EXPECT_FALSE(w.Ended());
    EXPECT_TRUE(w.Frame2->Visible());
    EXPECT_FALSE(w.Frame3->Visible());
    EXPECT_EQ(w.StyledButton2->Caption(), L"下一步");
    EXPECT_TRUE(w.StyledButton2->Enabled());
    EXPECT_FALSE(w.Timer1->Enabled());

    MessageBoxScript quit{vbOK, vbYes};
    Press(*w.StyledButton2);
    EXPECT_EQ(quit.Boxes().size(), 2u);
    EXPECT_TRUE(w.Ended());
}

// ---- quitting, the timers and the lists ----

TEST_F(OnlineTest, TheQuitQuestion)
{
    OnlineWindow& w = Open();
    MessageBoxScript no{vbNo};
    Press(*w.StyledButton1);
    ASSERT_EQ(no.Boxes().size(), 1u);
    EXPECT_EQ(no.Boxes()[0].prompt, QuitQuestion);
    EXPECT_EQ(no.Boxes()[0].buttons, vbQuestion | vbYesNo);
    EXPECT_EQ(no.Boxes()[0].title, L"退出");
    EXPECT_TRUE(w.IsLoaded());
    EXPECT_TRUE(w.Frame2->Visible());

    // The close box asks the same.
    MessageBoxScript closeNo{vbNo};
    SendMessageW(w.hWnd(), WM_CLOSE, 0, 0);
    forms::DoEvents();
    EXPECT_EQ(closeNo.Boxes().size(), 1u);
    EXPECT_TRUE(w.IsLoaded());

    WriteBytes(Cache(L"\\update.ini"), "[Update]");
    MessageBoxScript yes{vbYes};
    Press(*w.StyledButton1);
    EXPECT_TRUE(w.Ended());
    EXPECT_FALSE(Exists(Cache(L"\\update.ini")));
}

TEST_F(OnlineTest, TheAutomaticStartWaitsWhileTheQuitQuestionIsOpen)
{
    Publish(Release14());
    forms::ClockOverride clock(46000.5);
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    ASSERT_TRUE(w.OutTi->Enabled());
    const size_t requests = UpdateRequests().size();
    MessageBoxScript boxes{vbNo};
    boxes.WhileShown = [&](const MessageBoxScript::Shown&) {
        clock.Advance(20000);
        forms::DoEvents();
    };
    Press(*w.StyledButton1);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(UpdateRequests().size(), requests);  // nothing started under the question
    EXPECT_TRUE(w.StyledButton2->Visible());
    EXPECT_EQ(w.StyledButton2->Caption(), L"开始下载");
    EXPECT_TRUE(w.OutTi->Enabled());
    EXPECT_EQ(w.InTime, 0);

    boxes.WhileShown = nullptr;
    clock.Advance(10000);
    forms::DoEvents();  // the tick starts the download, which runs to its end
    EXPECT_EQ(w.InTime, 1);
    EXPECT_FALSE(w.StyledButton2->Visible());
    EXPECT_EQ(w.StyledButton1->Caption(), L"完成");
}

TEST_F(OnlineTest, StarsWhileConnecting)
{
    OnlineWindow& w = Open();
    std::vector<std::wstring> rows;
    for (int i = 0; i < 32; ++i) {
        w.Timer1_Timer();
        rows.push_back(w.Waitlab->Caption());
    }
    EXPECT_EQ(rows[0], L"*");
    EXPECT_EQ(rows[1], L"**");
    EXPECT_EQ(rows[29], std::wstring(30, L'*'));
    EXPECT_EQ(rows[30], L"*");
    EXPECT_EQ(rows[31], L"**");

    // While the descriptor is on its way, the stars move with the clock.
    Publish(Release14());
    Fault(R"({"kind":"hold","on":["update"],"path":"update.txt","times":1})");
    OnlineWindow& again = Open();
    forms::ClockOverride clock(46000.5);
    std::vector<std::wstring> seen;
    test::PumpedAction steps([&] { Service().Release(); });
    steps.When([&] {
        seen.push_back(again.Waitlab->Caption());
        if (seen.size() > 4)
            return true;
        clock.Advance(250);
        return false;
    });
    Press(*again.StyledButton2);
    ASSERT_TRUE(steps.Done());
    EXPECT_EQ(seen[2], L"**");
    EXPECT_EQ(seen[4], L"****");
    EXPECT_EQ(again.Waitlab->Caption(), L"");  // emptied once the descriptor came
    EXPECT_FALSE(again.Timer1->Enabled());
}

TEST_F(OnlineTest, PressingARowSelectsItInAllThreeLists)
{
    Publish(Release14());
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    const int rowHeight = static_cast<int>(SendMessageW(w.List2->hWnd(), LB_GETITEMHEIGHT, 0, 0));
    const LPARAM second = MAKELPARAM(10, rowHeight + rowHeight / 2);
    SendMessageW(w.List2->hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, second);
    SendMessageW(w.List2->hWnd(), WM_LBUTTONUP, 0, second);
    forms::DoEvents();
    EXPECT_EQ(w.List2->ListIndex(), 1);
    EXPECT_EQ(w.List1->ListIndex(), 1);
    EXPECT_EQ(w.List3->ListIndex(), 1);
}

// ---- download and move into place ----

TEST_F(OnlineTest, DownloadMoveAndTheRestartOffer)
{
    const auto release = Release14();
    Publish(release);
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    std::vector<std::int32_t> progress;
    test::PumpedAction sample([] {});
    sample.When([&] {
        if (progress.empty() || progress.back() != w.Down1->Value())
            progress.push_back(w.Down1->Value());
        return false;
    });
    Press(*w.StyledButton2);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    for (std::int32_t v : progress)
        EXPECT_TRUE(v == 0 || v == 33 || v == 67 || v == 100) << v;
    EXPECT_EQ(w.Down1->Value(), 100);
    EXPECT_EQ(Rows(*w.List3), (std::vector<std::wstring>{L"完成", L"完成", L"完成"}));
    EXPECT_EQ(w.Label1[6].Caption(), L"更新完成");
    EXPECT_EQ(w.Label1[5].Caption(), L"恭喜,全部文件更新成功！");
    EXPECT_EQ(w.StyledButton1->Caption(), L"完成");
    EXPECT_FALSE(w.StyledButton2->Visible());
    EXPECT_TRUE(w.MainStop);
    auto expected = Installed(release);
    expected.erase(L"tallivo.exe");
    expected[L"tallivo.exe"] = release[0].bytes;
    EXPECT_EQ(ProgramFiles(), expected);
    // The downloads left the cache; no copy of a replaced file stays.
    EXPECT_FALSE(Exists(Cache(L"tallivo.exe")));
    EXPECT_FALSE(Exists(Cache(L"~backup")));
    EXPECT_TRUE(Exists(Cache(L"sub\\dir")));
    // The service was asked for each file at its escaped path, once.
    std::vector<std::string> paths;
    for (const auto& r : UpdateRequests())
        paths.push_back(r.path);
    EXPECT_EQ(paths, (std::vector<std::string>{"/do/update/update.txt", "/do/update/tallivo.exe",
                                               "/do/update/update.ocx", "/do/update/sub/dir/a.dll"}));

    MessageBoxScript boxes{vbYes};
    const HWND hwnd = w.hWnd();
    Press(*w.StyledButton1);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"更新完成，是否现在启动程序?");
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbQuestion | vbYesNo);
    EXPECT_EQ(boxes.Boxes()[0].title, L"启动");
    ASSERT_EQ(shell.Calls().size(), 1u);
    EXPECT_EQ(shell.Calls()[0].hwnd, hwnd);
    EXPECT_EQ(shell.Calls()[0].file, program / L"tallivo.exe");
    EXPECT_EQ(shell.Calls()[0].operation, L"");
    EXPECT_EQ(shell.Calls()[0].parameters, L"");
    EXPECT_EQ(shell.Calls()[0].directory, L"");
    EXPECT_EQ(shell.Calls()[0].showCmd, SW_SHOWNORMAL);
    EXPECT_TRUE(w.Ended());
}

TEST_F(OnlineTest, AfterTheUpdateTheCloseBoxAsksNothing)
{
    Publish(Release14());
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    Press(*w.StyledButton2);
    MessageBoxScript boxes;
    SendMessageW(w.hWnd(), WM_CLOSE, 0, 0);
    forms::DoEvents();
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(w.Ended());
    EXPECT_TRUE(shell.Calls().empty());
}

TEST_F(OnlineTest, AShortBodyIsRefusedAndRetried)
{
    const auto release = Release14();
    Publish(release);
    Fault(R"({"kind":"wrong_length","path":"sub/dir/a.dll","times":1})");
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    MessageBoxScript boxes{vbYes};
    std::wstring stateAtTheQuestion;
    boxes.WhileShown = [&](const MessageBoxScript::Shown&) { stateAtTheQuestion = w.List3->List(2); };
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"更新文件下载失败,是否重试?");
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbQuestion | vbYesNo);
    EXPECT_EQ(boxes.Boxes()[0].title, L"失败");
    EXPECT_EQ(stateAtTheQuestion, L"错误");
    EXPECT_EQ(ProgramFiles(), Installed(release));
}

TEST_F(OnlineTest, ErrorPagesAndCutBodiesReplaceNothing)
{
    const struct {
        std::string fault;
        bool mayNeverEnd = false;  // under Wine the request object may never complete after a reset
    } cases[] = {
        {R"({"kind":"error_page","status":404,"length":"listed","path":"sub/dir/a.dll"})"},
        {R"({"kind":"error_page","status":500,"length":"listed","path":"sub/dir/a.dll"})"},
        {R"({"kind":"wrong_length","delta":5,"path":"sub/dir/a.dll"})"},
        // The whole file under a longer length, and the file cut by a reset.
        {R"({"kind":"long_length","extra":100,"on":["update"],"path":"sub/dir/a.dll"})"},
        {R"({"kind":"reset_in_body","bytes":1500,"on":["update"],"path":"sub/dir/a.dll"})", true},
    };
    for (const auto& [fault, mayNeverEnd] : cases) {
        Service().Control(R"({"op":"clear_faults","instance":"both"})");
        RemoveTree(program / L"update");
        Publish(Release14());
        Fault(fault);
        const auto before = ProgramFiles();
        forms::ClockOverride clock(46000.5);
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        StallSteps steps(clock, [&, mayNeverEnd = mayNeverEnd] {
            return mayNeverEnd && w.List3->List(2) == L"正在下载" && UpdateRequests().size() >= 4;
        });
        MessageBoxScript boxes{vbNo, vbOK};
        Press(*w.StyledButton2);
        ASSERT_EQ(boxes.Boxes().size(), 2u) << fault << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].title, L"失败");
        EXPECT_EQ(boxes.Boxes()[1].prompt, L"\r\n" + std::wstring(GetNextFailed));
        EXPECT_EQ(boxes.Boxes()[1].buttons, vbCritical);
        EXPECT_EQ(boxes.Boxes()[1].title, L"出错");
        EXPECT_TRUE(w.Ended());
        EXPECT_EQ(ProgramFiles(), before) << fault;
        // What was downloaded stays in the cache; the refused file was never written.
        EXPECT_TRUE(Exists(Cache(L"tallivo.exe")));
        EXPECT_FALSE(Exists(Cache(L"sub\\dir\\a.dll"))) << fault;
    }
}

TEST_F(OnlineTest, ADownloadGivenUpAtItsTimeLimit)
{
    // A body that stalls, and one cut off (under Wine the request object
    // never completes after a reset): both wait for the limit only.
    for (const std::string then : {"finish", "close"}) {
        Service().Control(R"({"op":"clear_faults","instance":"both"})");
        RemoveTree(program / L"update");
        Publish(Release14());
        Fault(R"({"kind":"slow_body","after":10,"seconds":20,"then":")" + then + R"(","path":"update.ocx"})");
        forms::ClockOverride clock(46000.5);
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        const auto before = ProgramFiles();
        // Once the second file is on its way, 300 seconds pass.
        test::PumpedAction late([&] { clock.Advance(300 * 1000); });
        late.When([&] { return w.List3->List(1) == L"正在下载" && UpdateRequests().size() >= 3; });
        MessageBoxScript boxes{vbNo, vbOK};
        Press(*w.StyledButton2);
        EXPECT_TRUE(late.Done());
        ASSERT_EQ(boxes.Boxes().size(), 2u) << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt, L"更新文件下载失败,是否重试?");
        EXPECT_TRUE(w.Ended());
        EXPECT_EQ(ProgramFiles(), before);
        EXPECT_FALSE(Exists(Cache(L"update.ocx"))) << then;
    }
}

TEST_F(OnlineTest, UnsafePathsWriteNothingAnywhere)
{
    Publish(Release14());
    Fault(R"({"kind":"unsafe_paths"})");
    const auto before = ProgramFiles();
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    ASSERT_GT(w.List1->ListCount(), 3);
    MessageBoxScript boxes{vbNo, vbOK};  // were a retry offered, it is declined
    std::wstring stateAtTheMessage;
    boxes.WhileShown = [&](const MessageBoxScript::Shown&) { stateAtTheMessage = w.List3->List(3); };
    Press(*w.StyledButton2);
    // The first refused name ends the run: no retry could fetch it.
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt,
              L"更新信息中的文件名[../escape.dll]无效，重试也无法下载。\r\n" + std::wstring(GetNextFailed));
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbCritical);
    EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
    EXPECT_EQ(stateAtTheMessage, L"错误");
    EXPECT_EQ(w.Ended(), true);
    EXPECT_EQ(ProgramFiles(), before);
    for (const wchar_t* name : {L"escape.dll", L"dot.dll", L"double.dll", L"trail.dll", L"stream.dll"})
        EXPECT_FALSE(EscapedAnywhere(name)) << test::ToUtf8(name);
    // Only the descriptor was asked for: not even the plain files before it.
    EXPECT_EQ(UpdateRequests().size(), 1u);
}

TEST_F(OnlineTest, AMoveOntoTheRunningProgramEndsItAndRetries)
{
    const auto release = Release14();
    Publish(release);
    KernelHandle ours(StartHoldingMainProgram(program / L"tallivo.exe"));
    TempFolder elsewhere;
    KernelHandle theirs(StartHoldingMainProgram(elsewhere / L"tallivo.exe"));
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    MessageBoxScript boxes{vbYes};
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt,
              L"移动文件[tallivo.exe]时出错:,请确认相关文件和程序未被打开或运行。\r\n"
              L"是否重试？重试将尝试退出正在运行的程序。选择否将把已移动的文件全部恢复为更新前的版本，并结束本次更新。");
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbQuestion | vbYesNo);
    EXPECT_EQ(boxes.Boxes()[0].title, L"在线更新");
    EXPECT_EQ(WaitForSingleObject(ours.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(theirs.Get(), 0),
              static_cast<DWORD>(WAIT_TIMEOUT));  // not in the program folder
    EXPECT_EQ(ProgramFiles(), Installed(release));
    EXPECT_EQ(w.StyledButton1->Caption(), L"完成");
    TerminateProcess(theirs.Get(), 0);
    WaitForSingleObject(theirs.Get(), INFINITE);
}

TEST_F(OnlineTest, NoToTheMoveQuestionPutsTheOriginalsBack)
{
    Publish(Release14());
    WriteBytes(program / L"update.ocx", "old updater");
    const auto before = ProgramFiles();
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    // The old updater is open elsewhere: it cannot be replaced.
    HANDLE inUse = CreateFileW((program / L"update.ocx").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    MessageBoxScript boxes{vbNo};
    std::string mainProgramAtTheQuestion;
    boxes.WhileShown = [&](const MessageBoxScript::Shown&) {
        mainProgramAtTheQuestion = ReadWholeFile(program / L"tallivo.exe");
    };
    Press(*w.StyledButton2);
    CloseHandle(inUse);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    // The question says what No does: it puts back what was moved.
    EXPECT_EQ(boxes.Boxes()[0].prompt,
              L"移动文件[update.ocx]时出错:,请确认相关文件和程序未被打开或运行。\r\n"
              L"是否重试？重试将尝试退出正在运行的程序。选择否将把已移动的文件全部恢复为更新前的版本，并结束本次更新。");
    EXPECT_EQ(mainProgramAtTheQuestion, Release14()[0].bytes);  // moved before the question
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(ProgramFiles(), before);  // and back afterwards
}

// The main program runs from the program folder: the update is declined at
// the move onto it, then made in full by a later start that ends it. No
// start after that takes anything back over the new files.
TEST_F(OnlineTest, AnUpdateDeclinedAtTheRunningProgramLeavesNothingForLaterStarts)
{
    const std::vector<PublishedFile> release{
        {L"zlib1.dll", std::string(1500, 'z')},
        {L"docs/readme.txt", "readme 1.4"},
        {L"tallivo.exe", ReadWholeFile(Fixture(L"fake_tallivo_14.exe")) + std::string(1000, '\0')},
        {L"webchart.htm", "<html>1.4</html>"},
        {L"plugins/sub/a.dat", std::string(700, 'a')}};
    for (const auto& [path, bytes] : Installed(release))
        WriteBytes(Service().UpdateFolder() + L"\\" + path, bytes);
    std::vector<std::string> entries;
    for (const PublishedFile& f : release)
        entries.push_back(test::ToUtf8(f.path) + "|" + std::to_string(f.bytes.size()));
    PublishDescriptor(Descriptor("1.4", entries));
    Started running(StartHoldingMainProgram(program / L"tallivo.exe"));
    WriteBytes(program / L"zlib1.dll", "zlib 1.3");
    WriteBytes(program / L"webchart.htm", "<html>1.3 page</html>");
    const auto before = ProgramFiles();

    {
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        MessageBoxScript boxes{vbNo};
        Press(*w.StyledButton2);
        ASSERT_GE(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].prompt.find(L"移动文件[tallivo.exe]时出错:"), 0u);
        EXPECT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
        EXPECT_TRUE(w.Ended());
        EXPECT_TRUE(SameFiles(ProgramFiles(), before));
        EXPECT_FALSE(Exists(Cache(L"~backup")));
        window.reset();
    }
    {
        OnlineWindow& w = Open();
        ASSERT_FALSE(w.Ended());
        Press(*w.StyledButton2);
        MessageBoxScript boxes{vbYes};
        Press(*w.StyledButton2);
        EXPECT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
        EXPECT_EQ(w.Label1[5].Caption(), L"恭喜,全部文件更新成功！");
        EXPECT_EQ(WaitForSingleObject(running.Get(), 0), WAIT_OBJECT_0);
        EXPECT_TRUE(SameFiles(ProgramFiles(), Installed(release)));
        EXPECT_FALSE(Exists(Cache(L"~backup")));
        w.Unload();
        window.reset();
    }
    for (int start = 3; start <= 4; ++start) {
        MessageBoxScript boxes{vbYes};
        OnlineWindow& w = Open();
        ASSERT_FALSE(w.Ended()) << start << Describe(boxes.Boxes());
        Press(*w.StyledButton1);
        EXPECT_TRUE(w.Ended());
        ASSERT_EQ(boxes.Boxes().size(), 1u) << start << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt, QuitQuestion);
        EXPECT_TRUE(SameFiles(ProgramFiles(), Installed(release))) << start;
        EXPECT_FALSE(Exists(Cache(L"~backup"))) << start;
        window.reset();
    }
}

// A file put in place cannot be taken back while it is in use: the updater
// says which, and the next start finishes the taking back (ending the main
// program when asked to) before anything else, or stops.
TEST_F(OnlineTest, ARollbackThatMeetsAFileInUseIsFinishedBeforeTheNextUpdate)
{
    const auto release = Release14();
    Publish(release);
    WriteBytes(program / L"update.ocx", "old updater");
    const auto before = ProgramFiles();
    Started newMainProgram(nullptr);
    {
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        // The old updater is open elsewhere: its move fails after the main
        // program's, and the new main program is started meanwhile.
        KernelHandle inUse(CreateFileW((program / L"update.ocx").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
        MessageBoxScript boxes{vbNo, vbOK};
        boxes.WhileShown = [&](const MessageBoxScript::Shown& shown) {
            if (!newMainProgram && shown.prompt.find(L"移动文件[update.ocx]") == 0)
                newMainProgram.Reset(StartHolding(program / L"tallivo.exe"));
        };
        Press(*w.StyledButton2);
        ASSERT_EQ(boxes.Boxes().size(), 2u) << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[1].prompt, L"无法恢复更新前的文件:文件[tallivo.exe]正在被其他程序使用。\r\n"
                                           L"请关闭相关程序后再次运行在线更新程序，将先完成恢复。");
        EXPECT_EQ(boxes.Boxes()[1].buttons, forms::vbExclamation);
        EXPECT_EQ(boxes.Boxes()[1].title, L"在线更新");
        EXPECT_TRUE(w.Ended());
        window.reset();
    }
    ASSERT_TRUE(newMainProgram);
    auto expected = before;
    expected[L"tallivo.exe"] = release[0].bytes;  // only the file in use keeps its update
    EXPECT_TRUE(SameFiles(ProgramFiles(), expected));

    const std::wstring startQuestion = L"上次更新未能恢复原来的文件:文件[tallivo.exe]正在被其他程序使用。\r\n"
                                       L"是否重试？重试将尝试退出正在运行的程序。选择否将退出在线更新程序。";
    {
        MessageBoxScript boxes{vbNo};
        OnlineWindow& w = Open();
        ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt, startQuestion);
        EXPECT_EQ(boxes.Boxes()[0].buttons, vbQuestion | vbYesNo);
        EXPECT_EQ(boxes.Boxes()[0].title, L"在线更新");
        EXPECT_TRUE(w.Ended());
        EXPECT_TRUE(SameFiles(ProgramFiles(), expected));
        window.reset();
    }
    {
        MessageBoxScript boxes{vbYes};
        OnlineWindow& w = Open();
        ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt, startQuestion);
        EXPECT_FALSE(w.Ended());
        EXPECT_EQ(WaitForSingleObject(newMainProgram.Get(), 0), WAIT_OBJECT_0);
        EXPECT_TRUE(SameFiles(ProgramFiles(), before));
        EXPECT_FALSE(Exists(Cache(L"~backup")));
        EXPECT_EQ(w.CurrentVersion, L"1.3");
    }
}

TEST_F(OnlineTest, AFileWhereTheCacheNeedsAFolderIsReported)
{
    Publish(Release14());
    const auto before = ProgramFiles();
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    WriteBytes(Cache(L"sub"), "a file");
    MessageBoxScript boxes;
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"写入文件失败。\r\n" + std::wstring(GetNextFailed));
    EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(ProgramFiles(), before);
}

// The size is checked again just before the move: no path of the move phase
// installs bytes that were not downloaded for that entry.
TEST_F(OnlineTest, OnlyTheBytesDownloadedForAnEntryAreInstalled)
{
    Publish(Release14());
    Fault(R"({"kind":"delay","seconds":1,"on":["update"],"path":"sub/dir/a.dll"})");
    const auto before = ProgramFiles();
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    test::PumpedAction swap([&] { WriteBytes(Cache(L"update.ocx"), "not what was downloaded"); });
    swap.When([&] { return w.List3->List(2) == L"正在下载"; });
    MessageBoxScript boxes;
    std::wstring stateAtTheMessage;
    boxes.WhileShown = [&](const MessageBoxScript::Shown&) { stateAtTheMessage = w.List3->List(1); };
    Press(*w.StyledButton2);
    ASSERT_TRUE(swap.Done());
    ASSERT_EQ(boxes.Boxes().size(), 1u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt,
              L"更新文件[update.ocx]与更新信息不符\r\n" + std::wstring(GetNextFailed));
    EXPECT_EQ(boxes.Boxes()[0].title, L"出错");
    EXPECT_EQ(stateAtTheMessage, L"错误");
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(ProgramFiles(), before);  // the main program moved first went back
}

// A copy an interrupted run left where this run would put its own, and the
// copy of a read-only file, once made the update ask about a move nothing
// stood in the way of.
TEST_F(OnlineTest, BackupsOfEarlierRunsAndOfReadOnlyFilesAskNothing)
{
    const auto release = Release14();
    for (const bool readOnly : {false, true}) {
        RemoveTree(program / L"update");
        Publish(release);
        WriteBytes(program / L"update.ocx", "old updater");
        WriteBytes(program / L"tallivo.exe", oldMainProgram);
        if (readOnly)
            SetFileAttributesW((program / L"update.ocx").c_str(), FILE_ATTRIBUTE_READONLY);
        else
            WriteBytes(Cache(L"~backup\\1"), "left by an interrupted run");
        MessageBoxScript boxes{vbNo};
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        Press(*w.StyledButton2);
        ASSERT_TRUE(boxes.Boxes().empty()) << readOnly << Describe(boxes.Boxes());
        EXPECT_EQ(w.StyledButton1->Caption(), L"完成");
        EXPECT_EQ(ProgramFiles(), Installed(release)) << readOnly;
        EXPECT_FALSE(Exists(Cache(L"~backup"))) << readOnly;
        w.Unload();
        window.reset();
    }
}

// Closed from outside while the move question is open (the close confirmed,
// or the Windows session ending): every move made so far is taken back.
TEST_F(OnlineTest, AnOutsideCloseAtTheMoveQuestionLeavesNoMoveMade)
{
    for (const UINT message : {UINT(WM_CLOSE), UINT(WM_ENDSESSION)}) {
        RemoveTree(program / L"update");
        RemoveTree(program / L"sub");
        Publish(Release14());
        WriteBytes(program / L"update.ocx", "old updater");
        WriteBytes(program / L"tallivo.exe", oldMainProgram);
        const auto before = ProgramFiles();
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        HANDLE inUse = CreateFileW((program / L"update.ocx").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        // The move question is answered "否" only after the close; the quit question "是".
        MessageBoxScript boxes{vbNo, vbYes};
        std::map<std::wstring, std::string> afterTheClose;
        boxes.WhileShown = [&](const MessageBoxScript::Shown& shown) {
            if (shown.prompt.find(L"移动文件") != 0)
                return;
            SendMessageW(w.hWnd(), message, message == WM_ENDSESSION, 0);
            afterTheClose = ProgramFiles();
        };
        Press(*w.StyledButton2);
        CloseHandle(inUse);
        EXPECT_TRUE(w.Ended());
        EXPECT_TRUE(afterTheClose == before) << message;  // not one file of the release in place
        EXPECT_TRUE(ProgramFiles() == before) << message;
        window.reset();
    }
}

// A connection that dies in the middle of a body is noticed after 30 silent
// seconds, long before the overall limit.
TEST_F(OnlineTest, ADownloadThatReceivesNothingFor30SecondsFails)
{
    Publish(Release14());
    Fault(R"({"kind":"slow_body","after":10,"seconds":20,"then":"finish","path":"update.ocx"})");
    forms::ClockOverride clock(46000.5);
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    const auto before = ProgramFiles();
    // Once the second file is on its way, time passes in stall steps.
    StallSteps steps(clock, [&] { return w.List3->List(1) == L"正在下载" && UpdateRequests().size() >= 3; });
    MessageBoxScript boxes{vbNo, vbOK};
    Press(*w.StyledButton2);
    ASSERT_EQ(boxes.Boxes().size(), 2u) << Describe(boxes.Boxes());
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"更新文件下载失败,是否重试?");
    EXPECT_TRUE(w.Ended());
    EXPECT_EQ(ProgramFiles(), before);
}

// A download whose bytes keep coming is not stalled, however long it takes:
// a file of 1.5 MB at about 40 KB/s (the program's clock running eight times
// as fast as the service sends) outlasts the stall limit and installs whole.
TEST_F(OnlineTest, ADownloadWhoseBytesKeepComingOutlastsTheStallLimit)
{
    auto release = Release14();
    std::string large(1536 * 1024, '\0');
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7919 % 251);
    release[2].bytes = large;
    Publish(release);
    Fault(R"({"kind":"trickle_body","bytes":16384,"interval":0.05,"on":["update"],"path":"sub/dir/a.dll"})");
    forms::ClockOverride clock(46000.5);
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    const auto time = test::PassingTime::Faster(clock, 8);
    const std::int64_t start = forms::MonotonicMilliseconds();
    MessageBoxScript boxes{vbNo, vbOK};  // should the download fail
    Press(*w.StyledButton2);
    EXPECT_GT(forms::MonotonicMilliseconds() - start, 30 * 1000);
    EXPECT_TRUE(boxes.Boxes().empty()) << Describe(boxes.Boxes());
    EXPECT_EQ(w.Label1[5].Caption(), L"恭喜,全部文件更新成功！");
    EXPECT_EQ(ProgramFiles(), Installed(release));
}

// ---- the archive routine and the random numbers of the window ----

TEST_F(OnlineTest, TheArchiveRoutineLoadsItsLibraryFromTheProgramFolderWhenFirstCalled)
{
    OnlineWindow& w = Open();
    TempFolder work;
    WriteBytes(work / L"files.rar",
               "comment a test archive\r\nentry 0 12 a.txt\r\nentry 12 40000 dir\\b.dat\r\n");
    std::int32_t mode = 2;
    std::wstring archive = work / L"files.rar", destination = work.Path(), password;
    {
        MessageBoxScript boxes;
        w.ExtractRar(mode, archive, destination, password);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].prompt, L"文件未找到: unrar.dll");
        EXPECT_EQ(boxes.Boxes()[0].buttons, forms::vbExclamation);
        EXPECT_EQ(boxes.Boxes()[0].title, L"UnRar Error");
        EXPECT_EQ(w.List1->ListCount(), 0);
    }
    CopyFileW(Fixture(L"unrar.dll").c_str(), (program / L"unrar.dll").c_str(), FALSE);
    EXPECT_EQ(GetModuleHandleW((program / L"unrar.dll").c_str()), nullptr);
    MessageBoxScript boxes;
    w.ExtractRar(mode, archive, destination, password);
    EXPECT_NE(GetModuleHandleW((program / L"unrar.dll").c_str()), nullptr);
    EXPECT_EQ(Rows(*w.List1), (std::vector<std::wstring>{L"文件: a.txt\t\t\tSize: 12\tOK",
                                                         L"文件: dir\\b.dat\t\t\tSize: 40000"}));
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].prompt, L"a test archive");
    EXPECT_EQ(boxes.Boxes()[0].buttons, vbInformation);
    EXPECT_EQ(boxes.Boxes()[0].title, L"Comment");
    EXPECT_EQ(boxes.Boxes()[1].prompt, L"CRC error");
    EXPECT_EQ(boxes.Boxes()[1].title, L"UnRar Error");

    w.List1->Clear();
    mode = 0;
    destination = L" " + (work / L"out") + L" ";
    CreateDirectoryW((work / L"out").c_str(), nullptr);
    CreateDirectoryW((work / L"out\\dir").c_str(), nullptr);
    MessageBoxScript extractBoxes;
    w.ExtractRar(mode, archive, destination, password);
    EXPECT_EQ(destination, (work / L"out") + L"\\");
    EXPECT_EQ(Rows(*w.List1), (std::vector<std::wstring>{L"解压 a.txt\tOK", L"解压 dir\\b.dat"}));
    EXPECT_EQ(ReadWholeFile(work / L"out\\a.txt"), "extracted a.txt");
    EXPECT_EQ(w.GetRnd(0), 0);
    EXPECT_EQ(w.GetRnd(1), 1);
}

// ---- the internet cache, escaped names, progress ----

// The request class the updater creates, through a stand-in that hands out
// the system's object unless a test wants its creation to fail.
struct RequestClass {
    static inline bool fail = false;
    static void Register()
    {
        static bool registered = false;
        if (registered)
            return;
        registered = true;
        forms::RegisterStandIn(L"MSXML2.XMLHTTP", [] {
            if (fail)
                throw forms::RuntimeError(forms::kClassNotAvailable);
            return test::SystemObject(L"MSXML2.XMLHTTP");
        });
    }
};

TEST_F(OnlineTest, TheCacheEntryGoesBeforeTheRequestAndAfterIt)
{
    RequestClass::Register();
    const std::wstring descriptorUrl = Service().Primary() + L"update/update.txt";
    ASSERT_TRUE(test::PutInCache(descriptorUrl));
    RequestClass::fail = true;  // no request at all: what was dropped, was dropped before
    {
        MessageBoxScript boxes{vbNo};
        OnlineWindow& w = Open();
        Press(*w.StyledButton2);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].title, L"超时");
    }
    RequestClass::fail = false;
    EXPECT_FALSE(test::InCache(descriptorUrl));
    EXPECT_TRUE(UpdateRequests().empty());

    Publish(Release14());
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    Press(*w.StyledButton2);
    EXPECT_EQ(w.StyledButton1->Caption(), L"完成");
    for (const wchar_t* path : {L"update.txt", L"tallivo.exe", L"update.ocx", L"sub/dir/a.dll"})
        EXPECT_FALSE(test::InCache(Service().Primary() + L"update/" + path)) << test::ToUtf8(path);
}

TEST_F(OnlineTest, EachPartOfAPathIsEscapedInTheAddress)
{
    const std::vector<PublishedFile> files{{L"说明 1.txt", "readme"}, {L"a&b/c#d.txt", "hash"}};
    Publish(files);
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    Press(*w.StyledButton2);
    EXPECT_EQ(w.StyledButton1->Caption(), L"完成");
    std::vector<std::string> paths;
    for (const auto& r : UpdateRequests())
        paths.push_back(r.path);
    EXPECT_EQ(paths,
              (std::vector<std::string>{"/do/update/update.txt", "/do/update/%E8%AF%B4%E6%98%8E%201.txt",
                                        "/do/update/a%26b/c%23d.txt"}));
    auto expected = Installed(files);
    expected[L"tallivo.exe"] = oldMainProgram;
    EXPECT_EQ(ProgramFiles(), expected);
}

TEST_F(OnlineTest, EightFilesGiveTwelveToAHundred)
{
    std::vector<PublishedFile> files;
    for (int i = 1; i <= 8; ++i)
        files.push_back({L"f" + std::to_wstring(i) + L".dat", std::string(100 * i, 'f')});
    Publish(files);
    OnlineWindow& w = Open();
    Press(*w.StyledButton2);
    ASSERT_EQ(w.List1->ListCount(), 8);
    std::vector<std::int32_t> shown;
    auto previous = w.Down1->Graphics().onDrawn;
    w.Down1->Graphics().onDrawn = [&] {
        if (shown.empty() || shown.back() != w.Down1->Value())
            shown.push_back(w.Down1->Value());
        if (previous)
            previous();
    };
    Press(*w.StyledButton2);
    // The empty bar repainted as the download begins, then one value a file.
    EXPECT_EQ(shown, (std::vector<std::int32_t>{0, 12, 25, 38, 50, 62, 75, 88, 100}));
}

// What the start-up recovery keeps is said once, with where it lies: the
// copy kept beside a file installed again since the run, a run folder whose
// journal cannot be read whole. The updater goes on.
TEST_F(OnlineTest, WhatTheStartUpRecoveryKeepsIsSaidOnce)
{
    const auto release = Release14();
    Publish(release);
    WriteBytes(Cache(L"tallivo.exe"), release[0].bytes);
    {
        // Downloaded long before the reinstall.
        KernelHandle file(CreateFileW(Cache(L"tallivo.exe").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        const FILETIME longAgo{0, 30000000};
        ASSERT_TRUE(file && SetFileTime(file.Get(), nullptr, nullptr, &longAgo));
    }
    {
        MoveJournal run(Cache(L"~backup"), program.Path());
        ASSERT_TRUE(run.Replace(Cache(L"tallivo.exe"), program / L"tallivo.exe"));
    }  // ended before its commit
    WriteBytes(program / L"tallivo.exe", release[0].bytes);  // installed again since
    WriteBytes(Cache(L"~backup\\7\\1"), "a copy");
    WriteBytes(Cache(L"~backup\\7\\journal.txt"), "damaged");
    {
        MessageBoxScript boxes{vbOK, vbOK};
        OnlineWindow& w = Open();
        ASSERT_EQ(boxes.Boxes().size(), 2u) << Describe(boxes.Boxes());
        EXPECT_EQ(boxes.Boxes()[0].prompt,
                  L"以下文件在上次更新之后已被改动，保持不变；它们更新前的副本保存在旁边:\r\n" +
                      (program / L"tallivo.exe.更新前"));
        EXPECT_EQ(boxes.Boxes()[1].prompt,
                  L"以下更新备份的记录无法完整读取，其中保存的文件均未改动，请自行检查:\r\n" + Cache(L"~backup\\7.kept"));
        EXPECT_FALSE(w.Ended());
        EXPECT_EQ(w.CurrentVersion, L"1.4");
        EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), release[0].bytes);
        EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe.更新前"), oldMainProgram);
        EXPECT_EQ(ReadWholeFile(Cache(L"~backup\\7.kept\\1")), "a copy");
        window.reset();
    }
    MessageBoxScript none;
    OnlineWindow& w = Open();
    EXPECT_TRUE(none.Boxes().empty()) << Describe(none.Boxes());
    EXPECT_FALSE(w.Ended());
}

}  // namespace
}  // namespace quill::updater::testing
