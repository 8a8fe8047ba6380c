// Pictures of update.exe itself, for docs/: the real program against the
// reference service, clicked through every page with the real mouse. Each
// picture is taken once the page is what it should show and has painted.
#include "TempFolder.h"
#include "UpdateProcess.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ReferenceService.h"
#include "tests/support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quill::updater::testing {
namespace {

// The wizard's places in its client area: the wizard button, the quit button
// and the row of stars while connecting.
constexpr POINT WizardButton{249 + 32, 255 + 14};
constexpr POINT QuitButton{318 + 32, 255 + 14};
constexpr RECT Stars{141 + 3, 12 + 96, 141 + 3 + 235, 12 + 96 + 13};

std::wstring Row(HWND list, int row)
{
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, row, 0);
    if (length < 0)
        return L"";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// The smallest visible window below `window` that holds a point of its
// client area (the wizard's buttons lie in containers of their own).
HWND ChildAt(HWND window, POINT client)
{
    struct Search {
        POINT screen;
        HWND found = nullptr;
        long long area = 0;
    } search{client};
    ClientToScreen(window, &search.screen);
    EnumChildWindows(
        window,
        [](HWND h, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            RECT r{};
            GetWindowRect(h, &r);
            const long long area = static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
            if (IsWindowVisible(h) && PtInRect(&r, s->screen) && (!s->found || area < s->area)) {
                s->found = h;
                s->area = area;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// How far the row of stars reaches, in pixels from its left edge.
int StarsWidth(HWND window)
{
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    RECT area = Stars;
    OffsetRect(&area, origin.x, origin.y);
    const std::vector<uint32_t> pixels = test::ScreenPixels(area);
    const int width = area.right - area.left;
    int reach = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i)
        if ((pixels[i] & 0xFF) < 0x80)
            reach = std::max(reach, static_cast<int>(i % width) + 1);
    return reach;
}

TEST(UpdaterPictures, EveryPageOfTheRealUpdater)
{
    test::ReferenceService service;
    const std::string mainProgram = ReadWholeFile(Fixture(L"fake_tallivo_14.exe")) + std::string(1000, '\0');
    WriteBytes(service.UpdateFolder() + L"\\tallivo.exe", mainProgram);
    WriteBytes(service.UpdateFolder() + L"\\update.ocx", std::string(1075, 'u'));
    WriteBytes(service.UpdateFolder() + L"\\sub\\dir\\a.dll", std::string(2048, 'a'));
    const std::string entries = "checkfile=3\r\nfile1=tallivo.exe|" + std::to_string(mainProgram.size()) +
                                "\r\nfile2=update.ocx|1075\r\nfile3=sub/dir/a.dll|2048\r\n";
    // First a reply that is no descriptor, held while the stars run.
    WriteBytes(service.UpdateFolder() + L"\\update.txt", "<html>maintenance</html>");
    service.Control(R"({"op":"fault","kind":"hold","on":["update"],"path":"update.txt","times":1})");
    SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", service.Primary().c_str());
    struct Unset {
        ~Unset() { SetEnvironmentVariableW(L"QUILL_SERVER_BASE_URL", nullptr); }
    } unset;

    TempFolder program;
    Install(program);
    DWORD id = 0;
    Started updater = Start(program / L"update.exe", id);
    const HWND window = WizardOf(id);
    ASSERT_TRUE(window);
    SetForegroundWindow(window);
    // The pointer stays off the buttons between clicks: no button is hot.
    test::MoveMouse(window, 60, 40);
    Picture({window}, L"updater-welcome.png");

    const HWND wizardButton = ChildAt(window, WizardButton);
    ASSERT_TRUE(wizardButton);
    test::ClickAt(window, WizardButton.x, WizardButton.y);
    test::MoveMouse(window, 60, 40);
    // The button is disabled while connecting; once the page shows, the stars grow.
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindowEnabled(wizardButton); }, "connecting"));
    Painted(window);
    ASSERT_TRUE(test::PumpUntil([&] { return StarsWidth(window) >= 60; }, "a row of stars"));
    Picture({window}, L"updater-connecting.png");

    service.Release();
    // The wizard button comes back as "上一步" on the failed page.
    ASSERT_TRUE(test::PumpUntil([&] { return IsWindowEnabled(wizardButton); }, "the failed connection"));
    Picture({window}, L"updater-connect-failed.png");

    WriteBytes(service.UpdateFolder() + L"\\update.txt", "[Update]\r\nnewver=1.4\r\n" + entries + "[/Update]\r\n");
    // The last file will wait on the service: the download's picture shows
    // the first two done.
    service.Control(R"({"op":"fault","kind":"hold","on":["update"],"path":"sub/dir/a.dll","times":1})");
    // The pointer comes to the button from outside it, as a user's would.
    test::MoveMouse(window, WizardButton.x - 40, WizardButton.y);
    test::ClickAt(window, WizardButton.x, WizardButton.y);  // "上一步": the welcome page again
    test::MoveMouse(window, 60, 40);
    Painted(window);
    // The welcome page's text lies where the stars were.
    ASSERT_TRUE(test::PumpUntil([&] { return StarsWidth(window) > 0; }, "the welcome page"));
    // Away from the first click's place: the same place this soon would be a double click.
    test::MoveMouse(window, WizardButton.x - 40, WizardButton.y);
    test::ClickAt(window, WizardButton.x - 12, WizardButton.y - 4);  // "下一步"
    test::MoveMouse(window, 60, 40);
    std::vector<HWND> lists;
    ASSERT_TRUE(test::PumpUntil([&] {
        lists = ListBoxes(window);
        return lists.size() == 3 && SendMessageW(lists[0], LB_GETCOUNT, 0, 0) == 3 && IsWindowEnabled(wizardButton);
    }, "the file list"));
    Picture({window}, L"updater-file-list.png");

    test::ClickAt(window, WizardButton.x, WizardButton.y);  // "开始下载"
    test::MoveMouse(window, 60, 40);
    ASSERT_TRUE(test::PumpUntil([&] { return Row(lists[2], 2) == L"正在下载"; }, "the last download"));
    EXPECT_EQ(Row(lists[2], 0), L"完成");
    Picture({window}, L"updater-downloading.png");

    service.Release();
    ASSERT_TRUE(test::PumpUntil([&] {
        return ReadWholeFile(program / L"sub\\dir\\a.dll") == std::string(2048, 'a') &&
               !Exists(program / L"update\\sub\\dir\\a.dll");
    }, "the files in place"));
    Picture({window}, L"updater-done.png");

    test::ClickAt(window, QuitButton.x, QuitButton.y);  // "完成"
    HWND offer = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (offer = WindowOf(id, L"#32770", L"启动")) != nullptr; }, "the offer"));
    EXPECT_EQ(StaticText(offer), L"更新完成，是否现在启动程序?");
    Picture({offer}, L"updater-restart-offer.png");
    test::ClickAt(GetDlgItem(offer, IDNO));
    ASSERT_TRUE(test::PumpUntil([&] { return Exited(updater); }, "the updater's end"));
    EXPECT_EQ(ReadWholeFile(program / L"tallivo.exe"), mainProgram);
}

}  // namespace
}  // namespace quill::updater::testing
