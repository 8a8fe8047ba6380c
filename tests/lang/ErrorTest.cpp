// Numbered errors and handlers that run with errors suppressed.
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill::forms {
namespace {

TEST(RuntimeError, CarriesTheNumberAndTheSystemsDescription)
{
    const struct {
        int number;
        const wchar_t* description;
    } cases[] = {
        {5, L"无效的过程调用或参数"},
        {6, L"溢出"},
        {9, L"下标越界"},
        {11, L"除数为零"},
        {13, L"类型不匹配"},
        {53, L"文件未找到"},
        {91, L"对象变量或 With 块变量未设置"},
        {429, L"ActiveX 部件不能创建对象"},
        {12345, L"应用程序定义或对象定义错误"},
    };
    for (const auto& c : cases) {
        const RuntimeError e(c.number);
        EXPECT_EQ(e.Number(), c.number);
        EXPECT_EQ(e.Description(), c.description);
    }
    const RuntimeError own(33, L"can not add or remove columns when there are items");
    EXPECT_EQ(own.Number(), 33);
    EXPECT_EQ(own.Description(), L"can not add or remove columns when there are items");
}

TEST(RuntimeError, IndexOutsideAnArrayIsSubscriptOutOfRange)
{
    const std::vector<std::wstring> items{L"a", L"b"};
    EXPECT_EQ(At(items, 1), L"b");
    for (long long index : {-1LL, 2LL, 1LL << 40}) {
        try {
            At(items, index);
            ADD_FAILURE() << index;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), kSubscriptOutOfRange);
        }
    }
}

TEST(SuppressedErrors, AFailingStepIsSkipped)
{
    std::vector<int> ran;
    EXPECT_TRUE(ResumeNext([&] { ran.push_back(1); }));
    EXPECT_FALSE(ResumeNext([&] {
        ToDouble(L"abc");
        ran.push_back(2);
    }));
    EXPECT_TRUE(ResumeNext([&] { ran.push_back(3); }));
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
}

// "Unless the remembered user reads as the number 0, restore it": a text that
// is no number fails the test, and the then-branch runs.
TEST(SuppressedErrors, AFailingTestTakesTheThenBranch)
{
    const struct {
        const wchar_t* user;
        bool restored;
    } cases[] = {{L"abc", true}, {L"", true}, {L"0", false}, {L"000", false}, {L"0.0", false}, {L"12", true}};
    for (const auto& c : cases)
        EXPECT_EQ(ResumeTest([&] { return ToDouble(c.user) != 0; }), c.restored) << c.user;
}

}  // namespace
}  // namespace quill::forms
