// The intrinsic controls as real child windows: their events from real
// messages, values set in code, and what they draw.
#include "ProbeControl.h"

#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/Image.h"
#include "forms/lang/Error.h"
#include "forms/Line.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/PictureBox.h"
#include "forms/Pump.h"
#include "forms/Resources.h"
#include "forms/TextBox.h"

#include <gtest/gtest.h>

using namespace quill;

using forms::ControlArgs;
using Log = std::vector<std::wstring>;

namespace {

ControlArgs At(const wchar_t* name, int row, int height = 300)
{
    return {.name = name, .left = 150, .top = 150 + row * 450, .width = 2400, .height = height};
}

class ControlsTest : public ::testing::Test {
protected:
    forms::EventLog log;
    std::function<void(quill::forms::probe::LayoutForm&)> layout;
    quill::forms::probe::LayoutForm form{[this](quill::forms::probe::LayoutForm& f) { layout(f); },
                                         {.caption = L"Controls", .clientWidth = 9000, .clientHeight = 7500}};
    void TearDown() override { form.Unload(); }
};

TEST_F(ControlsTest, TextBoxKeysAreAnsweredByReferenceAndItsLimitsHold)
{
    forms::Loaded<forms::TextBox> pass, other;
    layout = [&](quill::forms::probe::LayoutForm& f) {
        pass.Load(f, At(L"cPass", 0), forms::TextBoxArgs{.passwordChar = L'*', .maxLength = 4});
        other.Load(f, At(L"other", 1));
    };
    form.Show();
    pass->KeyDown = [&](forms::KeyArgs& e) { log.Add(L"KeyDown " + std::to_wstring(e.KeyCode)); };
    pass->KeyPress = [&](forms::KeyPressArgs& e) {
        if (e.KeyAscii == 'x')
            e.KeyAscii = 0;  // swallowed
        else if (e.KeyAscii == 'a')
            e.KeyAscii = 'b';  // replaced
    };
    pass->GotFocus = [&] { log.Add(L"GotFocus"); };
    pass->LostFocus = [&] { log.Add(L"LostFocus"); };
    std::wstring changes;
    pass->Change = [&] { changes = pass->Text(); };
    other->SetFocus();
    log.Clear();
    pass->SetFocus();
    for (wchar_t c : std::wstring(L"axc记12"))
        SendMessageW(pass->hWnd(), WM_CHAR, c, 0);
    SendMessageW(pass->hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(pass->Text(), L"bc记1");  // at most 4 characters
    EXPECT_EQ(pass->PasswordChar(), L'*');
    other->SetFocus();
    EXPECT_EQ(log.Entries(), (Log{L"GotFocus", L"KeyDown 13", L"LostFocus"}));
    EXPECT_EQ(changes, L"bc记1");

    pass->Text(L"abcdef");  // code is not limited, and changes raise Change
    EXPECT_EQ(pass->Text(), L"abcdef");
    pass->SelStart(1);
    pass->SelLength(2);
    EXPECT_EQ(pass->SelText(), L"bc");
}

TEST_F(ControlsTest, TextBoxDoubleClickAndMultiLine)
{
    forms::Loaded<forms::TextBox> memo;
    layout = [&](quill::forms::probe::LayoutForm& f) {
        memo.Load(f, At(L"memo", 0, 900), forms::TextBoxArgs{.multiLine = true});
    };
    form.Show();
    log.Record(memo->DblClick, L"DblClick");
    log.Record(memo->Click, L"Click");
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(memo->hWnd(), m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(log.Entries(), (Log{L"Click", L"DblClick"}));
    memo->Text(L"line 1\r\nline 2");
    EXPECT_EQ(SendMessageW(memo->hWnd(), EM_GETLINECOUNT, 0, 0), 2);
}

TEST_F(ControlsTest, ComboBoxClickComesAlsoFromCodeInBothStyles)
{
    forms::Loaded<forms::ComboBox> list, combo;
    layout = [&](quill::forms::probe::LayoutForm& f) {
        list.Load(f, At(L"list", 0), forms::ComboBoxArgs{.style = forms::vbComboDropdownList});
        combo.Load(f, At(L"combo", 1),
                   forms::ComboBoxArgs{.style = forms::vbComboDropdown, .text = L"typed"});
    };
    form.Show();
    for (auto* c : {list.get(), combo.get()}) {
        c->AddItem(L"全部");
        c->AddItem(L"平台A");
        c->AddItem(L"first", 0);
        c->ItemData(c->NewIndex(), 7);
    }
    log.Record(list->Click, L"list Click");
    log.Record(combo->Click, L"combo Click");
    log.Record(combo->Change, L"combo Change");
    EXPECT_EQ(list->ListCount(), 3);
    EXPECT_EQ(list->List(0), L"first");
    EXPECT_EQ(list->ItemData(0), 7);
    EXPECT_EQ(list->ListIndex(), -1);
    EXPECT_EQ(combo->Text(), L"typed");

    list->ListIndex(1);
    list->ListIndex(1);  // no change, no Click
    combo->ListIndex(2);
    EXPECT_EQ(combo->Text(), L"平台A");
    list->Text(L"平台A");
    EXPECT_EQ(list->ListIndex(), 2);
    EXPECT_THROW(list->Text(L"nothing"), forms::RuntimeError);
    // The user's choice through the window.
    SendMessageW(list->hWnd(), CB_SETCURSEL, 0, 0);
    SendMessageW(form.hWnd(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list->hWnd()));
    EXPECT_EQ(log.Entries(), (Log{L"list Click", L"combo Click", L"list Click", L"list Click"}));
    EXPECT_EQ(list->ListIndex(), 0);
    list->RemoveItem(0);
    EXPECT_EQ(list->ListCount(), 2);
    list->Clear();
    EXPECT_EQ(list->ListIndex(), -1);
}

TEST_F(ControlsTest, ListBoxSelectionAndDoubleClick)
{
    forms::Loaded<forms::ListBox> box;
    layout = [&](quill::forms::probe::LayoutForm& f) { box.Load(f, At(L"box", 0, 1500)); };
    form.Show();
    box->AddItem(L"one");
    box->AddItem(L"two");
    log.Record(box->Click, L"Click");
    log.Record(box->DblClick, L"DblClick");
    box->ListIndex(1);
    int itemHeight = static_cast<int>(SendMessageW(box->hWnd(), LB_GETITEMHEIGHT, 0, 0));
    LPARAM first = MAKELPARAM(5, itemHeight / 2);
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(box->hWnd(), m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, first);
    EXPECT_EQ(box->ListIndex(), 0);
    EXPECT_EQ(log.Entries(), (Log{L"Click", L"Click", L"DblClick"}));
}

TEST_F(ControlsTest, CheckOptionAndCommandButtons)
{
    forms::Loaded<forms::CheckBox> check;
    forms::Loaded<forms::OptionButton> opt1, opt2;
    forms::Loaded<forms::CommandButton> ok;
    layout = [&](quill::forms::probe::LayoutForm& f) {
        check.Load(f, At(L"check", 0), forms::CheckBoxArgs{.caption = L"&Remember"});
        opt1.Load(f, At(L"opt1", 1), forms::OptionButtonArgs{.caption = L"One", .value = true});
        opt2.Load(f, At(L"opt2", 2), forms::OptionButtonArgs{.caption = L"Two"});
        ok.Load(f, At(L"ok", 3), forms::CommandButtonArgs{.caption = L"OK", .isDefault = true});
    };
    form.Show();
    log.Record(check->Click, L"check Click");
    log.Record(opt1->Click, L"opt1 Click");
    log.Record(opt2->Click, L"opt2 Click");
    log.Record(ok->Click, L"ok Click");

    SendMessageW(check->hWnd(), BM_CLICK, 0, 0);  // a real click through the window
    EXPECT_EQ(check->Value(), forms::vbChecked);
    EXPECT_EQ(SendMessageW(check->hWnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
    check->Value(forms::vbUnchecked);  // code raises Click too
    SendMessageW(opt2->hWnd(), BM_CLICK, 0, 0);
    EXPECT_FALSE(opt1->Value());
    EXPECT_TRUE(opt2->Value());
    EXPECT_FALSE(opt1->TabStopNow());  // Tab stops only at the chosen option
    SendMessageW(ok->hWnd(), BM_CLICK, 0, 0);
    // Enter in another control presses the default button; Alt+R the check box.
    opt2->SetFocus();
    PostMessageW(opt2->hWnd(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(opt2->hWnd(), WM_SYSCHAR, 'r', 0);
    forms::DoEvents();
    EXPECT_EQ(log.Entries(),
              (Log{L"check Click", L"check Click", L"opt2 Click", L"ok Click", L"ok Click", L"check Click"}));
}

TEST_F(ControlsTest, PictureBoxImageAndLineDraw)
{
    forms::Loaded<forms::PictureBox> box;
    forms::Loaded<forms::Image> image;
    forms::Loaded<forms::Line> line;
    auto gif = forms::Picture::FromBytes(forms::LoadResData(101));
    ASSERT_TRUE(gif);
    layout = [&](quill::forms::probe::LayoutForm& f) {
        box.Load(f, At(L"box", 0, 1500), forms::PictureBoxArgs{.borderStyle = 0, .backColor = 0xFFFFFF});
        image.Load(f, {.name = L"image", .left = 3000, .top = 150}, forms::ImageArgs{.picture = gif});
        line.Load(f, {.name = L"line"},
                  forms::LineArgs{.x1 = 150, .y1 = 3000, .x2 = 3150, .y2 = 3000, .borderColor = 0x0000FF});
    };
    form.Show();
    box->Graphics().Line(10, 10, 19, 19, 0xFF0000, forms::Surface::Box::Filled);
    EXPECT_EQ(box->Point(15, 15), 0xFF0000);
    EXPECT_EQ(box->Point(5, 5), 0xFFFFFF);
    EXPECT_EQ(image->Width(), gif->Width() * 15);  // an image takes its picture's size

    UpdateWindow(form.hWnd());
    UpdateWindow(box->hWnd());
    HDC dc = GetDC(form.hWnd());
    EXPECT_EQ(GetPixel(dc, 50, 200), RGB(255, 0, 0));  // the line, across the form
    ReleaseDC(form.hWnd(), dc);
    dc = GetDC(box->hWnd());
    EXPECT_EQ(GetPixel(dc, 15, 15), RGB(0, 0, 255));  // the retained drawing, blitted
    ReleaseDC(box->hWnd(), dc);
}

}  // namespace
