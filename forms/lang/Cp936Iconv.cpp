// Code page 936 through iconv, for the builds that are not for Windows.
#include "forms/lang/Cp936.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace quill::forms::cp936 {
namespace {

// glibc's CP936 leaves out the double-byte codes that Windows maps into the
// private-use area (the user-defined rows and the codes GBK leaves unassigned),
// and the single byte FF. These runs put them back: `count` consecutive UTF-16
// units from `unit` on match the codes from `code` on.
struct PrivateUseRun {
    char16_t unit;
    unsigned short code;
    unsigned short count;
};

constexpr PrivateUseRun kPrivateUseRuns[] = {
    {0xE000, 0xAAA1, 94}, {0xE05E, 0xABA1, 94}, {0xE0BC, 0xACA1, 94}, {0xE11A, 0xADA1, 94},
    {0xE178, 0xAEA1, 94}, {0xE1D6, 0xAFA1, 94}, {0xE234, 0xF8A1, 94}, {0xE292, 0xF9A1, 94},
    {0xE2F0, 0xFAA1, 94}, {0xE34E, 0xFBA1, 94}, {0xE3AC, 0xFCA1, 94}, {0xE40A, 0xFDA1, 94},
    {0xE468, 0xFEA1, 94}, {0xE4C6, 0xA140, 63}, {0xE505, 0xA180, 33}, {0xE526, 0xA240, 63},
    {0xE565, 0xA280, 33}, {0xE586, 0xA340, 63}, {0xE5C5, 0xA380, 33}, {0xE5E6, 0xA440, 63},
    {0xE625, 0xA480, 33}, {0xE646, 0xA540, 63}, {0xE685, 0xA580, 33}, {0xE6A6, 0xA640, 63},
    {0xE6E5, 0xA680, 33}, {0xE706, 0xA740, 63}, {0xE745, 0xA780, 33}, {0xE766, 0xA2AB, 6},
    {0xE76C, 0xA2E3, 2},  {0xE76E, 0xA2EF, 2},  {0xE770, 0xA2FD, 2},  {0xE772, 0xA4F4, 11},
    {0xE77D, 0xA5F7, 8},  {0xE785, 0xA6B9, 8},  {0xE78D, 0xA6D9, 7},  {0xE794, 0xA6EC, 2},
    {0xE796, 0xA6F3, 1},  {0xE797, 0xA6F6, 9},  {0xE7A0, 0xA7C2, 15}, {0xE7AF, 0xA7F2, 13},
    {0xE7BC, 0xA896, 11}, {0xE7C7, 0xA8BC, 1},  {0xE7C8, 0xA8BF, 1},  {0xE7C9, 0xA8C1, 4},
    {0xE7CD, 0xA8EA, 21}, {0xE7E2, 0xA958, 1},  {0xE7E3, 0xA95B, 1},  {0xE7E4, 0xA95D, 3},
    {0xE7E7, 0xA989, 13}, {0xE7F4, 0xA997, 13}, {0xE801, 0xA9F0, 15}, {0xE810, 0xD7FA, 5},
    {0xE815, 0xFE50, 47}, {0xE844, 0xFE80, 33},
};
constexpr char16_t kUnitOfByteFF = 0xF8F5;

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert code page 936");
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts all of `in`; the number of bytes written, or -1.
    int Convert(const unsigned char* in, size_t inSize, unsigned char* out, size_t outSize)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(reinterpret_cast<const char*>(in));
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = inSize, outLeft = outSize;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
            return -1;
        return static_cast<int>(outSize - outLeft);
    }

private:
    iconv_t cd_;
};

}  // namespace

struct Converter::State {
    Iconv toBytes{"CP936", "UTF-16LE"};
    Iconv toText{"UTF-16LE", "CP936"};
};

Converter::Converter() : state_(std::make_unique<State>()) {}
Converter::~Converter() = default;

int Converter::Encode(char16_t unit, unsigned char bytes[2])
{
    const unsigned char in[2] = {static_cast<unsigned char>(unit & 0xFF),
                                 static_cast<unsigned char>(unit >> 8)};
    unsigned char out[8];
    const int n = state_->toBytes.Convert(in, 2, out, sizeof out);
    if (n == 1 || n == 2) {
        bytes[0] = out[0];
        bytes[1] = out[1];
        return n;
    }
    if (unit == kUnitOfByteFF) {
        bytes[0] = 0xFF;
        return 1;
    }
    for (const PrivateUseRun& run : kPrivateUseRuns) {
        if (unit >= run.unit && unit < run.unit + run.count) {
            const unsigned code = run.code + (unit - run.unit);
            bytes[0] = static_cast<unsigned char>(code >> 8);
            bytes[1] = static_cast<unsigned char>(code & 0xFF);
            return 2;
        }
    }
    return 0;
}

char16_t Converter::Decode(unsigned char lead, int trail)
{
    const unsigned char in[2] = {lead, static_cast<unsigned char>(trail)};
    unsigned char out[8];
    if (state_->toText.Convert(in, trail < 0 ? 1 : 2, out, sizeof out) == 2)
        return static_cast<char16_t>(out[0] | (out[1] << 8));
    if (trail < 0)
        return lead == 0xFF ? kUnitOfByteFF : 0;
    const unsigned code = lead * 256u + static_cast<unsigned>(trail);
    for (const PrivateUseRun& run : kPrivateUseRuns) {
        if (code >= run.code && code < run.code + run.count)
            return static_cast<char16_t>(run.unit + (code - run.code));
    }
    return 0;
}

}  // namespace quill::forms::cp936
