#include "imaging/GifLzw.h"

#include <algorithm>
#include <cstring>

namespace quill::imaging {

GifLzwDecoder::GifLzwDecoder(std::span<const uint8_t> file, size_t dataStart, int minimumCodeSize)
{
    bits_.end = file.data() + file.size();
    bits_.p = file.data() + std::min(dataStart, file.size());
    if (!CodeSizeAllowed(minimumCodeSize)) {
        stopped_ = true;
        return;
    }
    minimumCodeSize_ = minimumCodeSize;
    clear_ = 1 << minimumCodeSize;
    codeSize_ = minimumCodeSize + 1;
    next_ = clear_ + 2;
    for (int c = 0; c < clear_; ++c) {
        suffix_[c] = first_[c] = static_cast<uint8_t>(c);
        length_[c] = 1;
    }
}

// Tops the store up to at least 57 bits, or with what is left, a sub-block
// at a time.
void GifLzwDecoder::Refill(Bits& in)
{
    while (in.count <= 56) {
        if (in.left == 0) {
            if (in.ended || in.p >= in.end)
                return;
            in.left = *in.p++;
            if (in.left == 0) {
                in.ended = true;
                return;
            }
            in.left = std::min<size_t>(in.left, static_cast<size_t>(in.end - in.p));
            if (in.left == 0)
                return;
        }
        const size_t take = std::min<size_t>(in.left, static_cast<size_t>((64 - in.count) / 8));
        for (size_t i = 0; i < take; ++i) {
            in.bits |= static_cast<uint64_t>(in.p[i]) << in.count;
            in.count += 8;
        }
        in.p += take;
        in.left -= take;
    }
}

inline int GifLzwDecoder::NextCode(Bits& in, int width)
{
    if (in.count < width) {
        Refill(in);
        if (in.count < width)
            return -1;
    }
    const int code = static_cast<int>(in.bits & ((1u << width) - 1));
    in.bits >>= width;
    in.count -= width;
    return code;
}

size_t GifLzwDecoder::Read(uint8_t* indices, size_t count)
{
    size_t done = std::min(count, heldEnd_ - held_);
    if (done > 0) {
        std::memcpy(indices, spill_ + held_, done);
        held_ += done;
    }
    if (stopped_)
        return done;
    // Kept in locals while decoding: the indices written might otherwise be
    // taken to change them.
    Bits in = bits_;
    const int clear = clear_;
    const int end = clear + 1;
    const int firstCodeSize = minimumCodeSize_ + 1;
    int codeSize = codeSize_;
    int next = next_;
    int previous = previous_;
    while (done < count) {
        const int code = NextCode(in, codeSize);
        if (code < 0 || code == end) {
            stopped_ = true;
            break;
        }
        if (code == clear) {
            codeSize = firstCodeSize;
            next = end + 1;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            if (code >= clear) {  // a string code before any string exists
                stopped_ = true;
                break;
            }
        } else {
            if (code > next || (code == next && next >= MaxCodes)) {
                stopped_ = true;
                break;
            }
            // The new entry is the previous string plus the first index of
            // this one; a code not yet in the table (KwKwK) begins with the
            // previous string's. A full table takes no more entries until
            // the next clear code.
            if (next < MaxCodes) {
                prefix_[next] = static_cast<uint16_t>(previous);
                suffix_[next] = code == next ? first_[previous] : first_[code];
                first_[next] = first_[previous];
                length_[next] = static_cast<uint16_t>(length_[previous] + 1);
                ++next;
                if (next == (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            }
        }
        previous = code;
        // The string is written from its end, where it lands or, when it
        // runs past the chunk, into the spill, whose rest waits for the next.
        const size_t n = length_[code];
        const bool fits = n <= count - done;
        uint8_t* p = (fits ? indices + done : spill_) + n - 1;
        int c = code;
        while (c >= clear) {
            *p-- = suffix_[c];
            c = prefix_[c];
        }
        *p = static_cast<uint8_t>(c);
        if (fits) {
            done += n;
            continue;
        }
        const size_t room = count - done;
        std::memcpy(indices + done, spill_, room);
        held_ = room;
        heldEnd_ = n;
        done = count;
    }
    bits_ = in;
    codeSize_ = codeSize;
    next_ = next;
    previous_ = previous;
    return done;
}

}  // namespace quill::imaging
