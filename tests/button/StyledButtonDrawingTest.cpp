// What the button draws, read back from its surface: every Style in every
// state, themes, regions, icons, the caption, and no GDI object leaked.
#include "ButtonHost.h"
#include "FaceExpectations.h"

#include "controls/button/FaceCanvas.h"
#include "controls/button/PaintedStyles.h"
#include "forms/Gdi.h"

#include <gtest/gtest.h>
#include <uxtheme.h>
#include <vssym32.h>

#include <memory>

using namespace quill;
using namespace quill::button;

namespace {

enum class Look { Normal, Hot, Pressed, Disabled, Focused };
const Look kLooks[] = {Look::Normal, Look::Hot, Look::Pressed, Look::Disabled, Look::Focused};

const char* Name(Look l)
{
    switch (l) {
    case Look::Normal:
        return "normal";
    case Look::Hot:
        return "hot";
    case Look::Pressed:
        return "pressed";
    case Look::Disabled:
        return "disabled";
    default:
        return "focused";
    }
}

// A shown form with button `a` laid out from `layout` (no caption unless it
// says so) and `b` to take the focus away.
struct Shown {
    std::unique_ptr<HostForm> form;
    explicit Shown(forms::PropertyBag layout, int w = 80, int h = 24, bool design = false)
    {
        if (!layout.Contains(L"Caption"))
            layout.WriteProperty(L"Caption", L"");
        form = std::make_unique<HostForm>([layout, w, h](HostForm& f) {
            f.a.Load(f, Place(L"a", 10, 10, w, h), &layout);
            f.b.Load(f, Place(L"b", 10, 20 + h, 80, 24), &layout);
        });
        form->DesignMode = design;
        form->Show();
        b().SetFocus();
    }
    ~Shown() { form->Unload(); }
    StyledButton& a() { return *form->a; }
    StyledButton& b() { return *form->b; }

    // Brings `a` into the look; pressing also gives it the focus, as a real click does.
    void Enter(Look look)
    {
        HWND h = a().hWnd();
        switch (look) {
        case Look::Hot:
            SendMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
            break;
        case Look::Pressed:
            SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            break;
        case Look::Disabled:
            a().Enabled(false);
            break;
        case Look::Focused:
            a().SetFocus();
            break;
        default:
            break;
        }
    }
    FaceInputs Inputs(Look look) const
    {
        FaceInputs in;
        in.state = look == Look::Hot        ? StateHot
                   : look == Look::Pressed  ? StatePressed
                   : look == Look::Disabled ? StateDisabled
                                            : StateNormal;
        in.hasFocus = look == Look::Pressed || look == Look::Focused;
        in.useCustomColors = form->a->UseCustomColors();
        in.showFocus = form->a->ShowFocus();
        in.backColor = form->a->BackColor();
        in.highlightColor = form->a->HighlightColor();
        in.systemButtonFace = GetSysColor(COLOR_BTNFACE);
        in.systemHighlight = GetSysColor(COLOR_HIGHLIGHT);
        return in;
    }
};

void ExpectPixels(StyledButton& b, const std::vector<quill::button::facetest::ExpectedPixel>& expected)
{
    ASSERT_FALSE(expected.empty());
    for (const auto& px : expected)
        EXPECT_EQ(ColourName(static_cast<Colour>(b.Point(px.x, px.y))), ColourName(px.colour))
            << px.what << " at " << px.x << "," << px.y;
}

// ---- painted Styles 5, 7, 8, 9, 10 ---------------------------------------------

TEST(ButtonDrawing, PaintedStylesInEveryStateMatchTheirNumbers)
{
    for (bool custom : {false, true})
        for (int style : {5, 7, 8, 9, 10})
            for (Look look : kLooks) {
                SCOPED_TRACE(std::string("style ") + std::to_string(style) + " " + Name(look) +
                             (custom ? " custom" : ""));
                forms::PropertyBag layout{{L"Style", style}};
                if (custom)
                    layout = {{L"Style", style},
                              {L"USeCustomColors", true},
                              {L"BackColor", 0x6496C8},
                              {L"HighlightColor", 0xD77800}};
                const int h = style == 10 ? 40 : 24;
                Shown s(layout, 80, h);
                s.Enter(look);
                const FaceInputs in = s.Inputs(look);
                ExpectPixels(s.a(), quill::button::facetest::ExpectedFace(style, in, 80, h,
                                                                          GetSysColor(COLOR_BTNFACE)));

                // The platform's pens and pixels land where the raster's do.
                // Faces without a fill keep the colour the surface was cleared to.
                PixelCanvas raster(80, h, forms::TranslateColor(s.a().Graphics().BackColor()));
                PaintPaintedFace(raster, style, in);
                std::vector<Colour> want;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < 80; ++x)
                        want.push_back(raster.At(x, y));
                EXPECT_EQ(FirstDifference(SurfacePixels(s.a()), want, 80), "");
            }
}

TEST(ButtonDrawing, Style5DefaultButtonGlowsBlue)
{
    Shown s({{L"Style", 5}});
    s.a().Default(true);
    FaceInputs in = s.Inputs(Look::Normal);
    in.displayAsDefault = true;
    ExpectPixels(s.a(), quill::button::facetest::ExpectedFace(5, in, 80, 24));
}

TEST(ButtonDrawing, DesignSurfaceDrawsEveryStyleButFiveHot)
{
    for (int style : {5, 8, 10}) {
        Shown s({{L"Style", style}}, 80, 40, true);
        FaceInputs in = s.Inputs(style == 5 ? Look::Normal : Look::Hot);
        in.hasFocus = s.a().HasFocus();
        ExpectPixels(s.a(),
                     quill::button::facetest::ExpectedFace(style, in, 80, 40, GetSysColor(COLOR_BTNFACE)));
    }
}

// ---- Styles 0 to 4 against the platform's edges ------------------------------------

std::vector<Colour> EdgeReference(int w, int h, COLORREF face, UINT edge, bool blackBox = false)
{
    return Reference(w, h, [&](HDC dc) {
        FillDc(dc, 0, 0, w, h, face);
        if (edge) {
            RECT r{0, 0, w, h};
            DrawEdge(dc, &r, edge, BF_RECT);
        }
        if (blackBox) {
            FillDc(dc, 0, 0, w, 1, 0);
            FillDc(dc, 0, h - 1, w, 1, 0);
            FillDc(dc, 0, 0, 1, h, 0);
            FillDc(dc, w - 1, 0, 1, h, 0);
        }
    });
}

TEST(ButtonDrawing, Styles0To2AreThePlatformsEdges)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    struct Case {
        int style;
        Look look;
        UINT edge;  // 0: a plain face
    } cases[] = {
        {0, Look::Normal, EDGE_RAISED},
        {0, Look::Hot, EDGE_RAISED},
        {0, Look::Pressed, EDGE_SUNKEN},
        {0, Look::Disabled, EDGE_RAISED},
        {0, Look::Focused, EDGE_RAISED},
        {1, Look::Normal, BDR_RAISEDINNER},
        {1, Look::Hot, BDR_RAISEDINNER},
        {1, Look::Pressed, BDR_SUNKENOUTER},
        {1, Look::Disabled, 0},
        {1, Look::Focused, BDR_RAISEDINNER},
        {2, Look::Normal, 0},
        {2, Look::Hot, BDR_RAISEDINNER},
        {2, Look::Pressed, BDR_SUNKENOUTER},
        {2, Look::Disabled, 0},
        {2, Look::Focused, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("style ") + std::to_string(c.style) + " " + Name(c.look));
        Shown s({{L"Style", c.style}});
        s.Enter(c.look);
        EXPECT_EQ(FirstDifference(SurfacePixels(s.a()), EdgeReference(80, 24, face, c.edge), 80), "");
    }
}

TEST(ButtonDrawing, Style0DrawsItsFocusBoxWhenShownOrAsDefault)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    {
        Shown s({{L"Style", 0}, {L"ShowFocus", true}});
        s.Enter(Look::Focused);
        EXPECT_EQ(FirstDifference(SurfacePixels(s.a()), EdgeReference(80, 24, face, EDGE_RAISED, true), 80),
                  "");
    }
    {
        Shown s({{L"Style", 0}});
        s.a().Default(true);
        EXPECT_EQ(FirstDifference(SurfacePixels(s.a()), EdgeReference(80, 24, face, EDGE_RAISED, true), 80),
                  "");
    }
}

TEST(ButtonDrawing, CustomColoursOfStyles0To2)
{
    // Style 0 takes HighlightColor for every state but normal, disabled included;
    // Styles 1 and 2 keep BackColor when disabled.
    struct Case {
        int style;
        Look look;
        COLORREF face;
    } cases[] = {{0, Look::Normal, 0x6496C8},
                 {0, Look::Disabled, 0xD77800},
                 {1, Look::Disabled, 0x6496C8},
                 {2, Look::Hot, 0xD77800},
                 {2, Look::Disabled, 0x6496C8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("style ") + std::to_string(c.style) + " " + Name(c.look));
        Shown s({{L"Style", c.style},
                 {L"USeCustomColors", true},
                 {L"BackColor", 0x6496C8},
                 {L"HighlightColor", 0xD77800}});
        s.Enter(c.look);
        EXPECT_EQ(s.a().Point(40, 12), c.face);
    }
}

TEST(ButtonDrawing, Style3IsAnEtchedFrameAroundItsFill)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW),
                   window = GetSysColor(COLOR_WINDOW);
    for (Look look : kLooks) {
        SCOPED_TRACE(Name(look));
        Shown s({{L"Style", 3}});
        s.Enter(look);
        const COLORREF fill = look == Look::Hot       ? MixColors(shadow, face)
                              : look == Look::Pressed ? shadow
                                                      : face;
        const int W = 80, H = 24;
        ExpectPixels(s.a(), {{W / 2, H / 2, fill, "fill"},
                             {4, 4, fill, "fill corner"},
                             {2, H / 2, face, "face between frame and fill"},
                             {0, 5, shadow, "outer frame left"},
                             {5, 0, shadow, "outer frame top"},
                             {W - 2, 5, shadow, "outer frame right"},
                             {5, H - 2, shadow, "outer frame bottom"},
                             {1, 5, window, "inner frame left"},
                             {5, 1, window, "inner frame top"},
                             {W - 1, 5, window, "inner frame right"},
                             {5, H - 1, window, "inner frame bottom"},
                             {0, H - 1, fill, "corner"},
                             {W - 1, 0, fill, "corner"},
                             {1, H - 2, MixColors(window, shadow), "inner corner"},
                             {W - 2, 1, MixColors(window, shadow), "inner corner"}});
    }
}

TEST(ButtonDrawing, Style4FillsLightenedFaces)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (Look look : kLooks) {
        SCOPED_TRACE(Name(look));
        Shown s({{L"Style", 4}});
        s.Enter(look);
        std::vector<Colour> want;
        if (look == Look::Hot || look == Look::Pressed) {
            const Colour inner = LightenColor(highlight, look == Look::Hot ? 176 : 128);
            want = Reference(80, 24, [&](HDC dc) {
                FillDc(dc, 0, 0, 80, 24, highlight);
                FillDc(dc, 1, 1, 78, 22, inner);
            });
        } else {
            want = Reference(80, 24, [&](HDC dc) { FillDc(dc, 0, 0, 80, 24, LightenColor(face, 32)); });
        }
        EXPECT_EQ(FirstDifference(SurfacePixels(s.a()), want, 80), "");
    }
}

// ---- Style 6 and the theme -----------------------------------------------------------

TEST(ButtonDrawing, Style6IsTheThemesOwnPushButton)
{
    const struct {
        Look look;
        int state;
    } cases[] = {{Look::Normal, PBS_NORMAL},
                 {Look::Hot, PBS_HOT},
                 {Look::Pressed, PBS_PRESSED},
                 {Look::Disabled, PBS_DISABLED},
                 {Look::Focused, PBS_DEFAULTED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Name(c.look));
        Shown s({{L"Style", 6}});
        HTHEME theme = OpenThemeData(s.a().hWnd(), L"Button");
        if (!theme)
            GTEST_SKIP() << "no visual theme is active";
        s.Enter(c.look);
        auto want = Reference(80, 24, [&](HDC dc) {
            FillDc(dc, 0, 0, 80, 24, GetSysColor(COLOR_BTNFACE));
            RECT r{0, 0, 80, 24};
            DrawThemeBackground(theme, dc, BP_PUSHBUTTON, c.state, &r, &r);
        });
        CloseThemeData(theme);
        EXPECT_EQ(FirstDifference(SurfacePixels(s.a()), want, 80), "");
        EXPECT_EQ(s.a().Style(), 6);
    }
}

// Without a theme Style 6 draws NonThemeStyle's face from the first paint
// on, region and icon margin included, and stays Style 6: painting changes
// no property, so a saved layout keeps the designer's Style.
TEST(ButtonDrawing, Style6WithoutAThemeDrawsNonThemeStyleAndKeepsItsStyle)
{
    forms::PropertyBag layout{{L"Style", 6}, {L"Caption", L""}};
    // `a` after `b` in the tab order, so that showing the form focuses `b`.
    HostForm form([&](HostForm& f) {
        f.b.Load(f, Place(L"b", 10, 50, 80, 24), &layout);
        f.a.Load(f, Place(L"a", 10, 10, 80, 24), &layout);
    });
    form.Load();
    // An empty class list leaves the window without theme data.
    SetWindowTheme(form.a->hWnd(), L" ", L" ");
    ASSERT_EQ(OpenThemeData(form.a->hWnd(), L"Button"), nullptr);
    form.Show();
    ASSERT_FALSE(form.a->HasFocus());
    FaceInputs in;
    in.systemButtonFace = GetSysColor(COLOR_BTNFACE);
    ExpectPixels(*form.a, quill::button::facetest::ExpectedFace(5, in, 80, 24));
    EXPECT_EQ(form.a->Style(), 6);
    form.a->Refresh();
    ExpectPixels(*form.a, quill::button::facetest::ExpectedFace(5, in, 80, 24));
    EXPECT_EQ(form.a->Style(), 6);
    // A resize gives it Style 5's cut corners.
    form.a->Move(form.a->Left(), form.a->Top(), 81 * 15, 24 * 15);
    forms::gdi::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(form.a->hWnd(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 1, 0));
    forms::PropertyBag saved;
    form.a->SaveProperties(saved);
    EXPECT_EQ(saved.ReadProperty(L"Style", 3), 6);
    form.Unload();
}

// ---- window regions -----------------------------------------------------------------------

TEST(ButtonDrawing, EachStyleGivesTheWindowItsRegion)
{
    const int W = 80, H = 24;
    auto polygon = [](std::initializer_list<POINT> p) {
        std::vector<POINT> v(p);
        return CreatePolygonRgn(v.data(), static_cast<int>(v.size()), ALTERNATE);
    };
    for (int style = 0; style <= 10; ++style) {
        SCOPED_TRACE(style);
        Shown s({{L"Style", style}}, W, H);
        HRGN want = nullptr;
        if (style == 5 || style == 7)
            want = polygon({{0, 1}, {1, 0}, {W - 1, 0}, {W, 1}, {W, H - 2}, {W - 2, H}, {2, H}, {0, H - 2}});
        else if (style == 8 || style == 9)
            want = polygon({{0, 2}, {2, 0}, {W - 3, 0}, {W, 3}, {W, H - 3}, {W - 3, H}, {4, H}, {0, H - 4}});
        else if (style == 10)
            want = CreateRoundRectRgn(0, 0, W + 1, H + 1, 18, 18);
        else
            want = CreateRectRgn(0, 0, W, H);
        // What lies beyond the window (the round region's extra row and column) does not count.
        HRGN window = CreateRectRgn(0, 0, W, H);
        CombineRgn(want, want, window, RGN_AND);
        DeleteObject(window);
        HRGN got = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(s.a().hWnd(), got), ERROR);
        EXPECT_TRUE(EqualRgn(got, want));
        EXPECT_EQ(PtInRegion(got, 0, 0) != FALSE, style < 5 || style == 6);
        EXPECT_TRUE(PtInRegion(got, W / 2, H / 2));
        DeleteObject(got);
        DeleteObject(want);
    }
}

TEST(ButtonDrawing, ARegionGivenToTheWindowIsReplacedNotLeaked)
{
    Shown s({{L"Style", 8}});
    HRGN first = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(s.a().hWnd(), first);
    s.a().Style(10);
    HRGN second = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(s.a().hWnd(), second);
    EXPECT_FALSE(EqualRgn(first, second));
    DeleteObject(first);
    DeleteObject(second);
}

// ---- icons -----------------------------------------------------------------------------------

int CountColour(StyledButton& b, Colour c, RECT area)
{
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += b.Point(x, y) == c;
    return n;
}

TEST(ButtonIcons, PlacedByAlignAndMarginAndMovedWhenPressed)
{
    const COLORREF red = RGB(255, 0, 0);
    struct Case {
        int style, align;
        POINT at;
    } cases[] = {
        {8, 0, {32, 4}}, {8, 1, {4, 4}}, {8, 2, {60, 4}},  {8, 3, {32, 4}},  {8, 4, {32, 4}},
        {8, 7, {0, 0}},  {5, 1, {5, 4}}, {10, 2, {57, 4}}, {10, 3, {32, 7}},
    };
    for (const Case& c : cases) {
        for (bool pressed : {false, true}) {
            SCOPED_TRACE(std::to_string(c.style) + " align " + std::to_string(c.align) +
                         (pressed ? " pressed" : ""));
            forms::PropertyBag layout{
                {L"Style", c.style}, {L"IconAlign", c.align}, {L"Icon", SolidIcon(red, red)}};
            Shown s(layout);
            if (pressed)
                s.Enter(Look::Pressed);
            const int x = c.at.x + pressed, y = c.at.y + pressed;
            EXPECT_EQ(CountColour(s.a(), red, {x, y, x + 16, y + 16}), 256);
            EXPECT_EQ(CountColour(s.a(), red, {0, 0, 80, 24}), 256);
        }
    }
}

TEST(ButtonIcons, WidthIsIconSizeAndHeightIconSizeH)
{
    const COLORREF red = RGB(255, 0, 0);
    forms::PropertyBag layout{{L"Style", 8},
                              {L"IconAlign", 1},
                              {L"Icon", SolidIcon(red, red)},
                              {L"IconSize", 16},
                              {L"IconSizeH", 8}};
    Shown s(layout);
    EXPECT_EQ(CountColour(s.a(), red, {4, 8, 20, 16}), 16 * 8);
    EXPECT_EQ(CountColour(s.a(), red, {0, 0, 80, 24}), 16 * 8);
}

TEST(ButtonIcons, DisabledIconsAreGreyAndSwapWidthForHeight)
{
    const COLORREF red = RGB(255, 0, 0);
    const Colour grey = GrayscaleIconPixel(red);  // 0.33 x 255 = 84
    forms::PropertyBag layout{{L"Style", 8},
                              {L"IconAlign", 1},
                              {L"Icon", SolidIcon(red, red)},
                              {L"IconSize", 16},
                              {L"IconSizeH", 8}};
    Shown s(layout);
    s.Enter(Look::Disabled);
    EXPECT_EQ(CountColour(s.a(), red, {0, 0, 80, 24}), 0);
    // Placed for 16 x 8 at (4, 8), drawn 8 wide and 16 high.
    EXPECT_EQ(CountColour(s.a(), grey, {4, 8, 12, 24}), 8 * 16);
    EXPECT_EQ(CountColour(s.a(), grey, {0, 0, 80, 24}), 8 * 16);
}

TEST(ButtonIcons, MaskColourPixelsAreLeftOutAndGreyedWhenDisabled)
{
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    forms::PropertyBag layout{{L"Style", 8},
                              {L"IconAlign", 1},
                              {L"Icon", SolidIcon(red, blue)},
                              {L"UseMaskColor", true},
                              {L"MaskColor", 0x0000FF}};
    {
        Shown s(layout);
        EXPECT_EQ(CountColour(s.a(), red, {0, 0, 80, 24}), 0);
        EXPECT_EQ(CountColour(s.a(), blue, {12, 4, 20, 20}), 8 * 16);
    }
    {
        Shown s(layout);
        s.Enter(Look::Disabled);
        EXPECT_EQ(CountColour(s.a(), blue, {0, 0, 80, 24}), 0);
        EXPECT_EQ(CountColour(s.a(), GrayOfColor(blue), {12, 4, 20, 20}), 8 * 16);
    }
}

TEST(ButtonIcons, Style4HotIconCastsAGreyShadow)
{
    // Style 4, and Style 6 drawing Style 4 when no theme can draw it.
    const COLORREF red = RGB(255, 0, 0);
    for (int style : {4, 6}) {
        SCOPED_TRACE(style);
        forms::PropertyBag layout{
            {L"Style", style}, {L"iNonThemeStyle", 4}, {L"IconAlign", 1}, {L"Icon", SolidIcon(red, red)}};
        Shown s(layout);
        if (style == 6) {
            SetWindowTheme(s.a().hWnd(), L" ", L" ");
            ASSERT_EQ(OpenThemeData(s.a().hWnd(), L"Button"), nullptr);
        }
        s.Enter(Look::Hot);
        // The shadow at (4, 4) .. (20, 20) inclusive, the icon 2 pixels up and left.
        EXPECT_EQ(CountColour(s.a(), red, {2, 2, 18, 18}), 256);
        EXPECT_EQ(s.a().Point(19, 19), 0x808080);
        EXPECT_EQ(s.a().Point(18, 5), 0x808080);
        EXPECT_NE(s.a().Point(21, 21), 0x808080);
    }
}

TEST(ButtonIcons, PaintIconGrayscaleDrawsGreyAndKeepsTheEvenGreys)
{
    Shown s({{L"Style", 8}});
    auto draw = [&](COLORREF left, COLORREF right, int height, int width, bool* ok) {
        auto icon = SolidIcon(left, right);
        return Reference(16, 16, [&](HDC dc) {
            FillDc(dc, 0, 0, 16, 16, RGB(1, 2, 3));
            *ok = s.a().PaintIconGrayscale(dc, static_cast<HICON>(icon->Handle()), 0, 0, height, width);
        });
    };
    bool ok = false;
    auto px = draw(0x808080, 0x909090, 16, 16, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(px[0], 0x808080u);
    EXPECT_EQ(px[15], 0x949494u);
    px = draw(RGB(255, 0, 0), RGB(255, 0, 0), 4, 12, &ok);  // height first, then width
    EXPECT_TRUE(ok);
    EXPECT_EQ(px[11 + 3 * 16], GrayscaleIconPixel(RGB(255, 0, 0)));
    EXPECT_EQ(px[12 + 3 * 16], RGB(1, 2, 3));
    EXPECT_EQ(px[11 + 4 * 16], RGB(1, 2, 3));
    EXPECT_FALSE(s.a().PaintIconGrayscale(nullptr, LoadIconW(nullptr, IDI_APPLICATION), 0, 0, 16, 16));
    EXPECT_FALSE(s.a().PaintIconGrayscale(s.a().hDC(), nullptr, 0, 0, 16, 16));
}

// ---- caption ----------------------------------------------------------------------------------

TEST(ButtonCaption, DrawnInTheStatesColour)
{
    const COLORREF text = GetSysColor(COLOR_BTNTEXT), grey = GetSysColor(COLOR_GRAYTEXT);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), highlight = GetSysColor(COLOR_HIGHLIGHT);
    struct Case {
        Look look;
        bool custom;
        COLORREF colour;
    } cases[] = {{Look::Normal, false, text},
                 {Look::Disabled, false, grey},
                 {Look::Normal, true, RGB(200, 0, 0)},
                 {Look::Hot, true, RGB(0, 0, 200)},
                 {Look::Disabled, true, grey}};
    const std::wstring caption = L"\u767B\u5F55 MW";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(Name(c.look)) + (c.custom ? " custom" : ""));
        forms::PropertyBag layout{{L"Style", 4},
                                  {L"Caption", caption},
                                  {L"USeCustomColors", c.custom},
                                  {L"BackColor", face},
                                  {L"FontColor", 0x0000C8},
                                  {L"FontHighlightColor", 0xC80000},
                                  {L"Font", forms::Font::New(L"Verdana", 8.25)}};
        Shown s(layout);
        s.Enter(c.look);
        // The same text drawn by the platform on the same face.
        const COLORREF under = c.look == Look::Hot ? LightenColor(highlight, 176) : LightenColor(face, 32);
        auto want = Reference(80, 24, [&](HDC dc) {
            FillDc(dc, 0, 0, 80, 24, under);
            forms::gdi::FontHandle font = forms::Font::New(L"Verdana", 8.25)->CreateHandle();
            HGDIOBJ old = SelectObject(dc, font);
            SetTextColor(dc, c.colour);
            SetBkMode(dc, TRANSPARENT);
            RECT r{4, 4, 76, 20};
            DrawTextW(dc, caption.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
            SelectObject(dc, old);
        });
        auto got = SurfacePixels(s.a());
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 80; ++x)
                if (x < 4 || x >= 76 || y < 4 || y >= 20)
                    got[size_t(y) * 80 + x] = want[size_t(y) * 80 + x];
        EXPECT_EQ(FirstDifference(got, want, 80), "");
        EXPECT_NE(
            FirstDifference(got, Reference(80, 24, [&](HDC dc) { FillDc(dc, 0, 0, 80, 24, under); }), 80),
            "");
    }
}

// Painting reads the properties and changes none: in every Style and look
// the saved design before and after repaints is the same, and the Style is
// the stored one after the first paint.
TEST(ButtonDrawing, PaintingChangesNoStoredProperty)
{
    for (int style = 0; style <= 11; ++style)
        for (Look look : {Look::Normal, Look::Hot, Look::Pressed, Look::Disabled, Look::Focused}) {
            SCOPED_TRACE(std::to_string(style) + " " + Name(look));
            Shown s({{L"Style", style}, {L"Caption", L"OK"}, {L"UseCustomColors", style % 2 == 0}});
            // Without a theme too, where Style 6 draws another Style's face.
            if (style == 6 && look == Look::Focused)
                SetWindowTheme(s.a().hWnd(), L" ", L" ");
            s.Enter(look);
            forms::PropertyBag before;
            s.a().SaveProperties(before);
            s.a().Refresh();
            s.a().Refresh();
            forms::PropertyBag after;
            s.a().SaveProperties(after);
            ASSERT_EQ(after.Entries().size(), before.Entries().size());
            for (size_t i = 0; i < before.Entries().size(); ++i) {
                EXPECT_EQ(after.Entries()[i].key, before.Entries()[i].key);
                if (!std::holds_alternative<forms::Picture::Ref>(before.Entries()[i].value) &&
                    !std::holds_alternative<forms::Font::Ref>(before.Entries()[i].value)) {
                    EXPECT_EQ(after.Entries()[i].value, before.Entries()[i].value) << before.Entries()[i].key;
                }
            }
            EXPECT_EQ(s.a().Style(), style);
        }
}

TEST(ButtonCaption, AHiddenButtonOnlyClearsItsSurface)
{
    Shown s({{L"Style", 8}, {L"Caption", L"MMMM"}});
    s.a().Visible(false);
    s.a().Refresh();
    auto plain = Reference(
        80, 24, [&](HDC dc) { FillDc(dc, 0, 0, 80, 24, static_cast<COLORREF>(s.a().Point(0, 0))); });
    EXPECT_EQ(FirstDifference(SurfacePixels(s.a()), plain, 80), "");
    s.a().Visible(true);
    // The caption's ink is back: dark pixels on the light face.
    int ink = 0;
    for (int y = 4; y < 20; ++y)
        for (int x = 4; x < 76; ++x) {
            const auto c = static_cast<Colour>(s.a().Point(x, y));
            ink += GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128;
        }
    EXPECT_GT(ink, 10);
}

}  // namespace
