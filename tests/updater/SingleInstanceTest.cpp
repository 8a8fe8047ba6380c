// One updater at a time for each installation.
#include "updater/SingleInstance.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace quill::updater {
namespace {

TEST(SingleInstance, TheSecondIsRefusedUntilTheFirstEnds)
{
    testing::TempFolder folder;
    std::optional<SingleInstance> first;
    first.emplace(folder.Path());
    EXPECT_TRUE(first->Acquired());
    EXPECT_FALSE(SingleInstance(folder.Path()).Acquired());
    first.reset();
    EXPECT_TRUE(SingleInstance(folder.Path()).Acquired());
}

TEST(SingleInstance, OnePerProgramFolderHoweverItIsWritten)
{
    testing::TempFolder folder, other;
    SingleInstance first(folder.Path());
    ASSERT_TRUE(first.Acquired());
    std::wstring lower = folder.Path() + L"\\";
    for (auto& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    EXPECT_FALSE(SingleInstance(lower).Acquired());
    EXPECT_FALSE(SingleInstance(folder / L"update\\..").Acquired());
    EXPECT_TRUE(SingleInstance(other.Path()).Acquired());  // another installation
}

}  // namespace
}  // namespace quill::updater
