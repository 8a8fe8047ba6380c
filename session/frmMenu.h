// The owner-drawn popup menu: a window of its own, layered with a magenta
// colour key around a rounded panel drawn with GDI+ (a blue gradient, a
// highlight bar under the item the mouse is over, fading separator lines).
// A caller fills it with text items and separators, shows it at a screen
// point and hears of the clicked item through its Callback; the menu closes
// when an item is clicked, when it loses activation, or by UnloadMenu.
#pragma once

#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Loaded.h"
#include "forms/TimerControl.h"
#include "session/mGDIp.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quill::session {

// The receiver of a menu's clicks.
class MenuCallback {
public:
    virtual void MenuItemClicked(std::int32_t MenuID, std::int32_t itemID) = 0;

protected:
    ~MenuCallback() = default;
};

class frmMenu : public forms::Form {
public:
    frmMenu();

    // Receives MenuItemClicked; set after loading, before ShowMenu.
    MenuCallback* Callback = nullptr;

    void InitMenu(std::int32_t MenuListID, std::int32_t MenuWidth);
    // ItemType 0 is a text item, anything else a separator. Icon is a GDI+
    // image (the caller's; drawn, never freed here), null for none.
    void AddMenu(std::int32_t itemID, std::int32_t ItemType, const std::wstring& Caption,
                 Gdiplus::GpImage* Icon = nullptr, std::int32_t IconW = 0, std::int32_t IconH = 0);
    // Renders the menu and shows it with its top left at (x, y) screen
    // pixels, or to the left of / above the point where it would not fit;
    // a coordinate of 0 leaves that side of the window where it is.
    void ShowMenu(float x, float y, float OutSkip);
    void UnloadMenu();

    struct MenuItem {
        std::int32_t itemID = 0;
        std::int32_t ItemType = 0;
        Gdiplus::GpImage* Icon = nullptr;
        std::int32_t IconW = 0, IconH = 0;
        std::wstring Caption;
        std::int32_t captionLength = 0;
        // The text's layout rectangle; a separator has only y.
        float x = 0, y = 0, width = 0, height = 0;
    };
    const std::vector<MenuItem>& Items() const { return items_; }
    std::int32_t RunningHeight() const { return runningHeight_; }
    std::int32_t HotItem() const { return hotItem_; }
    std::int32_t MenuWidth() const { return menuWidth_; }
    // Counts the menu's loads: an unload asked for by one showing must not
    // close the next.
    std::uint64_t Showing() const { return showing_; }

    forms::ControlArray<forms::Label> lblC;
    forms::Loaded<forms::TimerControl> timMouse;

protected:
    void CreateControls() override;
    void Form_Load() override;
    void Form_Unload(int16_t& Cancel) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void WireLabel(forms::Label& label);
    void lblC_MouseMove(int index);
    void lblC_Click(int index);
    void timMouse_Timer();
    void SetHotItem(std::int32_t item);
    void Repaint();
    void MakePictures();
    void FreeDrawing();

    std::int32_t menuListId_ = 0;
    std::int32_t menuWidth_ = 0;
    std::int32_t runningHeight_ = 0;
    std::int32_t hotItem_ = -1;
    std::vector<MenuItem> items_;
    std::uint64_t showing_ = 0;

    // GDI+ runs while the menu is loaded; every object below is freed
    // before it stops.
    std::unique_ptr<GdiplusSession> gdiplus_;
    GraphicsOwner surface_;
    BitmapOwner background_, highlight_, separator_;
    SolidBrushOwner normalText_, hotText_;
    FontFamilyOwner fontFamily_;
    FontOwner font_;
    StringFormatOwner format_;
};

// The program's one menu window.
frmMenu& MenuWindow();

}  // namespace quill::session
