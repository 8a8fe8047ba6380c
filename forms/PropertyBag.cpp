#include "forms/PropertyBag.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"

#include <cmath>
#include <cstdio>
#include <cwchar>

namespace quill::forms {

namespace {

bool SameKey(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

double TextToNumber(const std::wstring& text)
{
    if (SameKey(text, L"True"))
        return -1;
    if (SameKey(text, L"False"))
        return 0;
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    double d = wcstod(begin, &end);
    while (end && *end == L' ')
        ++end;
    if (end == begin || !end || *end != 0)
        throw RuntimeError(13);
    return d;
}

}  // namespace

PropertyBag::PropertyBag(std::initializer_list<Item> items)
{
    for (const Item& i : items)
        Put(i.key, i.value);
}

const PropertyValue* PropertyBag::Find(std::wstring_view key) const
{
    for (const Entry& e : entries_)
        if (SameKey(e.key, key))
            return &e.value;
    return nullptr;
}

void PropertyBag::Put(std::wstring_view key, PropertyValue v)
{
    for (Entry& e : entries_)
        if (SameKey(e.key, key)) {
            e.value = std::move(v);
            return;
        }
    entries_.push_back({std::wstring(key), std::move(v)});
}

void PropertyBag::Remove(std::wstring_view key)
{
    std::erase_if(entries_, [&](const Entry& e) { return SameKey(e.key, key); });
}

double PropertyBag::ToNumber(const PropertyValue& v)
{
    if (auto* i = std::get_if<int32_t>(&v))
        return *i;
    if (auto* d = std::get_if<double>(&v))
        return *d;
    if (auto* t = std::get_if<std::wstring>(&v))
        return TextToNumber(*t);
    throw RuntimeError(13);
}

int64_t PropertyBag::ToWhole(const PropertyValue& v)
{
    if (auto* i = std::get_if<int32_t>(&v))
        return *i;
    // Halves go to the even neighbour, as the platform's conversions do.
    double d = std::nearbyint(ToNumber(v));
    if (!(d >= -2147483648.0 && d <= 4294967295.0))
        throw RuntimeError(6);
    return static_cast<int64_t>(d);
}

std::wstring PropertyBag::ToText(const PropertyValue& v)
{
    if (auto* t = std::get_if<std::wstring>(&v))
        return *t;
    if (auto* i = std::get_if<int32_t>(&v))
        return std::to_wstring(*i);
    if (auto* d = std::get_if<double>(&v))
        return NumberText(*d);
    throw RuntimeError(13);
}

Font::Ref PropertyBag::ToFont(const PropertyValue& v)
{
    if (auto* f = std::get_if<Font::Ref>(&v))
        return *f ? (*f)->Clone() : nullptr;
    throw RuntimeError(13);
}

Picture::Ref PropertyBag::ToPicture(const PropertyValue& v)
{
    if (auto* p = std::get_if<Picture::Ref>(&v))
        return *p;
    throw RuntimeError(13);
}

Bytes PropertyBag::ToBytes(const PropertyValue& v)
{
    if (auto* b = std::get_if<Bytes>(&v))
        return *b;
    throw RuntimeError(13);
}

bool PropertyBag::Equal(const PropertyValue& a, const PropertyValue& b)
{
    if (a.index() != b.index()) {
        // A whole number and a fraction compare by value (1 and 1.0).
        bool numbers = (a.index() <= 1) && (b.index() <= 1);
        return numbers && ToNumber(a) == ToNumber(b);
    }
    if (auto* f = std::get_if<Font::Ref>(&a)) {
        auto& g = std::get<Font::Ref>(b);
        return (!*f && !g) || (*f && g && (*f)->SameAs(*g));
    }
    return a == b;
}

}  // namespace quill::forms
