#pragma once
// The program's own multi-column list: an owner-drawn, double-buffered user
// control with a header of column buttons, rows of cells with optional check
// boxes and pictures, selection by mouse and keyboard, drag selection and
// drag reordering with scrolling at the edges, column resizing and sorting
// by a header click. Hosts address rows and columns by 0-based position
// (columns also by key); all sizes are pixels.
#include <objidl.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "controls/listview/BackBuffer.h"
#include "controls/listview/Color.h"
#include "controls/listview/ColumnCollection.h"
#include "controls/listview/ICustomDraw.h"
#include "controls/listview/ListItemCollection.h"
#include "controls/listview/PictureList.h"
#include "controls/listview/Scrollbars.h"
#include "forms/Events.h"
#include "forms/Font.h"
#include "forms/Loaded.h"
#include "forms/TimerControl.h"
#include "forms/UserControl.h"

namespace quill::listview {

// A column given by position or by key; a key that reads as a number is a
// position ("2" is column 2).
class ColumnId {
public:
    ColumnId(int32_t position) : id_(position) {}
    ColumnId(std::wstring key) : id_(std::move(key)) {}
    ColumnId(const wchar_t* key) : id_(std::wstring(key)) {}
    ColumnId(std::wstring_view key) : id_(std::wstring(key)) {}

    ObjectRef<Column> In(const ColumnCollection& columns) const;
    void RemoveFrom(ColumnCollection& columns) const;
    // As text, for the exact key comparison of ColumnIndex.
    std::wstring Text() const;

private:
    std::variant<int32_t, std::wstring> id_;
};

// A picture resource given by number or by name.
using ResourceId = imaging::ResourceName;

// MouseDown and MouseUp: the row (or -1), the button (1 left), the shift
// state (1 Shift, 2 Ctrl, 4 Alt) and the place in client pixels.
struct ListMouseArgs {
    int32_t ItemIndex = -1;
    int16_t MouseButton = 0;
    int16_t Shift = 0;
    float X = 0;
    float Y = 0;
};

// The OLE drop notifications, passed on as the window receives them; the
// handler may change every field. Data lives for the call only.
struct OLEDragDropArgs {
    IDataObject* Data = nullptr;
    int32_t Effect = 0;
    int16_t MouseButton = 0;
    int16_t Shift = 0;
    float X = 0;
    float Y = 0;
};
struct OLEDragOverArgs {
    IDataObject* Data = nullptr;
    int32_t Effect = 0;
    int16_t Button = 0;
    int16_t Shift = 0;
    float X = 0;
    float Y = 0;
    int16_t state = 0;  // 0 entering, 1 leaving, 2 over
};
struct OLECompleteDragArgs {
    int32_t Effect = 0;
};
struct OLEGiveFeedbackArgs {
    int32_t Effect = 0;
    bool DefaultCursors = true;
};
struct OLESetDataArgs {
    IDataObject* Data = nullptr;
    int16_t DataFormat = 0;
};
struct OLEStartDragArgs {
    IDataObject* Data = nullptr;
    int32_t AllowedEffects = 0;
};

class ListDropTarget;

class ListView : public forms::UserControl, private ICustomDraw {
public:
    ListView();
    ~ListView() override;

    // ---- rows, columns and pictures
    int32_t PictureCount() const { return pictures_.Count(); }
    // Each appends a picture read at PictureWidth x PictureHeight, even when
    // it cannot be read, and answers whether it could. Nothing is repainted.
    bool AddPictureFromRes(const ResourceId& ResIndex, const ResourceId& resSection);
    bool AddPicture(const std::wstring& strFilename);
    // The focus row, -1 for none. Written unchecked.
    int32_t SelectedItem() const { return SelectedItem_; }
    void SelectedItem(int32_t lngVal);
    int32_t ItemCount() const { return rows_.ItemCount(); }
    // Errors 9 and 91 for a row outside the storage or past the last row.
    int32_t ItemTag(int32_t Index) const;
    void ItemTag(int32_t Index, int32_t lngTag);
    bool ItemSelected(int32_t Index) const;
    void ItemSelected(int32_t Index, bool blnVal);
    std::wstring ItemText(int32_t Index, int32_t Column) const;
    void ItemText(int32_t Index, int32_t Column, std::wstring strText);
    bool ItemChecked(int32_t Index) const;
    void ItemChecked(int32_t Index, bool blnVal);
    // Error 31 without columns. Returns the new row's position.
    int32_t AddItem(int32_t InsertAt = -1, std::wstring strText = {}, int32_t lngPictureIndex = -1);
    void RemoveItem(int32_t Index);
    void MoveItem(int32_t IndexFrom, int32_t IndexTo);
    void Clear();
    // The last column whose key is exactly Index; 0 when none is.
    int32_t ColumnIndex(const ColumnId& Index) const;
    // Error 33 while there are rows.
    void RemoveColumn(const ColumnId& Index);
    void AddColumn(std::wstring key = {}, std::wstring Caption = {}, int32_t TextAlign = 0,
                   int32_t Width = 300, bool Resizable = true, bool Visible = true);
    int32_t ColumnCount() const { return columns_.Count(); }
    std::wstring ColumnKey(const ColumnId& Index) const;
    bool ColumnsVisible() const { return ColumnsVisible_; }
    void ColumnsVisible(bool value);
    bool ColumnVisible(const ColumnId& Index) const;
    void ColumnVisible(const ColumnId& Index, bool blnVis);
    std::wstring ColumnCaption(const ColumnId& Index) const;
    void ColumnCaption(const ColumnId& Index, std::wstring strCaption);
    int32_t ColumnWidth(const ColumnId& Index) const;
    void ColumnWidth(const ColumnId& Index, int32_t lngWidth);
    bool ColumnResizable(const ColumnId& Index) const;
    void ColumnResizable(const ColumnId& Index, bool blnRes);
    // 0 left, 1 right, 2 centred.
    int32_t ColumnTextAlign(const ColumnId& Index) const;
    void ColumnTextAlign(const ColumnId& Index, int32_t udeAlign);

    // ---- display properties (stored with the host's design)
    bool Sortable() const { return Sortable_; }
    void Sortable(bool value);
    bool ItemsAutoSize() const { return ItemsAutoSize_; }
    void ItemsAutoSize(bool value);
    int32_t PictureHeight() const { return PictureHeight_; }
    void PictureHeight(int32_t value);
    int32_t PictureWidth() const { return PictureWidth_; }
    void PictureWidth(int32_t value);
    bool PicturesVisible() const { return PicturesVisible_; }
    void PicturesVisible(bool value);
    int32_t ItemPaddingTop() const { return ItemPaddingTop_; }
    void ItemPaddingTop(int32_t value);
    int32_t ItemPaddingBottom() const { return ItemPaddingBottom_; }
    void ItemPaddingBottom(int32_t value);
    int32_t ItemPaddingLeft() const { return ItemPaddingLeft_; }
    void ItemPaddingLeft(int32_t value);
    int32_t ItemPaddingRight() const { return ItemPaddingRight_; }
    void ItemPaddingRight(int32_t value);
    bool Checkboxes() const { return Checkboxes_; }
    void Checkboxes(bool value);
    // 0 none, 1 manual: the window accepts OLE drops and raises OLEDragOver
    // and OLEDragDrop.
    int32_t OLEDropMode() const { return OLEDropMode_; }
    void OLEDropMode(int32_t value);
    bool SolidFocusRect() const { return SolidFocusRect_; }
    void SolidFocusRect(bool value);
    // Asked for each cell's colours; null puts the control itself back. Not
    // owned: it must outlive its use here.
    ICustomDraw* DrawCallback() const { return DrawCallback_; }
    void DrawCallback(ICustomDraw* value);
    // 0 none, 1 thin edge, 2 sunken edge.
    int32_t BorderStyle() const { return BorderStyle_; }
    void BorderStyle(int32_t value);
    // Input, the focus frame and the forwarded events only while True. The
    // window itself stays enabled: releases, clicks and double clicks still
    // arrive.
    bool Enabled() const { return Enabled_; }
    void Enabled(bool value);
    bool ColumnsAutoSize() const { return ColumnsAutoSize_; }
    void ColumnsAutoSize(bool value);
    bool Reorder() const { return Reorder_; }
    void Reorder(bool value);
    bool MultiSelect() const { return MultiSelect_; }
    void MultiSelect(bool value);
    forms::OleColor CheckboxColor() const;
    void CheckboxColor(forms::OleColor value);
    forms::OleColor CheckboxSelectedColor() const;
    void CheckboxSelectedColor(forms::OleColor value);
    forms::OleColor BackColor() const;
    void BackColor(forms::OleColor value);
    forms::OleColor ForeColor() const;
    void ForeColor(forms::OleColor value);
    forms::OleColor SelectedForeColor() const;
    void SelectedForeColor(forms::OleColor value);
    forms::OleColor SelectedBackColor() const;
    void SelectedBackColor(forms::OleColor value);
    forms::OleColor FocusRectColor() const;
    void FocusRectColor(forms::OleColor value);
    // The font object itself: a change made to it reaches the list, which
    // draws with it from the next repaint on.
    forms::Font::Ref Font() const { return Font_; }
    void Font(forms::Font::Ref value);
    // While False nothing is painted; layout and the scroll bars still follow.
    bool Redraw() const { return Redraw_; }
    void Redraw(bool value);

    // ---- layout, hit tests, selection
    int32_t ItemHeight() const;
    // Sorts by the column whose key is Index (ColumnIndex); 1 descending.
    // Does not repaint.
    void Sort(const ColumnId& Index, int32_t SortOrder);
    int32_t ColumnFromPoint(int32_t X, int32_t Y) const;
    int32_t RowFromPoint(int32_t X, int32_t Y, bool HitTest = false) const;
    void Refresh();
    void MakeSureVisible(int32_t lngItem, int32_t lngColumn = -1);
    void SelectAll();
    void UnSelectAll();

    // ---- events, in declared order
    forms::Event<> ReorderEvent;  // the event Reorder: rows were moved by dragging
    forms::Event<int32_t> DblClick;
    forms::Event<int32_t> Click;
    forms::Event<int32_t> ColumnClick;
    forms::Event<ListMouseArgs&> MouseDown;
    forms::Event<ListMouseArgs&> MouseUp;
    forms::Event<forms::KeyArgs&> KeyDown;
    forms::Event<forms::KeyArgs&> KeyUp;
    forms::Event<forms::KeyPressArgs&> KeyPress;
    forms::Event<int32_t> ItemCheck;
    forms::Event<OLEDragDropArgs&> OLEDragDrop;
    forms::Event<OLEDragOverArgs&> OLEDragOver;
    forms::Event<OLECompleteDragArgs&> OLECompleteDrag;
    forms::Event<OLEGiveFeedbackArgs&> OLEGiveFeedback;
    forms::Event<OLESetDataArgs&> OLESetData;
    forms::Event<OLEStartDragArgs&> OLEStartDrag;

protected:
    void UserControl_InitProperties() override;
    void UserControl_ReadProperties(forms::PropertyBag& PropBag) override;
    void UserControl_WriteProperties(forms::PropertyBag& PropBag) override;
    void UserControl_Resize() override;
    void UserControl_MouseDown(forms::MouseArgs& e) override;
    void UserControl_MouseMove(forms::MouseArgs& e) override;
    void UserControl_MouseUp(forms::MouseArgs& e) override;
    void UserControl_Click() override;
    void UserControl_DblClick() override;
    void UserControl_KeyDown(forms::KeyArgs& e) override;
    void UserControl_KeyPress(forms::KeyPressArgs& e) override;
    void UserControl_KeyUp(forms::KeyArgs& e) override;
    void UserControl_GotFocus() override;
    void UserControl_LostFocus() override;
    void UserControl_Terminate() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    friend class ListDropTarget;

    // MouseMode: what a held mouse button is doing.
    enum : int32_t { Idle = 0, ResizingColumn = 1, DragSelecting = 2, PressedOnRow = 3, HeaderPressed = 4 };

    bool CustomDraw(int32_t ItemIndex, int32_t ColumnIndex, int32_t& BackColor, int32_t& ForeColor) override;

    // Creation and the end (ListView.cpp).
    void StartRunTime();
    void LoadTimer();
    void Report(const wchar_t* propertyName) { PropertyChanged(propertyName); }
    Column& ColumnAtId(const ColumnId& Index) const;
    ListItem& Row(int32_t Index) const;
    void SetColour(Color& colour, forms::OleColor value, bool brush, bool pen);
    // Keeps the font object and listens to its changes.
    void TakeFont(forms::Font::Ref font);
    void ReleaseDrawingObjects();
    void BarMoved();

    // Layout and painting (ListViewPaint.cpp).
    void RedrawList(HDC paintDc = nullptr);
    void DrawHeader(HDC dc);
    void DrawRows(HDC dc);
    void DrawRowCheckbox(HDC dc, const RECT& cell, bool selected, bool checked);
    void DrawCellText(HDC dc, const std::wstring& text, RECT area, int32_t align, bool prefix);
    RECT PadTextRect(const RECT& r) const;
    int32_t VisibleRowCount() const;
    void CreateBackBuffer();
    void ApplyFont();
    void CalculateLayout();
    void UpdateVerticalScroll();
    void ApplyBorderStyle(int32_t style);
    void ChangeWindowStyle(int index, LONG_PTR setBits, LONG_PTR clearBits);
    bool PicturesShown() const { return PicturesVisible_ && pictures_.Count() > 0; }
    int32_t ClientWidth() const { return client_.right; }
    int32_t ClientHeight() const { return client_.bottom; }
    void ReadClientRect();

    // Input (ListViewInput.cpp).
    void OnMouseDown(int16_t button, int16_t shift, float X, float Y);
    void OnMouseMove(int16_t button, int16_t shift, float X, float Y);
    void OnMouseUp(int16_t button, int16_t shift, float X, float Y);
    void MoveSelectedRows(int32_t rowUnderPointer);
    bool AutoScrollAtEdge(int32_t y);
    // The press ends without a release (the mouse was taken away).
    void AbandonPress();
    void tmrMove_Timer();
    void SetMousePointer(int16_t pointer);
    bool RowExists(int32_t row) const { return row >= 0 && row < ItemCount(); }
    // Sets a row's selection, keeping count of the selected rows.
    void Select(ListItem& row, bool value);

    // Model.
    ColumnCollection columns_;
    ListItemCollection rows_;
    PictureList pictures_;

    // Properties.
    int32_t ItemPaddingTop_ = 4;
    int32_t ItemPaddingBottom_ = 4;
    int32_t ItemPaddingLeft_ = 4;
    int32_t ItemPaddingRight_ = 5;
    int32_t PictureHeight_ = 16;
    int32_t PictureWidth_ = 16;
    bool PicturesVisible_ = true;
    int32_t FontHeight_ = 0;
    Color BackColor_;
    Color ForeColor_;
    Color SelectedBackColor_;
    Color SelectedForeColor_;
    Color FocusRectColor_;
    Color CustomBackColor_;
    Color CustomForeColor_;
    Color CheckboxColor_;
    Color CheckboxSelectedColor_;
    int32_t BorderStyle_ = 0;
    bool Reorder_ = false;
    bool MultiSelect_ = false;
    bool ColumnsAutoSize_ = false;
    bool ColumnsVisible_ = false;
    bool Enabled_ = false;
    bool SolidFocusRect_ = false;
    bool HasFocus_ = false;
    bool Checkboxes_ = false;
    bool Sortable_ = true;
    int32_t OLEDropMode_ = 0;
    int32_t SelectedItem_ = -1;
    ICustomDraw* DrawCallback_ = nullptr;
    bool Redraw_ = true;
    bool ItemsAutoSize_ = true;
    forms::Font::Ref Font_;
    forms::Font::Subscription fontChanges_;
    forms::gdi::FontHandle drawingFont_;

    // Layout.
    RECT client_{};
    RECT HeaderRect_{};
    RECT ItemAreaRect_{};
    int32_t TotalColumnWidth_ = 0;
    bool IsPainting_ = false;
    bool layingOut_ = false;
    bool runTime_ = false;
    bool repaintFollows_ = false;  // a repaint ends the input being handled

    // Input.
    int32_t MouseMode_ = Idle;
    int32_t ResizeColumn_ = -1;
    int32_t AnchorRow_ = -1;
    bool SelectToggle_ = false;
    bool RowsMoved_ = false;
    int32_t selectedCount_ = 0;
    ListItem* lastSelected_ = nullptr;  // the row selected last, wherever it is now
    forms::Loaded<forms::TimerControl> tmrMove;

    // Declared after the colours and the font: it ends first and puts its DC's
    // own objects back before theirs are deleted.
    std::unique_ptr<BackBuffer> backBuffer_;
    Scrollbars scrollBars_;
    std::unique_ptr<ListDropTarget> dropTarget_;
};

}  // namespace quill::listview
