// The main window's pop-up calendar (Mdateole): opened under a date box, it
// writes the chosen day into that box.
#include "workspace/CalendarGrid.h"
#include "workspace/Home.h"

#include "forms/lang/Clock.h"
#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"
#include "forms/WindowlessControl.h"

namespace quill::workspace {

namespace {

constexpr forms::OleColor kWindowBackground = 0x80000005;
constexpr forms::OleColor kWindowText = 0x80000008;

}  // namespace

void Home::CreateCalendarControls()
{
    Mdateole.Load(*this,
                  {.name = L"Mdateole", .width = kCalendarWidth, .height = kCalendarHeight, .visible = false},
                  forms::FrameArgs{.borderStyle = 1, .backColor = kWindowBackground});
    for (const CalendarControl& c : CalendarControls()) {
        const std::wstring name = c.name;
        const forms::ControlArgs args{.name = name,
                                      .left = c.rect.left,
                                      .top = c.rect.top,
                                      .width = c.rect.width,
                                      .height = c.rect.height ? c.rect.height : 300};
        if (name == L"Mdatedo") {
            Mdatedo.Load(c.index, *Mdateole, args,
                         forms::LabelArgs{.caption = c.caption,
                                          .backStyle = 0,
                                          .foreColor = kWindowText,
                                          .mousePointer = forms::vbHandPointer});
        } else if (name == L"Combo3" || name == L"Combo4") {
            (name == L"Combo3" ? Combo3 : Combo4)
                .Load(*Mdateole, args, forms::ComboBoxArgs{.style = forms::vbComboDropdownList});
        } else {
            const bool today = name == L"StyledButton5";
            static const forms::PropertyBag todayDesign{{L"Caption", L"今天"}, {L"Style", 4}};
            static const forms::PropertyBag closeDesign{{L"Caption", L"关闭"}, {L"Style", 4}};
            (today ? StyledButton5 : StyledButton6)
                .Load(*Mdateole, args, today ? &todayDesign : &closeDesign);
        }
    }
    for (int i = 0; i < 4; ++i) {
        const int index = i;
        Mdatedo[i].Click = [this, index] { Mdatedo_Click(index); };
    }
    for (int i = 0; i < kDayCells; ++i) {
        const TwipRect cell = DayCellRect(i);
        Mdatesel.Load(i, *Mdateole,
                      {.name = L"Mdatesel",
                       .left = cell.left,
                       .top = cell.top,
                       .width = cell.width,
                       .height = cell.height},
                      forms::LabelArgs{.caption = std::to_wstring(i + 1),
                                       .alignment = 2,
                                       .backColor = kWindowBackground,
                                       .foreColor = kWindowText,
                                       .mousePointer = forms::vbHandPointer});
        Mdatesel[i].Click = [this, i] { Mdatesel_Click(i); };
    }
    Combo3->Click = [this] { MdateChange(); };
    Combo4->Click = [this] { MdateChange(); };
    StyledButton5->Click = [this] { StyledButton5_Click(); };
    StyledButton6->Click = [this] { StyledButton6_Click(); };
    // The calendar stands over the entry form and the filter.
    Mdateole->ZOrder(0);
    // Going to the list or to the filter's name boxes closes it unchosen.
    for (forms::Control* closer : std::initializer_list<forms::Control*>{&*ListView, &*Combo1, &*Combo2})
        closer->GotFocus = [this] {
            if (Mdateole->Visible())
                Mdateole->Visible(false);
        };
}

void Home::OpenCalendar(std::int32_t target, forms::Control& container, forms::Control& box)
{
    DatePickTarget = target;
    const TwipPoint origin = CalendarOrigin({container.Left(), container.Top()},
                                            {box.Left(), box.Top(), box.Width(), box.Height()});
    Mdateole->Move(origin.left, origin.top);
    MdateChange();
    Mdateole->ZOrder(0);
    Mdateole->Visible(true);
}

void Home::MdateChange()
{
    forms::ResumeNext([&] {
        const std::optional<int> length = MonthLength(Combo3->Text(), Combo4->Text());
        if (!length)
            return;
        for (int i = kFirstVariableCell; i < kDayCells; ++i)
            Mdatesel[i].Enabled(DayCellEnabled(i, *length));
    });
}

void Home::Mdatesel_Click(int Index)
{
    if (!Mdatesel[Index].Enabled())
        return;
    ChooseDay(Index);
}

void Home::ChooseDay(int index)
{
    const std::wstring date = ChosenDateText(Combo3->Text(), Combo4->Text(), index);
    forms::TextBox* const boxes[] = {nullptr, &*SXdateb, &*SXdatee, &*AddDateB, &*AddDateE};
    if (DatePickTarget >= FilterStartDate && DatePickTarget <= EntryDueDate)
        boxes[DatePickTarget]->Text(date);
    Mdateole->Visible(false);
}

void Home::Mdatedo_Click(int Index)
{
    forms::ResumeNext([&] {
        const ArrowStep step = StepArrow(static_cast<CalendarArrow>(Index), Combo3->ListIndex(),
                                         Combo3->ListCount(), Combo4->ListIndex(), Combo4->ListCount());
        (step.yearList ? Combo3 : Combo4)->ListIndex(step.index);
    });
    MdateChange();
}

void Home::StyledButton5_Click()
{
    forms::ResumeNext([&] {
        const double today = forms::Today();
        const std::wstring year = std::to_wstring(forms::Year(today));
        const std::wstring month = std::to_wstring(forms::Month(today));
        for (std::int32_t i = 0; i < Combo3->ListCount(); ++i)
            if (Combo3->List(i) == year)
                Combo3->ListIndex(i);
        for (std::int32_t i = 0; i < Combo4->ListCount(); ++i)
            if (Combo4->List(i) == month)
                Combo4->ListIndex(i);
        MdateChange();
        ChooseDay(forms::Day(today) - 1);
    });
}

void Home::StyledButton6_Click()
{
    Mdateole->Visible(false);
}

}  // namespace quill::workspace
