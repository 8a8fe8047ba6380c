#pragma once
// Runs a test body once with GDI+ usable and once with it switched off, so
// that the image library's own paths are tested on a system that has GDI+.
#include <gtest/gtest.h>

#include "imaging/LibrarySwitches.h"

namespace quill::imaging {

class GdiplusStates : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { SetGdiplusDisabled(!GetParam()); }
    void TearDown() override { SetGdiplusDisabled(false); }
    bool GdiplusOn() const { return GetParam(); }
};

inline std::string GdiplusStateName(const ::testing::TestParamInfo<bool>& info)
{
    return info.param ? "GdiplusOn" : "GdiplusOff";
}

#define QUILL_GDIPLUS_STATES(Suite)                                                                          \
    INSTANTIATE_TEST_SUITE_P(BothStates, Suite, ::testing::Bool(), ::quill::imaging::GdiplusStateName)

}  // namespace quill::imaging
