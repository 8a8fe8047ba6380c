#pragma once
// The list view's geometry, apart from any window: column widths as layout
// and painting use them, the row height, how many rows the item area shows,
// which row or column lies under a point, where a check box, its tick and a
// row picture go, and how many bytes of a text are drawn. Painting and input
// both ask here, so a point hits exactly what was painted there.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "controls/listview/ColumnCollection.h"

namespace quill::listview {

// No column is laid out wider than this, whatever width it was given, so
// that sums of widths stay in range and GDI coordinates stay small.
constexpr int32_t MaxColumnWidth = 32767;

// x rounded to the nearest whole number, halves to the even one, and kept
// inside the 32-bit range.
int32_t RoundClamped(double x);

// The width a column is laid out and painted with: its auto-sized width when
// the list sizes its columns, else its own width, kept to 0 ... MaxColumnWidth.
int32_t LaidOutWidth(const Column& column, bool autoSize);

// Shares the client width among the visible columns: a fixed column keeps its
// width, resizable ones share what the fixed ones leave, in proportion to
// their widths, and the last column is cut so the columns never exceed the
// client width. Resizable widths that sum to 0 get 0.
void AutoSizeColumns(ColumnCollection& columns, int32_t clientWidth);

// The width of all visible columns side by side (the client width when the
// list sizes its columns), summed without overflow and kept in 32 bits.
int32_t TotalColumnWidth(const ColumnCollection& columns, bool autoSize, int32_t clientWidth);

// The left edge of a column: the laid-out widths of the visible columns
// before it.
int32_t ColumnLeft(const ColumnCollection& columns, bool autoSize, int32_t column);

// The visible column that covers content x (x from 0 at the first column's
// left edge); -1 at or right of totalWidth; the first visible column left of
// 0; 0 when no column is visible.
int32_t ColumnAt(const ColumnCollection& columns, bool autoSize, int32_t x, int32_t totalWidth);

// What a press at content x in the header hits: within 4 pixels of a visible
// column's right edge that edge (resizable or not), well inside a column its
// button, else nothing.
struct HeaderHit {
    enum Kind { Nothing, Edge, Button } kind = Nothing;
    int32_t column = -1;
};
HeaderHit HitHeader(const ColumnCollection& columns, bool autoSize, int32_t x);

// The row height: font and pictures decide it when the list sizes its rows,
// the font and the top and bottom padding otherwise; never below 1.
struct RowHeightInputs {
    bool itemsAutoSize = true;
    int32_t fontHeight = 0;
    bool checkboxes = false;
    bool picturesShown = false;  // pictures visible and at least one in the list
    int32_t pictureHeight = 0;
    int32_t paddingTop = 0;
    int32_t paddingBottom = 0;
};
int32_t ItemHeight(const RowHeightInputs& in);

// Rows the item area from `top` to `bottom` shows, a partly covered last
// row included (the quotient plus a half, rounded, halves to even).
int32_t VisibleRowCount(int32_t top, int32_t bottom, int32_t itemHeight);

// The row under client y, counting from `firstRow` at the top of the item
// area; not limited to the rows that exist. A y exactly on the top edge of
// an odd visible row (1, 3, ...) counts to the row above, as rounding halves
// to even decides.
int32_t RowAt(int32_t y, int32_t itemAreaTop, int32_t itemHeight, int32_t firstRow);

// The top-left corner of a row's check box drawn at left edge `left` of a
// cell from `top` to `bottom`: the 12 x 12 inner square starts there.
struct GridPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const GridPoint&) const = default;
};
GridPoint CheckboxOrigin(int32_t left, int32_t top, int32_t bottom);

// The tick's seven strokes, from and to, relative to the check box origin;
// each is drawn as a line without its end point.
struct Stroke {
    GridPoint from, to;
};
extern const std::array<Stroke, 7> TickStrokes;

// Content x band of column 0 in which a press toggles the check box
// (exclusive at both ends).
struct Band {
    int32_t from = 0, to = 0;
    bool Contains(int32_t x) const { return x > from && x < to; }
};
Band CheckboxBand(bool picturesShown, int32_t pictureWidth);

// Top of a row picture centred in a row from `top` to `bottom`.
int32_t PictureTop(int32_t top, int32_t bottom, int32_t pictureHeight);

// The code-page bytes of a text that are drawn: as many as the text has
// characters (so a double-byte text shows its first half unless padded with
// blanks), never more than its converted form holds.
std::string DrawnBytes(std::wstring_view text);

// A font's face name in the code page as LOGFONTA holds it: at most 31 bytes,
// cut before a character that would not fit whole.
std::string FaceNameBytes(std::wstring_view name);

}  // namespace quill::listview
