// The five skin pictures: sizes, key-coloured masks and counts, and the rows
// and colours the painters rely on.
#include "skinning/SkinArtwork.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace quill::skinning {
namespace {

int KeyCount(const Artwork& art)
{
    int n = 0;
    for (std::uint32_t c : art.pixels)
        n += c == KeyColour;
    return n;
}

std::vector<std::uint32_t> Row(const Artwork& art, int y, int x0, int count)
{
    std::vector<std::uint32_t> row;
    for (int x = x0; x < x0 + count; ++x)
        row.push_back(art.At(x, y));
    return row;
}

// '#' where the picture is drawn, '.' where it is the key colour.
std::vector<std::string> MaskOf(const Artwork& art, SkinRect r)
{
    std::vector<std::string> rows;
    for (int y = r.y; y < r.y + r.height; ++y) {
        std::string line;
        for (int x = r.x; x < r.x + r.width; ++x)
            line += art.At(x, y) == KeyColour ? '.' : '#';
        rows.push_back(line);
    }
    return rows;
}

TEST(SkinArtwork, SizesAndKeyCounts)
{
    const struct {
        SkinBitmap which;
        int width, height, keys;
    } cases[] = {
        {SkinBitmap::ButtonFace, 7, 84, 0}, {SkinBitmap::DropButton, 15, 18, 94},
        {SkinBitmap::Glyph, 18, 24, 240},   {SkinBitmap::OptionCircle, 13, 52, 96},
        {SkinBitmap::Header, 9, 20, 0},
    };
    int pixels = 0;
    for (const auto& c : cases) {
        const Artwork art = SkinArtwork(c.which);
        EXPECT_EQ(art.width, c.width);
        EXPECT_EQ(art.height, c.height);
        ASSERT_EQ(art.pixels.size(), static_cast<size_t>(c.width * c.height));
        EXPECT_EQ(KeyCount(art), c.keys) << c.width << "x" << c.height;
        for (std::uint32_t p : art.pixels)
            EXPECT_EQ(p >> 24, 0u);
        pixels += static_cast<int>(art.pixels.size());
    }
    EXPECT_EQ(pixels, 2146);
}

TEST(SkinArtwork, ButtonFacesRows)
{
    const Artwork art = SkinArtwork(SkinBitmap::ButtonFace);
    EXPECT_EQ(art.At(3, 0), 0xD58F1Bu);
    const std::vector<std::uint32_t> top = {0xF9E1BF, 0xE3B36B, 0xD8972C, 0xD58F1B,
                                            0xD8972C, 0xE3B36B, 0xF9E1BF};
    for (int state : {0, 1, 2})
        EXPECT_EQ(Row(art, 21 * state, 0, 7), top) << state;
    EXPECT_EQ(Row(art, 10, 0, 7), (std::vector<std::uint32_t>{0xD58F1B, 0xFBF0E3, 0xF9EAD7, 0xF9EAD7,
                                                              0xF9EAD7, 0xFBF0E3, 0xD58F1B}));
    EXPECT_EQ(Row(art, 31, 0, 7), (std::vector<std::uint32_t>{0xD58F1B, 0xFBC24A, 0xFCE4B9, 0xFBEDD9,
                                                              0xFCE4B9, 0xFBC24A, 0xD58F1B}));
    EXPECT_EQ(Row(art, 52, 0, 7), (std::vector<std::uint32_t>{0xD58F1B, 0xFBBD3F, 0xF8DAAA, 0xF9E4C5,
                                                              0xF8DAAA, 0xFBBD3F, 0xD58F1B}));
    EXPECT_EQ(Row(art, 73, 0, 7), (std::vector<std::uint32_t>{0xE8C387, 0xFBF4EB, 0xFAF1E5, 0xFAF1E5,
                                                              0xFAF1E5, 0xFBF4EB, 0xE8C387}));
    // The border columns: from the fourth row to the fourth from the bottom.
    for (int state = 0; state < 4; ++state) {
        const std::uint32_t border = state == 3 ? 0xE8C387 : 0xD58F1B;
        for (int row = 0; row < 21; ++row)
            for (int x : {0, 6}) {
                const bool inBorder = art.At(x, 21 * state + row) == border;
                if (row >= 3 && row <= 17) {
                    EXPECT_TRUE(inBorder) << state << " row " << row;
                } else if (row != 0 && row != 20) {
                    EXPECT_FALSE(inBorder) << state << " row " << row;
                }
            }
    }
}

TEST(SkinArtwork, DropButtonCellsMasksAndColours)
{
    const Artwork art = SkinArtwork(SkinBitmap::DropButton);
    for (int y = 0; y < 18; ++y) {
        EXPECT_EQ(art.At(0, y), 0xD1A04Eu);
        EXPECT_EQ(art.At(4, y), 0xD1A04Eu);
    }
    EXPECT_EQ(art.At(2, 0), 0xFFF9E8u);
    EXPECT_EQ(art.At(2, 17), 0xF3E1C0u);
    EXPECT_EQ(art.At(6, 0), 0xF3E1BEu);
    EXPECT_EQ(art.At(6, 17), 0xFEF8E6u);
    const std::vector<std::string> arrow = {"#######", ".#####.", "..###..", "...#..."};
    EXPECT_EQ(MaskOf(art, DropArrowCell(true)), arrow);
    EXPECT_EQ(MaskOf(art, DropArrowCell(false)), arrow);
    EXPECT_EQ(art.At(11, 0), 0x5F5519u);
    EXPECT_EQ(art.At(11, 4), 0xACA584u);
    for (const std::string& row : MaskOf(art, {8, 8, 7, 10}))
        EXPECT_EQ(row, ".......");
    // The faces hold no key colour.
    for (const std::string& row : MaskOf(art, {0, 0, 8, 18}))
        EXPECT_EQ(row, "########");
}

TEST(SkinArtwork, GlyphMasksAndTheDotRow)
{
    const Artwork art = SkinArtwork(SkinBitmap::Glyph);
    EXPECT_EQ(art.At(0, 0), KeyColour);
    const std::vector<std::string> check = {"........#", ".......##", "......###", "##...###.",
                                            "###.###..", ".#####...", "..###....", "...#....."};
    const std::vector<std::string> dot = {".###.", "#####", "#####", "#####", ".###."};
    for (bool enabled : {true, false}) {
        EXPECT_EQ(MaskOf(art, CheckMarkCell(enabled)), check);
        EXPECT_EQ(MaskOf(art, OptionDotCell(enabled)), dot);
        // The square is drawn whole inside a one-pixel key border.
        const SkinRect square = IndeterminateCell(enabled);
        const std::vector<std::string> region =
            MaskOf(art, {square.x - 1, square.y - 1, square.width + 2, square.height + 2});
        EXPECT_EQ(region.front(), ".........");
        EXPECT_EQ(region.back(), ".........");
        for (size_t i = 1; i + 1 < region.size(); ++i)
            EXPECT_EQ(region[i], ".#######.");
    }
    constexpr std::uint32_t K = KeyColour;
    EXPECT_EQ(Row(art, 18, 0, 18),
              (std::vector<std::uint32_t>{K, K, K, 0x60CC87, 0x28BA5C, 0x60CC87, K, K, K, K, K, K, 0xAFE5C3,
                                          0x93DCAD, 0xAFE5C3, K, K, K}));
    // Enabled glyphs green, disabled ones pale green.
    const std::set<std::uint32_t> greens = {0x13A948, 0x0A9C3E, 0x1BB451, 0x10A445};
    const std::set<std::uint32_t> pale = {0x87D3A2, 0x82CD9D, 0x8BD9A6};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 18; ++x)
            if (art.At(x, y) != KeyColour) {
                EXPECT_EQ((x < 9 ? greens : pale).count(art.At(x, y)), 1u) << x << "," << y;
            }
}

TEST(SkinArtwork, OptionCirclesMaskAndRows)
{
    const Artwork art = SkinArtwork(SkinBitmap::OptionCircle);
    const std::vector<std::string> circle = {
        "...#######...", "..#########..", ".###########.", "#############", "#############",
        "#############", "#############", "#############", "#############", "#############",
        ".###########.", "..#########..", "...#######...",
    };
    constexpr std::uint32_t K = KeyColour;
    const std::vector<std::uint32_t> top = {
        K, K, K, 0xE7CFBC, 0xD9B395, 0xD3A886, 0xD2A683, 0xD3A886, 0xD9B395, 0xE7CFBC, K, K, K};
    for (int state = 0; state < 4; ++state) {
        EXPECT_EQ(MaskOf(art, OptionCircleCell(state)), circle) << state;
        EXPECT_EQ(Row(art, 13 * state, 0, 13), top) << state;
    }
    const std::vector<std::uint32_t> whiteRow = {0xD2A683, 0xFAF7F3, 0xFEFEFD, 0xFFFFFF, 0xFFFFFF,
                                                 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                                 0xFEFEFD, 0xFAF7F3, 0xD2A683};
    EXPECT_EQ(Row(art, 6, 0, 13), whiteRow);
    EXPECT_EQ(Row(art, 39 + 6, 0, 13), whiteRow);
    EXPECT_EQ(Row(art, 32, 0, 13), (std::vector<std::uint32_t>{
                                       0xC18964, 0xF5E1AD, 0xF5E2AE, 0xF5E2B1, 0xF7E5B4, 0xF7E6B8, 0xF8E7BC,
                                       0xF9EABF, 0xF9ECC3, 0xF9EDC8, 0xFAEFCD, 0xFAEFCF, 0xC18964}));
    // The hot circle is light blue inside, from F8EAC4 at the top to FCF4DB.
    EXPECT_EQ(art.At(6, 13 + 6), 0xFAEFD0u);
    for (int y = 14; y < 25; ++y)
        for (int x = 3; x <= 9; ++x) {
            const std::uint32_t c = art.At(x, y);
            EXPECT_GE(c & 0xFF, 0xC4u);
            EXPECT_GE(c >> 16, 0xF3u);
        }
    // The check square's fill bands lie inside the hot and pressed circles.
    for (int state : {StateHot, StatePressed})
        for (const std::string& row : MaskOf(art, CheckFillBand(state)))
            EXPECT_EQ(row, "###########");
}

TEST(SkinArtwork, HeaderRowsAndTheBackgroundStrip)
{
    const Artwork art = SkinArtwork(SkinBitmap::Header);
    EXPECT_EQ(Row(art, 0, 0, 9), (std::vector<std::uint32_t>{0xFEF5EA, 0xFEF5EA, 0xFEF5EA, 0xFDE6BD, 0xFEEED3,
                                                             0xFDE6BD, 0xFBD797, 0xFBD797, 0xFBD797}));
    EXPECT_EQ(Row(art, 10, 0, 9),
              (std::vector<std::uint32_t>{0xFBF4ED, 0xF6E5D3, 0xD9B07A, 0xFAC25E, 0xFDE0AE, 0xDBA24B,
                                          0xFAC25E, 0xFFE8B3, 0xDBA24B}));
    EXPECT_EQ(Row(art, 19, 0, 9), std::vector<std::uint32_t>(9, 0xF2DAC0));
    for (int y = 9; y < 19; ++y)
        EXPECT_EQ(art.At(1, y), 0xF6E5D3u) << y;
}

}  // namespace
}  // namespace quill::skinning
