// The GIF reader's block walk, the strip plan and its bounds, our decoder of
// the rebuilt frames, the composition's disposal rules and the re-encoder's
// code stream, on small files made to show each rule.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/small/gif/GifEncoder.h"
#include "controls/small/gif/GifFrameDecoder.h"
#include "tests/gif/GifStripBuild.h"
#include "tests/gif/GifTestFiles.h"

namespace quill::gif {
namespace {

using test::HandFrame;
using test::HandGif;

int Walk(const std::vector<uint8_t>& bytes, GifFrameStore& store)
{
    store.Reset();
    store.SetGifBytes(bytes);
    return store.ParseGifStream();
}

std::vector<uint8_t> OneFrame()
{
    return HandGif(4, 3).Add({.width = 4, .height = 3}).Bytes();
}

TEST(GifWalk, SignatureIsComparedIgnoringCase)
{
    struct Case {
        const char* signature;
        int frames;
    } cases[] = {{"GIF89a", 1}, {"gif87a", 1}, {"GiF89A", 1}, {"GIF88a", 0}, {"PNG89a", 0}, {"GIF89", 0}};
    for (const Case& c : cases) {
        auto bytes = OneFrame();
        std::memcpy(bytes.data(), c.signature, 6);
        if (std::strlen(c.signature) < 6)
            bytes[5] = 'x';
        GifFrameStore store;
        EXPECT_EQ(Walk(bytes, store), c.frames) << c.signature;
    }
}

TEST(GifWalk, ShortFilesGiveNoFrames)
{
    const auto whole = OneFrame();
    for (size_t n : {0, 5, 6, 10, 13, 14}) {
        GifFrameStore store;
        EXPECT_EQ(Walk({whole.begin(), whole.begin() + n}, store), 0) << n;
    }
}

TEST(GifWalk, LoopCountFromNetscapeBlockOnly)
{
    auto netscape = [](const char* id, uint8_t subLength) {
        std::vector<uint8_t> b = HandGif(2, 2).Bytes();
        b.pop_back();  // trailer
        b.insert(b.end(), {0x21, 0xFF, 11});
        b.insert(b.end(), id, id + 11);
        b.insert(b.end(), {subLength, 1, 0x39, 0x30});
        b.insert(b.end(), subLength - 3, 7);
        b.insert(b.end(), {0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 8, 2, 0, 1, 0, 0x3B});
        return b;
    };
    struct Case {
        const char* id;
        uint8_t subLength;
        int loops;
    } cases[] = {
        {"NETSCAPE2.0", 3, 12345}, {"netscape2.0", 3, 12345}, {"NETSCAPE2.0", 4, 0}, {"ANIMEXTS1.0", 3, 0}};
    for (const Case& c : cases) {
        GifFrameStore store;
        ASSERT_EQ(Walk(netscape(c.id, c.subLength), store), 1) << c.id;
        EXPECT_EQ(store.Header.loops, c.loops) << c.id << " " << int(c.subLength);
    }
}

TEST(GifWalk, GraphicControlFields)
{
    struct Case {
        int disposalField;
        int transparentIndex;
        bool first;
        int disposal;
        uint8_t transparent, index;
    } cases[] = {
        {3, -1, true, 0, 0, 0},  // restore-to-previous before any frame keeps the frame
        {3, -1, false, 3, 0, 0}, {5, 7, false, 1, 1, 7},  // 4..7 read as 0..3
        {7, -1, false, 3, 0, 0}, {2, 200, true, 2, 1, 200},
    };
    for (const Case& c : cases) {
        HandGif g(4, 4);
        if (!c.first)
            g.Add({.width = 1, .height = 1});
        g.Add({.width = 2,
               .height = 2,
               .disposal = c.disposalField,
               .delayCs = 9,
               .transparentIndex = c.transparentIndex});
        GifFrameStore store;
        ASSERT_EQ(Walk(g.Bytes(), store), c.first ? 1 : 2);
        const GifFrame& f = store.Frames.back();
        EXPECT_EQ(f.Disposal, c.disposal) << c.disposalField;
        EXPECT_EQ(f.Transparent, c.transparent);
        EXPECT_EQ(f.TransparentIndex, c.index);
        EXPECT_EQ(f.DelayMs, 90);
    }
}

TEST(GifWalk, SkipsCommentsAndZerosAndStopsAtAStrayByte)
{
    std::vector<uint8_t> b = HandGif(3, 3).Add({.width = 3, .height = 3}).Bytes();
    b.pop_back();
    const std::vector<uint8_t> second = HandGif(3, 3).Add({.left = 1, .width = 2, .height = 1}).Bytes();
    const std::vector<uint8_t> image(second.begin() + 13 + 12, second.end() - 1);
    std::vector<uint8_t> withExtras = b;
    withExtras.insert(withExtras.end(), {0, 0, 0x21, 0xFE, 3, 'a', 'b', 'c', 0, 0x21, 0x01, 2, 1, 1, 0});
    withExtras.insert(withExtras.end(), image.begin(), image.end());
    withExtras.push_back(0x3B);
    GifFrameStore store;
    EXPECT_EQ(Walk(withExtras, store), 2);
    std::vector<uint8_t> stray = b;
    stray.push_back(0x42);
    stray.insert(stray.end(), image.begin(), image.end());
    EXPECT_EQ(Walk(stray, store), 1);
}

TEST(GifWalk, OverallSizeIsTheFramesExtent)
{
    GifFrameStore store;
    ASSERT_EQ(Walk(HandGif(100, 100).Add({.left = 2, .top = 3, .width = 5, .height = 4}).Bytes(), store), 1);
    EXPECT_EQ(store.Header.width, 7);
    EXPECT_EQ(store.Header.height, 7);
    ASSERT_EQ(Walk(HandGif(10, 10)
                       .Add({.width = 4, .height = 4})
                       .Add({.left = 12, .top = 1, .width = 3, .height = 15})
                       .Bytes(),
                   store),
              2);
    EXPECT_EQ(store.Header.width, 15);
    EXPECT_EQ(store.Header.height, 16);
}

TEST(GifWalk, NoColourTableGivesUpEveryFrame)
{
    const auto bytes = HandGif(4, 4, {})
                           .Add({.width = 2, .height = 2, .localTable = {0x123456, 0}})
                           .Add({.width = 2, .height = 2})
                           .Bytes();
    GifFrameStore store;
    EXPECT_EQ(Walk(bytes, store), 0);
    EXPECT_TRUE(store.Frames.empty());
}

TEST(GifWalk, LocalTablesTakeSlotsInOrder)
{
    const auto bytes = HandGif(4, 4)
                           .Add({.width = 1, .height = 1, .localTable = {0x010203, 0x040506}})
                           .Add({.width = 1, .height = 1})
                           .Add({.width = 1, .height = 1, .localTable = {0xA, 0xB, 0xC}})
                           .Bytes();
    GifFrameStore store;
    ASSERT_EQ(Walk(bytes, store), 3);
    EXPECT_EQ(store.Frames[0].ColorTableSlot, 1);
    EXPECT_EQ(store.Frames[1].ColorTableSlot, 0);
    EXPECT_EQ(store.Frames[2].ColorTableSlot, 2);
    EXPECT_EQ(store.ColorTables.table[1][1], 0x040506u);
    EXPECT_EQ(store.ColorTables.table[2][256], 4u);
    EXPECT_EQ(store.ColorTables.table[0][256], 4u);
}

TEST(GifWalk, FileCutShortKeepsTheFramesBefore)
{
    const auto whole =
        HandGif(8, 8).Add({.width = 8, .height = 8}).Add({.left = 1, .width = 3, .height = 3}).Bytes();
    const size_t secondStart = [&] {
        GifFrameStore s;
        Walk(whole, s);
        return size_t(s.BlockSpans[1].start - 1);
    }();
    for (size_t cut : {secondStart + 1, secondStart + 5, secondStart + 10, whole.size() - 3}) {
        GifFrameStore store;
        const int frames = Walk({whole.begin(), whole.begin() + cut}, store);
        EXPECT_GE(frames, 1) << cut;
        test::BuiltGif built;
        EXPECT_TRUE(test::BuildGif({whole.begin(), whole.begin() + cut}, built)) << cut;
    }
}

TEST(GifWalk, FrameCountStopsBelowTheSigned16BitLimit)
{
    HandGif g(1, 1);
    for (int i = 0; i < 32770; ++i)
        g.Add({.width = 1, .height = 1});
    GifFrameStore store;
    EXPECT_EQ(Walk(g.Bytes(), store), 32764);
    EXPECT_EQ(store.Frames.size(), 32764u);
}

TEST(GifStore, ResourcePicturesAsDrawn)
{
    GifFrameStore loading;
    ASSERT_EQ(
        Walk(test::ReadWholeFileBytes(std::string(QUILL_SOURCE_DIR) + "/resources/loading.gif"), loading), 8);
    for (int i = 0; i < 8; ++i) {
        const GifFrame& f = loading.Frames[i];
        EXPECT_EQ(f.Left, 0) << i;
        EXPECT_EQ(f.Top, 0) << i;
        EXPECT_EQ(f.Width, 150) << i;
        EXPECT_EQ(f.Height, 100) << i;
        EXPECT_EQ(f.DelayMs, 80) << i;
        EXPECT_EQ(f.Disposal, 0) << i;
        EXPECT_EQ(f.Transparent, 0) << i;
        EXPECT_EQ(f.ColorTableSlot, i) << i;  // frame 1 the global table, frames 2..8 their own
    }
    EXPECT_EQ(loading.Header.loops, 0);
    EXPECT_EQ(loading.Header.width, 150);
    EXPECT_EQ(loading.Header.height, 100);
    GifStripPlan plan;
    ASSERT_TRUE(loading.PlanFrameStrip(false, plan));
    EXPECT_EQ(plan.stripWidth, 1200);
    EXPECT_EQ(plan.stripHeight, 100);
    EXPECT_TRUE(plan.needsCanvas);  // frames are kept, not restored
    EXPECT_FALSE(plan.UsesMask);    // opaque, and frame 1 covers everything
    GifFrameStore failed;
    ASSERT_EQ(Walk(test::ReadWholeFileBytes(std::string(QUILL_SOURCE_DIR) + "/resources/failed.gif"), failed),
              1);
    EXPECT_EQ(failed.Frames[0].Width, 100);
    EXPECT_EQ(failed.Frames[0].Height, 100);
    EXPECT_EQ(failed.Frames[0].ColorTableSlot, 0);
    ASSERT_TRUE(failed.PlanFrameStrip(false, plan));
    EXPECT_EQ(plan.stripWidth, 100);
    EXPECT_EQ(plan.stripHeight, 100);
    EXPECT_FALSE(plan.needsCanvas);
}

TEST(GifStore, PlanChoosesCanvasAndMask)
{
    struct Case {
        const char* what;
        std::vector<HandFrame> frames;
        bool designTime;
        bool canvas, mask;
        int stripWidth;
    } cases[] = {
        {"one frame", {{.width = 4, .height = 4, .disposal = 1}}, false, false, false, 4},
        {"design time", {{.width = 4, .height = 4}, {.width = 2, .height = 2}}, true, false, false, 4},
        {"all restore to background",
         {{.width = 4, .height = 4, .disposal = 2}, {.width = 2, .height = 5, .disposal = 2}},
         false,
         false,
         false,
         6},
        {"opaque, keep",
         {{.width = 4, .height = 4, .disposal = 1}, {.width = 2, .height = 2, .disposal = 1}},
         false,
         true,
         false,
         6},
        {"some restore",
         {{.width = 4, .height = 4, .disposal = 1}, {.width = 2, .height = 2, .disposal = 3}},
         false,
         true,
         true,
         6},
        {"transparent first",
         {{.width = 4, .height = 4, .disposal = 1, .transparentIndex = 0},
          {.width = 2, .height = 2, .disposal = 1}},
         false,
         true,
         true,
         6},
        {"transparent later, first covers all",
         {{.width = 4, .height = 4, .disposal = 1},
          {.width = 2, .height = 2, .disposal = 1, .transparentIndex = 0}},
         false,
         true,
         false,
         6},
        {"transparent later, first smaller",
         {{.width = 3, .height = 4, .disposal = 1},
          {.left = 2, .width = 2, .height = 2, .disposal = 1, .transparentIndex = 0}},
         false,
         true,
         true,
         5},
    };
    for (const Case& c : cases) {
        HandGif g(8, 8);
        for (const HandFrame& f : c.frames)
            g.Add(f);
        GifFrameStore store;
        ASSERT_GT(Walk(g.Bytes(), store), 0) << c.what;
        GifStripPlan plan;
        ASSERT_TRUE(store.PlanFrameStrip(c.designTime, plan)) << c.what;
        EXPECT_EQ(plan.needsCanvas, c.canvas) << c.what;
        EXPECT_EQ(plan.UsesMask, c.mask) << c.what;
        EXPECT_EQ(plan.stripWidth, c.stripWidth) << c.what;
    }
}

// A file of a hundred bytes cannot claim a strip or a canvas of gigabytes.
TEST(GifStore, SizesBeyondWhatTheFileCanHoldAreRefused)
{
    auto tiny = [](int left, int top, int w, int h) {
        std::vector<uint8_t> b = {'G',  'I', 'F', '8', '9', 'a', 1,   0,   1,  0,
                                  0x80, 0,   0,   0,   0,   0,   255, 255, 255};
        b.insert(b.end(),
                 {0x2C, uint8_t(left), uint8_t(left >> 8), uint8_t(top), uint8_t(top >> 8), uint8_t(w),
                  uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), 0, 2, 2, 0x4C, 0x01, 0, 0x3B});
        return b;
    };
    struct Case {
        int left, top, w, h;
        bool single;
        bool accepted;
    } cases[] = {
        {0, 0, 1, 1, true, true},
        {0, 0, 65535, 65535, true, false},
        {0, 0, 4000, 1, true, true},
        {0, 0, 40000, 40, true, false},
    };
    for (const Case& c : cases) {
        test::BuiltGif built;
        EXPECT_EQ(test::BuildGif(tiny(c.left, c.top, c.w, c.h), built), c.accepted) << c.w << "x" << c.h;
    }
    // Two tiny frames whose offsets ask for a canvas of 65000 x 65000.
    auto two = HandGif(1, 1)
                   .Add({.width = 1, .height = 1, .disposal = 1})
                   .Add({.left = 65000, .top = 65000, .width = 1, .height = 1, .disposal = 1})
                   .Bytes();
    test::BuiltGif built;
    EXPECT_FALSE(test::BuildGif(two, built));
}

TEST(GifStore, ImageDataRunningPastTheEndIsClamped)
{
    auto bytes =
        HandGif(6, 2).Add({.width = 6, .height = 2, .pixels = {1, 2, 3, 1, 2, 3, 3, 2, 1, 3, 2, 1}}).Bytes();
    bytes.resize(bytes.size() - 6);  // into the data, no terminator or trailer
    test::BuiltGif built;
    ASSERT_TRUE(test::BuildGif(bytes, built));
    EXPECT_LE(built.store.BlockSpans[0].start - 1 + built.store.BlockSpans[0].length, int(bytes.size()));
    EXPECT_EQ(built.strip.Row(0)[0], 1);
    EXPECT_EQ(built.strip.Row(0)[1], 2);
}

TEST(GifStore, RebuiltFrameIsACompleteOneFrameGif)
{
    const auto bytes = HandGif(9, 9)
                           .Add({.width = 9, .height = 9, .disposal = 1})
                           .Add({.left = 3,
                                 .top = 4,
                                 .width = 2,
                                 .height = 3,
                                 .pixels = {0, 1, 2, 3, 0, 1},
                                 .disposal = 1,
                                 .transparentIndex = 2,
                                 .localTable = {1, 2, 3, 4}})
                           .Bytes();
    GifFrameStore store;
    ASSERT_EQ(Walk(bytes, store), 2);
    GifStripPlan plan;
    ASSERT_TRUE(store.PlanFrameStrip(false, plan));
    store.StartRebuild(plan.largestSpan);
    store.RebuildFrame(1);
    const auto rebuilt = store.RebuildFrame(2);
    std::vector<uint8_t> file(rebuilt.begin(), rebuilt.end());
    EXPECT_EQ(file[6], 2);                 // screen width = frame width
    EXPECT_EQ(file[8], 3);                 // screen height
    EXPECT_EQ(file[10] & 0x87, 0x87);      // 256-entry global table
    EXPECT_EQ(file[13 + 3 * 77 + 2], 77);  // entry i = 0, 0, i
    EXPECT_EQ(file[781], 0x21);
    EXPECT_EQ(file[784] & 1, 0);  // no see-through pixels in the strip
    EXPECT_EQ(file[789], 0x2C);
    EXPECT_EQ(file[790] | file[791] | file[792] | file[793], 0);  // placed at 0, 0
    EXPECT_EQ(file[799 + 3 * 3 + 2], 3);                          // local table rewritten to indices
    EXPECT_EQ(file.back(), 0x3B);
    EXPECT_EQ(store.Frames[1].DataPos, 9);  // strip x after frame 1
    std::vector<uint8_t> bits(ScanlineBytes(2, 8) * 3);
    GifBitmapView view{bits.data(), 2, 3, ScanlineBytes(2, 8), true};
    ASSERT_TRUE(DecodeOneFrameGif(file, view, 0, 0, 2, 3));
    EXPECT_EQ(view.Row(1)[1], 3);
    EXPECT_EQ(view.Row(2)[1], 1);
}

TEST(GifDecoder, RefusesWhatItCannotRead)
{
    std::vector<uint8_t> bits(4 * 4, 9);
    GifBitmapView view{bits.data(), 4, 4, 4, true};
    auto good = OneFrame();
    EXPECT_TRUE(DecodeOneFrameGif(good, view, 0, 0, 4, 3));
    auto badCodeSize = good;
    badCodeSize[13 + 12 + 10] = 12;
    EXPECT_FALSE(DecodeOneFrameGif(badCodeSize, view, 0, 0, 4, 3));
    EXPECT_FALSE(DecodeOneFrameGif({good.begin(), good.begin() + 20}, view, 0, 0, 4, 3));
}

// Strings that run across the end of a line, a target offset that puts
// part of the image outside, a rectangle narrower than the image, and data
// that breaks off: each pixel lands where the reference puts it or nowhere.
TEST(GifDecoder, PlacesClipsAndKeepsWhatArrivedBeforeABreak)
{
    constexpr int W = 7, H = 5;
    std::vector<uint8_t> bits(ScanlineBytes(W, 8) * H);
    GifBitmapView strip{bits.data(), W, H, ScanlineBytes(W, 8), true};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            strip.Row(y)[x] = static_cast<uint8_t>((y * W + x) % 3);  // repeats across line ends
    GifFrame f{.Width = W, .Height = H};
    const auto gif = test::WithIndexPalette(EncodeFrameAsGif(f, strip, GifColorTable{}));
    const size_t dataStart = 13 + 768 + 10 + 1;
    const struct Case {
        const char* what;
        int x, y, width, height;
        size_t keepBytes;  // of the file; 0: all
    } cases[] = {
        {"whole", 0, 0, W, H, 0},
        {"shifted left and up", -2, -1, W, H, 0},
        {"shifted right", 3, 2, W, H, 0},
        {"narrower rectangle", 0, 0, 4, 3, 0},
        {"data breaks off", 0, 0, W, H, dataStart + 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> file(gif.begin(), c.keepBytes ? gif.begin() + c.keepBytes : gif.end());
        std::vector<uint8_t> out(10 * 8, 99);
        GifBitmapView view{out.data(), 10, 8, 10, false};
        ASSERT_TRUE(DecodeOneFrameGif(file, view, c.x, c.y, c.width, c.height));
        int drawn = 0;
        for (int ty = 0; ty < 8; ++ty)
            for (int tx = 0; tx < 10; ++tx) {
                const int px = tx - c.x, py = ty - c.y;
                const bool inside =
                    px >= 0 && py >= 0 && px < std::min(W, c.width) && py < std::min(H, c.height);
                const uint8_t got = view.Row(ty)[tx];
                if (!inside) {
                    EXPECT_EQ(got, 99) << tx << "," << ty;
                } else if (got != 99) {
                    EXPECT_EQ(got, strip.Row(py)[px]) << tx << "," << ty;
                    ++drawn;
                }
            }
        if (c.keepBytes) {
            EXPECT_GT(drawn, 0);  // the first codes arrived
            EXPECT_LT(drawn, W * H);
        } else {
            const int visibleW = std::min({W, c.width, 10 - c.x}) - std::max(0, -c.x);
            const int visibleH = std::min({H, c.height, 8 - c.y}) - std::max(0, -c.y);
            EXPECT_EQ(drawn, visibleW * visibleH);
        }
    }
}

TEST(GifCanvas, RestoreToPreviousAtTheRightEdgeTouchesOnlyItsBytes)
{
    // 30 wide: a mask row is 4 bytes. A frame at x 27, 3 wide, on the top row
    // (the last row in storage): a rounded 4-byte run from byte 3 would pass
    // the end of the row and of the bitmap.
    const auto bytes = HandGif(30, 2)
                           .Add({.width = 30,
                                 .height = 2,
                                 .pixels = std::vector<uint8_t>(60, 1),
                                 .disposal = 1,
                                 .transparentIndex = 0})
                           .Add({.left = 27, .width = 3, .height = 1, .pixels = {2, 3, 2}, .disposal = 3})
                           .Add({.width = 1, .height = 1, .pixels = {3}, .disposal = 1})
                           .Bytes();
    test::BuiltGif built;
    ASSERT_TRUE(test::BuildGif(bytes, built));
    ASSERT_TRUE(built.plan.UsesMask);
    std::vector<uint32_t> before;
    test::ComposeAll(built, [&](int n, const GifCanvas& c) {
        if (n == 1) {
            for (int x = 24; x < 30; ++x)
                before.push_back(c.Pixel(x, 0));
        }
        if (n == 2) {
            EXPECT_EQ(c.Pixel(28, 0), 0x00FF00u);
        }
        if (n == 3) {
            for (int x = 24; x < 30; ++x) {
                EXPECT_EQ(c.Pixel(x, 0), before[x - 24]) << x;
                EXPECT_FALSE(c.SeeThrough(x, 0)) << x;
            }
        }
    });
}

TEST(GifCanvas, FrameWithoutWidthKeepsAndRestoresNothing)
{
    // A restore-to-previous frame 0 pixels wide but 2 rows high: there is
    // nothing under it to save or put back, in the canvas or the mask.
    const auto bytes =
        HandGif(4, 2)
            .Add({.width = 4,
                  .height = 2,
                  .pixels = std::vector<uint8_t>(8, 1),
                  .disposal = 1,
                  .localTable = {}})
            .Add({.left = 2, .width = 0, .height = 2, .pixels = {}, .disposal = 3, .localTable = {}})
            .Add({.width = 1, .height = 1, .pixels = {3}, .disposal = 1, .localTable = {}})
            .Bytes();
    test::BuiltGif built;
    ASSERT_TRUE(test::BuildGif(bytes, built));
    ASSERT_EQ(built.frameCount, 3);
    int composed = 0;
    test::ComposeAll(built, [&](int n, const GifCanvas& canvas) {
        ++composed;
        EXPECT_EQ(canvas.Pixel(2, 0), 0xFFFFFFu) << n;
        EXPECT_EQ(canvas.Pixel(3, 1), 0xFFFFFFu) << n;
        EXPECT_FALSE(canvas.SeeThrough(2, 1)) << n;
    });
    EXPECT_EQ(composed, 3);
}

TEST(GifCanvas, DisposalsTable)
{
    // Frame 1 fills 4 x 1 with colour 1; frame 2 covers x 1..2 with colour 2
    // and its disposal; frame 3 draws one pixel at x 0. Composed frame 3 shows
    // what frame 2's disposal left at x 1 and 2.
    struct Case {
        int disposal;
        uint32_t color;
        bool seeThrough;
    } cases[] = {{0, 0xFF0000, false}, {1, 0xFF0000, false}, {2, 0, true}, {3, 0xFFFFFF, false}};
    for (const Case& c : cases) {
        const auto bytes =
            HandGif(4, 1)
                .Add({.width = 4, .height = 1, .pixels = {1, 1, 1, 1}, .disposal = 1})
                .Add({.left = 1, .width = 2, .height = 1, .pixels = {2, 2}, .disposal = c.disposal})
                .Add({.width = 1, .height = 1, .pixels = {3}, .disposal = 1})
                .Bytes();
        test::BuiltGif built;
        ASSERT_TRUE(test::BuildGif(bytes, built));
        test::ComposeAll(built, [&](int n, const GifCanvas& canvas) {
            if (n != 3)
                return;
            EXPECT_EQ(canvas.Pixel(1, 0), c.color) << c.disposal;
            EXPECT_EQ(canvas.SeeThrough(2, 0), c.seeThrough) << c.disposal;
            EXPECT_EQ(canvas.Pixel(0, 0), 0x00FF00u);
        });
    }
}

TEST(GifMirror, FlipsAreasOfEveryDepth)
{
    // A 10 x 3 area at 2, 1 of a 16 x 5 bitmap, pixel value = column + 16 x row
    // (masked to the depth); flipped, and flipped back.
    for (int bpp : {1, 8, 24}) {
        const int32_t stride = ScanlineBytes(16, uint8_t(bpp));
        std::vector<uint8_t> bits(size_t(stride) * 5);
        GifBitmapView view{bits.data(), 16, 5, stride, true};
        auto value = [&](int x, int y) {
            return bpp == 1 ? uint32_t((x * 3 + y) % 2) : uint32_t(x + 16 * y);
        };
        auto read = [&](int x, int y) -> uint32_t {
            const uint8_t* r = view.Row(y);
            if (bpp == 1)
                return (r[x >> 3] >> (7 - (x & 7))) & 1;
            if (bpp == 8)
                return r[x];
            return r[3 * x] | (r[3 * x + 1] << 8) | (r[3 * x + 2] << 16);
        };
        auto write = [&](int x, int y, uint32_t v) {
            uint8_t* r = view.Row(y);
            if (bpp == 1)
                r[x >> 3] = uint8_t(v ? r[x >> 3] | (0x80 >> (x & 7)) : r[x >> 3] & ~(0x80 >> (x & 7)));
            else if (bpp == 8)
                r[x] = uint8_t(v);
            else
                r[3 * x] = uint8_t(v), r[3 * x + 1] = uint8_t(v >> 8), r[3 * x + 2] = uint8_t(v >> 16);
        };
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 16; ++x)
                write(x, y, value(x, y));
        MirrorArea(view, bpp, 2, 1, 10, 3, true, true);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool inside = x >= 2 && x < 12 && y >= 1 && y < 4;
                const uint32_t expected = inside ? value(2 + 11 - x, 1 + 3 - y) : value(x, y);
                ASSERT_EQ(read(x, y), expected) << bpp << " at " << x << "," << y;
            }
        }
        MirrorArea(view, bpp, 2, 1, 10, 3, true, true);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(read(x, y), value(x, y));
    }
}

TEST(GifScale, StretchModes)
{
    GifHeaderInfo header{.width = 100, .height = 50};
    struct Case {
        int stretch, w, h;
        float sx, sy;
        int outW, outH;
    } cases[] = {
        {0, 300, 20, 1, 1, 100, 20}, {1, 300, 200, 3, 3, 300, 150},         {1, 50, 200, 0.5f, 0.5f, 50, 25},
        {2, 200, 50, 2, 1, 200, 50}, {3, 300, 200, 1, 1, 100, 50},          {3, 50, 200, 0.5f, 0.5f, 50, 25},
        {4, 7, 9, 1, 1, 100, 50},    {1, 125, 1000, 1.25f, 1.25f, 125, 62},  // 62.5 rounds to even
    };
    for (const Case& c : cases) {
        int w = c.w, h = c.h;
        float sx = 0, sy = 0;
        ComputeScale(header, c.stretch, w, h, sx, sy);
        EXPECT_FLOAT_EQ(sx, c.sx) << c.stretch << " " << c.w;
        EXPECT_FLOAT_EQ(sy, c.sy) << c.stretch << " " << c.w;
        EXPECT_EQ(w, c.outW) << c.stretch << " " << c.w;
        EXPECT_EQ(h, c.outH) << c.stretch << " " << c.w;
    }
}

// Reads an encoder's code stream with a decoder's width rules up to and
// including the end code; also tells how many data bytes those codes fill.
struct CodeStream {
    std::vector<int> codes;
    size_t bytesRead = 0;
    size_t dataBytes = 0;
};
CodeStream ReadCodes(const std::vector<uint8_t>& gif, size_t dataStart)
{
    std::vector<uint8_t> data;
    for (size_t p = dataStart; p < gif.size() && gif[p] != 0; p += gif[p] + 1)
        data.insert(data.end(), gif.begin() + p + 1, gif.begin() + p + 1 + gif[p]);
    CodeStream s;
    s.dataBytes = data.size();
    size_t bit = 0;
    int width = 9, next = 258;
    bool first = true;
    while (bit + width <= data.size() * 8) {
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        s.codes.push_back(code);
        if (code == 257)
            break;
        if (code == 256) {
            width = 9, next = 258, first = true;
            continue;
        }
        if (!first && next < 4096 && ++next == (1 << width) && width < 12)
            ++width;
        first = false;
    }
    s.bytesRead = (bit + 7) / 8;
    return s;
}

TEST(GifEncoder, EndCodeAtTheWidthDecodersExpect)
{
    // A de Bruijn sequence never repeats a pair of indices, so every pixel
    // costs one code and the code count is the pixel count. Code widths are
    // then fixed at every step; only after five table resets does a short end
    // code leave the data one bit short of what a decoder reads.
    std::vector<uint8_t> pairsOnce;
    for (int i = 0; i < 256; ++i) {
        pairsOnce.push_back(uint8_t(i));
        for (int j = i + 1; j < 256; ++j)
            pairsOnce.insert(pairsOnce.end(), {uint8_t(i), uint8_t(j)});
    }
    constexpr int kCodesPerTable = 3839;  // codes from one clear code to the next
    for (int resets = 0; resets <= 5; ++resets) {
        for (int step : {255, 767, 1791}) {
            const int length = resets * kCodesPerTable + step;
            for (int around = length - 2; around <= length + 2; ++around) {
                GifBitmapView strip{pairsOnce.data(), around, 1, ScanlineBytes(around, 8), true};
                const auto gif = EncodeFrameAsGif({.Width = around, .Height = 1}, strip, GifColorTable{});
                const CodeStream s = ReadCodes(gif, 13 + 768 + 10 + 1);
                ASSERT_FALSE(s.codes.empty());
                ASSERT_EQ(s.codes.back(), 257) << around;
                ASSERT_EQ(s.bytesRead, s.dataBytes) << around;
            }
        }
    }
}

TEST(GifEncoder, PairsOfIndexZeroAreNotTakenForCodeZero)
{
    // Index 0 everywhere but one pixel of index 1 at the end.
    std::vector<uint8_t> bits(ScanlineBytes(16, 8) * 4, 0);
    GifBitmapView strip{bits.data(), 16, 4, ScanlineBytes(16, 8), true};
    strip.Row(3)[15] = 1;
    GifFrame f{.Width = 16, .Height = 4};
    GifColorTable table{};
    const auto gif = EncodeFrameAsGif(f, strip, table);
    std::vector<uint8_t> out(16 * 4, 7);
    GifBitmapView view{out.data(), 16, 4, 16, false};
    ASSERT_TRUE(DecodeOneFrameGif(test::WithIndexPalette(gif), view, 0, 0, 16, 4));
    EXPECT_EQ(std::count(out.begin(), out.end(), 0), 63);
    EXPECT_EQ(out[63], 1);
    // The strings of zeros grow: 1, 2, 3, ... pixels per code.
    const auto codes = ReadCodes(gif, 13 + 768 + 10 + 1).codes;
    EXPECT_EQ(codes.front(), 256);
    EXPECT_EQ(codes[1], 0);
    EXPECT_EQ(codes[2], 258);
}

TEST(GifEncoder, SubBlocksOf254CodeBytes)
{
    std::vector<uint8_t> flat(ScanlineBytes(254, 8), 5);
    GifBitmapView one{flat.data(), 254, 1, ScanlineBytes(254, 8), true};
    GifColorTable table{};
    table[256] = 8;
    auto gif = EncodeFrameAsGif({.Width = 254, .Height = 1}, one, table);
    const size_t data = 13 + 768 + 10 + 1;
    EXPECT_LT(gif[data], 254);
    EXPECT_EQ(gif[data + 1 + gif[data]], 0);
    // With a transparent frame the extension comes first.
    auto transparent =
        EncodeFrameAsGif({.Width = 254, .Height = 1, .TransparentIndex = 5, .Transparent = 1}, one, table);
    EXPECT_EQ(transparent[781], 0x21);
    EXPECT_EQ(transparent[784], 1);
    EXPECT_EQ(transparent[787], 5);

    std::vector<uint8_t> noise(ScanlineBytes(300, 8) * 200);
    uint32_t seed = 1;
    for (auto& b : noise)
        b = uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
    GifBitmapView big{noise.data(), 300, 200, ScanlineBytes(300, 8), true};
    gif = EncodeFrameAsGif({.Width = 300, .Height = 200}, big, table);
    size_t p = data;
    int blocks = 0;
    while (gif[p] == 254)
        p += 255, ++blocks;
    EXPECT_GT(blocks, 100);
    EXPECT_GT(gif[p], 0);
    EXPECT_LT(gif[p], 254);
    EXPECT_EQ(gif[p + 1 + gif[p]], 0);
    EXPECT_EQ(gif[p + 2 + gif[p]], 0x3B);
}

}  // namespace
}  // namespace quill::gif
