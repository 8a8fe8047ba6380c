#include "controls/small/cChooseComboBox.h"

#include "controls/small/LoginControlPictures.h"
#include "forms/Screen.h"

#include <algorithm>
#include <cmath>

namespace quill::small {

namespace {

constexpr forms::OleColor ControlBackColor = 0xFFF4E4;
constexpr forms::OleColor HoverGlowColor = 0xFFE485;
constexpr forms::OleColor FrameColor = 0xD1A04E;
constexpr forms::OleColor InteriorColor = 0xFFFFFF;
constexpr int FixedHeight = 26;
constexpr int DropListHeight = 200;
constexpr int HoverInterval = 55;
// The text field ends where the drop label begins. Running on to 5 pixels
// short of the right edge it would lie over the label's left 20 pixels,
// hiding its arrow and leaving only a 3-pixel strip of it to click.
constexpr int FieldLeft = 25;
constexpr int DropLabelFromRight = 25;

int Round(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

int FieldWidth(int controlWidth)
{
    return std::max(controlWidth - DropLabelFromRight - FieldLeft, 0);
}

}  // namespace

cChooseComboBox::cChooseComboBox()
    : imgQQ(MakePicture(AccountIconPicture())), imgBorder_C(MakePicture(BorderCornerPicture())),
      imgBorder_Top(MakePicture(BorderTopPicture())), imgBorder_Left(MakePicture(BorderLeftPicture())),
      imgDown_Normal(MakePicture(DropPicture(DropLook::Normal))),
      imgDown_Over(MakePicture(DropPicture(DropLook::Over))),
      imgDown_Down(MakePicture(DropPicture(DropLook::Down)))
{
    drop_.Picked = [this](std::size_t index) { drop_Picked(index); };
}

cChooseComboBox::~cChooseComboBox() = default;

std::wstring cChooseComboBox::Text() const
{
    return field_.Text();
}

// The text colour stays as it is: text put over the placeholder keeps its grey.
void cChooseComboBox::Text(const std::wstring& value)
{
    field_.WriteText(value);
    PropertyChanged(L"Text");
}

void cChooseComboBox::LoadConstituents()
{
    AutoRedraw = true;
    UserControl::BackColor(ControlBackColor);
    const int w = ScaleWidth();
    txtMain.Load(*this,
                 forms::ControlArgs{
                     .name = L"txtMain", .left = FieldLeft, .top = 6, .width = FieldWidth(w), .height = 15},
                 forms::TextBoxArgs{.maxLength = 20,
                                    .borderStyle = 0,
                                    .backColor = InteriorColor,
                                    .font = forms::Font::New(L"Verdana", 9)});
    cmdDown.Load(*this,
                 forms::ControlArgs{
                     .name = L"cmdDown", .left = w - DropLabelFromRight, .top = 2, .width = 23, .height = 22},
                 forms::LabelArgs{.backStyle = 0});
    timMouse.Load(*this, forms::ControlArgs{.name = L"timMouse"},
                  forms::TimerArgs{.interval = HoverInterval, .enabled = false});

    txtMain->GotFocus = [this] { txtMain_GotFocus(); };
    txtMain->LostFocus = [this] { txtMain_LostFocus(); };
    txtMain->Change = [this] { txtMain_Change(); };
    txtMain->Click = [this] { Click(); };
    txtMain->DblClick = [this] { DblClick(); };
    txtMain->KeyDown = [this](forms::KeyArgs& e) { KeyDown(e); };
    txtMain->KeyPress = [this](forms::KeyPressArgs& e) { KeyPress(e); };
    txtMain->KeyUp = [this](forms::KeyArgs& e) { KeyUp(e); };
    txtMain->MouseDown = [this](forms::MouseArgs& e) { MouseDown(e); };
    txtMain->MouseMove = [this](forms::MouseArgs& e) { txtMain_MouseMove(e); };
    txtMain->MouseUp = [this](forms::MouseArgs& e) { MouseUp(e); };
    cmdDown->MouseDown = [this](forms::MouseArgs& e) { cmdDown_MouseDown(e); };
    cmdDown->MouseMove = [this](forms::MouseArgs& e) { cmdDown_MouseMove(e); };
    cmdDown->MouseUp = [this](forms::MouseArgs& e) { cmdDown_MouseUp(e); };
    cmdDown->Click = [this] { cmdDown_Click(); };
    timMouse->Timer = [this] { timMouse_Timer(); };
}

void cChooseComboBox::UserControl_InitProperties()
{
    LoadConstituents();
}

void cChooseComboBox::UserControl_ReadProperties(forms::PropertyBag& PropBag)
{
    LoadConstituents();
    field_.WriteText(PropBag.ReadProperty(L"Text", L""));
}

void cChooseComboBox::UserControl_WriteProperties(forms::PropertyBag& PropBag)
{
    PropBag.WriteProperty(L"Text", txtMain->Text(), L"");
}

void cChooseComboBox::UserControl_Resize()
{
    Extender().Height(Round(FixedHeight * forms::Screen::TwipsPerPixelY()));
    if (txtMain)
        txtMain->Width(FieldWidth(ScaleWidth()));
    if (cmdDown)
        cmdDown->Left(ScaleWidth() - DropLabelFromRight);
    DrawComboFrame();
}

// ---- the text field and its placeholder

std::wstring cChooseComboBox::FieldText() const
{
    return txtMain ? txtMain->Text() : std::wstring();
}

void cChooseComboBox::WriteFieldText(const std::wstring& text)
{
    if (txtMain)
        txtMain->Text(text);
}

void cChooseComboBox::SetFieldTextColor(std::uint32_t colour)
{
    txtMain->ForeColor(colour);
}

void cChooseComboBox::SelectAllText()
{
    txtMain->SelStart(0);
    txtMain->SelLength(static_cast<std::int32_t>(txtMain->Text().size()));
}

void cChooseComboBox::txtMain_Change()
{
    if (field_.TextChanged())
        Change();
}

// ---- drawing

void cChooseComboBox::DrawComboFrame()
{
    forms::Surface& g = Graphics();
    const int W = ScaleWidth(), H = ScaleHeight();
    g.Cls();
    if (hot_)
        g.Line(0, 0, W - 1, H - 1, HoverGlowColor, forms::Surface::Box::Border);
    g.Line(1, 1, W - 2, H - 2, FrameColor, forms::Surface::Box::Border);
    g.Line(2, 2, W - 3, H - 3, InteriorColor, forms::Surface::Box::Filled);
    PaintPicture(g, imgBorder_Top, 4, 2, W - 6, 2);
    PaintPicture(g, imgBorder_Left, 2, 4, 2, H - 6);
    PaintPicture(g, imgBorder_C, 2, 2);
    PaintPicture(g, imgQQ, 2, 2);
    DrawDropLabel();
}

// The drop label itself is transparent: its look is painted on the surface beneath it.
void cChooseComboBox::DrawDropLabel()
{
    if (!cmdDown)
        return;
    const forms::Picture::Ref& look = dropLook_ == DropLook::Down   ? imgDown_Down
                                      : dropLook_ == DropLook::Over ? imgDown_Over
                                                                    : imgDown_Normal;
    PaintPicture(Graphics(), look, cmdDown->Left(), cmdDown->Top());
}

void cChooseComboBox::SetDropLook(DropLook look)
{
    if (look == dropLook_)
        return;
    dropLook_ = look;
    DrawDropLabel();
}

// ---- hover

// Over any part of the control: the glow comes, and the timer watches for
// the cursor to leave (the text field and the label take the mouse's
// moves, so no move tells the control that the mouse has left).
void cChooseComboBox::Hover()
{
    timMouse->Enabled(true);
    const bool wasHot = hot_;
    hot_ = true;
    if (!wasHot)
        DrawComboFrame();
}

void cChooseComboBox::UserControl_MouseMove(forms::MouseArgs&)
{
    SetDropLook(DropLook::Normal);
    Hover();
}

void cChooseComboBox::txtMain_MouseMove(forms::MouseArgs& e)
{
    MouseMove(e);
    SetDropLook(DropLook::Normal);
    Hover();
}

void cChooseComboBox::cmdDown_MouseMove(forms::MouseArgs& e)
{
    SetDropLook(e.Button == forms::vbLeftButton ? DropLook::Down : DropLook::Over);
    Hover();
}

void cChooseComboBox::cmdDown_MouseDown(forms::MouseArgs&)
{
    SetDropLook(DropLook::Down);
}

void cChooseComboBox::cmdDown_MouseUp(forms::MouseArgs&)
{
    SetDropLook(DropLook::Normal);
}

void cChooseComboBox::timMouse_Timer()
{
    POINT pt{};
    GetCursorPos(&pt);
    RECT r{};
    GetWindowRect(hWnd(), &r);
    // The rectangle's right and bottom lie one pixel past the window; a
    // cursor there still counts as inside.
    if (pt.x < r.left || pt.x > r.right || pt.y < r.top || pt.y > r.bottom) {
        timMouse->Enabled(false);
        hot_ = false;
        dropLook_ = DropLook::Normal;
        DrawComboFrame();
    }
}

// ---- the drop window

void cChooseComboBox::cmdDown_Click()
{
    if (entries_.Count() == 0)
        return;
    RECT r{};
    GetWindowRect(hWnd(), &r);
    drop_.Move(GetAncestor(hWnd(), GA_ROOT), Round(r.left * forms::Screen::TwipsPerPixelX()),
               Round(r.bottom * forms::Screen::TwipsPerPixelY()),
               Round((r.right - r.left) * forms::Screen::TwipsPerPixelX()),
               Round(DropListHeight * forms::Screen::TwipsPerPixelY()));
    drop_.ReDrawDrop();
    drop_.Show();
}

// A picked account is the user's entry: the field takes the focus first (so a
// shown placeholder goes), then the text, which raises Change.
void cChooseComboBox::drop_Picked(std::size_t index)
{
    const std::wstring text = entries_.At(index);
    if (GetFocus() != txtMain->hWnd())
        txtMain->SetFocus();
    field_.WriteText(text);
    SelectAllText();
}

LRESULT cChooseComboBox::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // Focus given to the box belongs to its text field.
    if (msg == WM_SETFOCUS && txtMain && txtMain->CanTakeFocus()) {
        txtMain->SetFocus();
        return 0;
    }
    // The text field passes its wheel up here; while the list is open it scrolls the list.
    if (msg == WM_MOUSEWHEEL && drop_.Visible())
        return SendMessageW(drop_.hWnd(), msg, wp, lp);
    return UserControl::WndProc(msg, wp, lp);
}

}  // namespace quill::small
