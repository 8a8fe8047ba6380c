// The login window: restores the remembered account from "p2pset.ini", logs
// in with the password digest (falling back to the backup base URL), turns the
// service's refusal codes into messages, and on success remembers what it
// should, opens the main window and closes itself. It also offers the
// automatic login, the links to the service's web site, and on every load puts
// a new updater left beside the program in place.
#pragma once

#include "controls/button/StyledButton.h"
#include "controls/small/cCheckBox.h"
#include "controls/small/cChooseComboBox.h"
#include "controls/small/cHyperLink.h"
#include "controls/small/gif/ucGifPlayer.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Loaded.h"
#include "forms/TextBox.h"
#include "forms/TimerControl.h"
#include "session/MainWindowLink.h"
#include "session/frmMenu.h"
#include "session/mGDIp.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quill::skinning {
class cSkinner;
}

namespace quill::session {

class Login : public forms::Form, public MenuCallback {
public:
    Login();

    // The login click: run by cmdLogin, by Enter in cPass and by Timer1.
    void LoginClick();

    // One key of section "Set" of "p2pset.ini" in the program's folder.
    static std::wstring GetSetValue(const std::wstring& key);
    static void SaveSetValue(const std::wstring& key, const std::wstring& value);

    forms::Loaded<small::cChooseComboBox> cAcc;
    forms::Loaded<forms::TextBox> cPass;
    forms::Loaded<small::cHyperLink> lNewAccount;
    forms::Loaded<small::cHyperLink> lGetPassword;
    forms::Loaded<small::cCheckBox> cRemPwd;
    forms::Loaded<small::cCheckBox> cAutoLogin;
    forms::Loaded<button::StyledButton> cmdAbout;
    forms::Loaded<button::StyledButton> cmdLogin;
    forms::Loaded<forms::Frame> DoFrame;
    forms::Loaded<gif::ucGifPlayer> ucGifPlayer1;
    forms::Loaded<forms::CommandButton> Loginabort;
    forms::Loaded<forms::TimerControl> Timer1;

    // The popup menu meant for a notification-area icon (nothing in the
    // program opens it): "打开登录面板" shows this window, "退出" closes it.
    void ShowNotifyMenu();
    void MenuItemClicked(std::int32_t MenuID, std::int32_t itemID) override;
    void ShowMainForm();
    // Repaints the drop button with the drawing objects below, when it has
    // them (nothing here makes them).
    void ReDrawDrop();
    // Closes every window of the program and ends its GDI+ session.
    void EndMe();
    std::int32_t ChosenEntry() const { return chosenEntry_; }

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Unload(int16_t& Cancel) override;

private:
    void cRemPwd_Click();
    void cAutoLogin_Click();
    void cPass_Change();
    void cPass_DblClick();
    void cPass_KeyDown(forms::KeyArgs& e);
    void Loginabort_Click();
    void Timer1_Timer();
    void OpenSitePage(const std::wstring& page);
    // Hides the progress panel and lets the user log in again.
    void EndAttempt();

    // The password box still holds the digest restored at load, unedited:
    // only then does its text go out unchanged.
    bool passRestored_ = false;
    // The running login, if any; an attempt whose number is no longer current
    // was cancelled (or its window closed) and its outcome is ignored.
    bool loginRunning_ = false;
    int attempt_ = 0;
    // The skinning engine, should the window ever want its skin: nothing sets
    // it; EndMe lets it go. Declared only, so the login does not link the
    // engine for a reference that stays empty.
    std::shared_ptr<skinning::cSkinner> skinner_;

    // Menu list 0's chosen entry, and the drop button's drawing objects.
    std::int32_t chosenEntry_ = 0;
    GraphicsOwner dropSurface_;
    PathOwner dropPath1_, dropPath2_;
    PenOwner dropPen1_, dropPen2_;
    BrushOwner hoverBrush_, pressedBrush_, dropBrush_;
    bool dropHover_ = false, dropPressed_ = false;
};

// The program's one login window.
Login& LoginWindow();

}  // namespace quill::session
