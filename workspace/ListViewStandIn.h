// Until the program's own list view control is in the tree: the members of
// it that the main window uses, with their errors, drawing a plain header and
// plain rows. The main window names the control through HomeListView, so the
// real one takes its place by that one line.
#pragma once

#include "forms/Events.h"
#include "forms/Font.h"
#include "forms/UserControl.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quill::workspace {

class ListViewStandIn : public forms::UserControl {
public:
    ListViewStandIn();

    int32_t ItemCount() const { return static_cast<int32_t>(rows_.size()); }
    int32_t ColumnCount() const { return static_cast<int32_t>(columns_.size()); }
    // Errors 9 for a row or column outside the list.
    int32_t ItemTag(int32_t Index) const;
    void ItemTag(int32_t Index, int32_t lngTag);
    std::wstring ItemText(int32_t Index, int32_t Column) const;
    void ItemText(int32_t Index, int32_t Column, std::wstring strText);
    // Error 31 without columns.
    int32_t AddItem(int32_t InsertAt = -1, std::wstring strText = {}, int32_t lngPictureIndex = -1);
    void Clear();
    // Error 33 while there are rows; 9 for a column outside the list.
    void RemoveColumn(int32_t Index);
    void AddColumn(std::wstring key = {}, std::wstring Caption = {}, int32_t TextAlign = 0,
                   int32_t Width = 300, bool Resizable = true, bool Visible = true);
    std::wstring ColumnKey(int32_t Index) const;
    std::wstring ColumnCaption(int32_t Index) const;
    int32_t ColumnWidth(int32_t Index) const;

    bool Redraw() const { return redraw_; }
    void Redraw(bool value);
    forms::Font::Ref Font() const { return font_; }
    int32_t ItemPaddingBottom() const { return paddingBottom_; }
    void ItemPaddingBottom(int32_t value);
    bool MultiSelect() const { return multiSelect_; }
    void MultiSelect(bool value) { multiSelect_ = value; }
    int32_t BorderStyle() const { return borderStyle_; }
    void BorderStyle(int32_t value);
    bool ItemsAutoSize() const { return itemsAutoSize_; }
    void ItemsAutoSize(bool value) { itemsAutoSize_ = value; }
    int32_t ItemHeight() const;

    forms::Event<int32_t> DblClick;

protected:
    void UserControl_Paint() override;
    void UserControl_Resize() override { Repaint(); }
    void UserControl_DblClick() override;
    void UserControl_MouseDown(forms::MouseArgs& e) override { lastY_ = static_cast<int>(e.Y); }

private:
    struct Column {
        std::wstring key, caption;
        int32_t width, align;
    };
    struct Row {
        int32_t tag = 0;
        std::vector<std::wstring> cells;
    };
    const Row& At(int32_t index) const;
    void Repaint();

    std::vector<Column> columns_;
    std::vector<Row> rows_;
    bool redraw_ = true;
    forms::Font::Ref font_;
    forms::Font::Subscription fontWatch_;
    int32_t paddingBottom_ = 4;
    bool multiSelect_ = true;
    int32_t borderStyle_ = 1;
    bool itemsAutoSize_ = true;
    int lastY_ = 0;
};

}  // namespace quill::workspace
