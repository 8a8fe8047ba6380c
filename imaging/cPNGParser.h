#pragma once
// cPNGParser: the image library's PNG parser class, under the name its callers
// (the load dispatcher and the icon reader) know it by. A thin Windows front:
// it offers the data to GDI+ first and, when GDI+ is unusable or refuses it,
// hands the bytes to the portable PNG reader (PngReader.h) together with the
// zlib library found beside the program (chunk CRCs through its crc32, the
// image data through its inflate) or, without one, alone (the own inflater).
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "imaging/PngReader.h"
#include "imaging/cCdeclAdapter.h"

namespace quill::imaging {

class cImage32;

class cPNGParser {
public:
    cPNGParser();
    ~cPNGParser();
    cPNGParser(const cPNGParser&) = delete;
    cPNGParser& operator=(const cPNGParser&) = delete;

    // True when the file is PNG (also when it then yields no image); False
    // when it cannot be opened or lacks the signature. A file shorter than
    // the signature is only offered to GDI+.
    bool LoadFile(const std::wstring& FileName, cImage32& cHost);
    // The same for `streamLength` bytes at `streamStart` (False when they do
    // not lie inside the array); the bytes are only read.
    bool LoadStream(const std::vector<uint8_t>& Stream, cImage32& cHost, int32_t streamStart,
                    int32_t streamLength);

    // ---- the zlib binding
    // True when a zlib library with crc32 is bound (anew for every walk).
    bool BindZlib();
    // The library's code: 0 none, 1 "zlib.dll", 2 "zlib1.dll".
    int ZlibCode() const { return zlibCode_; }

private:
    class BoundZlib;
    // The own decoder on data that has the signature and that GDI+ refused.
    void WalkChunks(std::span<const uint8_t> bytes, cImage32& host);

    int zlibCode_ = 0;
    std::unique_ptr<cCdeclAdapter> cdeclCaller_;
    std::unique_ptr<BoundZlib> zlib_;
};

}  // namespace quill::imaging
