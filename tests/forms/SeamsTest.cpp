// The platform seams tests drive: message boxes, the shell, the event log,
// the program's description and timers on the program's clock.
#include "ProbeControl.h"

#include "forms/App.h"
#include "forms/lang/Clock.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "forms/Shell.h"
#include "forms/TimerControl.h"

#include <gtest/gtest.h>

using namespace quill;

namespace {

TEST(MessageBoxSeam, RecordsAndAnswersFromTheScriptOrWithTheDefaultButton)
{
    forms::MessageBoxScript script{forms::vbNo};
    EXPECT_EQ(forms::MsgBox(L"删除？", forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2, L"确认"),
              forms::vbNo);
    struct Case {
        int32_t buttons;
        int32_t answer;
    };
    const Case defaults[] = {{forms::vbOKOnly | forms::vbInformation, forms::vbOK},
                             {forms::vbYesNo, forms::vbYes},
                             {forms::vbYesNo | forms::vbDefaultButton2, forms::vbNo},
                             {forms::vbYesNoCancel | forms::vbDefaultButton3, forms::vbCancel},
                             {forms::vbRetryCancel | forms::vbCritical, forms::vbRetry}};
    for (const Case& c : defaults)
        EXPECT_EQ(forms::MsgBox(L"line 1\r\nline 2", c.buttons), c.answer);
    ASSERT_EQ(script.Boxes().size(), 6u);
    EXPECT_EQ(script.Boxes()[0].title, L"确认");
    EXPECT_EQ(script.Boxes()[0].buttons, forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2);
    EXPECT_EQ(script.Boxes()[1].title, L"Quillmoor");  // no title: the program's
    EXPECT_EQ(script.Boxes()[1].prompt, L"line 1\r\nline 2");
}

TEST(ShellSeam, RecordsWhatWouldBeOpened)
{
    forms::ShellExecuteRecorder rec;
    forms::ShellExecuteA(nullptr, L"", L"http://127.0.0.1/register.shtml", L"", forms::App::Path(),
                         SW_SHOWNORMAL);
    ASSERT_EQ(rec.Calls().size(), 1u);
    EXPECT_EQ(rec.Calls()[0].file, L"http://127.0.0.1/register.shtml");
    EXPECT_EQ(rec.Calls()[0].showCmd, SW_SHOWNORMAL);
}

TEST(App, DescribesTheProgramFromItsVersionResource)
{
    EXPECT_EQ(forms::App::Title(), L"Quillmoor");
    EXPECT_EQ(forms::App::Major(), 1);
    EXPECT_EQ(forms::App::Minor(), 3);
    EXPECT_FALSE(forms::App::Path().empty());
    EXPECT_NE(forms::App::Path().back(), L'\\');
    EXPECT_EQ(forms::App::hInstance(), GetModuleHandleW(nullptr));
    forms::EventLogRecorder rec;
    forms::App::LogEvent(L"subclass failed", forms::vbLogEventTypeError);
    ASSERT_EQ(rec.Entries().size(), 1u);
    EXPECT_EQ(rec.Entries()[0].eventType, forms::vbLogEventTypeError);
}

TEST(TimerControl, FiresOnTheProgramsClockAtTheNextPump)
{
    forms::ClockOverride clock(42000.5);
    forms::Loaded<forms::TimerControl> timer;
    int ticks = 0;
    quill::forms::probe::LayoutForm form([&](quill::forms::probe::LayoutForm& f) {
        timer.Load(f, forms::ControlArgs{.name = L"Timer1"},
                   forms::TimerArgs{.interval = 10000, .enabled = true});
        timer->Timer = [&] { ++ticks; };
    });
    form.Load();
    clock.Advance(9999);
    forms::DoEvents();
    EXPECT_EQ(ticks, 0);
    clock.Advance(1);
    forms::DoEvents();
    EXPECT_EQ(ticks, 1);
    timer->Enabled(false);
    clock.Advance(20000);
    forms::DoEvents();
    EXPECT_EQ(ticks, 1);
    form.Unload();
}

}  // namespace
