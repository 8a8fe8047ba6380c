// The main window's entry form (Addole): page 1 "我要记账" for a new project
// and page 21 for an edited one, their fields, the due date and term, and
// the submit.
#include "workspace/EntryFields.h"
#include "workspace/Home.h"
#include "workspace/PageIds.h"
#include "workspace/ProjectDetail.h"
#include "protocol/ReplyForms.h"
#include "protocol/ServiceRequests.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/MessageBox.h"
#include "session/RecordCache.h"
#include "session/Session.h"

#include <optional>
#include <utility>

namespace quill::workspace {

namespace {

constexpr int kFirstRowTop = 120, kRowPitch = 375, kRowHeight = 300;
constexpr int kTickLeft = 150, kLabelLeft = 450, kLabelWidth = 1200;
constexpr int kFieldLeft = 1700, kFieldWidth = 2600, kHintLeft = 4450, kHintWidth = 10000;
constexpr forms::OleColor kWarningColor = 0x0000FF;  // red

int RowTop(int row)
{
    return kFirstRowTop + kRowPitch * row;
}

// The rows by their controls' names (EntryRows' order).
enum EntryRowIndex : int {
    PlatformRow_ = 0,
    AccountRow,
    NameRow,
    ValueDateRow,
    TermRow,
    DueDateRow,
    AmountRow,
    RateRow,
    YearBasisRow,
    RepayTypeRow,
    FinishedRow,
    VoucherRow,
    ExtraIncomeRow,
    ExtraExpenseRow,
    FeeRow,
    RemarkRow,
};

}  // namespace

void Home::CreateEntryControls()
{
    const std::vector<EntryRow>& rows = EntryRows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const EntryRow& row = rows[static_cast<size_t>(i)];
        AddLabel.Load(i, *Addole,
                      {.name = L"AddLabel",
                       .left = kLabelLeft,
                       .top = RowTop(i) + 45,
                       .width = kLabelWidth,
                       .height = 240},
                      forms::LabelArgs{.caption = row.label, .alignment = 1, .backStyle = 0});
        AddHint.Load(i, *Addole,
                     {.name = L"AddHint",
                      .left = kHintLeft,
                      .top = RowTop(i) + 45,
                      .width = kHintWidth,
                      .height = 240},
                     forms::LabelArgs{.caption = row.hint, .backStyle = 0, .foreColor = 0x808080});
        if (row.keepTick >= 0)
            Check1.Load(row.keepTick, *Addole,
                        {.name = L"Check1",
                         .left = kTickLeft,
                         .top = RowTop(i) + 30,
                         .width = 240,
                         .height = 240,
                         .tabStop = false},
                        forms::CheckBoxArgs{.backColor = 0xFFFFFF});
    }
    auto field = [&](forms::Loaded<forms::TextBox>& box, int row, bool locked = false) {
        const EntryRow& r = rows[static_cast<size_t>(row)];
        box.Load(*Addole,
                 {.name = r.control,
                  .left = kFieldLeft,
                  .top = RowTop(row),
                  .width = kFieldWidth,
                  .height = kRowHeight},
                 forms::TextBoxArgs{.maxLength = r.maxLength, .locked = locked});
    };
    Addptmc.Load(*Addole, {.name = L"Addptmc",
                           .left = kFieldLeft,
                           .top = RowTop(PlatformRow_),
                           .width = kFieldWidth,
                           .height = kRowHeight});
    Addptid.Load(*Addole, {.name = L"Addptid",
                           .left = kFieldLeft,
                           .top = RowTop(AccountRow),
                           .width = kFieldWidth,
                           .height = kRowHeight});
    field(Addxmmc, NameRow);
    field(AddDateB, ValueDateRow, true);
    field(Addday, TermRow);
    Addday->Width(900);
    field(AddDateE, DueDateRow, true);
    field(Addmoney, AmountRow);
    field(Addlilu, RateRow);
    field(Addquan, VoucherRow);
    field(Addadd, ExtraIncomeRow);
    field(Addpay, ExtraExpenseRow);
    field(Addlixifei, FeeRow);
    Addbz.Load(
        *Addole,
        {.name = L"Addbz", .left = kFieldLeft, .top = RowTop(RemarkRow), .width = kFieldWidth, .height = 600},
        forms::TextBoxArgs{.maxLength = rows[RemarkRow].maxLength, .multiLine = true});
    for (auto* box : {&Addquan, &Addadd, &Addpay, &Addlixifei})
        (*box)->Text(L"0");

    // Each pair of options is a group of its own.
    auto group = [&](int index, int row, int left, int width) -> forms::Frame& {
        return AddGroup.Load(index, *Addole,
                             {.name = L"AddGroup",
                              .left = left,
                              .top = RowTop(row) - 15,
                              .width = width,
                              .height = kRowHeight + 30},
                             forms::FrameArgs{.borderStyle = 0, .backColor = 0xFFFFFF});
    };
    // Each option as wide as its box and caption, short of the next one.
    auto option = [&](forms::Loaded<forms::OptionButton>& o, forms::Frame& frame, const wchar_t* name,
                      const wchar_t* caption, int left, bool value, int width = 650) {
        o.Load(frame, {.name = name, .left = left, .top = 15, .width = width, .height = kRowHeight},
               forms::OptionButtonArgs{.caption = caption, .value = value, .backColor = 0xFFFFFF});
    };
    forms::Frame& unit = group(0, TermRow, kFieldLeft + 1000, 1600);
    option(TY0, unit, L"TY0", L"天", 0, true);
    option(TY1, unit, L"TY1", L"月", 750, false);
    TY0->Click = [this] { TY0_Click(); };
    TY1->Click = [this] { TY1_Click(); };
    forms::Frame& basis = group(1, YearBasisRow, kFieldLeft, kFieldWidth);
    option(Myear0, basis, L"Myear0", L"360天", 0, true, 1100);
    option(Myear1, basis, L"Myear1", L"365天", 1200, false, 1100);
    forms::Frame& finished = group(2, FinishedRow, kFieldLeft, kFieldWidth);
    option(Jieshu0, finished, L"Jieshu0", L"未结束", 0, true, 1100);
    option(Jieshu1, finished, L"Jieshu1", L"已结束", 1200, false, 1100);
    Addtype.Load(*Addole,
                 {.name = L"Addtype",
                  .left = kFieldLeft,
                  .top = RowTop(RepayTypeRow),
                  .width = kFieldWidth,
                  .height = kRowHeight},
                 forms::ComboBoxArgs{.style = forms::vbComboDropdownList});

    static const forms::PropertyBag cover{{L"Caption", L"转换为天数"}, {L"Style", 1}};
    addcover.Load(*Addole,
                  {.name = L"addcover",
                   .left = kFieldLeft + kFieldWidth - 1100,
                   .top = RowTop(DueDateRow) - 15,
                   .width = 1100,
                   .height = kRowHeight + 30},
                  &cover);
    AddDateE->Width(kFieldWidth - 1200);
    addcover->Click = [this] { addcover_Click(); };
    static const forms::PropertyBag submit{{L"Caption", L"提交"}, {L"Style", 6}};
    const int submitTop = RowTop(RemarkRow) + 750;
    StyledButton7.Load(
        *Addole,
        {.name = L"StyledButton7", .left = kFieldLeft, .top = submitTop, .width = 1365, .height = 420},
        &submit);
    StyledButton7->Click = [this] { StyledButton7_Click(); };
    AddNote1.Load(
        *Addole,
        {.name = L"AddNote1", .left = kHintLeft, .top = submitTop, .width = kHintWidth, .height = 240},
        forms::LabelArgs{.caption = L"带*号的为必填项", .backStyle = 0});
    AddNote2.Load(
        *Addole,
        {.name = L"AddNote2", .left = kHintLeft, .top = submitTop + 240, .width = kHintWidth, .height = 240},
        forms::LabelArgs{.caption = L"左边勾选栏，选中并提交数据后不会清空。", .backStyle = 0});
    AddNote3.Load(
        *Addole,
        {.name = L"AddNote3",
         .left = kFieldLeft,
         .top = submitTop + 600,
         .width = kHintLeft + kHintWidth - kFieldLeft,
         .height = 240,
         .visible = false},
        forms::LabelArgs{.caption = kAlreadyListedNote, .backStyle = 0, .foreColor = kWarningColor});
    Addole->Height(submitTop + 900);

    for (auto* box : {&Addmoney, &Addlilu, &Addquan, &Addadd, &Addpay, &Addlixifei, &Addday}) {
        forms::TextBox& b = **box;
        b.LostFocus = [this, &b] { NumberBox_LostFocus(b); };
    }
    AddDateB->Click = [this] { OpenCalendar(EntryValueDate, *Addole, *AddDateB); };
    AddDateE->Click = [this] { OpenCalendar(EntryDueDate, *Addole, *AddDateE); };
}

void Home::NumberBox_LostFocus(forms::TextBox& box)
{
    forms::ResumeNext([&] { box.Text(NormalisedNumber(box.Text())); });
    if (&box != &*Addday)
        return;
    forms::ResumeNext([&] {
        if (forms::Val(Addday->Text()) > 0)
            CoverToDate();
    });
}

void Home::SelectTermUnit(bool days)
{
    forms::OptionButton& option = days ? *TY0 : *TY1;
    // An option already chosen raises no click: its list is rebuilt all the same.
    if (option.Value())
        days ? TY0_Click() : TY1_Click();
    else
        option.Value(true);
}

void Home::TY0_Click()
{
    UnitChosen(true);
}

void Home::TY1_Click()
{
    UnitChosen(false);
}

void Home::UnitChosen(bool days)
{
    forms::ResumeNext([&] {
        Addtype->Clear();
        for (const std::wstring& name : RepayTypesFor(days))
            Addtype->AddItem(name);
        Addtype->ListIndex(0);
    });
    // A record being filled in keeps its stored term and due date: a term
    // beyond the form's limit is refused when it is sent, not reset to 0
    // before the user has seen it.
    if (fillingEntry_)
        return;
    forms::ResumeNext([&] {
        if (forms::Val(Addday->Text()) > 0)
            CoverToDate();
    });
}

void Home::CoverToDate()
{
    if (NowId != EntryPage && NowId != EditPage)
        return;
    forms::ResumeNext([&] {
        const DueDateResult result = workspace::CoverToDate(AddDateB->Text(), Addday->Text(), TY0->Value());
        switch (result.kind) {
        case DueDateResult::Kind::Nothing:
            break;
        case DueDateResult::Kind::TermTooLong:
            forms::MsgBox(result.message, forms::vbInformation);
            Addday->Text(L"0");
            break;
        case DueDateResult::Kind::DueDate:
            AddDateE->Text(result.dueDate);
            break;
        }
    });
}

void Home::addcover_Click()
{
    const TermResult result = TermFromDates(TY0->Value(), AddDateB->Text(), AddDateE->Text());
    if (!result.message.empty())
        forms::MsgBox(result.message, forms::vbInformation);
    else
        Addday->Text(result.term);
}

EntryTexts Home::ReadEntry()
{
    EntryTexts t;
    t.platform = Addptmc->Text();
    t.account = Addptid->Text();
    t.projectName = Addxmmc->Text();
    t.valueDate = AddDateB->Text();
    t.term = Addday->Text();
    t.termInDays = TY0->Value();
    t.dueDate = AddDateE->Text();
    t.amount = Addmoney->Text();
    t.annualRate = Addlilu->Text();
    t.yearBasis360 = Myear0->Value();
    t.repayType = Addtype->Text();
    t.finished = Jieshu1->Value();
    t.voucher = Addquan->Text();
    t.extraIncome = Addadd->Text();
    t.extraExpense = Addpay->Text();
    t.interestFee = Addlixifei->Text();
    t.remark = Addbz->Text();
    return t;
}

void Home::WriteEntry(const EntryTexts& t)
{
    Addptmc->Text(t.platform);
    Addxmmc->Text(t.projectName);
    Addptid->Text(t.account);
    AddDateB->Text(t.valueDate);
    AddDateE->Text(t.dueDate);
    Addlilu->Text(t.annualRate);
    Addday->Text(t.term);
    {
        const HeldFlag filling(fillingEntry_);
        SelectTermUnit(t.termInDays);
    }
    AddDateE->Text(t.dueDate);
    Addmoney->Text(t.amount);
    (t.finished ? Jieshu1 : Jieshu0)->Value(true);
    Addquan->Text(t.voucher);
    Addadd->Text(t.extraIncome);
    Addpay->Text(t.extraExpense);
    Addlixifei->Text(t.interestFee);
    Addbz->Text(t.remark);
    // The stored type stays selected even where the unit's list does not
    // offer it (a day project of a monthly type, a code this program does
    // not know): the first entry would be sent in its place unseen.
    std::int32_t listed = -1;
    for (std::int32_t i = 0; i < Addtype->ListCount() && listed < 0; ++i)
        if (Addtype->List(i) == t.repayType)
            listed = i;
    if (listed < 0 && !t.repayType.empty()) {
        Addtype->AddItem(t.repayType);
        listed = Addtype->ListCount() - 1;
    }
    if (listed >= 0)
        Addtype->ListIndex(listed);
    (t.yearBasis360 ? Myear0 : Myear1)->Value(true);
}

void Home::ShowBlankForm()
{
    Addole->Visible(true);
    AddNote3->Visible(false);
    heldEntryShown_ = heldEntry_.has_value();
    if (const std::optional<EntryTexts> held = std::exchange(heldEntry_, std::nullopt)) {
        // The form of a new project whose save went unanswered comes back as
        // it was sent, to be sent again if the list did not show it; when
        // the list fetched since shows it, sending it again would store it
        // twice.
        forms::ResumeNext([&] { WriteEntry(*held); });
        const session::Session& current = session::CurrentSession();
        AddNote3->Visible(
            ListHoldsEntry(held->finished ? current.FinishedListCache : current.CurrentListCache, *held));
        StyledButton7->Enabled(true);
        return;
    }
    forms::ResumeNext([&] {
        auto kept = [&](int tick) { return Check1[tick].Value() == forms::vbChecked; };
        const session::Session& current = session::CurrentSession();
        Addptmc->Text(kept(0) ? current.KeptPlatform : L"");
        Addptid->Text(kept(1) ? current.KeptAccount : L"");
        Addxmmc->Text(L"");
        Addbz->Text(L"");
        forms::TextBox* const keptBoxes[] = {&*AddDateB, &*Addday, &*AddDateE, &*Addmoney, &*Addlilu};
        for (int i = 0; i < 5; ++i)
            if (!kept(i + 2))
                keptBoxes[i]->Text(L"");
        Jieshu0->Value(true);
        for (auto* box : {&Addquan, &Addadd, &Addpay})
            (*box)->Text(L"0");
        if (!kept(7))
            Addlixifei->Text(L"0");
        StyledButton7->Enabled(true);
    });
}

void Home::EDITinfo(std::int32_t id)
{
    const std::uint64_t generation = generation_;
    ActionBusy = true;
    HideAll();
    NowId = EditPage;
    AddNote3->Visible(false);
    heldEntryShown_ = false;
    // Nothing of the form may be sent until the project has been read whole.
    StyledButton7->Enabled(false);
    WriteEntry(EntryTexts{});
    Addole->Visible(true);

    // The project is read afresh: what the detail page showed may be older
    // than the service's record.
    const std::wstring reply = Post(protocol::RecordRequest(id, session::CurrentSession().AuthQuery));
    if (!Alive(generation))
        return;
    const DetailVerdict verdict = ClassifyDetailReply(reply, forms::Today());
    if (verdict.reading != DetailReading::Read) {
        ActionBusy = false;
        session::CacheRemove(id);
        if (verdict.reading == DetailReading::Broken)
            forms::MsgBox(DetailErrorMessage(verdict.error), forms::vbCritical);
        if (!Alive(generation))
            return;
        // Back to the project's detail page, which fetches the project again
        // (or shows the failure picture while the service still fails).
        Addole->Visible(false);
        NowId = OverviewPage;
        Showinfo(std::to_wstring(id));
        return;
    }
    session::CachePut(id, reply);
    forms::ResumeNext([&] { WriteEntry(EditEntry(protocol::ProjectRecord(reply))); });
    StyledButton7->Enabled(true);
    ActionBusy = false;
    Form_Resize();
}

void Home::StyledButton7_Click()
{
    const std::uint64_t generation = generation_;
    EntryTexts texts = ReadEntry();
    const std::wstring problem = EntryCheckMessage(texts, forms::Today());
    if (!problem.empty()) {
        forms::MsgBox(problem, forms::vbInformation);
        return;
    }
    if (heldEntryShown_) {
        // Whatever the list showed, the first save may have stored the
        // project, or may still arrive: this one could store a second copy.
        const std::int32_t answer =
            forms::MsgBox(kSendAgainQuestion, forms::vbYesNo | forms::vbQuestion | forms::vbDefaultButton2);
        if (answer != forms::vbYes || !Alive(generation))
            return;
        heldEntryShown_ = false;
    }
    // The pages stay as they are until the save has its answer, so that the
    // answer is told over the form it belongs to.
    ActionBusy = true;
    StyledButton7->Enabled(false);
    ShowLoading(1);
    CleanEntry(texts);
    Addptmc->Text(texts.platform);
    Addptid->Text(texts.account);
    Addxmmc->Text(texts.projectName);
    Addbz->Text(texts.remark);

    const std::int32_t projectId = session::CurrentSession().CurrentProjectId;
    const std::wstring reply =
        Post(protocol::SaveRequest(session::CurrentSession().AuthQuery, EntryAddFields(texts, projectId)));
    if (!Alive(generation)) {
        ActionBusy = false;
        return;
    }
    const protocol::SaveVerdict verdict = protocol::ClassifySaveReply(reply);
    switch (verdict.outcome) {
    case protocol::SaveOutcome::Unknown:
        forms::MsgBox(projectId == 0 ? kUnknownOutcomeMessage : kUnknownEditOutcomeMessage,
                      forms::vbInformation);
        if (Alive(generation))
            ShowListAfterUnknownSave(texts, projectId);
        ActionBusy = false;
        return;
    case protocol::SaveOutcome::Refused:
        forms::MsgBox(kRefusedCharactersMessage, forms::vbInformation);
        ShowLoading(2);
        break;
    case protocol::SaveOutcome::Message:
        forms::MsgBox(verdict.message, forms::vbInformation);
        ShowLoading(2);
        break;
    case protocol::SaveOutcome::NotSaved:
        forms::MsgBox(kNotSavedMessage, forms::vbInformation);
        ShowLoading(2);
        break;
    case protocol::SaveOutcome::WithoutId:
        forms::MsgBox(kNoIdMessage, forms::vbCritical);
        ActionBusy = false;
        if (Alive(generation))
            StyledButton3_Click();
        return;
    case protocol::SaveOutcome::Saved: {
        const std::int32_t id = *verdict.id;
        session::CacheRemove(id);
        session::CurrentSession().KeptPlatform = texts.platform;
        session::CurrentSession().KeptAccount = texts.account;
        ReLoad(verdict.snapshot);
        if (Alive(generation))
            forms::MsgBox(kSavedMessage, forms::vbInformation, kSavedTitle);
        ActionBusy = false;
        if (!Alive(generation))
            return;
        ShowLoading(0);
        Addole->Visible(false);
        NowId = OverviewPage;
        Showinfo(std::to_wstring(id));
        // The box came back to a window whose focused button was disabled,
        // and the focus fell to the first tab, which then looked chosen:
        // the detail page's list takes it, as when a list opens the page.
        if (Alive(generation) && NowId == DetailPage)
            forms::ResumeNext([&] { ListView->SetFocus(); });
        break;
    }
    }
    ActionBusy = false;
    if (Alive(generation))
        StyledButton7->Enabled(true);
}

void Home::ShowListAfterUnknownSave(const EntryTexts& texts, std::int32_t projectId)
{
    const std::uint64_t generation = generation_;
    // The summary's counts and sums then agree with the list.
    if (!RereadSummary())
        return;
    ActionBusy = false;
    ShowLoading(0);
    // A new project's form is kept for the next visit of its tab; an edited
    // one is read afresh by the edit form, and sending an edit again stores
    // nothing twice.
    if (projectId == 0)
        heldEntry_ = texts;
    StyledButton1_Click(
        static_cast<std::int16_t>(texts.finished ? FinishedProjectsPage : CurrentProjectsPage));
    // No click chose the list: its tab is marked as a click would have.
    if (Alive(generation))
        FocusShownPage();
}

bool Home::RereadSummary()
{
    const std::uint64_t generation = generation_;
    // A reply that is no snapshot leaves the summary as it was, known to be
    // stale: the service that lost the answer may still be failing, and the
    // session stays (ReLoad without a reply would switch servers and log
    // out).
    const std::wstring snapshot = Post(protocol::ReloginRequest(session::CurrentSession().AuthQuery));
    if (!Alive(generation))
        return false;
    if (!protocol::SnapshotReadable(snapshot)) {
        summaryStale_ = true;
        return true;
    }
    ReLoad(snapshot);
    return Alive(generation);
}

}  // namespace quill::workspace
