// The updater's button: no IconSizeH, icons drawn IconSize by IconSize, and
// a repaint when the focus leaves the control; the main program's button,
// built from the same sources, keeps both the other way.
#include "ButtonHost.h"

#include <gtest/gtest.h>

using namespace quill;

using namespace quill::button;

namespace {

struct UpdaterButtons {
    forms::Loaded<UpdaterStyledButton> a, b;
};
using UpdaterForm = test::HostForm<UpdaterButtons>;

int CountRed(const StyledButtonBase& b)
{
    int red = 0;
    for (int y = 0; y < b.ScaleHeight(); ++y)
        for (int x = 0; x < b.ScaleWidth(); ++x)
            red += b.Point(x, y) == RGB(255, 0, 0);
    return red;
}

// Drawing notifications of the surface; each repaint gives two.
int CountDrawing(StyledButtonBase& b, const std::function<void()>& act)
{
    int n = 0;
    auto previous = b.Graphics().onDrawn;
    b.Graphics().onDrawn = [&] {
        ++n;
        if (previous)
            previous();
    };
    act();
    b.Graphics().onDrawn = previous;
    return n;
}

TEST(UpdaterButton, HasNoIconSizeHAndDrawsSquareIcons)
{
    auto icon = SolidIcon(RGB(255, 0, 0), RGB(255, 0, 0));
    forms::PropertyBag layout{{L"Style", 10},    {L"Caption", L""}, {L"Icon", icon},
                              {L"IconAlign", 1}, {L"IconSize", 16}, {L"IconSizeH", 8}};
    UpdaterForm form([&](UpdaterForm& f) { f.a.Load(f, Place(L"a", 10, 10, 80, 40), &layout); });
    form.Show();
    const int red = CountRed(*form.a);
    EXPECT_EQ(red, 16 * 16);
    EXPECT_EQ(form.a->Point(7, 12), RGB(255, 0, 0));  // (7, (40 - 16) / 2)

    forms::PropertyBag saved;
    form.a->SaveProperties(saved);
    EXPECT_FALSE(saved.Contains(L"IconSizeH"));
    EXPECT_EQ(saved.ReadProperty(L"IconSize", 0), 0);  // 16 is the default, not written
    form.Unload();
}

TEST(UpdaterButton, RepaintsWhenTheFocusLeaves)
{
    forms::PropertyBag layout{{L"Style", 10}};
    UpdaterForm form([&](UpdaterForm& f) {
        f.a.Load(f, Place(L"a", 10, 10, 80, 40), &layout);
        f.b.Load(f, Place(L"b", 10, 60, 80, 40), &layout);
    });
    form.Show();
    form.a->SetFocus();
    // Lost focus and then the focus leaving: two repaints.
    EXPECT_EQ(CountDrawing(*form.a, [&] { form.b->SetFocus(); }), 4);
    form.Unload();
}

TEST(MainProgramButton, KeepsIconSizeHAndRepaintsOnceWhenTheFocusLeaves)
{
    auto icon = SolidIcon(RGB(255, 0, 0), RGB(255, 0, 0));
    forms::PropertyBag layout{{L"Style", 10},    {L"Caption", L""}, {L"Icon", icon},
                              {L"IconAlign", 1}, {L"IconSize", 16}, {L"IconSizeH", 8}};
    HostForm form([&](HostForm& f) {
        f.a.Load(f, Place(L"a", 10, 10, 80, 40), &layout);
        f.b.Load(f, Place(L"b", 10, 60, 80, 40), &layout);
    });
    form.Show();
    const int red = CountRed(*form.a);
    EXPECT_EQ(red, 16 * 8);
    EXPECT_EQ(form.a->IconSizeH(), 8);
    forms::PropertyBag saved;
    form.a->SaveProperties(saved);
    EXPECT_EQ(saved.ReadProperty(L"IconSizeH", 0), 8);
    form.a->SetFocus();
    EXPECT_EQ(CountDrawing(*form.a, [&] { form.b->SetFocus(); }), 2);
    form.Unload();
}

}  // namespace
