// The list view's keyboard and mouse: selection, check boxes, drag selection
// and drag reordering with scrolling at the edges, column resizing, header
// buttons that sort on release, and the events raised for them.
#include <algorithm>

#include "controls/listview/FlagScope.h"
#include "controls/listview/ListGeometry.h"
#include "controls/listview/ListView.h"

namespace quill::listview {

namespace {

constexpr int16_t kNoShift = 0;
constexpr int16_t kShift = 1;
constexpr int16_t kCtrl = 2;
constexpr int16_t kSizeWestEast = forms::vbSizeWE;

// For the handling of one piece of input that ends with a repaint: the
// scroll bars' change events repaint nothing meanwhile.
using RepaintFollows = FlagScope;

}  // namespace

// ---- public members of the input

int32_t ListView::ColumnFromPoint(int32_t X, int32_t Y) const
{
    const int64_t x = static_cast<int64_t>(X) + scrollBars_.Value(SB_HORZ);
    return ColumnAt(columns_, ColumnsAutoSize_,
                    static_cast<int32_t>(std::clamp<int64_t>(x, INT32_MIN, INT32_MAX)), TotalColumnWidth_);
}

int32_t ListView::RowFromPoint(int32_t X, int32_t Y, bool HitTest) const
{
    const int32_t row = RowAt(Y, HeaderRect_.bottom, ItemHeight(), scrollBars_.Value(SB_VERT));
    if (HitTest && (static_cast<int64_t>(X) > static_cast<int64_t>(TotalColumnWidth_) - 1 || !RowExists(row)))
        return -1;
    return row;
}

void ListView::MakeSureVisible(int32_t lngItem, int32_t lngColumn)
{
    RepaintFollows once(repaintFollows_);
    scrollBars_.Value(SB_VERT, lngItem);
    if (lngColumn >= 0 && !ColumnsAutoSize_ && ClientWidth() < TotalColumnWidth_)
        scrollBars_.Value(SB_HORZ, ColumnLeft(columns_, false, lngColumn));
    RedrawList();
}

// ---- focus

void ListView::UserControl_GotFocus()
{
    HasFocus_ = true;
    RedrawList();
}

void ListView::UserControl_LostFocus()
{
    HasFocus_ = false;
    RedrawList();
}

// ---- keys

void ListView::UserControl_KeyDown(forms::KeyArgs& e)
{
    if (!Enabled_)
        return;
    KeyDown(e);
    RepaintFollows once(repaintFollows_);
    const int16_t shift = e.Shift;
    const int32_t n = ItemCount();
    const int32_t v = VisibleRowCount();
    const int32_t t = scrollBars_.Value(SB_VERT);
    const int32_t f = SelectedItem_;
    switch (e.KeyCode) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
        // A list without rows has no row to move to.
        if (n == 0)
            break;
        if (shift == kNoShift || !MultiSelect_) {
            UnSelectAll();
            SelectToggle_ = false;
        }
        int32_t focus = f;
        switch (e.KeyCode) {
        case VK_UP:
            focus = std::max(f - 1, 0);
            break;
        case VK_DOWN:
            focus = std::min(f + 1, n - 1);
            break;
        case VK_PRIOR:
            focus = std::max(f - v + 1, 0);
            break;
        default:
            focus = std::min(f + v - 1, n - 1);
            break;
        }
        // A focus row written past the rows moves onto the rows.
        focus = std::clamp(focus, 0, n - 1);
        if ((e.KeyCode == VK_UP || e.KeyCode == VK_PRIOR) && focus < t)
            scrollBars_.Value(SB_VERT, e.KeyCode == VK_UP ? t - 1 : t - v + 1);
        if ((e.KeyCode == VK_DOWN || e.KeyCode == VK_NEXT) && focus > t + v - 2)
            scrollBars_.Value(SB_VERT, e.KeyCode == VK_DOWN ? t + 1 : t + v - 1);
        SelectedItem_ = focus;
        Click(focus);
        if (!(shift == kCtrl && MultiSelect_) && RowExists(focus))
            Select(Row(focus), !SelectToggle_);
        break;
    }
    case VK_SPACE:
        // Without a focus row there is nothing to toggle.
        if (!RowExists(f))
            break;
        if (shift == kCtrl && MultiSelect_) {
            ListItem& item = Row(f);
            Select(item, !item.Selected);
            SelectToggle_ = !item.Selected;
        }
        if (Checkboxes_)
            Row(f).Checked = !Row(f).Checked;
        break;
    default:
        break;
    }
    RedrawList();
}

void ListView::UserControl_KeyUp(forms::KeyArgs& e)
{
    if (Enabled_)
        KeyUp(e);
}

void ListView::UserControl_KeyPress(forms::KeyPressArgs& e)
{
    if (Enabled_)
        KeyPress(e);
}

// ---- mouse

void ListView::UserControl_MouseDown(forms::MouseArgs& e)
{
    OnMouseDown(e.Button, e.Shift, e.X, e.Y);
}

void ListView::UserControl_MouseMove(forms::MouseArgs& e)
{
    OnMouseMove(e.Button, e.Shift, e.X, e.Y);
}

void ListView::UserControl_MouseUp(forms::MouseArgs& e)
{
    OnMouseUp(e.Button, e.Shift, e.X, e.Y);
}

void ListView::UserControl_Click()
{
    if (RowExists(SelectedItem_))
        Click(SelectedItem_);
}

void ListView::UserControl_DblClick()
{
    if (RowExists(SelectedItem_) && Row(SelectedItem_).Selected)
        DblClick(SelectedItem_);
}

void ListView::OnMouseDown(int16_t button, int16_t shift, float X, float Y)
{
    if (!Enabled_)
        return;
    const int32_t x = static_cast<int32_t>(X) + scrollBars_.Value(SB_HORZ);
    const int32_t y = static_cast<int32_t>(Y);
    ListMouseArgs args{-1, button, shift, X, Y};

    if (x > TotalColumnWidth_) {
        if (button == forms::vbLeftButton)
            UnSelectAll();
        RedrawList();
        MouseDown(args);
        return;
    }

    if (ColumnsVisible_ && y >= HeaderRect_.top && y <= HeaderRect_.bottom) {
        const HeaderHit hit = HitHeader(columns_, ColumnsAutoSize_, x);
        if (hit.kind == HeaderHit::Edge) {
            if (columns_.Item(hit.column)->Resizable) {
                MouseMode_ = ResizingColumn;
                ResizeColumn_ = hit.column;
            }
        } else if (hit.kind == HeaderHit::Button) {
            columns_.Item(hit.column)->Pushed = true;
            MouseMode_ = HeaderPressed;
            RedrawList();
        }
        return;
    }

    if (y < ItemAreaRect_.top || y > ItemAreaRect_.bottom)
        return;
    int32_t r = RowAt(y, ItemAreaRect_.top, ItemHeight(), scrollBars_.Value(SB_VERT));
    if (!RowExists(r)) {
        if (button == forms::vbLeftButton)
            UnSelectAll();
        r = -1;
    } else {
        if (Checkboxes_ && ColumnFromPoint(static_cast<int32_t>(X), y) == 0 &&
            CheckboxBand(PicturesShown(), PictureWidth_).Contains(x)) {
            ListItem& item = Row(r);
            item.Checked = !item.Checked;
            ItemCheck(r);
            RedrawList();
            return;
        }
        // Shift extends the selection from the focus row; without one there
        // is nothing to extend.
        if (shift == kShift && MultiSelect_ && !RowExists(SelectedItem_))
            return;
        if (!Row(r).Selected || shift == kShift) {
            if (shift == kNoShift || !MultiSelect_) {
                UnSelectAll();
                if (MultiSelect_) {
                    MouseMode_ = DragSelecting;
                    tmrMove->Enabled(true);
                }
            } else if (shift == kShift) {
                const int32_t step = r >= SelectedItem_ ? 1 : -1;
                for (int32_t i = SelectedItem_;; i += step) {
                    Select(Row(i), !SelectToggle_);
                    if (i == r)
                        break;
                }
            }
        }
        if ((!MultiSelect_ || Row(r).Selected) && shift == kNoShift) {
            MouseMode_ = PressedOnRow;
            tmrMove->Enabled(Reorder_);
            RowsMoved_ = false;
        }
        SelectedItem_ = r;
        ListItem& item = Row(r);
        if (shift == kCtrl) {
            Select(item, !item.Selected);
            SelectToggle_ = !item.Selected;
        } else if (shift == kShift) {
            Select(item, !SelectToggle_);
        } else {
            Select(item, true);
            SelectToggle_ = false;
        }
        AnchorRow_ = r;
    }
    RedrawList();
    args.ItemIndex = r;
    MouseDown(args);
}

void ListView::SetMousePointer(int16_t pointer)
{
    if (MousePointer() == pointer)
        return;
    MousePointer(pointer);
    // The pointer shows the new shape at once, not at the next move.
    SendMessageW(hWnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void ListView::OnMouseMove(int16_t button, int16_t shift, float X, float Y)
{
    if (!Enabled_)
        return;
    const int32_t x = static_cast<int32_t>(X) + scrollBars_.Value(SB_HORZ);
    const int32_t y = static_cast<int32_t>(Y);
    switch (MouseMode_) {
    case Idle: {
        int16_t pointer = forms::vbDefault;
        if (ColumnsVisible_ && y >= HeaderRect_.top && y <= HeaderRect_.bottom) {
            const HeaderHit hit = HitHeader(columns_, ColumnsAutoSize_, x);
            if (hit.kind == HeaderHit::Edge && columns_.Item(hit.column)->Resizable && !ColumnsAutoSize_)
                pointer = kSizeWestEast;
        } else if (y > ItemAreaRect_.top && y <= ItemAreaRect_.bottom) {
            pointer = forms::vbArrow;
        }
        SetMousePointer(pointer);
        break;
    }
    case ResizingColumn:
        if (!ColumnsAutoSize_ && ResizeColumn_ < ColumnCount()) {
            const int32_t width = x - ColumnLeft(columns_, false, ResizeColumn_);
            columns_.Item(ResizeColumn_)->Width = std::max(width, 5);
        }
        CalculateLayout();
        UpdateVerticalScroll();
        RedrawList();
        break;
    case DragSelecting: {
        const int32_t n = ItemCount();
        if (!RowExists(AnchorRow_))
            break;
        RepaintFollows once(repaintFollows_);
        const int32_t r =
            std::clamp(RowAt(y, ItemAreaRect_.top, ItemHeight(), scrollBars_.Value(SB_VERT)), 0, n - 1);
        const int32_t low = std::min(r, AnchorRow_);
        const int32_t high = std::max(r, AnchorRow_);
        for (int32_t i = 0; i < n; ++i)
            Select(Row(i), i >= low && i <= high);
        SelectedItem_ = r;
        if (n > VisibleRowCount()) {
            POINT cursor{};
            GetCursorPos(&cursor);
            ScreenToClient(hWnd(), &cursor);
            if (cursor.y < HeaderRect_.bottom)
                scrollBars_.Value(SB_VERT, scrollBars_.Value(SB_VERT) - 1);
            else if (cursor.y > ClientHeight() - 3)
                scrollBars_.Value(SB_VERT, scrollBars_.Value(SB_VERT) + 1);
        }
        RedrawList();
        break;
    }
    case PressedOnRow:
        if (Reorder_)
            MoveSelectedRows(RowAt(y, ItemAreaRect_.top, ItemHeight(), scrollBars_.Value(SB_VERT)));
        if (RowsMoved_) {
            ReorderEvent();
            RedrawList();
        }
        break;
    default:
        break;
    }
}

void ListView::MoveSelectedRows(int32_t rowUnderPointer)
{
    const int32_t n = ItemCount();
    const int64_t d = static_cast<int64_t>(rowUnderPointer) - SelectedItem_;
    // Moves selected row i by d; false once a row would pass an end, which
    // stops the whole move so the selection stays together.
    const auto move = [&](int32_t i) {
        if (!Row(i).Selected)
            return true;
        if (i + d < 0 || i + d > n - 1)
            return false;
        const auto to = static_cast<int32_t>(i + d);
        rows_.MoveItem(i, to);
        if (SelectedItem_ == i)
            SelectedItem_ = to;
        RowsMoved_ = true;
        return true;
    };
    // Upwards from the top row, downwards from the bottom one, so that no
    // row is moved past one that has not moved yet.
    if (d < 0) {
        for (int32_t i = 0; i < n; ++i) {
            if (!move(i))
                break;
        }
    } else if (d > 0) {
        for (int32_t i = n - 1; i >= 0; --i) {
            if (!move(i))
                break;
        }
    }
}

void ListView::OnMouseUp(int16_t button, int16_t shift, float X, float Y)
{
    if (button == forms::vbLeftButton && MouseMode_ == PressedOnRow && !RowsMoved_) {
        // A press on a selected row that did not drag selects that row alone.
        UnSelectAll();
        if (RowExists(SelectedItem_))
            Select(Row(SelectedItem_), true);
        RedrawList();
    } else if (MouseMode_ == HeaderPressed) {
        for (int32_t i = 0; i < ColumnCount(); ++i) {
            if (!columns_.Item(i)->Pushed)
                continue;
            if (Sortable_) {
                Column& column = *columns_.Item(i);
                rows_.Sort(i, column.LastSortOrder);
                column.LastSortOrder = column.LastSortOrder == 0 ? 1 : 0;
            }
            ColumnClick(i);
            // The handler may have taken columns away.
            if (i < ColumnCount())
                columns_.Item(i)->Pushed = false;
        }
        RedrawList();
    }
    MouseMode_ = Idle;
    if (tmrMove)
        tmrMove->Enabled(false);
    ListMouseArgs args{SelectedItem_, button, shift, X, Y};
    MouseUp(args);
}

void ListView::AbandonPress()
{
    if (MouseMode_ == Idle)
        return;
    MouseMode_ = Idle;
    if (tmrMove)
        tmrMove->Enabled(false);
    for (int32_t i = 0; i < ColumnCount(); ++i)
        columns_.Item(i)->Pushed = false;
    RedrawList();
}

bool ListView::AutoScrollAtEdge(int32_t y)
{
    if (ItemCount() < VisibleRowCount())
        return false;
    if (y > ClientHeight() - 3) {
        scrollBars_.Value(SB_VERT, scrollBars_.Value(SB_VERT) + 1);
        return true;
    }
    if (y < HeaderRect_.bottom - 3) {
        scrollBars_.Value(SB_VERT, scrollBars_.Value(SB_VERT) - 1);
        return true;
    }
    return false;
}

void ListView::tmrMove_Timer()
{
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(hWnd(), &cursor);
    if (AutoScrollAtEdge(cursor.y))
        OnMouseMove(forms::vbLeftButton, kNoShift, static_cast<float>(cursor.x),
                    static_cast<float>(cursor.y));
}

}  // namespace quill::listview
