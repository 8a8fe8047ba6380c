// The account box's text rules, driven through a field that behaves like an
// edit control: every write and keystroke reports a text change.
#include "controls/small/PlaceholderField.h"

#include <gtest/gtest.h>

#include <string>

namespace quill::small {
namespace {

class FakeField : public TextFieldPort {
public:
    // Whether a write of the text the field already holds is reported too
    // (platforms differ); the rules must not depend on it.
    explicit FakeField(bool reportsSameText) : reportsSameText_(reportsSameText) {}

    std::wstring FieldText() const override { return text; }
    void WriteFieldText(const std::wstring& t) override
    {
        const bool same = t == text;
        text = t;
        if (!same || reportsSameText_)
            Notify();
    }
    void SetFieldTextColor(std::uint32_t c) override { colour = c; }
    void SelectAllText() override { ++selectAlls; }

    void Type(const std::wstring& keys)
    {
        for (wchar_t k : keys) {
            text += k;
            Notify();
        }
    }
    void Erase()
    {
        text.clear();
        Notify();
    }

    std::wstring text;
    std::uint32_t colour = 0;
    int changes = 0;  // Change events raised to the host
    int selectAlls = 0;
    PlaceholderField rules{*this};

private:
    void Notify()
    {
        if (rules.TextChanged())
            ++changes;
    }
    bool reportsSameText_;
};

class PlaceholderFieldTest : public ::testing::TestWithParam<bool> {
protected:
    FakeField f{GetParam()};
    const std::wstring placeholder{PlaceholderField::Placeholder};
};

TEST_P(PlaceholderFieldTest, AfterLoadingEmptyTheFieldShowsNoPlaceholder)
{
    EXPECT_TRUE(f.rules.Empty());
    EXPECT_EQ(f.rules.Text(), L"");
    EXPECT_EQ(f.changes, 0);
}

TEST_P(PlaceholderFieldTest, LeavingAnEmptyFieldShowsTheGreyPlaceholderWithoutChange)
{
    f.rules.GotFocus();
    f.rules.LostFocus();
    EXPECT_EQ(f.rules.Text(), placeholder);
    EXPECT_EQ(f.colour, PlaceholderField::PlaceholderColor);
    EXPECT_TRUE(f.rules.Empty());
    EXPECT_EQ(f.changes, 0);
}

TEST_P(PlaceholderFieldTest, FocusingThePlaceholderEmptiesItInBlackWithoutChange)
{
    f.rules.LostFocus();
    f.rules.GotFocus();
    EXPECT_EQ(f.rules.Text(), L"");
    EXPECT_EQ(f.colour, PlaceholderField::TypedColor);
    EXPECT_EQ(f.changes, 0);
}

TEST_P(PlaceholderFieldTest, UserClearsTheFieldAndLeaves)
{
    f.rules.GotFocus();
    f.Type(L"ab");
    f.Erase();
    f.rules.LostFocus();
    EXPECT_EQ(f.changes, 3);
    EXPECT_EQ(f.rules.Text(), placeholder);
    EXPECT_EQ(f.colour, PlaceholderField::PlaceholderColor);
}

TEST_P(PlaceholderFieldTest, FocusingATypedFieldSelectsItAll)
{
    f.rules.GotFocus();
    f.Type(L"alice");
    f.rules.LostFocus();
    f.rules.GotFocus();
    EXPECT_EQ(f.selectAlls, 1);
    EXPECT_EQ(f.rules.Text(), L"alice");
}

// The first keystroke after focusing a freshly loaded empty field is the
// user's: it raises Change, and leaving keeps what was typed.
TEST_P(PlaceholderFieldTest, FirstKeystrokeAfterLoadingIsKept)
{
    f.rules.GotFocus();
    f.Type(L"a");
    EXPECT_EQ(f.changes, 1);
    EXPECT_FALSE(f.rules.Empty());
    f.rules.LostFocus();
    EXPECT_EQ(f.rules.Text(), L"a");
    EXPECT_EQ(f.colour, PlaceholderField::TypedColor);
}

TEST_P(PlaceholderFieldTest, HostTextOverThePlaceholderStaysGreyUntilEmptiedAgain)
{
    f.rules.LostFocus();
    f.rules.WriteText(L"bob");
    EXPECT_EQ(f.changes, 1);
    EXPECT_FALSE(f.rules.Empty());
    f.rules.GotFocus();
    f.rules.LostFocus();
    EXPECT_EQ(f.rules.Text(), L"bob");
    EXPECT_EQ(f.colour, PlaceholderField::PlaceholderColor);
    f.rules.GotFocus();
    f.Erase();
    f.rules.LostFocus();
    f.rules.GotFocus();
    EXPECT_EQ(f.colour, PlaceholderField::TypedColor);
}

// Writing back what the field already shows (the placeholder included) is no
// change: the placeholder must not turn into typed text.
TEST_P(PlaceholderFieldTest, WritingTheSameTextChangesNothing)
{
    f.rules.LostFocus();
    f.rules.WriteText(f.rules.Text());
    EXPECT_EQ(f.changes, 0);
    EXPECT_TRUE(f.rules.Empty());
    f.rules.GotFocus();
    EXPECT_EQ(f.rules.Text(), L"");

    f.Type(L"carol");
    const int before = f.changes;
    f.rules.WriteText(L"carol");
    EXPECT_EQ(f.changes, before);
}

TEST_P(PlaceholderFieldTest, StoredTextRaisesChangeAndCountsAsTyped)
{
    f.rules.WriteText(L"dave");
    EXPECT_EQ(f.changes, 1);
    EXPECT_FALSE(f.rules.Empty());
    f.rules.GotFocus();
    f.rules.LostFocus();
    EXPECT_EQ(f.rules.Text(), L"dave");
}

INSTANTIATE_TEST_SUITE_P(SameTextReported, PlaceholderFieldTest, ::testing::Bool());

}  // namespace
}  // namespace quill::small
