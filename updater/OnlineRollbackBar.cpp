// The window while a rollback takes many files back: the progress bar
// moves with its steps and the window keeps answering; at start, before
// the welcome page, a long recovery of an earlier run (a thousand steps or
// more) shows on a page of its own.
#include "updater/Online.h"

#include "forms/Pump.h"

#include <windows.h>

namespace quill::updater {
namespace {

// A recovery at start of fewer steps ends within moments: the window waits
// for the welcome page, as when there is nothing to recover.
constexpr std::size_t RecoveryShownFrom = 1000;

}  // namespace

RollbackProgress Online::RollbackBar()
{
    return [this](std::size_t done, std::size_t total) {
        if (!hWnd())
            return;
        if (!IsWindowVisible(hWnd())) {
            if (total < RecoveryShownFrom) {
                forms::DoEvents();
                return;
            }
            ShowRecoveryPage();
        } else if (!rollingBack_ && !recoveryPage_)
            Label1[5].Caption(L"正在恢复更新前的文件，请稍候...");
        // No input (a click on 退出 would end the program in the middle of
        // the rollback) until the last step; messages still run.
        rollingBack_ = done < total;
        if ((IsWindowEnabled(hWnd()) != FALSE) == rollingBack_)
            EnableWindow(hWnd(), !rollingBack_);
        Down1->Value(total ? static_cast<std::int32_t>(done * 100 / total) : 100);
        forms::DoEvents();
    };
}

void Online::ShowRecoveryPage()
{
    recoveryPage_.emplace(Label1[6].Caption(), Label1[5].Caption());
    Label1[6].Caption(L"正在恢复上次未完成的更新...");
    Label1[5].Caption(L"上次更新未完成，正在恢复更新前的文件，请稍候...");
    Down1->Value(0);
    Frame2->Visible(false);
    Frame4->Visible(true);
    Show();
}

void Online::EndRecoveryPage()
{
    rollingBack_ = false;
    if (hWnd() && !IsWindowEnabled(hWnd()))
        EnableWindow(hWnd(), TRUE);
    if (!recoveryPage_)
        return;
    Label1[6].Caption(recoveryPage_->first);
    Label1[5].Caption(recoveryPage_->second);
    recoveryPage_.reset();
    Down1->Value(0);
    Frame4->Visible(false);
    Frame2->Visible(true);
}

}  // namespace quill::updater
