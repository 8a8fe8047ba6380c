// The main window: opened by a successful login, it shows the account
// snapshot of LoginReply in eight tab pages around one frame (header with
// tabs, update and logout buttons, greeting and status line; chart slots,
// summary panel, caption, filter, list, loading panel), and closes by logout,
// by the update prompt or by the user.
//
// The window's values (page ids, flags, geometry) outlive its unloading;
// its controls are made afresh on every load. Handlers that pump messages
// (a request's wait, a message box) may find the window unloaded when they
// resume: they check the window's generation and give up silently then.
#pragma once

#include "workspace/ChartSlot.h"
#include "workspace/Overview.h"
#include "protocol/ServiceRecords.h"

#include "workspace/CalendarGrid.h"
#include "workspace/DetailActions.h"
#include "workspace/EntryFields.h"
#include "workspace/SpacePressWatch.h"

#include "controls/button/StyledButton.h"
#include "controls/listview/ListView.h"
#include "controls/small/gif/ucGifPlayer.h"
#include "forms/AddedControl.h"
#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/Loaded.h"
#include "forms/OptionButton.h"
#include "forms/PictureBox.h"
#include "forms/TextBox.h"
#include "forms/TimerControl.h"
#include "forms/WebBrowser.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quill::workspace {

// The list control of the window's pages.
using HomeListView = listview::ListView;

class Home : public forms::Form {
public:
    Home();

    // ---- public members the pages use
    // The loading panel: 0 hides it, 1 shows the loading animation, any
    // other value the failure picture.
    void ShowLoading(std::int16_t Loadingtype);
    // Shows the first LoadNums tiles of the summary panel and sizes it.
    void LoadTlist(std::int32_t LoadNums);
    // Hides every page region (not the entry form, the loading panel or the calendar).
    void HideAll();
    // Loads an account snapshot, or fetches one when given none.
    void ReLoad(const std::wstring& Reloadstr);
    // The two chart slots.
    void ShowFlash1(std::int32_t Sfleft, std::int32_t Sftop, std::int32_t Sfwidth, std::int32_t Sfheight,
                    const std::wstring& Sfxmldata, std::int16_t Sftype);
    void ShowFlash2(std::int32_t Sfleft, std::int32_t Sftop, std::int32_t Sfwidth, std::int32_t Sfheight,
                    const std::wstring& Sfxmldata, std::int16_t Sftype);
    void ShowWeb1(std::int32_t Sfleft, std::int32_t Sftop, std::int32_t Sfwidth, std::int32_t Sfheight,
                  const std::wstring& Sfxmldata, std::int16_t Sftype);
    void ShowWeb2(std::int32_t Sfleft, std::int32_t Sftop, std::int32_t Sfwidth, std::int32_t Sfheight,
                  const std::wstring& Sfxmldata, std::int16_t Sftype);
    // Empties the list and gives it the columns of a list kind (1 to 5).
    void ShowListView(std::int32_t sLVid);
    // The layout pass: the window's resize event, also called by the pages.
    void Form_Resize() override;
    // A page whose request brought nothing: the failure picture, the busy
    // flag cleared, and a click on the same tab builds the page again.
    void PageFailed();

    // ---- handlers
    // The tab row: every tab's click, and the pages' direct calls.
    void StyledButton1_Click(std::int16_t Index);
    // Online update: starts the updater and leaves the window open.
    void StyledButton2_Click();
    // Logout: empties the session and goes back to the login window.
    void StyledButton3_Click();
    // The update prompt, once, five seconds after a first opening found a newer version.
    void updateTimer_Timer();
    // The list filter's run (its button "筛选", and the detail page's call).
    void StyledButton4_Click();
    // The filter's date boxes: a click opens the calendar under the box, a
    // double click empties it; the key box's focus hides the calendar.
    void SXdateb_Click();
    void SXdatee_Click();
    void SXdateb_DblClick();
    void SXdatee_DblClick();
    void SXKey_GotFocus();
    // A double click on a row of the list: the detail page of its project,
    // or the project list of its platform, month or year.
    void ListView_DblClick(std::int32_t ItemIndex);

    // ---- the detail page
    // Opens a project's detail page, or on a platform or report page the
    // project list filtered by the row's platform, month or year.
    void Showinfo(const std::wstring& showid);
    void DoBack_Click();
    void Doedit_Click();
    void Doover_Click();
    void Dodel_Click();
    void Dobad_Click();

    // ---- the entry form
    // The edit form of a project (page 21), filled from a fresh fetch.
    void EDITinfo(std::int32_t id);
    // The due date from the value date and the term.
    void CoverToDate();
    void addcover_Click();
    void TY0_Click();
    void TY1_Click();
    void StyledButton7_Click();

    // ---- the calendar
    // Enables the cells of days 28 to 31 for the month shown.
    void MdateChange();
    void Mdatesel_Click(int Index);
    void Mdatedo_Click(int Index);
    void StyledButton5_Click();
    void StyledButton6_Click();

    // ---- the window's values
    std::int32_t NowId = -1;
    std::int16_t NowIDb = 0;
    bool ActionBusy = false;
    bool LoadBe = false;
    std::int32_t PubLeft = 0, PubTop = 0, PubWidth = 0;
    std::int32_t ChartItemCount = 0;
    std::int32_t ChartLabelAngle = 0;
    std::int32_t ShownListKind = -1;
    std::int32_t NearestDueDays = -9999;
    std::wstring PageChartXml1, PageChartXml2;
    bool FlashOk1 = false, FlashOk2 = false;
    std::wstring Flash1xml, Flash2xml;
    // The next filter run lists nothing: a double click asked for a platform
    // that the platform box does not hold.
    bool FilterPlatformUnlisted = false;

    // ---- controls
    forms::ControlArray<button::StyledButton> StyledButton1;
    forms::Loaded<button::StyledButton> StyledButton2, StyledButton3;
    forms::Loaded<forms::Label> Maininfo, MaininfoR;
    forms::Loaded<forms::Frame> Flashole1, Flashole2;
    forms::AddedControl Flash1, Flash2;
    forms::Loaded<forms::WebBrowser> Flashweb1, Flashweb2;
    // The failure picture of a chart that can be shown neither way.
    forms::Loaded<forms::Image> Flashfail1, Flashfail2;
    forms::Loaded<forms::PictureBox> Ole1;
    forms::ControlArray<forms::Image> Ole1img;
    forms::ControlArray<forms::Label> Ole1Label, Ole1Money;
    forms::Loaded<forms::Label> CaptionL;
    forms::Loaded<forms::Frame> Ole2;
    forms::Loaded<forms::ComboBox> Combo1, Combo2, Combo5;
    forms::ControlArray<forms::Label> Label1;
    forms::Loaded<forms::TextBox> SXKey, SXdateb, SXdatee;
    forms::Loaded<button::StyledButton> StyledButton4;
    forms::Loaded<forms::Frame> ole3;
    forms::Loaded<button::StyledButton> Doedit, Doover, Dodel, Dobad, DoBack;
    forms::Loaded<forms::PictureBox> Addole;
    forms::Loaded<forms::ComboBox> Addptmc, Addptid, Addtype;
    forms::Loaded<forms::TextBox> Addxmmc, AddDateB, Addday, AddDateE, Addmoney, Addlilu, Addquan, Addadd,
        Addpay, Addlixifei, Addbz;
    forms::Loaded<forms::OptionButton> TY0, TY1, Myear0, Myear1, Jieshu0, Jieshu1;
    forms::Loaded<button::StyledButton> addcover, StyledButton7;
    forms::ControlArray<forms::CheckBox> Check1;
    forms::ControlArray<forms::Label> AddLabel, AddHint;
    // The frames that make the three pairs of options three groups.
    forms::ControlArray<forms::Frame> AddGroup;
    forms::Loaded<forms::Label> AddNote1, AddNote2;
    // Beside 提交, on a form given back after a save without an answer: the
    // list fetched since holds the same project.
    forms::Loaded<forms::Label> AddNote3;
    forms::Loaded<HomeListView> ListView;
    forms::Loaded<forms::Frame> Loadingole;
    forms::Loaded<gif::ucGifPlayer> Loading;
    forms::Loaded<forms::Label> LoadingLabel;
    forms::Loaded<forms::Frame> Mdateole;
    forms::Loaded<forms::ComboBox> Combo3, Combo4;
    forms::ControlArray<forms::Label> Mdatedo, Mdatesel;
    forms::Loaded<button::StyledButton> StyledButton5, StyledButton6;
    forms::Loaded<forms::TimerControl> updateTimer;

    // A request to the service's current address through the HTTP client,
    // with the request's own time-out; "" when it brought nothing.
    static std::wstring Post(const protocol::ServiceRequest& request);

    // Counts the window's loads and unloads: a handler that resumes after a
    // wait compares it with the value it started with.
    std::uint64_t Generation() const { return generation_; }

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Unload(std::int16_t& Cancel) override;

private:
    ChartSlot Slot1();
    ChartSlot Slot2();
    bool Alive(std::uint64_t generation) const { return generation == generation_ && IsLoaded(); }
    void LayOut();
    // Hides the page regions but the caption.
    void HidePageContent();
    void BuildOverview();
    void PaintSummaryPanel();
    void CreateDetailControls();
    void CreateEntryControls();
    void CreateCalendarControls();
    void BuildDetailPage(const std::wstring& showid);
    void OpenFilteredList(const std::wstring& showid);
    void RunDetailAction(DetailAction action, button::StyledButton& pressed);
    void ShowBlankForm();
    // A save that got no answer: the account's summary and the project
    // list, fetched again, show whether it arrived.
    void ShowListAfterUnknownSave(const EntryTexts& texts, std::int32_t projectId);
    // Reads the account's summary again, as a save's own answer would have
    // brought it; false when the window went while it waited.
    bool RereadSummary();
    // The focus on the page shown: its tab (drawn chosen), or on a page that
    // is no tab's, the page's own list or form.
    void FocusShownPage();
    EntryTexts ReadEntry();
    void WriteEntry(const EntryTexts& texts);
    void SelectTermUnit(bool days);
    // A unit option's click: its repayment types, and the due date anew.
    void UnitChosen(bool days);
    void NumberBox_LostFocus(forms::TextBox& box);
    void OpenCalendar(std::int32_t target, forms::Control& container, forms::Control& box);
    void ChooseDay(int index);

    std::uint64_t generation_ = 0;
    std::uint64_t fills_ = 0;  // ReLoad's fills of the four boxes, the latest last
    bool pageFailed_ = false;

    // A flag of the window set for as long as a handler runs.
    class HeldFlag {
    public:
        explicit HeldFlag(bool& flag) : flag_(flag) { flag_ = true; }
        ~HeldFlag() { flag_ = false; }
        HeldFlag(const HeldFlag&) = delete;
        HeldFlag& operator=(const HeldFlag&) = delete;

    private:
        bool& flag_;
    };

    // The window's values of the detail page, the entry form and the calendar.
public:
    std::wstring ServerReply;
    // The date box the calendar fills (CalendarGrid.h's targets).
    std::int32_t DatePickTarget = NoDateTarget;

private:
    // The form of a new project whose save got no answer, given back by the
    // next blank form; a logout or a closed window forgets it.
    std::optional<EntryTexts> heldEntry_;
    // The form shown is the one given back: the project may be stored
    // already, or still be on its way, and its next submit asks first.
    bool heldEntryShown_ = false;
    // The summary is older than a save whose outcome is unknown, because
    // reading it again failed: the overview reads it before it shows it.
    bool summaryStale_ = false;
    // A destructive action between its click and its end: a second click
    // (or a repeated Space) must neither ask again nor send again.
    bool actionRunning_ = false;
    // The edit form is being filled from a record: its unit's click
    // computes nothing from the stored values.
    bool fillingEntry_ = false;
    SpacePressWatch spaceWatch_;
};

// The program's one main window.
Home& HomeWindow();

}  // namespace quill::workspace
