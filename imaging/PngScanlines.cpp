// The PNG scanline decoder (PngScanlines.h): the filters undone a pixel at a
// time in SSE2 registers, and the pixels of every colour type and depth
// written into the picture's rows.
#include "imaging/PngScanlines.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <emmintrin.h>  // SSE2, part of every x86-64 processor

#include "imaging/PixelView.h"
#include "imaging/modParsers.h"

namespace quill::imaging {
namespace {

struct Pass {
    int firstRow;
    int rowStep;
    int firstColumn;
    int columnStep;
};

// The seven Adam7 passes, then a non-interlaced image as one pass.
constexpr Pass Passes[8] = {{0, 8, 0, 8}, {0, 8, 4, 8}, {4, 8, 0, 4}, {0, 4, 2, 4},
                            {2, 4, 0, 2}, {0, 2, 1, 2}, {1, 2, 0, 1}, {0, 1, 0, 1}};
constexpr int WholeImagePass = 7;

uint64_t SourceBitsPerPixel(const PngHeader& h)
{
    return uint64_t(PngChannels(h.colourType)) * h.bitDepth;
}

// The filters' step: whole bytes per pixel, at least 1.
size_t FilterStep(const PngHeader& h)
{
    const uint64_t bits = SourceBitsPerPixel(h);
    return bits < 8 ? 1 : static_cast<size_t>(bits / 8);
}

uint64_t RowByteCount(uint64_t pixels, uint64_t bitsPerPixel)
{
    return (pixels * bitsPerPixel + 7) / 8;
}

int64_t PassColumns(const PngHeader& h, const Pass& p)
{
    return h.width / p.columnStep + (p.firstColumn < h.width % p.columnStep ? 1 : 0);
}

int64_t PassRows(const PngHeader& h, const Pass& p)
{
    return h.height / p.rowStep + (p.firstRow < h.height % p.rowStep ? 1 : 0);
}

uint32_t Opaque(uint32_t r, uint32_t g, uint32_t b)
{
    return Bgra(b, g, r, 255);
}

uint32_t Premultiplied(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return Premultiply(b, g, r, a);
}

void Store(uint8_t* at, uint32_t pixel)
{
    std::memcpy(at, &pixel, 4);
}

// Sub, Average and Paeth take each byte from the one a whole pixel before it,
// so a row is a chain of pixels: the chain runs a pixel (up to 8 bytes) at a
// time in one register, and Paeth chooses its predictor with masks, not
// branches, which the rows of photos and soft edges would mispredict.
template <size_t Step>
__m128i LoadBytes(const uint8_t* p)
{
    uint64_t v = 0;
    std::memcpy(&v, p, Step);
    return _mm_cvtsi64_si128(static_cast<long long>(v));
}

template <size_t Step>
void StoreBytes(uint8_t* p, __m128i v)
{
    const auto bytes = static_cast<uint64_t>(_mm_cvtsi128_si64(v));
    std::memcpy(p, &bytes, Step);
}

// A pixel's bytes as 16-bit lanes, where sums and differences cannot wrap.
template <size_t Step>
__m128i LoadWide(const uint8_t* p)
{
    return _mm_unpacklo_epi8(LoadBytes<Step>(p), _mm_setzero_si128());
}

template <size_t Step>
void StoreWide(uint8_t* p, __m128i v)
{
    StoreBytes<Step>(p, _mm_packus_epi16(v, v));
}

__m128i Abs16(__m128i v)
{
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// Paeth: of left, above and above-left, the one nearest to left + above -
// above-left, ties going to left, then above; the result is the pixel made.
// What does not need the pixel to the left is worked out apart, so that the
// chain from one pixel to the next is as short as it can be: both sums with
// the stored bytes that may win besides left's, and the distance that above
// and above-left alone decide.
__m128i PaethPixel(__m128i left, __m128i above, __m128i aboveLeft, __m128i stored)
{
    const __m128i lowByte = _mm_set1_epi16(0xFF);
    const __m128i rise = _mm_sub_epi16(above, aboveLeft);
    const __m128i pa = Abs16(rise);  // distance of left
    const __m128i withAbove = _mm_and_si128(_mm_add_epi16(stored, above), lowByte);
    const __m128i withAboveLeft = _mm_and_si128(_mm_add_epi16(stored, aboveLeft), lowByte);
    const __m128i eitherAbove = _mm_xor_si128(withAbove, withAboveLeft);
    // From here on the chain:
    const __m128i run = _mm_sub_epi16(left, aboveLeft);
    const __m128i backRun = _mm_sub_epi16(aboveLeft, left);
    const __m128i pb = _mm_max_epi16(run, backRun);  // distance of above
    const __m128i pc = _mm_max_epi16(_mm_add_epi16(run, rise), _mm_sub_epi16(backRun, rise));
    const __m128i notLeft = _mm_cmpgt_epi16(pa, _mm_min_epi16(pb, pc));
    const __m128i notAbove = _mm_cmpgt_epi16(pb, pc);
    const __m128i withLeft = _mm_and_si128(_mm_add_epi16(stored, left), lowByte);
    const __m128i withOther = _mm_xor_si128(withAbove, _mm_and_si128(notAbove, eitherAbove));
    return _mm_or_si128(_mm_and_si128(notLeft, withOther), _mm_andnot_si128(notLeft, withLeft));
}

// The pixel left of the first one reads as zero, for every filter; so does
// the one above-left of it for Paeth, which then takes the byte above.
template <size_t Step>
void UnfilterChain(uint8_t type, const uint8_t* src, uint8_t* row, const uint8_t* prior, size_t n)
{
    const __m128i lowByte = _mm_set1_epi16(0xFF);
    __m128i left = _mm_setzero_si128();
    switch (type) {
    case 1:
        for (size_t i = 0; i < n; i += Step) {
            left = _mm_add_epi8(LoadBytes<Step>(src + i), left);
            StoreBytes<Step>(row + i, left);
        }
        break;
    case 3:
        for (size_t i = 0; i < n; i += Step) {
            const __m128i mean = _mm_srli_epi16(_mm_add_epi16(left, LoadWide<Step>(prior + i)), 1);
            left = _mm_and_si128(_mm_add_epi16(LoadWide<Step>(src + i), mean), lowByte);
            StoreWide<Step>(row + i, left);
        }
        break;
    default: {
        __m128i aboveLeft = _mm_setzero_si128();
        for (size_t i = 0; i < n; i += Step) {
            const __m128i above = LoadWide<Step>(prior + i);
            left = PaethPixel(left, above, aboveLeft, LoadWide<Step>(src + i));
            StoreWide<Step>(row + i, left);
            aboveLeft = above;
        }
        break;
    }
    }
}

// What lies between two Paeth rows made together: nothing, an Up row, or a
// row of filter type 0.
enum class Between { Nothing, Up, Stored };

// Two Paeth rows at once, for pixels of up to 4 bytes: the first row's pixel
// k in the low half of the register, the second row's pixel k - 1 in the high
// half, whose above and above-left are pixels k - 1 and k - 2 of the row
// before it, made one and two steps before: of the first row, or of the row
// between, which the same step makes from the first row's pixel. The same
// instructions make two Paeth pixels. The row between is written to `rowMid`.
template <size_t Step, Between Middle>
void UnfilterPaethRows(const uint8_t* src0, const uint8_t* srcMid, const uint8_t* src1, uint8_t* row0,
                       uint8_t* rowMid, uint8_t* row1, const uint8_t* prior, size_t n)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i lowByte = _mm_set1_epi16(0xFF);
    __m128i left = zero, aboveLeft = zero;
    const auto step = [&](__m128i aboveLow, __m128i storedLow, __m128i storedHigh, __m128i storedMid) {
        __m128i above = _mm_unpacklo_epi64(aboveLow, left);
        if constexpr (Middle == Between::Up)
            above = _mm_and_si128(_mm_add_epi16(above, _mm_unpacklo_epi64(zero, storedMid)), lowByte);
        else if constexpr (Middle == Between::Stored)
            above = _mm_unpacklo_epi64(aboveLow, storedMid);
        left = PaethPixel(left, above, aboveLeft, _mm_unpacklo_epi64(storedLow, storedHigh));
        aboveLeft = above;
        if constexpr (Middle != Between::Nothing)
            return _mm_srli_si128(above, 8);
        else
            return zero;
    };
    // The second row starts a step late: its half reads zeros, and so makes
    // zero, the left of its first pixel.
    step(LoadWide<Step>(prior), LoadWide<Step>(src0), zero, zero);
    StoreWide<Step>(row0, left);
    const auto storeLate = [&](size_t i, __m128i mid) {
        StoreWide<Step>(row1 + i, _mm_srli_si128(left, 8));
        if constexpr (Middle != Between::Nothing)
            StoreWide<Step>(rowMid + i, mid);
    };
    for (size_t i = Step; i < n; i += Step) {
        const __m128i mid =
            step(LoadWide<Step>(prior + i), LoadWide<Step>(src0 + i), LoadWide<Step>(src1 + i - Step),
                 Middle == Between::Nothing ? zero : LoadWide<Step>(srcMid + i - Step));
        StoreWide<Step>(row0 + i, left);
        storeLate(i - Step, mid);
    }
    const __m128i mid = step(zero, zero, LoadWide<Step>(src1 + n - Step),
                             Middle == Between::Nothing ? zero : LoadWide<Step>(srcMid + n - Step));
    storeLate(n - Step, mid);
}

template <size_t Step>
void UnfilterPaethRows(Between middle, const uint8_t* src0, const uint8_t* srcMid, const uint8_t* src1,
                       uint8_t* row0, uint8_t* rowMid, uint8_t* row1, const uint8_t* prior, size_t n)
{
    switch (middle) {
    case Between::Nothing:
        return UnfilterPaethRows<Step, Between::Nothing>(src0, srcMid, src1, row0, rowMid, row1, prior, n);
    case Between::Up:
        return UnfilterPaethRows<Step, Between::Up>(src0, srcMid, src1, row0, rowMid, row1, prior, n);
    case Between::Stored:
        return UnfilterPaethRows<Step, Between::Stored>(src0, srcMid, src1, row0, rowMid, row1, prior, n);
    }
}

void UnfilterPaethRows(Between middle, size_t step, const uint8_t* src0, const uint8_t* srcMid,
                       const uint8_t* src1, uint8_t* row0, uint8_t* rowMid, uint8_t* row1,
                       const uint8_t* prior, size_t n)
{
    switch (step) {
    case 1:
        return UnfilterPaethRows<1>(middle, src0, srcMid, src1, row0, rowMid, row1, prior, n);
    case 2:
        return UnfilterPaethRows<2>(middle, src0, srcMid, src1, row0, rowMid, row1, prior, n);
    case 3:
        return UnfilterPaethRows<3>(middle, src0, srcMid, src1, row0, rowMid, row1, prior, n);
    default:
        return UnfilterPaethRows<4>(middle, src0, srcMid, src1, row0, rowMid, row1, prior, n);
    }
}

// Four RGBA pixels to premultiplied BGRA, as Premultiply does each: colour x
// alpha / 255 rounded down is exactly (x + 1 + (x >> 8)) >> 8 for every
// product x of two bytes, and it keeps alpha 255 and clears alpha 0 without
// a branch.
void PremultiplyFour(const uint8_t* src, uint8_t* out)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi16(1);
    // The alpha lane is multiplied by 255 and so divided back to itself.
    const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i alphaTimes = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    const auto two = [&](__m128i rgba) {
        const __m128i bgra =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(rgba, _MM_SHUFFLE(3, 0, 1, 2)), _MM_SHUFFLE(3, 0, 1, 2));
        const __m128i alpha =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(rgba, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
        const __m128i x = _mm_mullo_epi16(bgra, _mm_or_si128(_mm_and_si128(alpha, colourLanes), alphaTimes));
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, one), _mm_srli_epi16(x, 8)), 8);
    };
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i lo = two(_mm_unpacklo_epi8(v, zero));
    const __m128i hi = two(_mm_unpackhi_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(lo, hi));
}

// Undoes one row's filter from `src` into `row`. `prior` is the previous row
// of the same pass, unfiltered (all zero for its first row). Rows of filter
// types above 4 are taken as stored.
void Unfilter(uint8_t type, const uint8_t* src, uint8_t* row, const uint8_t* prior, size_t n, size_t step)
{
    switch (type) {
    case 1:
    case 3:
    case 4:
        switch (step) {
        case 1:
            return UnfilterChain<1>(type, src, row, prior, n);
        case 2:
            return UnfilterChain<2>(type, src, row, prior, n);
        case 3:
            return UnfilterChain<3>(type, src, row, prior, n);
        case 4:
            return UnfilterChain<4>(type, src, row, prior, n);
        case 6:
            return UnfilterChain<6>(type, src, row, prior, n);
        default:
            return UnfilterChain<8>(type, src, row, prior, n);
        }
    case 2:
        for (size_t i = 0; i < n; ++i)
            row[i] = uint8_t(src[i] + prior[i]);
        break;
    default:
        std::memcpy(row, src, n);
        break;
    }
}

// Colours of every sample value of a grey or palette image below 16 bits;
// values at or above `limit` have no palette entry.
struct SampleColours {
    std::array<uint32_t, 256> pixel{};
    unsigned limit = 256;
};

SampleColours MakeSampleColours(const PngHeader& h, const PngColours& c)
{
    SampleColours s;
    const size_t entries = c.palette.size() / 3;
    if (h.colourType == 3) {
        s.limit = static_cast<unsigned>(entries < 256 ? entries : 256);
        for (unsigned i = 0; i < s.limit; ++i) {
            const uint8_t* rgb = &c.palette[i * 3];
            const uint32_t a =
                c.transparencyKey == -1 || i >= c.paletteAlphas.size() ? 255 : c.paletteAlphas[i];
            s.pixel[i] = Premultiplied(rgb[0], rgb[1], rgb[2], a);
        }
    } else {
        for (unsigned i = 0; i < 256; ++i) {
            const uint32_t grey = i < entries ? c.palette[i * 3] : 0;
            s.pixel[i] = int32_t(i) == c.transparencyKey ? 0 : Opaque(grey, grey, grey);
        }
    }
    return s;
}

class PassWriter {
public:
    PassWriter(const PngHeader& h, const PngColours& c, uint8_t* pixels)
        : h_(h), c_(c), pixels_(pixels), samples_(h.bitDepth < 16 ? MakeSampleColours(h, c) : SampleColours{})
    {
    }

    // Writes row `d` of pass `p` from its unfiltered samples.
    bool WritePassRow(const Pass& p, int64_t d, const uint8_t* samples)
    {
        const int64_t y = p.firstRow + d * p.rowStep;
        uint8_t* out = pixels_ + (static_cast<size_t>(h_.height - 1 - y) * h_.width + p.firstColumn) * 4;
        return WriteRow(samples, out, (h_.width - p.firstColumn + p.columnStep - 1) / p.columnStep,
                        size_t(p.columnStep) * 4);
    }

private:
    bool WriteRow(const uint8_t* src, uint8_t* out, int count, size_t outStep)
    {
        if (h_.bitDepth < 16 && (h_.colourType == 0 || h_.colourType == 3))
            return Indexed(src, out, count, outStep);
        if (h_.bitDepth == 16)
            return Wide(src, out, count, outStep);
        Colour(src, out, count, outStep);
        return true;
    }

    bool Indexed(const uint8_t* src, uint8_t* out, int count, size_t outStep)
    {
        const unsigned depth = h_.bitDepth;
        if (depth == 8) {
            for (int i = 0; i < count; ++i, out += outStep) {
                const unsigned v = src[i];
                if (v >= samples_.limit)
                    return false;
                Store(out, samples_.pixel[v]);
            }
            return true;
        }
        const unsigned mask = (1u << depth) - 1;
        int shift = 8 - int(depth);
        for (int i = 0; i < count; ++i, out += outStep) {
            const unsigned v = (*src >> shift) & mask;
            if (v >= samples_.limit)
                return false;
            Store(out, samples_.pixel[v]);
            shift -= int(depth);
            if (shift < 0) {
                shift = 8 - int(depth);
                ++src;
            }
        }
        return true;
    }

    void Colour(const uint8_t* src, uint8_t* out, int count, size_t outStep)
    {
        switch (h_.colourType) {
        case 6: {
            int i = 0;
            if (outStep == 4)
                for (; i + 4 <= count; i += 4, out += 16, src += 16)
                    PremultiplyFour(src, out);
            for (; i < count; ++i, out += outStep, src += 4)
                Store(out, Premultiplied(src[0], src[1], src[2], src[3]));
            break;
        }
        case 4:
            for (int i = 0; i < count; ++i, out += outStep, src += 2)
                Store(out, Premultiplied(src[0], src[0], src[0], src[1]));
            break;
        default: {
            const int32_t key = c_.transparencyKey;
            for (int i = 0; i < count; ++i, out += outStep, src += 3) {
                const int32_t rgb = (src[0] << 16) | (src[1] << 8) | src[2];
                Store(out, rgb == key ? 0 : Opaque(src[0], src[1], src[2]));
            }
            break;
        }
        }
    }

    // 16-bit samples: only the high byte of each is used, also when the
    // transparency colour is compared.
    bool Wide(const uint8_t* src, uint8_t* out, int count, size_t outStep)
    {
        const bool keyed = c_.transparencyKey != -1;
        // The key may have come from an earlier tRNS chunk than the bytes kept
        // now: a later, shorter one is compared as it is, and a byte it lacks
        // matches no sample.
        const auto keyByte = [&](size_t i) {
            return i < c_.paletteAlphas.size() ? int(c_.paletteAlphas[i]) : -1;
        };
        const int t[5] = {keyByte(0), -1, keyByte(2), -1, keyByte(4)};
        switch (h_.colourType) {
        case 6:
            for (int i = 0; i < count; ++i, out += outStep, src += 8)
                Store(out, Premultiplied(src[0], src[2], src[4], src[6]));
            break;
        case 4:
            for (int i = 0; i < count; ++i, out += outStep, src += 4)
                Store(out, Premultiplied(src[0], src[0], src[0], src[2]));
            break;
        case 2:
            for (int i = 0; i < count; ++i, out += outStep, src += 6) {
                const bool clear = keyed && src[0] == t[0] && src[2] == t[2] && src[4] == t[4];
                Store(out, clear ? 0 : Opaque(src[0], src[2], src[4]));
            }
            break;
        case 0:
            for (int i = 0; i < count; ++i, out += outStep, src += 2) {
                const bool clear = keyed && src[0] == t[0];
                Store(out, clear ? 0 : Opaque(src[0], src[0], src[0]));
            }
            break;
        default:
            break;
        }
        return true;
    }

    const PngHeader& h_;
    const PngColours& c_;
    uint8_t* pixels_;
    SampleColours samples_;
};

}  // namespace

int PngChannels(uint8_t colourType)
{
    switch (colourType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

bool IsValidDepthForColourType(uint8_t bitDepth, uint8_t colourType)
{
    switch (colourType) {
    case 0:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case 3:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case 2:
    case 4:
    case 6:
        return bitDepth == 8 || bitDepth == 16;
    default:
        return false;
    }
}

uint64_t FilteredDataSize(const PngHeader& h)
{
    if (h.width < 1 || h.height < 1)
        return 0;
    const uint64_t bits = SourceBitsPerPixel(h);
    uint64_t total = 0;
    if (h.interlace == 0) {
        total = (RowByteCount(uint64_t(h.width), bits) + 1) * uint64_t(h.height);
    } else {
        for (int p = 0; p < 7; ++p) {
            const int64_t columns = PassColumns(h, Passes[p]);
            const int64_t rows = PassRows(h, Passes[p]);
            if (columns > 0 && rows > 0)
                total += uint64_t(rows) * (RowByteCount(uint64_t(columns), bits) + 1);
        }
    }
    return total > 0x7FFFFFFF ? 0 : total;
}

void BuildGrayPalette(const PngHeader& h, PngColours& c)
{
    if ((h.colourType != 0 && h.colourType != 3) || !c.palette.empty())
        return;
    c.palette.assign(768, 0);
    if (h.colourType == 0 && h.bitDepth <= 8) {
        const unsigned n = 1u << h.bitDepth;
        for (unsigned i = 1; i < n; ++i) {
            const uint8_t grey = uint8_t((255 / (n - 1)) * i);
            c.palette[i * 3] = c.palette[i * 3 + 1] = c.palette[i * 3 + 2] = grey;
        }
    } else if (h.colourType == 3 && h.bitDepth == 1) {
        c.palette[3] = c.palette[4] = c.palette[5] = 255;
    }
}

struct ScanlineDecoder::State {
    State(const PngHeader& h, const PngColours& c, uint8_t* pixels)
        : writer(h, c, pixels), bits(SourceBitsPerPixel(h)), step(FilterStep(h)),
          interlaced(h.interlace != 0), pass(interlaced ? 0 : WholeImagePass)
    {
    }
    PassWriter writer;
    const uint64_t bits;
    const size_t step;
    const bool interlaced;
    int pass;
    int64_t rows = 0;  // of the current pass
    int64_t row = 0;   // the next row of it
    size_t rowBytes = 0;
    std::vector<uint8_t> pending;  // up to three rows the data stopped short of
    size_t pendingFill = 0;
    std::vector<uint8_t> prior, current, middle, next;
};

ScanlineDecoder::ScanlineDecoder(const PngHeader& h, const PngColours& c, uint8_t* pixels)
    : h_(h), s_(std::make_unique<State>(h, c, pixels))
{
    // The buffers fit the widest pass: the last one, or the whole image.
    const size_t widest = static_cast<size_t>(RowByteCount(uint64_t(h.width), s_->bits));
    s_->pending.resize(3 * (widest + 1));
    s_->prior.resize(widest);
    s_->current.resize(widest);
    s_->middle.resize(widest);
    s_->next.resize(widest);
    StartPass();
}

ScanlineDecoder::~ScanlineDecoder() = default;

bool ScanlineDecoder::Done() const
{
    return s_->pass >= 8 || (s_->interlaced && s_->pass >= 7);
}

void ScanlineDecoder::StartPass()
{
    State& s = *s_;
    for (; !Done(); ++s.pass) {
        const Pass& p = Passes[s.pass];
        const int64_t columns = PassColumns(h_, p);
        s.rows = PassRows(h_, p);
        if (columns < 1 || s.rows < 1)
            continue;  // a pass without pixels takes no bytes
        s.row = 0;
        s.rowBytes = static_cast<size_t>(RowByteCount(uint64_t(columns), s.bits));
        std::fill_n(s.prior.begin(), s.rowBytes, uint8_t{0});
        return;
    }
}

bool ScanlineDecoder::Row(const uint8_t* filtered)
{
    State& s = *s_;
    if (filtered[0] > 4 && s.interlaced)
        return false;
    Unfilter(filtered[0], filtered + 1, s.current.data(), s.prior.data(), s.rowBytes, s.step);
    if (!s.writer.WritePassRow(Passes[s.pass], s.row, s.current.data()))
        return false;
    s.prior.swap(s.current);
    if (++s.row == s.rows) {
        ++s.pass;
        StartPass();
    }
    return true;
}

size_t ScanlineDecoder::RowsTogether(const uint8_t* filtered, size_t available) const
{
    const State& s = *s_;
    const size_t stride = s.rowBytes + 1;
    if (available < stride)
        return 0;
    if (s.step > 4 || filtered[0] != 4 || s.row + 1 >= s.rows)
        return 1;
    if (available == stride)
        return 0;  // the next row's filter type decides
    const uint8_t second = filtered[stride];
    if (second == 4)
        return available >= 2 * stride ? 2 : 0;
    if ((second != 0 && second != 2) || s.row + 2 >= s.rows)
        return 1;
    if (available <= 2 * stride)
        return 0;
    if (filtered[2 * stride] != 4)
        return 1;
    return available >= 3 * stride ? 3 : 0;
}

bool ScanlineDecoder::Rows(const uint8_t* filtered, size_t count)
{
    State& s = *s_;
    const size_t stride = s.rowBytes + 1;
    const Between middle = count == 2              ? Between::Nothing
                           : filtered[stride] == 2 ? Between::Up
                                                   : Between::Stored;
    UnfilterPaethRows(middle, s.step, filtered + 1, filtered + stride + 1,
                      filtered + (count - 1) * stride + 1, s.current.data(), s.middle.data(), s.next.data(),
                      s.prior.data(), s.rowBytes);
    const Pass& p = Passes[s.pass];
    if (!s.writer.WritePassRow(p, s.row, s.current.data()) ||
        (count == 3 && !s.writer.WritePassRow(p, s.row + 1, s.middle.data())) ||
        !s.writer.WritePassRow(p, s.row + int64_t(count) - 1, s.next.data()))
        return false;
    s.prior.swap(s.next);
    s.row += int64_t(count);
    if (s.row == s.rows) {
        ++s.pass;
        StartPass();
    }
    return true;
}

bool ScanlineDecoder::MakeRows(size_t together, const uint8_t* filtered)
{
    return together == 1 ? Row(filtered) : Rows(filtered, together);
}

bool ScanlineDecoder::MakeKeptRows(size_t together)
{
    State& s = *s_;
    const size_t used = together * (s.rowBytes + 1);
    if (!MakeRows(together, s.pending.data()))
        return false;
    s.pendingFill -= used;
    std::memmove(s.pending.data(), s.pending.data() + used, s.pendingFill);
    return true;
}

bool ScanlineDecoder::Take(std::span<const uint8_t> bytes)
{
    State& s = *s_;
    const uint8_t* data = bytes.data();
    size_t left = bytes.size();
    // Rows are made where they lie in the data, but what the data stops
    // short of (a row cut between two runs, or the rows a Paeth row waits for
    // to be made together with them) is kept until the rest comes.
    for (;;) {
        const bool kept = s.pendingFill > 0;
        const size_t available = kept ? s.pendingFill : left;
        if (available == 0)
            return true;
        if (Done())
            return false;  // more data than the picture has
        const size_t together = RowsTogether(kept ? s.pending.data() : data, available);
        if (together == 0) {
            if (left == 0)
                return true;
            const size_t n = std::min(left, s.pending.size() - s.pendingFill);
            std::memcpy(s.pending.data() + s.pendingFill, data, n);
            s.pendingFill += n;
            data += n;
            left -= n;
        } else if (kept) {
            if (!MakeKeptRows(together))
                return false;
        } else {
            const size_t used = together * (s.rowBytes + 1);
            if (!MakeRows(together, data))
                return false;
            data += used;
            left -= used;
        }
    }
}

bool ScanlineDecoder::Finish()
{
    State& s = *s_;
    while (!Done()) {
        const size_t together = RowsTogether(s.pending.data(), s.pendingFill);
        if (together > 0) {
            if (!MakeKeptRows(together))
                return false;
            continue;
        }
        // The bytes the data did not reach read as zero, to the end of a row.
        const size_t stride = s.rowBytes + 1;
        const size_t end = (s.pendingFill / stride + 1) * stride;
        std::fill(s.pending.begin() + static_cast<ptrdiff_t>(s.pendingFill),
                  s.pending.begin() + static_cast<ptrdiff_t>(end), uint8_t{0});
        s.pendingFill = end;
    }
    return true;
}

}  // namespace quill::imaging
