#pragma once
// Comparing pictures pixel by pixel in the tests, with the pixels shown in
// hexadecimal (0xAARRGGBB) when they differ.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "imaging/DecodedImage.h"

namespace quill::imaging::test {

inline std::string Hex(uint32_t v)
{
    char s[16];
    std::snprintf(s, sizeof s, "%08X", v);
    return s;
}

inline void ExpectSamePixels(const DecodedImage& actual, const DecodedImage& expected,
                             const std::string& what)
{
    ASSERT_EQ(actual.width, expected.width) << what;
    ASSERT_EQ(actual.height, expected.height) << what;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            ASSERT_EQ(Hex(actual.At(x, y)), Hex(expected.At(x, y))) << what << " at " << x << "," << y;
}

}  // namespace quill::imaging::test
