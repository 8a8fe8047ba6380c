// One updater at a time.
#include "updater/SingleInstance.h"

#include <gtest/gtest.h>

#include <optional>

namespace quill::updater {
namespace {

TEST(SingleInstance, TheSecondIsRefusedUntilTheFirstEnds)
{
    std::optional<SingleInstance> first;
    first.emplace();
    EXPECT_TRUE(first->Acquired());
    EXPECT_FALSE(SingleInstance().Acquired());
    first.reset();
    EXPECT_TRUE(SingleInstance().Acquired());
}

}  // namespace
}  // namespace quill::updater
