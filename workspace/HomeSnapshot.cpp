// The main window's snapshot loading: ReLoad takes an account snapshot (or
// fetches one by a re-login), splits it into the session's sections and
// fills the platform and account boxes.
#include "workspace/Home.h"

#include "forms/lang/Error.h"
#include "forms/lang/Text.h"
#include "forms/MessageBox.h"
#include "forms/Pump.h"
#include "protocol/ReplyForms.h"
#include "protocol/ServiceRequests.h"
#include "session/MainWindowLink.h"
#include "session/ServiceLogin.h"
#include "session/Session.h"

#include <algorithm>
#include <optional>
#include <span>

namespace quill::workspace {

namespace {

// Names put into the boxes between two looks at the message queue: a few
// hundred milliseconds of the platform's combo boxes.
constexpr size_t kNamesBetweenPumps = 200;

}  // namespace

void Home::ReLoad(const std::wstring& Reloadstr)
{
    session::Session& current = session::CurrentSession();
    const std::uint64_t generation = generation_;
    bool reported = false;
    // A failing step is reported once, then skipped: a snapshot short of a
    // section must not bring one message per missing piece.
    auto step = [&](auto&& run) {
        try {
            run();
        } catch (const forms::RuntimeError& e) {
            if (!reported) {
                reported = true;
                forms::MsgBox(e.Description() + L" Reload出错.", forms::vbCritical);
            }
        }
        return Alive(generation);
    };

    if (!Reloadstr.empty()) {
        current.LoginReply = Reloadstr;
    } else {
        const std::optional<session::LoginExchange> exchange = session::LoginWithBackup(
            protocol::ReloginRequest(current.AuthQuery), protocol::ReloginNeedsBackup,
            session::BackupSwitch::BeforeBackupRequest, [&] { return Alive(generation); });
        if (!exchange)
            return;  // logged out or closed while it waited: the reply is no longer wanted
        current.LoginReply = exchange->reply;
        if (protocol::ReloginRefused(current.LoginReply)) {
            forms::MsgBox(L"操作过程中产生通讯错误，请重新登录操作。", forms::vbInformation);
            if (Alive(generation))
                StyledButton3_Click();
            return;
        }
    }

    summaryStale_ = false;
    // Every section is replaced; one the snapshot does not hold is left empty.
    const protocol::AccountSnapshot snapshot(current.LoginReply);
    std::wstring* const sections[] = {nullptr,
                                      &current.MonthlySection,
                                      &current.CurrentPlatformSection,
                                      &current.FinishedPlatformSection,
                                      &current.PlatformListSection,
                                      &current.DueSoonSection};
    current.UserInfo = protocol::UserInfo();
    for (std::wstring* section : sections)
        if (section)
            section->clear();
    for (int i = 0; i < protocol::AccountSnapshot::kSectionCount; ++i) {
        const bool alive = step([&] {
            if (i == 0)
                current.UserInfo = snapshot.ReadUserInfo();
            else
                *sections[i] = snapshot.Section(i);
        });
        if (!alive)
            return;
    }

    if (!step([&] {
            if (current.UserInfo.NothingRecorded())
                MaininfoR->Caption(L"您还没有录入投资数据，请进行记账操作。");
            else if (current.DueSoonSection.empty())
                MaininfoR->Caption(L"最近30天没有待收项目，您可安心做甩手掌柜^_^!");
        }))
        return;

    bool serverFailed = false;
    if (!step([&] { serverFailed = current.UserInfo.UserNameSignalsServerFailure(); }))
        return;
    if (serverFailed) {
        forms::MsgBox(L"登录时服务器上发生错误，无法继续操作，请稍候再试或联系客服人员反馈问题，谢谢。",
                      forms::vbCritical, L"出错");
        if (Alive(generation))
            Unload();
        forms::End();
        return;
    }

    if (!step([&] {
            Combo1->Clear();
            Addptmc->Clear();
        }))
        return;
    const std::optional<protocol::NameLists> names = protocol::ReadNameLists(current.PlatformListSection);
    if (!names)
        return;
    // Platforms into the filter's box (with an empty first entry, "any") and
    // the entry form's; then the accounts the same way. Thousands of names
    // take the boxes seconds: the windows answer between two runs of names,
    // and the fill stops when the window goes, another fill starts, or the
    // login's 取消登录 stops the window's opening.
    const std::uint64_t fill = ++fills_;
    bool filling = true;
    auto fillBoxes = [&](const std::vector<std::wstring>& all, forms::ComboBox& filter,
                         forms::ComboBox& entry) {
        for (size_t from = 0; from < all.size(); from += kNamesBetweenPumps) {
            const std::span<const std::wstring> run(all.data() + from,
                                                    std::min(kNamesBetweenPumps, all.size() - from));
            filter.AddItems(run);
            entry.AddItems(run);
            if (from + run.size() < all.size()) {
                forms::DoEvents();
                filling = Alive(generation) && fills_ == fill && !session::MainWindowOpeningCancelled();
                if (!filling)
                    return;
            }
        }
        filter.AddItem(L"", 0);
    };
    if (!step([&] { fillBoxes(names->platforms, *Combo1, *Addptmc); }) || !filling)
        return;
    step([&] {
        Combo2->Clear();
        Addptid->Clear();
        fillBoxes(names->accounts, *Combo2, *Addptid);
    });
}

}  // namespace quill::workspace
