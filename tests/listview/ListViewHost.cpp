#include "ListViewHost.h"

#include "forms/Gdi.h"
#include "forms/Pump.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"

namespace quill::listview::test {

forms::PropertyBag MainWindowDesign()
{
    return forms::PropertyBag{{L"Font", forms::Font::New(L"\u5B8B\u4F53", 11)},
                              {L"ItemPaddingBottom", 15},
                              {L"ItemsAutoSize", false},
                              {L"BorderStyle", 1},
                              {L"MultiSelect", true}};
}

ListHost::ListHost(const forms::PropertyBag* design, HostPlace place, bool show)
{
    form_ = std::make_unique<ListForm>(
        [design, place](ListForm& f) {
            f.list.Load(
                f, quill::test::PlacePixels(L"ListView", place.left, place.top, place.width, place.height),
                design);
        },
        forms::FormArgs{.caption = L"List view",
                        .clientWidth = (place.left * 2 + place.width) * 15,
                        .clientHeight = (place.top * 2 + place.height) * 15,
                        .left = place.formLeft * 15,
                        .top = place.formTop * 15,
                        .startUpPosition = forms::vbStartUpManual});
    form_->Load();
    RecordEvents();
    if (show) {
        form_->Show();
        quill::test::PumpPosted();
    }
}

ListHost::~ListHost()
{
    if (form_)
        form_->Unload();
    forms::DoEvents();
}

void ListHost::RecordEvents()
{
    ListView& l = list();
    const auto add = [this](std::wstring entry) { events_.push_back(std::move(entry)); };
    l.ReorderEvent = [add] { add(L"Reorder"); };
    l.DblClick = [add](int32_t i) { add(L"DblClick(" + std::to_wstring(i) + L")"); };
    l.Click = [add](int32_t i) { add(L"Click(" + std::to_wstring(i) + L")"); };
    l.ColumnClick = [add](int32_t i) { add(L"ColumnClick(" + std::to_wstring(i) + L")"); };
    l.ItemCheck = [add](int32_t i) { add(L"ItemCheck(" + std::to_wstring(i) + L")"); };
    l.MouseDown = [add](ListMouseArgs& e) {
        add(L"MouseDown(" + std::to_wstring(e.ItemIndex) + L"," + std::to_wstring(e.MouseButton) + L"," +
            std::to_wstring(e.Shift) + L")");
    };
    l.MouseUp = [add](ListMouseArgs& e) { add(L"MouseUp(" + std::to_wstring(e.ItemIndex) + L")"); };
    l.KeyDown = [add](forms::KeyArgs& e) { add(L"KeyDown(" + std::to_wstring(e.KeyCode) + L")"); };
    l.KeyUp = [add](forms::KeyArgs& e) { add(L"KeyUp(" + std::to_wstring(e.KeyCode) + L")"); };
    l.KeyPress = [add](forms::KeyPressArgs& e) { add(L"KeyPress(" + std::to_wstring(e.KeyAscii) + L")"); };
}

std::vector<std::wstring> ListHost::Take()
{
    std::vector<std::wstring> taken;
    taken.swap(events_);
    return taken;
}

int ListHost::ClientWidth() const
{
    RECT r{};
    GetClientRect(hwnd(), &r);
    return r.right;
}

int ListHost::ClientHeight() const
{
    RECT r{};
    GetClientRect(hwnd(), &r);
    return r.bottom;
}

std::vector<uint32_t> ListHost::Pixels() const
{
    UpdateWindow(hwnd());
    const int w = ClientWidth();
    const int h = ClientHeight();
    quill::test::DibCanvas canvas(w, h);
    {
        forms::gdi::WindowDc window(hwnd());
        BitBlt(canvas.Dc(), 0, 0, w, h, window, 0, 0, SRCCOPY);
    }
    return canvas.Pixels();
}

uint32_t ListHost::Pixel(int x, int y) const
{
    UpdateWindow(hwnd());
    return Rgb(quill::test::WindowPixel(hwnd(), x, y));
}

std::wstring Padded(const std::wstring& text)
{
    return text + std::wstring(text.size(), L' ');
}

void FillProjects(ListView& list, int rows)
{
    static const wchar_t* const platforms[] = {L"\u4EBA\u4EBA\u8D37", L"\u966A\u6211\u8D37",
                                               L"\u5B9C\u4EBA\u8D37", L"\u62CD\u62CD\u8D37"};
    static const wchar_t* const names[] = {L"\u6D88\u8D39\u4FE1\u7528\u501F\u6B3E",
                                           L"\u8F66\u8D37\u5468\u8F6C", L"\u7ECF\u8425\u8D37A&B",
                                           L"\u623F\u4EA7\u62B5\u62BC"};
    if (list.ColumnCount() == 0) {
        list.AddColumn(L"platform", L"\u5E73\u53F0", 0, 90);
        list.AddColumn(L"name", L"\u9879\u76EE\u540D\u79F0", 0, 150);
        list.AddColumn(L"amount", L"\u91D1\u989D", 1, 90);
        list.AddColumn(L"rate", L"\u5E74\u5316", 2, 70);
        list.AddColumn(L"due", L"\u5230\u671F\u65E5", 0, 90);
    }
    const bool redraw = list.Redraw();
    list.Redraw(false);
    for (int i = 0; i < rows; ++i) {
        const int32_t row = list.AddItem(-1, Padded(platforms[i % 4]));
        list.ItemTag(row, 1000 + i);
        list.ItemText(row, 1, Padded(names[(i / 4) % 4]) + std::to_wstring(i));
        list.ItemText(row, 2, std::to_wstring(10000 + i * 250) + L".00");
        list.ItemText(row, 3, std::to_wstring(8 + i % 7) + L".5%");
        list.ItemText(row, 4, L"2016-" + std::to_wstring(1 + i % 12) + L"-" + std::to_wstring(1 + i % 28));
    }
    list.Redraw(redraw);
}

SCROLLINFO Bar(HWND hwnd, int bar)
{
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(hwnd, bar, &info);
    return info;
}

}  // namespace quill::listview::test
