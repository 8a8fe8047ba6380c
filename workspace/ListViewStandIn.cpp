#include "workspace/ListViewStandIn.h"

#include "forms/Gdi.h"
#include "forms/lang/Error.h"

namespace quill::workspace {

namespace {

constexpr int kPaddingTop = 4;

}  // namespace

ListViewStandIn::ListViewStandIn() : font_(forms::Font::New())
{
    AutoRedraw = false;
    fontWatch_ = font_->OnChanged([this](const std::wstring&) { Repaint(); });
}

const ListViewStandIn::Row& ListViewStandIn::At(int32_t index) const
{
    return forms::At(rows_, index);
}

int32_t ListViewStandIn::ItemTag(int32_t Index) const
{
    return At(Index).tag;
}

void ListViewStandIn::ItemTag(int32_t Index, int32_t lngTag)
{
    At(Index);
    rows_[static_cast<size_t>(Index)].tag = lngTag;
}

std::wstring ListViewStandIn::ItemText(int32_t Index, int32_t Column) const
{
    return forms::At(At(Index).cells, Column);
}

void ListViewStandIn::ItemText(int32_t Index, int32_t Column, std::wstring strText)
{
    forms::At(At(Index).cells, Column);
    rows_[static_cast<size_t>(Index)].cells[static_cast<size_t>(Column)] = std::move(strText);
    Repaint();
}

int32_t ListViewStandIn::AddItem(int32_t InsertAt, std::wstring strText, int32_t)
{
    if (columns_.empty())
        throw forms::RuntimeError(31, L"can not add items when there are no columns");
    Row row;
    row.cells.resize(columns_.size());
    row.cells[0] = std::move(strText);
    if (InsertAt < 0 || InsertAt > ItemCount())
        InsertAt = ItemCount();
    rows_.insert(rows_.begin() + InsertAt, std::move(row));
    Repaint();
    return InsertAt;
}

void ListViewStandIn::Clear()
{
    rows_.clear();
    Repaint();
}

void ListViewStandIn::RemoveColumn(int32_t Index)
{
    if (!rows_.empty())
        throw forms::RuntimeError(33, L"can not add or remove columns when there are items");
    forms::At(columns_, Index);
    columns_.erase(columns_.begin() + Index);
    Repaint();
}

void ListViewStandIn::AddColumn(std::wstring key, std::wstring Caption, int32_t TextAlign, int32_t Width,
                                bool, bool)
{
    if (!rows_.empty())
        throw forms::RuntimeError(33, L"can not add or remove columns when there are items");
    columns_.push_back({std::move(key), std::move(Caption), Width, TextAlign});
    Repaint();
}

std::wstring ListViewStandIn::ColumnKey(int32_t Index) const
{
    return forms::At(columns_, Index).key;
}

std::wstring ListViewStandIn::ColumnCaption(int32_t Index) const
{
    return forms::At(columns_, Index).caption;
}

int32_t ListViewStandIn::ColumnWidth(int32_t Index) const
{
    return forms::At(columns_, Index).width;
}

void ListViewStandIn::Redraw(bool value)
{
    redraw_ = value;
    Repaint();
}

void ListViewStandIn::ItemPaddingBottom(int32_t value)
{
    paddingBottom_ = value;
    Repaint();
}

void ListViewStandIn::BorderStyle(int32_t value)
{
    borderStyle_ = value;
    Repaint();
}

int32_t ListViewStandIn::ItemHeight() const
{
    forms::gdi::FontHandle font = font_->CreateHandle();
    forms::gdi::Selection use(hDC(), font);
    TEXTMETRICW tm{};
    GetTextMetricsW(hDC(), &tm);
    return tm.tmHeight + kPaddingTop + paddingBottom_;
}

void ListViewStandIn::Repaint()
{
    if (redraw_)
        Refresh();
}

void ListViewStandIn::UserControl_Paint()
{
    if (!redraw_)
        return;
    HDC dc = hDC();
    const RECT all{0, 0, ScaleWidth(), ScaleHeight()};
    forms::gdi::BrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
    FillRect(dc, &all, white);
    forms::gdi::FontHandle font = font_->CreateHandle();
    forms::gdi::Selection use(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const int height = ItemHeight();
    forms::gdi::BrushHandle header(CreateSolidBrush(RGB(0xEE, 0xEE, 0xEE)));
    RECT headerRow{0, 0, ScaleWidth(), height};
    FillRect(dc, &headerRow, header);
    auto cell = [&](const std::wstring& text, int left, int width, int top, int32_t align) {
        RECT r{left + 4, top + kPaddingTop, left + width - 4, top + height};
        const UINT flags = DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX |
                           (align == 2   ? DT_CENTER
                            : align == 1 ? DT_RIGHT
                                         : DT_LEFT);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    };
    int left = 0;
    for (const Column& c : columns_) {
        cell(c.caption, left, c.width, 0, c.align);
        left += c.width;
    }
    int top = height;
    for (const Row& row : rows_) {
        if (top > ScaleHeight())
            break;
        left = 0;
        for (size_t i = 0; i < columns_.size(); ++i) {
            cell(row.cells[i], left, columns_[i].width, top, columns_[i].align);
            left += columns_[i].width;
        }
        top += height;
    }
}

void ListViewStandIn::UserControl_DblClick()
{
    const int row = lastY_ / ItemHeight() - 1;
    if (row >= 0 && row < ItemCount())
        DblClick(row);
}

}  // namespace quill::workspace
