#pragma once
// A form holding one list view, laid out as the tests ask, and what the tests
// read back of it: its window's pixels, its scroll bars and the events it
// raised, as text entries in the order raised.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/listview/ListView.h"
#include "forms/Form.h"
#include "forms/Loaded.h"
#include "forms/PropertyBag.h"
#include "tests/support/HostForm.h"

namespace quill::listview::test {

// The stored design with the main window's own settings, the ones these
// tests hold the list to: 11 pt font, rows sized by the paddings with the bottom
// padding 15 (rows 34 pixels high), a thin border, several rows selectable.
forms::PropertyBag MainWindowDesign();

struct HostPlace {
    int left = 10, top = 10, width = 520, height = 300;  // pixels, in the form
    int formLeft = 60, formTop = 60;                     // pixels, on the screen
};

struct ListControls {
    forms::Loaded<ListView> list;
};
using ListForm = quill::test::HostForm<ListControls>;

class ListHost {
public:
    // A form at a fixed place of the screen with the list in it, shown.
    // `design` null: the list starts as a new control (no stored design).
    explicit ListHost(const forms::PropertyBag* design, HostPlace place = {}, bool show = true);
    ~ListHost();
    ListHost(const ListHost&) = delete;
    ListHost& operator=(const ListHost&) = delete;

    ListView& list() const { return *form_->list; }
    ListView* operator->() const { return form_->list.get(); }
    ListForm& form() const { return *form_; }
    HWND hwnd() const { return form_->list->hWnd(); }

    // The list's client area as its window shows it, row by row from the
    // top, red in the low byte, after any pending paint has run.
    std::vector<uint32_t> Pixels() const;
    uint32_t Pixel(int x, int y) const;
    int ClientWidth() const;
    int ClientHeight() const;

    // The events raised since the last Take(), e.g. "MouseDown(2,1,0)",
    // "MouseUp(2)", "Click(2)", "ColumnClick(1)", "Reorder".
    std::vector<std::wstring> Take();
    const std::vector<std::wstring>& Events() const { return events_; }

private:
    void RecordEvents();

    std::unique_ptr<ListForm> form_;
    std::vector<std::wstring> events_;
};

// Columns and rows of the project list page: a platform, a project name, an
// amount, a rate and a date column, and `rows` rows of Chinese text padded
// with one blank per character, as the main window pads them.
void FillProjects(ListView& list, int rows);
// The padding the main window gives a text: one blank per character.
std::wstring Padded(const std::wstring& text);

// GetScrollInfo of the list's bar: position and range.
SCROLLINFO Bar(HWND hwnd, int bar);

// COLORREF as the pixel readers report it (red low).
inline uint32_t Rgb(COLORREF c)
{
    return static_cast<uint32_t>(c) & 0xFFFFFF;
}
inline uint32_t SysRgb(int index)
{
    return Rgb(GetSysColor(index));
}

}  // namespace quill::listview::test
