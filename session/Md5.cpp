#include "session/Md5.h"

#include "forms/lang/Ansi.h"

namespace quill::session {
namespace {

constexpr std::uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

std::uint32_t RotateLeft(std::uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

void ProcessBlock(std::uint32_t state[4], const std::uint8_t block[64])
{
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = block[i * 4] | block[i * 4 + 1] << 8 | block[i * 4 + 2] << 16 |
               static_cast<std::uint32_t>(block[i * 4 + 3]) << 24;

    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        std::uint32_t f;
        int g;
        switch (round) {
        case 0:
            f = (b & c) | (~b & d);
            g = i;
            break;
        case 1:
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
            break;
        case 2:
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
            break;
        default:
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
            break;
        }
        const std::uint32_t next = b + RotateLeft(a + f + kSines[i] + m[g], kShifts[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

}  // namespace

std::array<std::uint8_t, 16> Md5(std::string_view bytes)
{
    std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    size_t whole = bytes.size() / 64 * 64;
    for (size_t at = 0; at < whole; at += 64)
        ProcessBlock(state, data + at);

    // The tail, the 80 byte, zeros, and the length in bits: one block, or two
    // when fewer than 9 bytes are left for the marker and the length.
    std::uint8_t tail[128] = {};
    const size_t rest = bytes.size() - whole;
    for (size_t i = 0; i < rest; ++i)
        tail[i] = data[whole + i];
    tail[rest] = 0x80;
    const size_t tailSize = rest < 56 ? 64 : 128;
    const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailSize - 8 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    for (size_t at = 0; at < tailSize; at += 64)
        ProcessBlock(state, tail + at);

    std::array<std::uint8_t, 16> digest{};
    for (int word = 0; word < 4; ++word)
        for (int i = 0; i < 4; ++i)
            digest[word * 4 + i] = static_cast<std::uint8_t>(state[word] >> (8 * i));
    return digest;
}

std::string DigestBytes(std::wstring_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    const std::vector<std::int16_t> codes = forms::AnsiCodes(text);
    for (size_t k = 0; k < text.size(); ++k) {
        const wchar_t c = text[k];
        const int code = codes[k];
        if (code >= 0 && code <= 255) {
            bytes += static_cast<char>(static_cast<unsigned long>(c) & 0xFF);
        } else {
            const unsigned value = static_cast<unsigned>(code) & 0xFFFF;
            bytes += static_cast<char>(value >> 8);
            bytes += static_cast<char>(value & 0xFF);
        }
    }
    return bytes;
}

std::wstring MD5Hex(std::wstring_view text, int length, bool upperCase)
{
    const std::array<std::uint8_t, 16> digest = Md5(DigestBytes(text));
    const wchar_t* digits = upperCase ? L"0123456789ABCDEF" : L"0123456789abcdef";
    // The short form is the state words B and C: bytes 4 to 11.
    const size_t first = length == 32 ? 0 : 4;
    const size_t last = length == 32 ? 16 : 12;
    std::wstring hex;
    for (size_t i = first; i < last; ++i) {
        hex += digits[digest[i] >> 4];
        hex += digits[digest[i] & 0x0F];
    }
    return hex;
}

}  // namespace quill::session
