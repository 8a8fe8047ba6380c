#pragma once
// What holds controls: a form, a frame, a picture box or a user control. It
// gives its children their parent window and units, decides whether they
// are effectively visible, keeps their tab order (a form and each user
// control have one of their own), and paints and routes the mouse for its
// windowless children (labels, images, lines), which have no window.
#include <windows.h>

#include <vector>

namespace quill::forms {

class Control;
class Form;

class ControlHolder;

class Container {
public:
    // Children still waiting for their deferred end lose their container.
    virtual ~Container();

    virtual HWND ContainerWindow() const = 0;
    virtual Form& ParentForm() = 0;
    // True while the container and everything around it is shown.
    virtual bool ShowsChildren() const = 0;
    // Pixels per unit of the children's Left, Top, Width and Height.
    virtual double PixelsPerUnitX() const = 0;
    virtual double PixelsPerUnitY() const = 0;
    // The container around this one (nullptr for a form).
    virtual Container* OuterContainer() const = 0;

    // The children in z-order, bottom first.
    const std::vector<Control*>& Controls() const { return controls_; }

    // Holders of controls placed here that the form empties when it unloads;
    // a user control's own holders end with it instead.
    virtual void AdoptHolder(ControlHolder& holder) { OuterContainer()->AdoptHolder(holder); }

    // Tells every child (and theirs) to compare its effective visibility
    // with what it last reported.
    void UpdateChildrenShown();

protected:
    // The tab order this container keeps, or nullptr when its children take
    // part in the order of the container around it.
    virtual std::vector<Control*>* OwnTabOrder() { return nullptr; }

    // Windowless children: painting and mouse routing.
    void PaintWindowlessChildren(HDC dc);
    // Sends a mouse message to the windowless child under it (or holding the
    // mouse since a button went down); false when none takes it.
    bool RouteWindowlessMouse(UINT msg, WPARAM wp, LPARAM lp);
    bool SetWindowlessCursor();

private:
    friend class Control;
    friend class Form;
    std::vector<Control*>& TabOrder();
    std::vector<Control*>* FindTabOrder();
    Control* WindowlessAt(POINT px) const;

    std::vector<Control*> controls_;
    Control* mouseOwner_ = nullptr;
};

}  // namespace quill::forms
