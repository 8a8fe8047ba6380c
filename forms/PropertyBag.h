#pragma once
// The property bag through which a user control loads and saves its design
// values (InitProperties / ReadProperties / WriteProperties). Keys compare
// without regard to case; a value written with a default equal to it is not
// stored. Booleans are stored as the platform's -1 / 0, colours as their
// 32-bit value. The store is in memory, so tests can look into it.
#include "forms/Font.h"
#include "forms/Picture.h"

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace quill::forms {

using Bytes = std::vector<uint8_t>;
using PropertyValue = std::variant<int32_t, double, std::wstring, Font::Ref, Picture::Ref, Bytes>;

class PropertyBag {
public:
    struct Entry {
        std::wstring key;
        PropertyValue value;
    };

    // One value of a stored layout written in code, stored as WriteProperty
    // stores it: {{L"Caption", L"登录"}, {L"Style", 8}, {L"Enabled", false}}.
    struct Item {
        template <class T>
        Item(std::wstring k, const T& v) : key(std::move(k)), value(PropertyBag::Store(v))
        {
        }
        std::wstring key;
        PropertyValue value;
    };

    PropertyBag() = default;
    PropertyBag(std::initializer_list<Item> items);

    // The stored value converted to the default's type, or the default when
    // the key is missing; a value that does not convert raises error 13.
    template <class T>
    T ReadProperty(std::wstring_view key, const T& defaultValue) const
    {
        const PropertyValue* v = Find(key);
        return v ? Convert<T>(*v) : defaultValue;
    }
    std::wstring ReadProperty(std::wstring_view key, const wchar_t* defaultValue) const
    {
        return ReadProperty<std::wstring>(key, std::wstring(defaultValue));
    }

    // Stores the value unless it equals the default.
    template <class T, class D>
    void WriteProperty(std::wstring_view key, const T& value, const D& defaultValue)
    {
        PropertyValue v = Store(value);
        if (Equal(v, Store(defaultValue)))
            Remove(key);
        else
            Put(key, std::move(v));
    }
    // Always stores the value.
    template <class T>
    void WriteProperty(std::wstring_view key, const T& value)
    {
        Put(key, Store(value));
    }

    const PropertyValue* Find(std::wstring_view key) const;
    bool Contains(std::wstring_view key) const { return Find(key) != nullptr; }
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    template <class T>
    static PropertyValue Store(const T& v)
    {
        if constexpr (std::is_same_v<T, bool>)
            return int32_t(v ? -1 : 0);
        else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
            return static_cast<int32_t>(v);
        else if constexpr (std::is_floating_point_v<T>)
            return static_cast<double>(v);
        else if constexpr (std::is_convertible_v<T, std::wstring_view>)
            return std::wstring(std::wstring_view(v));
        else if constexpr (std::is_same_v<T, Font::Ref>)
            return v ? v->Clone() : Font::Ref{};
        else if constexpr (std::is_same_v<T, std::nullptr_t>)
            return Picture::Ref{};
        else
            return v;  // Picture::Ref, Bytes
    }

    template <class T>
    static T Convert(const PropertyValue& v)
    {
        if constexpr (std::is_same_v<T, bool>)
            return ToNumber(v) != 0;
        else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
            return static_cast<T>(ToWhole(v));
        else if constexpr (std::is_floating_point_v<T>)
            return static_cast<T>(ToNumber(v));
        else if constexpr (std::is_same_v<T, std::wstring>)
            return ToText(v);
        else if constexpr (std::is_same_v<T, Font::Ref>)
            return ToFont(v);
        else if constexpr (std::is_same_v<T, Picture::Ref>)
            return ToPicture(v);
        else
            return ToBytes(v);
    }

    static double ToNumber(const PropertyValue& v);
    static int64_t ToWhole(const PropertyValue& v);
    static std::wstring ToText(const PropertyValue& v);
    static Font::Ref ToFont(const PropertyValue& v);
    static Picture::Ref ToPicture(const PropertyValue& v);
    static Bytes ToBytes(const PropertyValue& v);
    static bool Equal(const PropertyValue& a, const PropertyValue& b);

    void Put(std::wstring_view key, PropertyValue v);
    void Remove(std::wstring_view key);

    std::vector<Entry> entries_;
};

}  // namespace quill::forms
