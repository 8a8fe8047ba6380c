// What the themed progress bar draws, read back from its surface and from
// the screen of the virtual display: the theme palettes, the grey disabled
// look, the fill, the nine text places, the five text effects and the two
// gradient methods. Each state is also written to the build's pictures
// (docs/ shows them).
#include "ProgressBarHost.h"

#include "controls/small/ProgressBarLayout.h"
#include "forms/Gdi.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

namespace quill::small {
namespace {

using bartest::BarBoard;
using bartest::Hex;
using bartest::InkOf;
using bartest::Near;
using bartest::PlacedBar;
using bartest::SaveDocsPicture;
using bartest::ScreenMatchesSurface;
using bartest::SurfacePixel;

constexpr Colour Custom1 = Rgb(200, 100, 0);
constexpr Colour Custom2 = Rgb(40, 90, 160);
constexpr Colour Blue = Rgb(0, 0, 255);
constexpr Colour Green = Rgb(0, 255, 0);
constexpr Colour White = Rgb(255, 255, 255);

// The colour a gradient fill gives at `pos` of `len` rows or columns (the
// platform may round it either way: compare with Near(..., 1)).
Colour Between(Colour from, Colour to, int pos, int len)
{
    auto mix = [&](int a, int b) { return (a * (len - pos) + b * pos) / len; };
    return Rgb(mix(RedOfColour(from), RedOfColour(to)), mix(GreenOfColour(from), GreenOfColour(to)),
               mix(BlueOfColour(from), BlueOfColour(to)));
}

ThemePalette PaletteOf(int theme)
{
    ThemePalette p{};
    LoadThemePalette(p, theme, Custom1, Custom2);
    return p;
}

// The pixels in the text colour are exactly those of the text printed alone
// in the bar's font at the place its alignment gives; the first difference.
std::string TextInkMatches(const ProgressBar& bar, const std::wstring& text, Colour colour)
{
    const int w = bar.ScaleWidth(), h = bar.ScaleHeight();
    test::DibCanvas canvas(w, h);
    forms::gdi::FontHandle font = bar.Font()->CreateHandle();
    {
        forms::gdi::Selection use(canvas.Dc(), font);
        SetBkMode(canvas.Dc(), TRANSPARENT);
        SetTextColor(canvas.Dc(), colour);
        SIZE size{};
        GetTextExtentPoint32W(canvas.Dc(), text.c_str(), static_cast<int>(text.size()), &size);
        TEXTMETRICW metrics{};
        GetTextMetricsW(canvas.Dc(), &metrics);
        const TextPlace at = TextPosition(bar.TextAlignment(), w, h, size.cx, metrics.tmHeight);
        TextOutW(canvas.Dc(), at.x, at.y, text.c_str(), static_cast<int>(text.size()));
    }
    const std::vector<uint32_t> alone = canvas.Pixels();
    int inked = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool want = (alone[static_cast<size_t>(y) * w + x] & 0xFFFFFF) == colour;
            inked += want;
            if ((SurfacePixel(bar, x, y) == colour) != want)
                return "at " + std::to_string(x) + "," + std::to_string(y);
        }
    return inked ? "" : "no text ink";
}

TEST(ProgressBarDrawing, ThemePalettesOnTheBands)
{
    std::vector<PlacedBar> placed;
    for (int theme = 1; theme <= 10; ++theme)
        placed.push_back({forms::PropertyBag{{L"Theme", theme},
                                             {L"TextStyle", 0},
                                             {L"PBSCustomeColor1", Custom1},
                                             {L"PBSCustomeColor2", Custom2}},
                          8, 8 + (theme - 1) * 48, 200, 40});
    BarBoard board(std::move(placed), 216, 488);
    for (int i = 0; i < board.Count(); ++i) {
        const ProgressBar& bar = board[i];
        const ThemePalette p = PaletteOf(bar.Theme());
        SCOPED_TRACE("theme " + std::to_string(bar.Theme()));
        // 200 x 40 at 50 of 100: bands split at row 20, the fill ends at x = 100.
        EXPECT_EQ(Hex(SurfacePixel(bar, 150, 20)), Hex(p[TrackLowerMiddle]));
        EXPECT_EQ(Hex(SurfacePixel(bar, 50, 20)), Hex(p[FillLowerMiddle]));
        EXPECT_EQ(Hex(SurfacePixel(bar, 99, 20)), Hex(p[FillLowerMiddle]));
        EXPECT_EQ(Hex(SurfacePixel(bar, 100, 20)), Hex(p[TrackLowerMiddle]));
        EXPECT_EQ(Hex(SurfacePixel(bar, 100, 0)), Hex(p[BorderEntry]));
        EXPECT_EQ(Hex(SurfacePixel(bar, 100, 38)), Hex(p[BorderEntry]));  // the outline ends at height - 2
        EXPECT_EQ(Hex(SurfacePixel(bar, 198, 20)), Hex(p[BorderEntry]));
        // Inside the bands the colours run from the outer edge to the middle.
        const struct {
            int x, y;
            Colour want;
        } runs[] = {
            {150, 1, Between(p[TrackUpperOuter], p[TrackUpperMiddle], 1, 20)},
            {150, 19, Between(p[TrackUpperOuter], p[TrackUpperMiddle], 19, 20)},
            {150, 37, Between(p[TrackLowerMiddle], p[TrackLowerOuter], 17, 20)},
            {50, 1, Between(p[FillUpperOuter], p[FillUpperMiddle], 1, 20)},
            {50, 19, Between(p[FillUpperOuter], p[FillUpperMiddle], 19, 20)},
            {50, 37, Between(p[FillLowerMiddle], p[FillLowerOuter], 17, 20)},
        };
        for (const auto& r : runs)
            EXPECT_TRUE(Near(SurfacePixel(bar, r.x, r.y), r.want, 1))
                << r.x << "," << r.y << ": " << Hex(SurfacePixel(bar, r.x, r.y)) << " for " << Hex(r.want);
        EXPECT_EQ(ScreenMatchesSurface(bar), "");
    }
    // Theme 10 in numbers: C1 fills and borders, C2 is the track.
    const ProgressBar& custom = board[9];
    EXPECT_EQ(Hex(SurfacePixel(custom, 50, 20)), Hex(Custom1));
    EXPECT_EQ(Hex(SurfacePixel(custom, 100, 0)), Hex(Custom1));
    EXPECT_EQ(Hex(SurfacePixel(custom, 150, 20)), Hex(Custom2));
    EXPECT_TRUE(Near(SurfacePixel(custom, 50, 1), Rgb(254, 250, 173), 1)) << Hex(SurfacePixel(custom, 50, 1));
    SaveDocsPicture(board.Form(), L"progress-bar-themes");
}

TEST(ProgressBarDrawing, AnUnknownThemeKeepsTheLastColoursOrBlack)
{
    BarBoard board({{forms::PropertyBag{{L"Theme", 3}, {L"TextStyle", 0}}, 8, 8, 200, 40},
                    {forms::PropertyBag{{L"Theme", 0}, {L"TextStyle", 0}}, 8, 56, 200, 40}},
                   216, 104);
    board[0].Theme(11);
    EXPECT_EQ(Hex(SurfacePixel(board[0], 50, 20)), Hex(PaletteOf(3)[FillLowerMiddle]));
    EXPECT_EQ(Hex(SurfacePixel(board[0], 100, 0)), Hex(PaletteOf(3)[BorderEntry]));
    for (auto [x, y] : {std::pair{50, 20}, {150, 20}, {100, 0}, {50, 5}})
        EXPECT_EQ(SurfacePixel(board[1], x, y), 0u) << x << "," << y;
}

TEST(ProgressBarDrawing, DisabledIsGreyThroughout)
{
    const forms::PropertyBag text{{L"Theme", 8},      {L"TextStyle", 2},
                                  {L"Value", 38},     {L"TextForeColor", 0x0000FF},
                                  {L"TextEffect", 5}, {L"TextEffectColor", 0xFFFFFF}};
    forms::PropertyBag disabled = text;
    disabled.WriteProperty(L"Enabled", false);
    BarBoard board({{text, 8, 8, 200, 40}, {disabled, 8, 56, 200, 40}}, 216, 104);
    const ProgressBar& grey = board[1];
    EXPECT_FALSE(grey.Enabled());
    int textPixels = 0;
    for (int y = 0; y < grey.ScaleHeight(); ++y)
        for (int x = 0; x < grey.ScaleWidth(); ++x) {
            const Colour c = SurfacePixel(grey, x, y);
            ASSERT_TRUE(RedOfColour(c) == GreenOfColour(c) && GreenOfColour(c) == BlueOfColour(c))
                << x << "," << y << ": " << Hex(c);
            textPixels += c == GreyOfColour(0x0000FF);
        }
    EXPECT_GT(textPixels, 0);
    // GreyOfColour of RGB(255, 0, 0) is RGB(85, 85, 85); the text is "38%".
    EXPECT_EQ(TextInkMatches(grey, L"38%", Rgb(85, 85, 85)), "");
    const ThemePalette p = PaletteOf(8);
    EXPECT_EQ(Hex(SurfacePixel(grey, 50, 20)), Hex(GreyOfColour(p[FillLowerMiddle])));
    EXPECT_EQ(Hex(SurfacePixel(grey, 150, 20)), Hex(GreyOfColour(p[TrackLowerMiddle])));
    EXPECT_EQ(Hex(SurfacePixel(grey, 100, 0)), Hex(GreyOfColour(p[BorderEntry])));
    EXPECT_EQ(Hex(SurfacePixel(board[0], 50, 20)), Hex(p[FillLowerMiddle]));
    EXPECT_EQ(ScreenMatchesSurface(grey), "");
    EXPECT_EQ(ScreenMatchesSurface(board[0]), "");
    SaveDocsPicture(board.Form(), L"progress-bar-disabled");
}

TEST(ProgressBarDrawing, FillWidthFromMaxAlone)
{
    // The texts sit at the left, clear of the fill's end.
    const forms::PropertyBag minTwenty{{L"Min", 20},       {L"Value", 50},        {L"TextStyle", 2},
                                       {L"TextEffect", 1}, {L"TextAlignment", 2}, {L"TextForeColor", Blue}};
    const forms::PropertyBag empty{{L"Value", 0},
                                   {L"TextStyle", 1},
                                   {L"TextEffect", 1},
                                   {L"TextAlignment", 2},
                                   {L"TextForeColor", Blue}};
    // 100 x 30,000,000 is beyond 32 bits; the bar is three quarters full all the same.
    const forms::PropertyBag large{{L"Max", 40'000'000}, {L"Value", 30'000'000}, {L"TextStyle", 2},
                                   {L"TextEffect", 1},   {L"TextAlignment", 2},  {L"TextForeColor", Blue}};
    const forms::PropertyBag vertical{{L"Orientations", 2}, {L"TextStyle", 0}, {L"Theme", 3}};
    BarBoard board({{minTwenty, 8, 8, 200, 20},
                    {empty, 8, 36, 200, 20},
                    {large, 8, 64, 200, 20},
                    {vertical, 216, 8, 40, 200}},
                   264, 216);
    const ThemePalette p = PaletteOf(1);
    const struct {
        int bar, x, y;
        Colour want;
    } cases[] = {
        {0, 99, 10, p[FillLowerMiddle]},   {0, 100, 10, p[TrackLowerMiddle]},  // Min takes no part
        {1, 150, 10, p[TrackLowerMiddle]}, {1, 100, 10, p[TrackLowerMiddle]},
        {2, 149, 10, p[FillLowerMiddle]},  {2, 150, 10, p[TrackLowerMiddle]},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hex(SurfacePixel(board[c.bar], c.x, c.y)), Hex(c.want))
            << c.bar << " at " << c.x << "," << c.y;
    EXPECT_EQ(TextInkMatches(board[0], L"50%", Blue), "");
    EXPECT_EQ(TextInkMatches(board[1], L"0", Blue), "");
    EXPECT_EQ(TextInkMatches(board[2], L"75%", Blue), "");

    // Vertical: the fill grows down from the top, split at column 20.
    const ThemePalette green = PaletteOf(3);
    const ProgressBar& v = board[3];
    EXPECT_EQ(Hex(SurfacePixel(v, 20, 99)), Hex(green[FillLowerMiddle]));
    EXPECT_EQ(Hex(SurfacePixel(v, 20, 100)), Hex(green[TrackLowerMiddle]));
    EXPECT_TRUE(
        Near(SurfacePixel(v, 30, 10), Between(green[FillLowerMiddle], green[FillLowerOuter], 10, 20), 1));
    EXPECT_TRUE(
        Near(SurfacePixel(v, 10, 150), Between(green[TrackUpperOuter], green[TrackUpperMiddle], 10, 20), 1));
    for (int i = 0; i < board.Count(); ++i)
        EXPECT_EQ(ScreenMatchesSurface(board[i]), "") << i;
    SaveDocsPicture(board.Form(), L"progress-bar-fill");
}

// The user's decimal separator, set for the length of a test and put back.
class UsersDecimalSeparator {
public:
    explicit UsersDecimalSeparator(const wchar_t* separator)
    {
        saved_ = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before_, 4) > 0;
        set_ = SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator) != FALSE;
    }
    ~UsersDecimalSeparator()
    {
        if (saved_ && set_)
            SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, before_);
    }
    bool Set() const { return saved_ && set_; }

private:
    wchar_t before_[4] = {};
    bool saved_ = false, set_ = false;
};

TEST(ProgressBarDrawing, PercentageWithTheUsersDecimalSeparator)
{
    UsersDecimalSeparator comma(L",");
    ASSERT_TRUE(comma.Set());
    const forms::PropertyBag third{{L"Max", 3},        {L"Value", 1},         {L"TextStyle", 2},
                                   {L"TextEffect", 1}, {L"TextAlignment", 2}, {L"TextForeColor", Blue}};
    BarBoard board({{third, 8, 8, 240, 20}}, 256, 36);
    EXPECT_EQ(TextInkMatches(board[0], L"33,3333333333333%", Blue), "");
}

TEST(ProgressBarDrawing, NineTextPlaces)
{
    std::vector<PlacedBar> placed;
    for (int a = 1; a <= 9; ++a)
        placed.push_back({forms::PropertyBag{{L"Theme", 7},
                                             {L"TextStyle", 3},
                                             {L"Text", L"88"},
                                             {L"TextAlignment", a},
                                             {L"TextEffect", 1},
                                             {L"TextForeColor", Blue}},
                          8 + (a - 1) / 3 * 128, 8 + (a - 1) % 3 * 56, 120, 48});
    placed.push_back({forms::PropertyBag{{L"Theme", 7},
                                         {L"TextStyle", 3},
                                         {L"Text", L"88"},
                                         {L"TextAlignment", 12},
                                         {L"TextEffect", 1},
                                         {L"TextForeColor", Blue}},
                      8, 176, 120, 48});
    BarBoard board(std::move(placed), 392, 232);
    for (int i = 0; i < board.Count(); ++i) {
        const ProgressBar& bar = board[i];
        EXPECT_EQ(TextInkMatches(bar, L"88", Blue), "") << "alignment " << bar.TextAlignment();
        EXPECT_EQ(ScreenMatchesSurface(bar), "") << "alignment " << bar.TextAlignment();
    }
    // Left, centre and right columns; top, middle and bottom rows.
    const bartest::Ink top = InkOf(board[0], Blue), middle = InkOf(board[4], Blue),
                       bottom = InkOf(board[8], Blue);
    EXPECT_LT(top.left, middle.left);
    EXPECT_LT(middle.left, bottom.left);
    EXPECT_LT(top.top, middle.top);
    EXPECT_LT(middle.top, bottom.top);
    EXPECT_LE(bottom.right, 120 - 3);
    EXPECT_LE(bottom.bottom, 48 - 1);
    // Any other alignment prints at (0, 0): as alignment 1, one pixel to the left.
    const bartest::Ink other = InkOf(board[9], Blue);
    EXPECT_EQ(other.left, top.left - 1);
    EXPECT_EQ(other.top, top.top);
    SaveDocsPicture(board.Form(), L"progress-bar-alignments");
}

TEST(ProgressBarDrawing, FiveTextEffects)
{
    const int effects[] = {1, 2, 3, 4, 5, 0, 6};
    std::vector<PlacedBar> placed;
    for (int i = 0; i < 7; ++i)
        placed.push_back({forms::PropertyBag{{L"Theme", 7},
                                             {L"Value", 0},
                                             {L"TextStyle", 3},
                                             {L"Text", L"88"},
                                             {L"TextEffect", effects[i]},
                                             {L"TextForeColor", Blue},
                                             {L"TextEffectColor", Green}},
                          8, 8 + i * 32, 120, 28});
    // Disabled: the text and effect colours turn grey, the shadow stays RGB(128, 128, 128).
    placed.push_back({forms::PropertyBag{{L"Theme", 7},
                                         {L"Value", 0},
                                         {L"TextStyle", 3},
                                         {L"Text", L"88"},
                                         {L"TextEffect", 2},
                                         {L"TextForeColor", Blue},
                                         {L"TextEffectColor", White},
                                         {L"Enabled", false}},
                      8, 8 + 7 * 32, 120, 28});
    BarBoard board(std::move(placed), 136, 264);
    const Colour shadow = Rgb(128, 128, 128);
    const bartest::Ink b = InkOf(board[0], Blue);
    ASSERT_GT(b.count, 0);
    EXPECT_EQ(InkOf(board[0], Green).count, 0);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(TextInkMatches(board[i], L"88", Blue), "") << "effect " << effects[i];

    const bartest::Ink e2 = InkOf(board[1], Green), s2 = InkOf(board[1], shadow);
    EXPECT_EQ(std::pair(e2.left, e2.top), std::pair(b.left - 1, b.top - 1));
    EXPECT_EQ(std::pair(s2.right, s2.bottom), std::pair(b.right + 1, b.bottom + 1));

    const bartest::Ink e3 = InkOf(board[2], Green), s3 = InkOf(board[2], shadow);
    EXPECT_EQ(std::pair(e3.right, e3.bottom), std::pair(b.right + 1, b.bottom + 1));
    EXPECT_EQ(std::pair(s3.left, s3.top), std::pair(b.left - 1, b.top));  // not one row up
    EXPECT_EQ(s3.bottom, b.bottom);

    const bartest::Ink e4 = InkOf(board[3], Green);
    EXPECT_EQ(std::tuple(e4.left, e4.top, e4.right, e4.bottom),
              std::tuple(b.left - 1, b.top - 1, b.right + 1, b.bottom + 1));
    EXPECT_EQ(InkOf(board[3], shadow).count, 0);

    const bartest::Ink e5 = InkOf(board[4], Green);
    EXPECT_EQ(std::pair(e5.right, e5.bottom), std::pair(b.right + 1, b.bottom + 1));
    EXPECT_GE(e5.left, b.left);
    EXPECT_GE(e5.top, b.top);
    EXPECT_EQ(InkOf(board[4], shadow).count, 0);

    for (int i : {5, 6}) {
        EXPECT_EQ(InkOf(board[i], Blue).count, 0) << "effect " << effects[i];
        EXPECT_EQ(InkOf(board[i], Green).count, 0) << "effect " << effects[i];
    }

    const ProgressBar& grey = board[7];
    EXPECT_EQ(TextInkMatches(grey, L"88", GreyOfColour(Blue)), "");
    EXPECT_GT(InkOf(grey, shadow).count, 0);
    EXPECT_EQ(InkOf(grey, White).count, InkOf(board[1], Green).count);
    for (int i = 0; i < board.Count(); ++i)
        EXPECT_EQ(ScreenMatchesSurface(board[i]), "") << i;
    SaveDocsPicture(board.Form(), L"progress-bar-effects");
}

TEST(ProgressBarDrawing, GradientTwoColourFillsOneRectangle)
{
    BarBoard board({{forms::PropertyBag{}, 8, 8, 100, 20}}, 116, 36);
    ProgressBar& bar = board[0];
    test::DibCanvas canvas(40, 30);
    bar.GradientTwoColour(canvas.Dc(), 0, White, Rgb(0, 0, 0), 0, 0, 20, 10);
    bar.GradientTwoColour(canvas.Dc(), 1, Rgb(255, 0, 0), Rgb(0, 0, 255), 0, 10, 20, 30);
    bar.GradientTwoColour(canvas.Dc(), 2, White, White, 20, 0, 40, 30);  // no such direction
    const std::vector<uint32_t> px = canvas.Pixels();
    auto at = [&](int x, int y) {
        return static_cast<Colour>(px[static_cast<size_t>(y) * 40 + x] & 0xFFFFFF);
    };
    EXPECT_EQ(Hex(at(0, 5)), Hex(White));  // 255 x 256 = 65280 is full white
    EXPECT_TRUE(Near(at(10, 5), Between(White, 0, 10, 20), 1)) << Hex(at(10, 5));
    EXPECT_EQ(Hex(at(5, 10)), Hex(Rgb(255, 0, 0)));
    EXPECT_TRUE(Near(at(5, 20), Between(Rgb(255, 0, 0), Rgb(0, 0, 255), 10, 20), 1)) << Hex(at(5, 20));
    EXPECT_EQ(at(20, 5), 0u);  // right and bottom exclusive, and direction 2 draws nothing
    EXPECT_EQ(at(30, 20), 0u);
}

TEST(ProgressBarDrawing, FourColourGradientCorners)
{
    constexpr Colour Red = Rgb(255, 0, 0);
    test::DibCanvas canvas(64, 32);
    BarBoard board({{forms::PropertyBag{{L"RoundedValue", 0}, {L"TextStyle", 0}}, 8, 8, 64, 32}}, 80, 48);
    ProgressBar& bar = board[0];
    bar.DrawGradientFourColour(canvas.Dc(), 0, 0, 64, 32, Red, Green, Blue, White);
    const std::vector<uint32_t> px = canvas.Pixels();
    auto at = [&](int x, int y) {
        return static_cast<Colour>(px[static_cast<size_t>(y) * 64 + x] & 0xFFFFFF);
    };
    EXPECT_EQ(Hex(at(0, 0)), Hex(Red));
    // One step short of the other corners: the ramps have 65 and 33 entries.
    EXPECT_EQ(Hex(at(63, 0)), Hex(Rgb(4, 251, 0)));
    EXPECT_EQ(Hex(at(0, 31)), Hex(Rgb(8, 0, 247)));
    EXPECT_EQ(Hex(at(63, 31)), Hex(Rgb(243, 251, 247)));

    // On the bar's own window, square-cornered so its corner shows.
    const Colour before = SurfacePixel(bar, 5, 5);
    EXPECT_EQ(test::ErrorOf([&] { bar.DrawGradientFourColour(bar.hDC(), 0, 0, 0, 32, Red, Red, Red, Red); }),
              9);
    EXPECT_EQ(test::ErrorOf([&] { bar.DrawGradientFourColour(bar.hDC(), 0, 0, 64, -1, Red, Red, Red, Red); }),
              9);
    bar.DrawGradientFourColour(bar.hDC(), 0, 0, 64, 0, Red, Red, Red, Red);
    EXPECT_EQ(SurfacePixel(bar, 5, 5), before);
    bar.DrawGradientFourColour(bar.hDC(), 0, 0, 64, 32, Red, Green, Blue, White);
    bar.Refresh();
    EXPECT_EQ(Hex(SurfacePixel(bar, 0, 0)), Hex(Red));
    EXPECT_EQ(ScreenMatchesSurface(bar), "");
    EXPECT_EQ(Hex(test::ScreenPixels(test::ClientAreaOnScreen(bar.hWnd()))[0] & 0xFFFFFF), Hex(Red));
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(SurfacePixel(bar, x, y), at(x, y)) << x << "," << y;
    SaveDocsPicture(board.Form(), L"progress-bar-four-colour");
}

}  // namespace
}  // namespace quill::small
