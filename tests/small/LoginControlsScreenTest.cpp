// Pictures of the three login controls together, laid out as the login
// window holds them, for review: at rest, under the mouse, and with the
// account list open. Written to QUILL_SMALL_SCREENS_DIR.
#include "controls/small/cCheckBox.h"
#include "controls/small/cChooseComboBox.h"
#include "controls/small/cHyperLink.h"
#include "tests/support/HostForm.h"
#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"

#include "forms/Screen.h"
#include "forms/TextBox.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill::small {
namespace {

using HostForm = test::HostForm<>;

// Pixels of the login window's layout, in twips.
forms::ControlArgs At(const wchar_t* name, int left, int top, int width, int height)
{
    return {.name = name, .left = left * 15, .top = top * 15, .width = width * 15, .height = height * 15};
}

class LoginControlsScreen : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(QUILL_SMALL_SCREENS_DIR); }
    void TearDown() override { form.Unload(); }

    std::wstring PathOf(const wchar_t* name) const
    {
        return (std::filesystem::path(QUILL_SMALL_SCREENS_DIR) / name).wstring();
    }
    // The form's client area, once every control is seen on the screen as
    // it drew itself.
    void Save(const wchar_t* name)
    {
        RedrawWindow(form.hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        for (forms::UserControl* c : {static_cast<forms::UserControl*>(cAcc.get()),
                                      static_cast<forms::UserControl*>(lNewAccount.get()),
                                      static_cast<forms::UserControl*>(lGetPassword.get()),
                                      static_cast<forms::UserControl*>(cRemPwd.get()),
                                      static_cast<forms::UserControl*>(cAutoLogin.get())})
            EXPECT_EQ(test::ScreenMismatch(*c), "") << c->Name();
        EXPECT_TRUE(test::SaveClientAreaPng(form.hWnd(), PathOf(name)));
    }

    const forms::PropertyBag remember{{L"Caption", L"记住密码"}, {L"Checked", true}};
    const forms::PropertyBag autoLogin{{L"Caption", L"自动登录"}};
    const forms::PropertyBag newAccount{
        {L"BackColor", 0xFFF4E4}, {L"ForeColor", 0xEB7016}, {L"Caption", L"注册新账号"}};
    const forms::PropertyBag getPassword{
        {L"BackColor", 0xFFF4E4}, {L"ForeColor", 0xEB7016}, {L"Caption", L"找回密码"}};
    const forms::PropertyBag account{};
    forms::Loaded<cChooseComboBox> cAcc;
    forms::Loaded<forms::TextBox> cPass;
    forms::Loaded<cHyperLink> lNewAccount, lGetPassword;
    forms::Loaded<cCheckBox> cRemPwd, cAutoLogin;
    HostForm form{[this](HostForm& f) {
                      cAcc.Load(f, At(L"cAcc", 57, 78, 190, 26), &account);
                      cPass.Load(f, At(L"cPass", 84, 120, 160, 18),
                                 forms::TextBoxArgs{.text = L"secret",
                                                    .passwordChar = L'*',
                                                    .maxLength = 32,
                                                    .font = forms::Font::New(L"Verdana", 10.5)});
                      lNewAccount.Load(f, At(L"lNewAccount", 252, 84, 64, 14), &newAccount);
                      lGetPassword.Load(f, At(L"lGetPassword", 252, 120, 52, 14), &getPassword);
                      cRemPwd.Load(f, At(L"cRemPwd", 72, 156, 70, 18), &remember);
                      cAutoLogin.Load(f, At(L"cAutoLogin", 171, 156, 70, 18), &autoLogin);
                  },
                  {.caption = L"Quillmoor - V1.3",
                   .clientWidth = 334 * 15,
                   .clientHeight = 214 * 15,
                   .startUpPosition = forms::vbStartUpScreen,
                   .borderStyle = forms::vbFixedSingle,
                   .backColor = 0xFFF4E4}};
};

TEST_F(LoginControlsScreen, AtRestUnderTheMouseAndWithTheListOpen)
{
    form.Show();
    cPass->SetFocus();  // the account box has lost the focus while empty
    test::MoveMouse(form.hWnd(), 5, 5);
    EXPECT_TRUE(cRemPwd->Checked());
    EXPECT_FALSE(cAutoLogin->Checked());
    Save(L"login_controls.png");

    test::MoveMouse(lGetPassword->hWnd(), 10, 6);
    test::MoveMouse(cAutoLogin->hWnd(), 30, 7);
    test::ClickAt(cAutoLogin->hWnd(), 30, 7);
    EXPECT_TRUE(cAutoLogin->Checked());
    Save(L"login_controls_check_hover.png");
    test::MoveMouse(cAcc->hWnd(), cAcc->ScaleWidth() - 14, 13);
    EXPECT_TRUE(cAcc->Hot());
    Save(L"login_controls_drop_hover.png");
    test::MoveMouse(cAcc->hWnd(), 100, 24);
    EXPECT_TRUE(cAcc->Hot());
    Save(L"login_controls_hover.png");
    test::MoveMouse(lNewAccount->hWnd(), 10, 6);
    Save(L"login_controls_link_hover.png");

    for (const wchar_t* name : {L"alice", L"bob2016", L"投资者"})
        cAcc->AddEntry(name);
    test::ClickAt(cAcc->hWnd(), cAcc->ScaleWidth() - 14, 13);
    ASSERT_TRUE(cAcc->DropWindow().Visible());
    test::MoveMouse(cAcc->DropWindow().hWnd(), 60, 1 + 18 + 9);
    RECT area = test::ClientAreaOnScreen(form.hWnd());
    RECT list{};
    GetWindowRect(cAcc->DropWindow().hWnd(), &list);
    UnionRect(&area, &area, &list);
    EXPECT_TRUE(test::SaveScreenPng(area, PathOf(L"login_controls_list_open.png")));
    test::MouseButton(true);
    test::MouseButton(false);
    EXPECT_EQ(cAcc->Text(), L"bob2016");
    test::MoveMouse(form.hWnd(), 5, 5);
    Save(L"login_controls_picked.png");
}

}  // namespace
}  // namespace quill::small
