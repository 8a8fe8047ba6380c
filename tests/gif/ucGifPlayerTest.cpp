// The animated picture on a real window under Wine: the loading animation
// and the failure picture, stretch mode 4, frame timing on the program's
// clock, the loop count, every corpus GIF's composed frames against the
// portable reader (itself checked against giflib), and the mended faults.
#include <gtest/gtest.h>

#include <windows.h>

#include "controls/small/gif/ucGifPlayer.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Gdi.h"
#include "forms/lang/Clock.h"
#include "forms/Loaded.h"
#include "forms/Pump.h"
#include "forms/lang/Error.h"
#include "tests/support/HostForm.h"
#include "tests/support/OneShotServer.h"
#include "tests/support/Pump.h"
#include "tests/support/ScreenCapture.h"
#include "tests/gif/GifStripBuild.h"
#include "tests/gif/GifTestFiles.h"

namespace quill::gif {
namespace {

constexpr COLORREF kBack = RGB(255, 0, 255);

std::vector<uint8_t> Resource(int id)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), L"CUSTOM");
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    const auto* p = static_cast<const uint8_t*>(LockResource(loaded));
    return {p, p + SizeofResource(nullptr, found)};
}

// Forms that hold one player, and the main window's loading panel: a frame
// holding the animation.
struct OnePlayer {
    forms::Loaded<ucGifPlayer> Gif;
};
using PlayerForm = quill::test::HostForm<OnePlayer>;

struct PlayerInPanel {
    forms::Loaded<forms::Frame> Panel;
    forms::Loaded<ucGifPlayer> Loading;
};
using PanelForm = quill::test::HostForm<PlayerInPanel>;

void LayOutPanel(PanelForm& f)
{
    f.Panel.Load(
        f, forms::ControlArgs{.name = L"Panel", .left = 300, .top = 300, .width = 4000, .height = 3000});
    f.Loading.Load(*f.Panel, forms::ControlArgs{
                                 .name = L"Loading", .left = 600, .top = 600, .width = 600, .height = 600});
}

const forms::FormArgs kPanelDesign{.caption = L"panel", .clientWidth = 9000, .clientHeight = 7000};

struct FrameChange {
    int32_t frame;
    bool viaTimer;
    bool operator==(const FrameChange&) const = default;
};

class GifPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.Load();
        ASSERT_TRUE(form.IsLoaded());
        ASSERT_TRUE(form.Gif);
        // See-through pixels show the form behind the control.
        form.BackColor(kBack);
        form.Show();
        gif().Stretch(4);
        gif().FrameChanged = [this](int32_t frame, bool& viaTimer) {
            changes.push_back({frame, viaTimer});
            if (onFrameChanged)
                onFrameChanged(frame);
        };
        gif().LoopsEnded = [this] { ++loopsEnded; };
        forms::DoEvents();
    }
    void TearDown() override { form.Unload(); }

    ucGifPlayer& gif() { return *form.Gif; }
    void Pass(int64_t ms)
    {
        clock.Advance(ms);
        forms::DoEvents();
    }

    // Compares the control's pixels with the reader's composition of frame n:
    // covered pixels in their colour, see-through ones in the form's.
    int Mismatches(test::BuiltGif& expected, int n)
    {
        int mismatches = 0;
        test::ComposeAll(expected, [&](int shown, const GifCanvas& canvas) {
            if (shown != n)
                return;
            for (int y = 0; y < expected.store.Header.height; ++y) {
                for (int x = 0; x < expected.store.Header.width; ++x) {
                    const uint32_t c = canvas.Pixel(x, y);
                    const COLORREF want =
                        canvas.SeeThrough(x, y) ? kBack : RGB(c >> 16, (c >> 8) & 255, c & 255);
                    mismatches += gif().Point(x, y) != static_cast<int64_t>(want);
                }
            }
        });
        return mismatches;
    }

    forms::ClockOverride clock{45000.0};
    PlayerForm form{[](PlayerForm& f) {
                        f.Gif.Load(
                            f, forms::ControlArgs{
                                   .name = L"Gif", .left = 150, .top = 150, .width = 1500, .height = 1500});
                    },
                    {.caption = L"gif", .clientWidth = 9000, .clientHeight = 7000}};
    std::vector<FrameChange> changes;
    std::function<void(int32_t)> onFrameChanged;
    int loopsEnded = 0;
};

TEST_F(GifPlayerTest, LoadingAnimationPlaysWithItsDelaysForever)
{
    const auto bytes = Resource(101);
    ASSERT_FALSE(bytes.empty());
    test::BuiltGif expected;
    ASSERT_TRUE(test::BuildGif(bytes, expected));

    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(bytes));
    // Stretch mode 4: the control has the picture's size before the call returns.
    EXPECT_EQ(gif().Width(), 150 * 15);
    EXPECT_EQ(gif().Height(), 100 * 15);
    EXPECT_EQ(gif().ActualWidth(), 150 * 15);
    EXPECT_EQ(gif().ActualHeight(), 100 * 15);
    EXPECT_EQ(gif().FrameCount(), 8);
    EXPECT_EQ(gif().LoopsRemaining(), 0x7FFFFFFF);
    EXPECT_EQ(gif().CurrentFrame(), 1);
    EXPECT_TRUE(gif().HoldsGifBytes());  // frames 2..8 follow 20 ms later
    Pass(20);
    EXPECT_FALSE(gif().HoldsGifBytes());
    EXPECT_EQ(gif().Action(), 1);
    EXPECT_TRUE(gif().HasCanvas());  // frames are kept, not restored
    EXPECT_FALSE(gif().UsesMask());  // opaque, and frame 1 covers everything
    gif().Refresh();
    EXPECT_EQ(Mismatches(expected, 1), 0);

    // Every frame stays its own 80 ms (more than MinFrameDelay 50), round and round.
    for (int step = 1; step <= 17; ++step) {
        Pass(79);
        ASSERT_EQ(changes.size(), size_t(step - 1)) << step;
        Pass(1);
        ASSERT_EQ(changes.size(), size_t(step));
        const int shown = step % 8 + 1;
        EXPECT_EQ(changes.back(), (FrameChange{(step - 1) % 8 + 1, true}));
        EXPECT_EQ(gif().CurrentFrame(), shown);
        EXPECT_EQ(Mismatches(expected, shown), 0) << "frame " << shown;
    }
    EXPECT_EQ(loopsEnded, 0);
    EXPECT_EQ(gif().Action(), 1);
}

TEST_F(GifPlayerTest, FailurePictureShows)
{
    const auto bytes = Resource(102);
    test::BuiltGif expected;
    ASSERT_TRUE(test::BuildGif(bytes, expected));
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(bytes));
    EXPECT_EQ(gif().Width(), 100 * 15);
    EXPECT_EQ(gif().Height(), 100 * 15);
    EXPECT_EQ(gif().FrameCount(), 1);
    EXPECT_FALSE(gif().HasCanvas());
    EXPECT_EQ(changes, (std::vector<FrameChange>{{1, false}}));
    EXPECT_EQ(Mismatches(expected, 1), 0);
    gif().Action(1);  // a one-frame picture never gets a frame timer
    EXPECT_EQ(gif().Action(), 0);
    Pass(1000);
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(GifPlayerTest, LoopCountPlaysTheFramesThatManyTimes)
{
    const auto bytes = test::HandGif(3, 1)
                           .Loops(2)
                           .Add({.width = 3, .height = 1, .pixels = {1, 1, 1}, .disposal = 1, .delayCs = 3})
                           .Add({.width = 3, .height = 1, .pixels = {2, 2, 2}, .disposal = 1, .delayCs = 12})
                           .Add({.width = 3, .height = 1, .pixels = {3, 3, 3}, .disposal = 1, .delayCs = 7})
                           .Bytes();
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(bytes));
    Pass(20);
    // Delays 30 (lifted to MinFrameDelay 50), 120 and 70 ms.
    for (int64_t wait : {50, 120, 70, 50, 120, 70}) {
        Pass(wait - 1);
        Pass(1);
    }
    EXPECT_EQ(changes,
              (std::vector<FrameChange>{{1, true}, {2, true}, {3, true}, {1, true}, {2, true}, {3, true}}));
    EXPECT_EQ(loopsEnded, 1);
    EXPECT_EQ(gif().Action(), 0);
    EXPECT_EQ(gif().CurrentFrame(), 1);
    EXPECT_EQ(gif().Point(0, 0), static_cast<int64_t>(RGB(255, 255, 255)));
    Pass(1000);
    EXPECT_EQ(changes.size(), 6u);
}

class GifPlayerCorpus : public GifPlayerTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(GifPlayerCorpus, EveryComposedFrameMatchesTheReader)
{
    const auto bytes = test::ReadWholeFileBytes(test::CorpusDir() + GetParam());
    test::BuiltGif expected;
    ASSERT_TRUE(test::BuildGif(bytes, expected));
    gif().DelayAnimation(2);  // build, but do not start
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(bytes));
    Pass(20);
    ASSERT_EQ(gif().Action(), 0);
    EXPECT_EQ(gif().HasCanvas(), expected.plan.needsCanvas);
    EXPECT_EQ(gif().UsesMask(), expected.plan.UsesMask);
    gif().Refresh();
    for (int n = 1; n <= expected.frameCount; ++n) {
        if (n > 1)
            gif().Action(3);
        ASSERT_EQ(gif().CurrentFrame(), n);
        EXPECT_EQ(Mismatches(expected, n), 0) << "frame " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, GifPlayerCorpus, ::testing::ValuesIn(test::CorpusNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string n = info.param.substr(0, info.param.find('.'));
                             return n;
                         });

// Hiding, stopping or stepping within the first 20 ms builds the frames
// that the deferred build would have; none stays blank.
TEST_F(GifPlayerTest, HidingStoppingOrSteppingBeforeTheDeferredBuildKeepsEveryFrame)
{
    const auto bytes = Resource(101);
    test::BuiltGif expected;
    ASSERT_TRUE(test::BuildGif(bytes, expected));
    struct Case {
        const char* what;
        std::function<void(ucGifPlayer&)> act;
    } cases[] = {
        {"hide, show",
         [](ucGifPlayer& g) {
             g.Visible(false);
             g.Visible(true);
         }},
        {"stop, play",
         [](ucGifPlayer& g) {
             g.Action(0);
             g.Action(1);
         }},
        {"step",
         [](ucGifPlayer& g) {
             g.Action(3);
             g.Action(1);
         }},
    };
    for (const Case& c : cases) {
        changes.clear();
        ASSERT_TRUE(gif().LoadAnimatedGIF_Array(bytes)) << c.what;
        c.act(gif());
        EXPECT_EQ(gif().Action(), 1) << c.what;
        const int before = gif().CurrentFrame();
        Pass(80);
        const int shown = gif().CurrentFrame();
        EXPECT_EQ(shown, before % 8 + 1) << c.what;
        EXPECT_EQ(Mismatches(expected, shown), 0) << c.what << ": frame " << shown;
        Pass(80);
        EXPECT_EQ(Mismatches(expected, gif().CurrentFrame()), 0) << c.what;
    }
}

TEST_F(GifPlayerTest, HidingTheFrameThatHoldsItPausesIt)
{
    PanelForm panelForm(LayOutPanel, kPanelDesign);
    panelForm.Load();
    panelForm.Show();
    ucGifPlayer& loading = *panelForm.Loading;
    loading.Stretch(4);
    ASSERT_TRUE(loading.LoadAnimatedGIF_Array(Resource(101)));
    Pass(20);
    Pass(80);
    ASSERT_EQ(loading.CurrentFrame(), 2);
    panelForm.Panel->Visible(false);
    EXPECT_EQ(loading.Action(), 2);
    Pass(1000);
    EXPECT_EQ(loading.CurrentFrame(), 2);
    panelForm.Panel->Visible(true);
    EXPECT_EQ(loading.Action(), 1);
    Pass(80);
    EXPECT_EQ(loading.CurrentFrame(), 3);
    panelForm.Unload();
}

TEST_F(GifPlayerTest, HiddenControlPausesAndResumes)
{
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(Resource(101)));
    Pass(20);
    Pass(80);
    ASSERT_EQ(gif().CurrentFrame(), 2);
    gif().Visible(false);
    EXPECT_EQ(gif().Action(), 2);
    Pass(1000);
    EXPECT_EQ(gif().CurrentFrame(), 2);
    gif().Visible(true);
    EXPECT_EQ(gif().Action(), 1);
    Pass(80);
    EXPECT_EQ(gif().CurrentFrame(), 3);
}

// The timer looks at the state again after FrameChanged: a handler that
// stops, pauses or steps is not overruled by the next tick.
TEST_F(GifPlayerTest, FrameChangedHandlerThatStopsOrPausesEndsTheTicks)
{
    for (int act : {0, 2, 3}) {
        ASSERT_TRUE(gif().LoadAnimatedGIF_Array(Resource(101)));
        Pass(20);
        changes.clear();
        onFrameChanged = [&](int32_t) {
            onFrameChanged = nullptr;
            gif().Action(act);
        };
        Pass(80);
        const size_t seen = changes.size();
        const int frame = gif().CurrentFrame();
        Pass(1000);
        EXPECT_EQ(changes.size(), seen) << act;
        EXPECT_EQ(gif().CurrentFrame(), frame) << act;
        EXPECT_EQ(gif().Action(), act == 0 ? 0 : 2) << act;
    }
}

// A load of nothing, or of a missing file, fails and shows nothing, even
// while the bytes of the load before are still held for its deferred build.
TEST_F(GifPlayerTest, EmptyArrayOrMissingFileLoadsNothing)
{
    for (int how : {0, 1}) {
        ASSERT_TRUE(gif().LoadAnimatedGIF_Array(Resource(101)));
        ASSERT_TRUE(gif().HoldsGifBytes());
        const bool loaded = how == 0 ? gif().LoadAnimatedGIF_Array({})
                                     : gif().LoadAnimatedGIF_File(L"C:\\no such folder\\missing.gif");
        EXPECT_FALSE(loaded) << how;
        EXPECT_EQ(gif().FrameCount(), 0) << how;
        EXPECT_EQ(gif().CurrentFrame(), 0) << how;
        gif().Refresh();
        EXPECT_EQ(gif().Point(5, 5), static_cast<int64_t>(kBack)) << how;
    }
}

TEST_F(GifPlayerTest, FileOfAHundredBytesCannotClaimGigabytes)
{
    std::vector<uint8_t> bomb = {'G',  'I',  'F',  '8',  '9', 'a', 1,   0,    1,    0, 0x80, 0,
                                 0,    0,    0,    0,    255, 255, 255, 0x2C, 0,    0, 0,    0,
                                 0xFF, 0xFF, 0xFF, 0xFF, 0,   2,   2,   0x4C, 0x01, 0, 0x3B};
    EXPECT_FALSE(gif().LoadAnimatedGIF_Array(bomb));
    EXPECT_EQ(gif().FrameCount(), 0);
}

TEST_F(GifPlayerTest, LoadFromFile)
{
    const std::wstring path = std::wstring(QUILL_SOURCE_DIR L"/tests/small/gif_corpus/keep_offsets.gif");
    ASSERT_TRUE(gif().LoadAnimatedGIF_File(path));
    EXPECT_EQ(gif().FrameCount(), 4);
    EXPECT_EQ(gif().Width(), 41 * 15);
}

// The background colour goes under the composed picture, not into the
// canvas: frames drawn over earlier ones still show them.
TEST_F(GifPlayerTest, SolidBackgroundKeepsTheComposition)
{
    const auto bytes = test::ReadWholeFileBytes(test::CorpusDir() + "keep_offsets.gif");
    test::BuiltGif expected;
    ASSERT_TRUE(test::BuildGif(bytes, expected));
    gif().SolidBkgColorUsed(true);
    gif().SolidBkgColor(0x00FFFF);
    gif().DelayAnimation(2);
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(bytes));
    Pass(20);
    gif().Refresh();
    for (int n = 1; n <= 4; ++n) {
        if (n > 1)
            gif().Action(3);
        EXPECT_EQ(Mismatches(expected, n), 0) << "frame " << n;
    }
}

TEST_F(GifPlayerTest, ReencodedFrameIsAPictureOfTheFrame)
{
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(Resource(101)));
    const forms::Picture::Ref picture = gif().AnimatedGIF();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->Width(), 150);
    EXPECT_EQ(picture->Height(), 100);
}

TEST_F(GifPlayerTest, PropertySettersKeepTheirRanges)
{
    gif().MinFrameDelay(5);
    EXPECT_EQ(gif().MinFrameDelay(), 10);
    gif().MinFrameDelay(40000);
    EXPECT_EQ(gif().MinFrameDelay(), 32700);
    gif().SteppedDelay(-5);
    EXPECT_EQ(gif().SteppedDelay(), 0);
    gif().Loops(-3);
    EXPECT_EQ(gif().Loops(), 3);
    gif().DelayAnimation(4);
    EXPECT_EQ(gif().DelayAnimation(), 1);
    gif().Stretch(5);
    EXPECT_EQ(gif().Stretch(), 4);
    gif().Mirrored(4);
    EXPECT_EQ(gif().Mirrored(), 0);
    EXPECT_EQ(gif().LoopsRemaining(), 0);  // nothing loaded
    std::vector<std::wstring> reported;
    gif().PropertyChangeReported = [&](const std::wstring& name) { reported.push_back(name); };
    gif().MinFrameDelay(100);
    gif().OffsetX(3);
    gif().OffsetY(4);
    gif().SteppedDelay(7);
    gif().Loops(9);
    EXPECT_EQ(reported, (std::vector<std::wstring>{L"Delay", L"Loops"}));
}

TEST_F(GifPlayerTest, SteppedAndMinimumDelaysSetTheInterval)
{
    struct Case {
        int32_t minDelay, stepped, interval;
    } cases[] = {{50, 0, 80}, {150, 0, 150}, {50, 200, 200}};
    for (const Case& c : cases) {
        gif().MinFrameDelay(c.minDelay);
        gif().SteppedDelay(c.stepped);
        ASSERT_TRUE(gif().LoadAnimatedGIF_Array(Resource(101)));
        Pass(20);
        changes.clear();
        Pass(c.interval - 1);
        EXPECT_TRUE(changes.empty()) << c.interval;
        Pass(1);
        EXPECT_EQ(changes.size(), 1u) << c.interval;
    }
}

TEST_F(GifPlayerTest, SavedPropertiesReadBack)
{
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(Resource(101)));
    forms::PropertyBag defaults;
    gif().SaveProperties(defaults);
    // Only the file bytes (gone at run time once built) and the values that
    // differ from their defaults are written.
    ASSERT_EQ(defaults.Entries().size(), 2u);
    EXPECT_EQ(defaults.Entries()[0].key, L"GIF");
    EXPECT_EQ(defaults.Entries()[1].key, L"Stretch");

    const auto bytes = test::HandGif(2, 2)
                           .Loops(4)
                           .Add({.width = 2, .height = 2, .disposal = 1})
                           .Add({.width = 1, .height = 1, .disposal = 1})
                           .Bytes();
    forms::PropertyBag layout{{L"GIF", forms::Bytes(bytes)},
                              {L"Delay", 5},
                              {L"DelayLoad", -1},
                              {L"StepDelay", 30},
                              {L"BkgUsed", true},
                              {L"Loops", 7}};
    PlayerForm other([&](PlayerForm& f) {
        f.Gif.Load(f, forms::ControlArgs{.name = L"Gif", .width = 600, .height = 600}, &layout);
    });
    other.Load();
    EXPECT_EQ(other.Gif->MinFrameDelay(), 5);  // not clamped when read
    EXPECT_EQ(other.Gif->DelayAnimation(), 1);
    EXPECT_EQ(other.Gif->SteppedDelay(), 30);
    EXPECT_TRUE(other.Gif->SolidBkgColorUsed());
    EXPECT_EQ(other.Gif->Loops(), 7);
    EXPECT_EQ(other.Gif->LoopsRemaining(), 7);
    EXPECT_EQ(other.Gif->FrameCount(), 2);
    other.Unload();
}

TEST_F(GifPlayerTest, DesignTimeDecodesFrameOneAndKeepsTheBytes)
{
    PlayerForm design([](PlayerForm& f) {
        f.Gif.Load(f, forms::ControlArgs{.name = L"Gif", .width = 1500, .height = 1500});
    });
    design.DesignMode = true;
    design.Load();
    design.Show();
    ucGifPlayer& g = *design.Gif;
    const auto bytes = test::ReadWholeFileBytes(test::CorpusDir() + "keep_offsets.gif");
    ASSERT_TRUE(g.LoadAnimatedGIF_Array(bytes));
    EXPECT_EQ(g.FrameCount(), 4);
    EXPECT_TRUE(g.HoldsGifBytes());
    EXPECT_FALSE(g.HasCanvas());
    g.Action(1);
    EXPECT_EQ(g.Action(), 0);
    Pass(1000);
    EXPECT_EQ(g.CurrentFrame(), 1);
    forms::PropertyBag saved;
    g.SaveProperties(saved);
    const forms::PropertyValue* gifBytes = saved.Find(L"GIF");
    ASSERT_NE(gifBytes, nullptr);
    EXPECT_EQ(std::get<forms::Bytes>(*gifBytes), bytes);
    design.Unload();
}

TEST_F(GifPlayerTest, AssigningAPictureAtDesignTimeLoadsItsFile)
{
    PlayerForm design([](PlayerForm& f) {
        f.Gif.Load(f, forms::ControlArgs{.name = L"Gif", .width = 3000, .height = 3000});
    });
    design.DesignMode = true;
    design.Load();
    const auto bytes = test::ReadWholeFileBytes(test::CorpusDir() + "keep_offsets.gif");
    design.Gif->AnimatedGIF(forms::Picture::FromBytes(bytes));
    EXPECT_EQ(design.Gif->FrameCount(), 4);
    EXPECT_EQ(design.Gif->Width(), 41 * 15);  // the control takes the picture's size
    design.Gif->AnimatedGIF(nullptr);
    EXPECT_EQ(design.Gif->FrameCount(), 0);
    design.Unload();
}

TEST_F(GifPlayerTest, PalettesAndTheirCache)
{
    const auto bytes =
        test::HandGif(2, 1, {0x102030, 0x405060})
            .Add({.width = 2, .height = 1, .pixels = {0, 1}, .disposal = 1})
            .Add({.width = 2, .height = 1, .pixels = {1, 0}, .disposal = 1, .localTable = {0xAA, 0xBB}})
            .Bytes();
    gif().DelayAnimation(2);
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(bytes));
    Pass(20);
    std::vector<int32_t> entries{7};
    EXPECT_FALSE(gif().GetPalette(1, entries));  // frame 1 uses the global table
    EXPECT_EQ(entries, std::vector<int32_t>{7});
    EXPECT_FALSE(gif().GetPalette(3, entries));
    ASSERT_TRUE(gif().GetPalette(0, entries));
    EXPECT_EQ(entries, (std::vector<int32_t>{0x102030, 0x405060}));
    ASSERT_TRUE(gif().GetPalette(2, entries));
    EXPECT_EQ(entries, (std::vector<int32_t>{0xAA, 0xBB}));

    EXPECT_TRUE(gif().CacheColorTables());
    EXPECT_FALSE(gif().CacheColorTables());
    EXPECT_FALSE(gif().SetPalette(0, {0xFF0000}));  // fewer entries than the table
    ASSERT_TRUE(gif().SetPalette(0, {0xFF0000, 0x00FF00, 0x123456}));
    gif().Refresh();
    EXPECT_EQ(gif().Point(0, 0), static_cast<int64_t>(RGB(255, 0, 0)));
    EXPECT_TRUE(gif().RestoreColorTables(false));
    gif().Refresh();
    EXPECT_EQ(gif().Point(0, 0), static_cast<int64_t>(RGB(0x10, 0x20, 0x30)));
    ASSERT_TRUE(gif().SetPalette(0, {0xFF0000, 0x00FF00}));
    EXPECT_TRUE(gif().RestoreColorTables(true));
    EXPECT_FALSE(gif().RestoreColorTables(false));
    ASSERT_TRUE(gif().GetPalette(0, entries));
    EXPECT_EQ(entries, (std::vector<int32_t>{0x102030, 0x405060}));
}

TEST_F(GifPlayerTest, RepeatedPaintingAndLoadingLeaveNoGdiObjects)
{
    const long before = forms::gdi::LiveObjects();
    gif().SolidBkgColorUsed(true);
    for (const char* name : {"all_disposals.gif", "interlaced.gif", "background_transparent.gif"}) {
        ASSERT_TRUE(gif().LoadAnimatedGIF_Array(test::ReadWholeFileBytes(test::CorpusDir() + name)));
        for (int i = 0; i < 40; ++i)
            Pass(60);
    }
    EXPECT_FALSE(gif().LoadAnimatedGIF_Array({}));
    EXPECT_EQ(forms::gdi::LiveObjects(), before);
}

TEST_F(GifPlayerTest, MirroringMovesAndFlipsFrames)
{
    const auto bytes =
        test::HandGif(100, 4)
            .Add({.width = 100, .height = 4, .pixels = std::vector<uint8_t>(400, 1), .disposal = 1})
            .Add({.left = 10, .width = 20, .height = 2, .pixels = std::vector<uint8_t>(40, 2), .disposal = 1})
            .Bytes();
    gif().DelayAnimation(2);
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(bytes));
    Pass(20);
    gif().Mirrored(1);
    EXPECT_EQ(gif().Frames()[1].Left, 70);
    gif().Action(3);
    EXPECT_EQ(gif().Point(75, 0), static_cast<int64_t>(RGB(255, 0, 0)));
    EXPECT_EQ(gif().Point(15, 0), static_cast<int64_t>(RGB(255, 255, 255)));
    gif().Mirrored(0);
    EXPECT_EQ(gif().Frames()[1].Left, 10);
}

std::wstring TempFile(const wchar_t* name, const std::vector<uint8_t>& bytes)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + name;
    HANDLE h =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return path;
}

TEST_F(GifPlayerTest, RemoteLoadValidatesThenLoads)
{
    std::vector<std::wstring> log;
    bool cancel = false;
    gif().RemoteLoadComplete = [&](float w, float h, bool& c) {
        log.push_back(L"Complete " + std::to_wstring(int(w)) + L"x" + std::to_wstring(int(h)));
        c = cancel;
    };
    gif().RemoteLoadFailure = [&] { log.push_back(L"Failure"); };
    auto heard = [&] { return !log.empty(); };

    const auto bytes = test::ReadWholeFileBytes(test::CorpusDir() + "keep_offsets.gif");
    gif().LoadAnimatedGIF_Remote(TempFile(L"remote_ok.gif", bytes));
    EXPECT_TRUE(log.empty());  // the read runs after the call returns
    ASSERT_TRUE(quill::test::PumpUntil(heard, "the read's outcome"));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"Complete 615x495"}));  // 41 x 33 pixels in twips
    EXPECT_EQ(gif().FrameCount(), 4);

    log.clear();
    gif().LoadAnimatedGIF_Remote(TempFile(L"remote_short.gif", {bytes.begin(), bytes.begin() + 14}));
    ASSERT_TRUE(quill::test::PumpUntil(heard, "the read's outcome"));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"Failure"}));
    EXPECT_EQ(gif().FrameCount(), 4);

    log.clear();
    cancel = true;
    gif().LoadAnimatedGIF_Remote(TempFile(L"remote_cancel.gif", Resource(102)));
    ASSERT_TRUE(quill::test::PumpUntil(heard, "the read's outcome"));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"Complete 1500x1500"}));
    EXPECT_EQ(gif().FrameCount(), 4);  // the picture shown stays

    log.clear();
    gif().LoadAnimatedGIF_Remote(L"C:\\no such folder\\missing.gif");
    ASSERT_TRUE(quill::test::PumpUntil(heard, "the read's outcome"));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"Failure"}));
}

// A server that has not answered yet holds up nothing: the window keeps
// handling its messages (and its animation its frames) until the answer.
TEST_F(GifPlayerTest, ARemoteLoadNeverBlocksTheWindow)
{
    const auto failure = Resource(102);
    quill::test::OneShotServer server(std::string(failure.begin(), failure.end()), /*held=*/true);
    ASSERT_TRUE(gif().LoadAnimatedGIF_Array(Resource(101)));
    Pass(20);
    std::vector<std::wstring> log;
    gif().RemoteLoadComplete = [&](float w, float h, bool&) { log.push_back(L"Complete"); };
    gif().RemoteLoadFailure = [&] { log.push_back(L"Failure"); };

    gif().LoadAnimatedGIF_Remote(server.Url(L"/failed.gif"));
    ASSERT_TRUE(quill::test::PumpUntil([&] { return server.RequestArrived(); }, "the request"));
    // While the answer is held: frames go on, posted messages are handled.
    const int before = gif().CurrentFrame();
    Pass(80);
    EXPECT_EQ(gif().CurrentFrame(), before % 8 + 1);
    quill::test::PumpPosted();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(gif().FrameCount(), 8);

    server.Answer();
    ASSERT_TRUE(quill::test::PumpUntil([&] { return !log.empty(); }, "the read's outcome"));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"Complete"}));
    EXPECT_EQ(gif().FrameCount(), 1);
}

// A read still running when the control ends is dropped, not delivered.
TEST_F(GifPlayerTest, AReadStillRunningWhenTheControlEndsIsDropped)
{
    const auto failure = Resource(102);
    quill::test::OneShotServer server(std::string(failure.begin(), failure.end()), /*held=*/true);
    gif().LoadAnimatedGIF_Remote(server.Url(L"/failed.gif"));
    ASSERT_TRUE(quill::test::PumpUntil([&] { return server.RequestArrived(); }, "the request"));
    form.Unload();
    server.Answer();
    quill::test::PumpPosted();
    form.Load();
    form.Show();
    EXPECT_EQ(gif().FrameCount(), 0);
}

// Anything that fails inside a load makes it return False, an error raised
// by the FrameChanged handler it calls included.
TEST_F(GifPlayerTest, AnErrorInAFrameChangedHandlerMakesTheLoadFalse)
{
    onFrameChanged = [](int32_t) { throw forms::RuntimeError(5); };
    EXPECT_FALSE(gif().LoadAnimatedGIF_Array(Resource(102)));  // one frame: announced by the load
    EXPECT_EQ(changes.size(), 1u);
    EXPECT_EQ(gif().FrameCount(), 1);  // the picture the handler saw stays
    onFrameChanged = nullptr;
    EXPECT_TRUE(gif().LoadAnimatedGIF_Array(Resource(101)));
}

// The login window's progress panel: a frame of its own colour holds the
// animation; where a picture is see-through, the frame shows, not the
// control's own back colour.
TEST_F(GifPlayerTest, SeeThroughPixelsShowTheContainerBehind)
{
    constexpr COLORREF kPanel = RGB(0, 128, 255);
    PanelForm panelForm(LayOutPanel, kPanelDesign);
    panelForm.Load();
    panelForm.Panel->BackColor(kPanel);
    panelForm.Show();
    ucGifPlayer& loading = *panelForm.Loading;
    loading.BackColor(RGB(0, 255, 0));
    loading.Stretch(4);
    // Two frames, the second see-through around a single covered pixel.
    const auto bytes =
        test::HandGif(3, 3)
            .Add({.width = 3, .height = 3, .pixels = std::vector<uint8_t>(9, 1), .disposal = 2})
            .Add({.width = 3,
                  .height = 3,
                  .pixels = {0, 0, 0, 0, 2, 0, 0, 0, 0},
                  .disposal = 1,
                  .transparentIndex = 0})
            .Bytes();
    loading.DelayAnimation(2);
    ASSERT_TRUE(loading.LoadAnimatedGIF_Array(bytes));
    Pass(20);
    // Stepped to frame 2 before frame 1 was ever drawn: nothing has covered
    // the corners yet.
    loading.Action(3);
    ASSERT_EQ(loading.CurrentFrame(), 2);
    EXPECT_EQ(loading.Point(0, 0), static_cast<int64_t>(kPanel));
    EXPECT_EQ(loading.Point(2, 2), static_cast<int64_t>(kPanel));
    EXPECT_EQ(loading.Point(1, 1), static_cast<int64_t>(RGB(255, 0, 0)));  // index 2 of the table
    // And on the screen, not only on the control's own surface.
    EXPECT_EQ(quill::test::WindowPixel(loading.hWnd(), 0, 0), kPanel);
    panelForm.Unload();
}

}  // namespace
}  // namespace quill::gif
