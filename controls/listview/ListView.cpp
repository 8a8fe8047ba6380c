// The list view's members, properties, persistence and lifetime. Layout and
// painting are in ListViewPaint.cpp, keyboard and mouse in ListViewInput.cpp.
#include "controls/listview/ListView.h"

#include "controls/listview/ListDropTarget.h"
#include "forms/lang/Error.h"

namespace quill::listview {

namespace {

// The stored defaults of the design values (a newly placed control differs
// in its picture size: 16 by 16).
constexpr forms::OleColor kBackColor = 0x80000005;          // window
constexpr forms::OleColor kForeColor = 0x80000008;          // window text
constexpr forms::OleColor kSelectedBackColor = 0x8000000D;  // highlight
constexpr forms::OleColor kSelectedForeColor = 0x8000000E;  // highlight text
constexpr forms::OleColor kFocusRectColor = 0x8000000D;
constexpr forms::OleColor kCheckboxColor = 0x000000;
constexpr forms::OleColor kCheckboxSelectedColor = 0xFFFFFF;
constexpr int32_t kStoredPictureSize = 13;

[[noreturn]] void Raise(int number, const wchar_t* description)
{
    throw forms::RuntimeError(number, description);
}

}  // namespace

// ---- ColumnId

ObjectRef<Column> ColumnId::In(const ColumnCollection& columns) const
{
    if (const auto* position = std::get_if<int32_t>(&id_))
        return columns.Item(*position);
    return columns.Item(std::wstring_view(std::get<std::wstring>(id_)));
}

void ColumnId::RemoveFrom(ColumnCollection& columns) const
{
    if (const auto* position = std::get_if<int32_t>(&id_))
        columns.Remove(*position);
    else
        columns.Remove(std::wstring_view(std::get<std::wstring>(id_)));
}

std::wstring ColumnId::Text() const
{
    if (const auto* position = std::get_if<int32_t>(&id_))
        return std::to_wstring(*position);
    return std::get<std::wstring>(id_);
}

// ---- creation and the end

ListView::ListView()
{
    scrollBars_.Change = [this](ScrollArgs&) { BarMoved(); };
    scrollBars_.Scroll = [this](ScrollArgs&) { BarMoved(); };
    scrollBars_.ScrollClick = [this](ScrollClickArgs&) { RedrawList(); };
    TakeFont(forms::Font::New());
    DrawCallback_ = this;
}

ListView::~ListView()
{
    ReleaseDrawingObjects();
}

void ListView::LoadTimer()
{
    if (tmrMove)
        return;
    tmrMove.Load(*this, forms::ControlArgs{.name = L"tmrMove"},
                 forms::TimerArgs{.interval = 15, .enabled = false});
    tmrMove->Timer = [this] { tmrMove_Timer(); };
}

void ListView::StartRunTime()
{
    runTime_ = true;
    scrollBars_.Create(hWnd());
    scrollBars_.Orientation(2);
    scrollBars_.Visible(SB_VERT, true);
    scrollBars_.Visible(SB_HORZ, true);
    scrollBars_.Enabled(SB_HORZ, true);
    scrollBars_.Enabled(SB_VERT, false);
    scrollBars_.LargeChange(SB_VERT, 10);
}

void ListView::UserControl_InitProperties()
{
    LoadTimer();
    // A control made by code at run time gets what a stored one gets on
    // loading (bars, back buffer), or it could never paint.
    const bool userMode = Ambient().UserMode();
    if (userMode) {
        StartRunTime();
        Redraw_ = false;
        CreateBackBuffer();
    }
    BackColor(kBackColor);
    ForeColor(kForeColor);
    SelectedBackColor(kSelectedBackColor);
    SelectedForeColor(kSelectedForeColor);
    FocusRectColor(kFocusRectColor);
    CheckboxColor(kCheckboxColor);
    CheckboxSelectedColor(kCheckboxSelectedColor);
    Reorder(true);
    MultiSelect(true);
    ColumnsAutoSize(false);
    ColumnsVisible(true);
    Enabled(true);
    BorderStyle(1);
    SolidFocusRect(true);
    Checkboxes(false);
    ItemPaddingBottom(4);
    ItemPaddingLeft(4);
    ItemPaddingRight(5);
    ItemPaddingTop(4);
    PictureHeight(16);
    PictureWidth(16);
    PicturesVisible(true);
    Sortable_ = true;
    if (userMode) {
        ApplyFont();
        Redraw(true);
    }
}

void ListView::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    LoadTimer();
    if (Ambient().UserMode())
        StartRunTime();
    Redraw_ = false;
    CreateBackBuffer();

    BackColor(PropBag.ReadProperty(L"BackColor", kBackColor));
    ForeColor(PropBag.ReadProperty(L"ForeColor", kForeColor));
    SelectedBackColor(PropBag.ReadProperty(L"SelectedBackColor", kSelectedBackColor));
    SelectedForeColor(PropBag.ReadProperty(L"SelectedForeColor", kSelectedForeColor));
    FocusRectColor(PropBag.ReadProperty(L"FocusRectColor", kFocusRectColor));
    Reorder(PropBag.ReadProperty(L"Reorder", true));
    MultiSelect(PropBag.ReadProperty(L"MultiSelect", true));
    ColumnsAutoSize(PropBag.ReadProperty(L"ColumnsAutoSize", false));
    Enabled(PropBag.ReadProperty(L"Enabled", true));
    BorderStyle(PropBag.ReadProperty(L"BorderStyle", int32_t{1}));
    // The stored font is taken over as it is, without a refresh.
    forms::Font::Ref font = PropBag.ReadProperty(L"Font", forms::Font::New());
    if (!font)
        font = forms::Font::New();
    TakeFont(std::move(font));
    Report(L"Font");
    ColumnsVisible(PropBag.ReadProperty(L"ColumnsVisible", true));
    SolidFocusRect(PropBag.ReadProperty(L"SolidFocusRect", true));
    OLEDropMode(PropBag.ReadProperty(L"OLEDropMode", int16_t{0}));
    Checkboxes(PropBag.ReadProperty(L"Checkboxes", false));
    CheckboxColor(PropBag.ReadProperty(L"CheckboxColor", kCheckboxColor));
    CheckboxSelectedColor(PropBag.ReadProperty(L"CheckboxSelectedColor", kCheckboxSelectedColor));
    ItemPaddingTop(PropBag.ReadProperty(L"ItemPaddingTop", int32_t{4}));
    ItemPaddingBottom(PropBag.ReadProperty(L"ItemPaddingBottom", int32_t{4}));
    ItemPaddingLeft(PropBag.ReadProperty(L"ItemPaddingLeft", int32_t{4}));
    ItemPaddingRight(PropBag.ReadProperty(L"ItemPaddingRight", int32_t{5}));
    PictureWidth(PropBag.ReadProperty(L"PictureWidth", kStoredPictureSize));
    PictureHeight(PropBag.ReadProperty(L"PictureHeight", kStoredPictureSize));
    PicturesVisible(PropBag.ReadProperty(L"PicturesVisible", true));
    ItemsAutoSize(PropBag.ReadProperty(L"ItemsAutoSize", true));
    Sortable(PropBag.ReadProperty(L"Sortable", true));

    ApplyFont();
    Redraw(true);
}

void ListView::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    PropBag.WriteProperty(L"BackColor", BackColor(), kBackColor);
    PropBag.WriteProperty(L"ForeColor", ForeColor(), kForeColor);
    PropBag.WriteProperty(L"SelectedBackColor", SelectedBackColor(), kSelectedBackColor);
    PropBag.WriteProperty(L"SelectedForeColor", SelectedForeColor(), kSelectedForeColor);
    PropBag.WriteProperty(L"FocusRectColor", FocusRectColor(), kFocusRectColor);
    PropBag.WriteProperty(L"Reorder", Reorder_, true);
    PropBag.WriteProperty(L"MultiSelect", MultiSelect_, true);
    PropBag.WriteProperty(L"ColumnsAutoSize", ColumnsAutoSize_, false);
    PropBag.WriteProperty(L"Enabled", Enabled_, true);
    PropBag.WriteProperty(L"BorderStyle", BorderStyle_, int32_t{1});
    PropBag.WriteProperty(L"Font", Font_, forms::Font::New());
    PropBag.WriteProperty(L"ColumnsVisible", ColumnsVisible_, true);
    PropBag.WriteProperty(L"SolidFocusRect", SolidFocusRect_, true);
    PropBag.WriteProperty(L"OLEDropMode", static_cast<int16_t>(OLEDropMode_), int16_t{0});
    PropBag.WriteProperty(L"Checkboxes", Checkboxes_, false);
    PropBag.WriteProperty(L"CheckboxColor", CheckboxColor(), kCheckboxColor);
    PropBag.WriteProperty(L"CheckboxSelectedColor", CheckboxSelectedColor(), kCheckboxSelectedColor);
    PropBag.WriteProperty(L"ItemPaddingTop", ItemPaddingTop_, int32_t{4});
    PropBag.WriteProperty(L"ItemPaddingBottom", ItemPaddingBottom_, int32_t{4});
    PropBag.WriteProperty(L"ItemPaddingLeft", ItemPaddingLeft_, int32_t{4});
    PropBag.WriteProperty(L"ItemPaddingRight", ItemPaddingRight_, int32_t{5});
    PropBag.WriteProperty(L"PictureWidth", PictureWidth_, kStoredPictureSize);
    PropBag.WriteProperty(L"PictureHeight", PictureHeight_, kStoredPictureSize);
    PropBag.WriteProperty(L"PicturesVisible", PicturesVisible_, true);
    PropBag.WriteProperty(L"ItemsAutoSize", ItemsAutoSize_, true);
    PropBag.WriteProperty(L"Sortable", Sortable_, true);
}

void ListView::ReleaseDrawingObjects()
{
    // The back buffer's own bitmap, font and pen go back in first, so that
    // neither the drawing font nor a colour's pen is deleted while selected.
    backBuffer_.reset();
    drawingFont_.Reset();
}

void ListView::UserControl_Terminate()
{
    dropTarget_.reset();
    ReleaseDrawingObjects();
    for (Color* colour :
         {&SelectedForeColor_, &SelectedBackColor_, &FocusRectColor_, &ForeColor_, &BackColor_,
          &CustomBackColor_, &CustomForeColor_, &CheckboxColor_, &CheckboxSelectedColor_})
        colour->Dispose();
    fontChanges_.End();
    scrollBars_.Terminate();
    scrollBars_.Change = nullptr;
    scrollBars_.Scroll = nullptr;
    scrollBars_.ScrollClick = nullptr;
}

void ListView::BarMoved()
{
    // Input that moves a bar repaints once it has done everything else.
    if (!repaintFollows_)
        RedrawList();
}

bool ListView::CustomDraw(int32_t, int32_t, int32_t&, int32_t&)
{
    return false;
}

// ---- rows, columns, pictures

ListItem& ListView::Row(int32_t Index) const
{
    return *rows_.Item(Index);
}

Column& ListView::ColumnAtId(const ColumnId& Index) const
{
    return *Index.In(columns_);
}

bool ListView::AddPictureFromRes(const ResourceId& ResIndex, const ResourceId& resSection)
{
    return pictures_.AddResource(ResIndex, resSection, PictureWidth_, PictureHeight_);
}

bool ListView::AddPicture(const std::wstring& strFilename)
{
    return pictures_.AddFile(strFilename, PictureWidth_, PictureHeight_);
}

void ListView::SelectedItem(int32_t lngVal)
{
    SelectedItem_ = lngVal;
    RedrawList();
}

int32_t ListView::ItemTag(int32_t Index) const
{
    return Row(Index).Tag;
}

void ListView::ItemTag(int32_t Index, int32_t lngTag)
{
    Row(Index).Tag = lngTag;
    RedrawList();
}

bool ListView::ItemSelected(int32_t Index) const
{
    return Row(Index).Selected;
}

void ListView::ItemSelected(int32_t Index, bool blnVal)
{
    Select(Row(Index), blnVal);
    RedrawList();
}

std::wstring ListView::ItemText(int32_t Index, int32_t Column) const
{
    return Row(Index).Text(Column);
}

void ListView::ItemText(int32_t Index, int32_t Column, std::wstring strText)
{
    Row(Index).Text(Column, std::move(strText));
    RedrawList();
}

bool ListView::ItemChecked(int32_t Index) const
{
    return Row(Index).Checked;
}

void ListView::ItemChecked(int32_t Index, bool blnVal)
{
    Row(Index).Checked = blnVal;
    RedrawList();
}

int32_t ListView::AddItem(int32_t InsertAt, std::wstring strText, int32_t lngPictureIndex)
{
    if (ColumnCount() == 0)
        Raise(31, L"can not add items when there are no columns");
    ListItem& row = rows_.AddItem(InsertAt);
    // A row always has a cell 0 once a column exists.
    row.Text(0, std::move(strText));
    row.PictureIndex = lngPictureIndex;
    if (InsertAt >= 0 && InsertAt <= SelectedItem_)
        ++SelectedItem_;
    const int32_t position = InsertAt >= 0 ? InsertAt : ItemCount() - 1;
    UpdateVerticalScroll();
    RedrawList();
    return position;
}

void ListView::RemoveItem(int32_t Index)
{
    // Read before the row goes: removing it frees it.
    const ListItem* removed = rows_.Item(Index).get();
    const bool wasSelected = removed && removed->Selected;
    rows_.RemoveItem(Index);
    if (wasSelected)
        --selectedCount_;
    if (lastSelected_ == removed)
        lastSelected_ = nullptr;
    if (Index < SelectedItem_)
        --SelectedItem_;
    if (SelectedItem_ > ItemCount() - 1)
        SelectedItem_ = ItemCount() - 1;
    UpdateVerticalScroll();
    RedrawList();
}

void ListView::MoveItem(int32_t IndexFrom, int32_t IndexTo)
{
    rows_.MoveItem(IndexFrom, IndexTo);
    RedrawList();
}

void ListView::Clear()
{
    rows_.Clear();
    selectedCount_ = 0;
    lastSelected_ = nullptr;
    SelectedItem_ = -1;
    RedrawList();
}

int32_t ListView::ColumnIndex(const ColumnId& Index) const
{
    const std::wstring key = Index.Text();
    int32_t found = 0;
    for (int32_t i = 0; i < ColumnCount(); ++i) {
        if (columns_.Item(i)->key == key)
            found = i;
    }
    return found;
}

void ListView::RemoveColumn(const ColumnId& Index)
{
    if (ItemCount() > 0)
        Raise(33, L"can not add or remove columns when there are items");
    Index.RemoveFrom(columns_);
    Refresh();
}

void ListView::AddColumn(std::wstring key, std::wstring Caption, int32_t TextAlign, int32_t Width,
                         bool Resizable, bool Visible)
{
    if (ItemCount() > 0)
        Raise(33, L"can not add or remove columns when there are items");
    Column& column = columns_.Add(std::move(key));
    column.Caption = std::move(Caption);
    column.TextAlign = TextAlign;
    column.Width = Width;
    column.Resizable = Resizable;
    column.Visible = Visible;
    rows_.ColumnCount(ColumnCount());
    Refresh();
}

std::wstring ListView::ColumnKey(const ColumnId& Index) const
{
    return ColumnAtId(Index).key;
}

bool ListView::ColumnVisible(const ColumnId& Index) const
{
    return ColumnAtId(Index).Visible;
}

void ListView::ColumnVisible(const ColumnId& Index, bool blnVis)
{
    ColumnAtId(Index).Visible = blnVis;
    Refresh();
}

std::wstring ListView::ColumnCaption(const ColumnId& Index) const
{
    return ColumnAtId(Index).Caption;
}

void ListView::ColumnCaption(const ColumnId& Index, std::wstring strCaption)
{
    ColumnAtId(Index).Caption = std::move(strCaption);
    RedrawList();
}

int32_t ListView::ColumnWidth(const ColumnId& Index) const
{
    return ColumnAtId(Index).Width;
}

void ListView::ColumnWidth(const ColumnId& Index, int32_t lngWidth)
{
    ColumnAtId(Index).Width = lngWidth;
    Refresh();
}

bool ListView::ColumnResizable(const ColumnId& Index) const
{
    return ColumnAtId(Index).Resizable;
}

void ListView::ColumnResizable(const ColumnId& Index, bool blnRes)
{
    ColumnAtId(Index).Resizable = blnRes;
    Refresh();
}

int32_t ListView::ColumnTextAlign(const ColumnId& Index) const
{
    return ColumnAtId(Index).TextAlign;
}

void ListView::ColumnTextAlign(const ColumnId& Index, int32_t udeAlign)
{
    ColumnAtId(Index).TextAlign = udeAlign;
    RedrawList();
}

// ---- display properties

void ListView::ColumnsVisible(bool value)
{
    ColumnsVisible_ = value;
    Refresh();
    Report(L"ColumnsVisible");
}

void ListView::Sortable(bool value)
{
    Sortable_ = value;
    Report(L"Sortable");
}

void ListView::ItemsAutoSize(bool value)
{
    ItemsAutoSize_ = value;
    RedrawList();
    Report(L"ItemsAutoSize");
}

void ListView::PictureHeight(int32_t value)
{
    PictureHeight_ = value;
    RedrawList();
    Report(L"PictureHeight");
}

void ListView::PictureWidth(int32_t value)
{
    PictureWidth_ = value;
    RedrawList();
    Report(L"PictureWidth");
}

void ListView::PicturesVisible(bool value)
{
    PicturesVisible_ = value;
    Refresh();
    Report(L"PicturesVisible");
}

void ListView::ItemPaddingTop(int32_t value)
{
    ItemPaddingTop_ = value;
    Report(L"ItemPaddingTop");
    Refresh();
}

void ListView::ItemPaddingBottom(int32_t value)
{
    ItemPaddingBottom_ = value;
    Report(L"ItemPaddingBottom");
    Refresh();
}

void ListView::ItemPaddingLeft(int32_t value)
{
    ItemPaddingLeft_ = value;
    RedrawList();
    Report(L"ItemPaddingLeft");
}

void ListView::ItemPaddingRight(int32_t value)
{
    ItemPaddingRight_ = value;
    RedrawList();
    Report(L"ItemPaddingRight");
}

void ListView::Checkboxes(bool value)
{
    Checkboxes_ = value;
    RedrawList();
    Report(L"Checkboxes");
}

void ListView::SolidFocusRect(bool value)
{
    SolidFocusRect_ = value;
    RedrawList();
}

void ListView::DrawCallback(ICustomDraw* value)
{
    DrawCallback_ = value ? value : this;
    RedrawList();
}

void ListView::BorderStyle(int32_t value)
{
    BorderStyle_ = value;
    ApplyBorderStyle(value);
    Report(L"BorderStyle");
}

void ListView::Enabled(bool value)
{
    Enabled_ = value;
    Refresh();
    Report(L"Enabled");
}

void ListView::ColumnsAutoSize(bool value)
{
    ColumnsAutoSize_ = value;
    Refresh();
    Report(L"ColumnsAutoSize");
}

void ListView::Reorder(bool value)
{
    Reorder_ = value;
    Report(L"Reorder");
}

void ListView::MultiSelect(bool value)
{
    MultiSelect_ = value;
    Report(L"MultiSelect");
}

void ListView::SetColour(Color& colour, forms::OleColor value, bool brush, bool pen)
{
    colour.SetColor(static_cast<int32_t>(value), brush, pen);
}

forms::OleColor ListView::CheckboxColor() const
{
    return static_cast<forms::OleColor>(CheckboxColor_.OLEColor());
}

void ListView::CheckboxColor(forms::OleColor value)
{
    SetColour(CheckboxColor_, value, false, true);
    RedrawList();
    Report(L"CheckboxColor");
}

forms::OleColor ListView::CheckboxSelectedColor() const
{
    return static_cast<forms::OleColor>(CheckboxSelectedColor_.OLEColor());
}

void ListView::CheckboxSelectedColor(forms::OleColor value)
{
    SetColour(CheckboxSelectedColor_, value, false, true);
    RedrawList();
    Report(L"CheckboxSelectedColor");
}

forms::OleColor ListView::BackColor() const
{
    return static_cast<forms::OleColor>(BackColor_.OLEColor());
}

void ListView::BackColor(forms::OleColor value)
{
    SetColour(BackColor_, value, true, false);
    RedrawList();
    Report(L"BackColor");
}

forms::OleColor ListView::ForeColor() const
{
    return static_cast<forms::OleColor>(ForeColor_.OLEColor());
}

void ListView::ForeColor(forms::OleColor value)
{
    SetColour(ForeColor_, value, false, false);
    RedrawList();
    Report(L"ForeColor");
}

forms::OleColor ListView::SelectedForeColor() const
{
    return static_cast<forms::OleColor>(SelectedForeColor_.OLEColor());
}

void ListView::SelectedForeColor(forms::OleColor value)
{
    SetColour(SelectedForeColor_, value, false, false);
    RedrawList();
    Report(L"SelectedForeColor");
}

forms::OleColor ListView::SelectedBackColor() const
{
    return static_cast<forms::OleColor>(SelectedBackColor_.OLEColor());
}

void ListView::SelectedBackColor(forms::OleColor value)
{
    SetColour(SelectedBackColor_, value, true, false);
    RedrawList();
    Report(L"SelectedBackColor");
}

forms::OleColor ListView::FocusRectColor() const
{
    return static_cast<forms::OleColor>(FocusRectColor_.OLEColor());
}

void ListView::FocusRectColor(forms::OleColor value)
{
    // The old pen is selected in the back buffer: take it out before the
    // colour deletes it, then select the new one.
    if (backBuffer_)
        backBuffer_->RestorePen();
    SetColour(FocusRectColor_, value, false, true);
    if (backBuffer_ && FocusRectColor_.GotGDIPen())
        backBuffer_->SelectPen(FocusRectColor_.GDIPen());
    RedrawList();
    Report(L"FocusRectColor");
}

void ListView::Font(forms::Font::Ref value)
{
    if (!value)
        throw forms::RuntimeError(forms::kObjectNotSet);
    TakeFont(std::move(value));
    Refresh();
    Report(L"Font");
}

void ListView::TakeFont(forms::Font::Ref font)
{
    // A change made to the object itself rebuilds the drawing font.
    Font_ = std::move(font);
    fontChanges_ = Font_->OnChanged([this](const std::wstring&) { ApplyFont(); });
}

void ListView::Redraw(bool value)
{
    Redraw_ = value;
    scrollBars_.RedrawBars(value);
    if (value)
        Refresh();
}

void ListView::OLEDropMode(int32_t value)
{
    OLEDropMode_ = value;
    if (runTime_ && hWnd()) {
        dropTarget_.reset();
        if (value == 1)
            dropTarget_ = ListDropTarget::Register(*this);
    }
    Report(L"OLEDropMode");
}

// ---- sorting and selection

void ListView::Sort(const ColumnId& Index, int32_t SortOrder)
{
    rows_.Sort(ColumnIndex(Index), SortOrder);
}

void ListView::Select(ListItem& row, bool value)
{
    if (row.Selected == value)
        return;
    row.Selected = value;
    if (value) {
        ++selectedCount_;
        lastSelected_ = &row;
    } else {
        --selectedCount_;
    }
}

void ListView::SelectAll()
{
    if (!MultiSelect_)
        return;
    for (int32_t i = 0; i < ItemCount(); ++i)
        Select(Row(i), true);
}

void ListView::UnSelectAll()
{
    // Most lists hold one selected row, most often the one selected last:
    // clearing it needs no walk over a hundred thousand rows.
    if (selectedCount_ == 1 && lastSelected_ && lastSelected_->Selected) {
        Select(*lastSelected_, false);
        return;
    }
    for (int32_t i = 0; i < ItemCount() && selectedCount_ > 0; ++i)
        Select(Row(i), false);
}

}  // namespace quill::listview
