// The property bag: every value kind round-trips, a value equal to its
// default is not stored, keys compare without case.
#include "forms/lang/Error.h"
#include "forms/PropertyBag.h"
#include "tests/support/ErrorNumber.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quill;

namespace {

using forms::PropertyBag;

struct Kind {
    const char* name;
    std::function<void(PropertyBag&, bool useDefault)> write;
    std::function<void(const PropertyBag&, bool expectDefault)> readBack;
};

TEST(PropertyBag, EveryKindRoundTripsAndDefaultsAreNotStored)
{
    auto font = forms::Font::New(L"Verdana", 8.25, true);
    auto picture = forms::Picture::FromIcon(LoadIconW(nullptr, IDI_APPLICATION));
    const forms::Bytes gif{'G', 'I', 'F', '8', '9', 'a'};
    const Kind kinds[] = {
        {"text",
         [](PropertyBag& b, bool d) { b.WriteProperty(L"Caption", std::wstring(d ? L"" : L"登录"), L""); },
         [](const PropertyBag& b, bool d) {
             EXPECT_EQ(b.ReadProperty(L"Caption", L"StyledButton"), d ? L"StyledButton" : L"登录");
         }},
        {"integer", [](PropertyBag& b, bool d) { b.WriteProperty(L"Style", d ? 3 : 8, 3); },
         [](const PropertyBag& b, bool d) { EXPECT_EQ(b.ReadProperty(L"Style", 3), d ? 3 : 8); }},
        {"16-bit integer",
         [](PropertyBag& b, bool d) { b.WriteProperty(L"IconSize", int16_t(d ? 16 : 32), int16_t(16)); },
         [](const PropertyBag& b, bool d) {
             EXPECT_EQ(b.ReadProperty(L"IconSize", int16_t(16)), d ? 16 : 32);
         }},
        {"Boolean", [](PropertyBag& b, bool d) { b.WriteProperty(L"Enabled", !d ? false : true, true); },
         [](const PropertyBag& b, bool d) { EXPECT_EQ(b.ReadProperty(L"Enabled", true), d); }},
        {"colour",
         [](PropertyBag& b, bool d) {
             b.WriteProperty(L"BackColor", d ? 0x8000000Fu : 0xFFF4E4u, 0x8000000Fu);
         },
         [](const PropertyBag& b, bool d) {
             EXPECT_EQ(b.ReadProperty(L"BackColor", 0x8000000Fu), d ? 0x8000000Fu : 0xFFF4E4u);
         }},
        {"number", [](PropertyBag& b, bool d) { b.WriteProperty(L"Ratio", d ? 1.0 : 2.5, 1.0); },
         [](const PropertyBag& b, bool d) { EXPECT_EQ(b.ReadProperty(L"Ratio", 1.0), d ? 1.0 : 2.5); }},
        {"font",
         [&](PropertyBag& b, bool d) {
             b.WriteProperty(
                 L"Font", d ? forms::Font::New(L"Verdana", 8.25, true) : forms::Font::New(L"宋体", 9), font);
         },
         [&](const PropertyBag& b, bool d) {
             auto f = b.ReadProperty(L"Font", font);
             EXPECT_EQ(f->Name(), d ? L"Verdana" : L"宋体");
             EXPECT_EQ(f->Size(), d ? 8.25 : 9);
             EXPECT_EQ(f->Bold(), d);
         }},
        {"picture",
         [&](PropertyBag& b, bool d) {
             b.WriteProperty(L"Icon", d ? forms::Picture::Ref{} : picture, forms::Picture::Ref{});
         },
         [&](const PropertyBag& b, bool d) {
             EXPECT_EQ(b.ReadProperty(L"Icon", forms::Picture::Ref{}), d ? nullptr : picture);
         }},
        {"bytes",
         [&](PropertyBag& b, bool d) { b.WriteProperty(L"GIF", d ? forms::Bytes{} : gif, forms::Bytes{}); },
         [&](const PropertyBag& b, bool d) {
             EXPECT_EQ(b.ReadProperty(L"GIF", forms::Bytes{}), d ? forms::Bytes{} : gif);
         }},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        PropertyBag changed, unchanged;
        k.write(changed, false);
        k.write(unchanged, true);
        EXPECT_EQ(changed.Entries().size(), 1u);
        EXPECT_TRUE(unchanged.Entries().empty());
        k.readBack(changed, false);
        k.readBack(unchanged, true);
    }
}

TEST(PropertyBag, BooleansAreStoredAsMinusOneAndZero)
{
    PropertyBag b;
    b.WriteProperty(L"Value", true);
    b.WriteProperty(L"ShowFocus", false);
    EXPECT_EQ(std::get<int32_t>(*b.Find(L"Value")), -1);
    EXPECT_EQ(std::get<int32_t>(*b.Find(L"ShowFocus")), 0);
    EXPECT_EQ(b.ReadProperty(L"Value", 0), -1);
}

TEST(PropertyBag, KeysCompareWithoutCase)
{
    PropertyBag b{{L"inonthemestyle", 2}, {L"tooltiptitle", L"t"}};
    EXPECT_EQ(b.ReadProperty(L"iNonThemeStyle", 5), 2);
    EXPECT_EQ(b.ReadProperty(L"Tooltiptitle", L""), L"t");
    b.WriteProperty(L"TOOLTIPTITLE", std::wstring(L"u"));
    EXPECT_EQ(b.Entries().size(), 2u);
    EXPECT_EQ(b.ReadProperty(L"tooltiptitle", L""), L"u");
}

TEST(PropertyBag, AFontReadBackIsTheHoldersOwnCopy)
{
    PropertyBag b;
    auto f = forms::Font::New(L"Verdana", 9);
    b.WriteProperty(L"Font", f);
    f->Bold(true);  // after writing: not in the bag
    auto read = b.ReadProperty(L"Font", forms::Font::Ref{});
    EXPECT_FALSE(read->Bold());
    read->Italic(true);
    EXPECT_FALSE(b.ReadProperty(L"Font", forms::Font::Ref{})->Italic());
}

TEST(PropertyBag, ValuesThatDoNotConvertRaiseTheirErrors)
{
    PropertyBag b{{L"Style", L"abc"}, {L"Big", 1e12}, {L"Half", 2.5}, {L"Text", L" 12 "}};
    EXPECT_EQ(test::ErrorOf([&] { b.ReadProperty(L"Style", 3); }), 13);
    EXPECT_EQ(test::ErrorOf([&] { b.ReadProperty(L"Big", 3); }), 6);
    EXPECT_EQ(b.ReadProperty(L"Half", 0), 2);  // halves go to the even neighbour
    EXPECT_EQ(b.ReadProperty(L"Text", 0), 12);
    EXPECT_THROW(b.ReadProperty(L"Style", forms::Font::Ref{}), forms::RuntimeError);
}

}  // namespace
