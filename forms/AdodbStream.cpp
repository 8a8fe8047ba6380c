#include "forms/AdodbStream.h"

#include "forms/Files.h"
#include "forms/lang/Error.h"

#include <windows.h>

#include <algorithm>

namespace quill::forms {

namespace {

enum : int32_t { adTypeBinary = 1, adTypeText = 2 };
enum : int32_t { adSaveCreateNotExist = 1, adSaveCreateOverWrite = 2 };

// The errors the platform's stream raises, with its numbers.
[[noreturn]] void BadArgument()
{
    throw RuntimeError(3001, L"参数类型不正确，或不在可以接受的范围之内，或与其他参数冲突。");
}
[[noreturn]] void Closed()
{
    throw RuntimeError(3704, L"对象关闭时，不允许操作。");
}
[[noreturn]] void WrongType()
{
    throw RuntimeError(3716, L"操作与流的类型不符。");
}

bool Is(const std::wstring& a, const wchar_t* b)
{
    return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

void AdodbStream::RequireOpen() const
{
    if (!open_)
        Closed();
}

unsigned AdodbStream::CodePage() const
{
    if (Is(charset_, L"GB2312") || Is(charset_, L"GBK") || Is(charset_, L"x-cp936"))
        return 936;
    if (Is(charset_, L"UTF-8"))
        return CP_UTF8;
    if (Is(charset_, L"us-ascii"))
        return 20127;
    if (Is(charset_, L"iso-8859-1") || Is(charset_, L"Windows-1252"))
        return 1252;
    if (Is(charset_, L"Unicode") || Is(charset_, L"UTF-16"))
        return 1200;
    BadArgument();
}

Variant AdodbStream::Get(const std::wstring& name, const std::vector<Variant>& args)
{
    if (Is(name, L"Type"))
        return type_;
    if (Is(name, L"Mode"))
        return mode_;
    if (Is(name, L"Charset"))
        return charset_;
    if (Is(name, L"State"))
        return int32_t(open_ ? 1 : 0);
    if (Is(name, L"Position")) {
        RequireOpen();
        return static_cast<int32_t>(position_);
    }
    if (Is(name, L"Size")) {
        RequireOpen();
        return static_cast<int32_t>(bytes_.size());
    }
    if (Is(name, L"EOS")) {
        RequireOpen();
        return position_ >= bytes_.size();
    }
    return Call(name, args);
}

void AdodbStream::Put(const std::wstring& name, const Variant& value)
{
    if (Is(name, L"Type")) {
        int32_t t = static_cast<int32_t>(VariantNumber(value));
        if (t != adTypeBinary && t != adTypeText)
            BadArgument();
        // The type changes only at the start of the stream, as the platform's does.
        if (open_ && position_ != 0)
            throw RuntimeError(3707, L"当 Position 不为 0 时，不能更改 Type 属性。");
        type_ = t;
    } else if (Is(name, L"Mode")) {
        mode_ = static_cast<int32_t>(VariantNumber(value));
    } else if (Is(name, L"Charset")) {
        std::wstring previous = charset_;
        charset_ = VariantText(value);
        try {
            CodePage();
        } catch (...) {
            charset_ = previous;
            throw;
        }
    } else if (Is(name, L"Position")) {
        RequireOpen();
        double p = VariantNumber(value);
        if (p < 0 || p > static_cast<double>(bytes_.size()))
            BadArgument();
        position_ = static_cast<size_t>(p);
    } else {
        throw RuntimeError(kMemberNotSupported);
    }
}

Variant AdodbStream::Call(const std::wstring& name, const std::vector<Variant>& args)
{
    auto arg = [&](size_t i) -> const Variant& {
        static const Variant none;
        return i < args.size() ? args[i] : none;
    };
    static const wchar_t* const methods[] = {L"Open", L"Close",    L"Write",      L"WriteText",
                                             L"Read", L"ReadText", L"SaveToFile", L"LoadFromFile"};
    if (std::none_of(std::begin(methods), std::end(methods), [&](const wchar_t* m) { return Is(name, m); }))
        throw RuntimeError(kMemberNotSupported);
    if (Is(name, L"Open")) {
        bytes_.clear();
        position_ = 0;
        open_ = true;
        return {};
    }
    if (Is(name, L"Close")) {
        RequireOpen();
        open_ = false;
        bytes_.clear();
        position_ = 0;
        return {};
    }
    RequireOpen();
    if (Is(name, L"Write") || Is(name, L"WriteText")) {
        bool text = Is(name, L"WriteText");
        if (text != (type_ == adTypeText))
            WrongType();
        Bytes in;
        if (text) {
            std::wstring t = VariantText(arg(0));
            unsigned cp = CodePage();
            if (cp == 1200) {
                auto* p = reinterpret_cast<const uint8_t*>(t.data());
                in.assign(p, p + t.size() * sizeof(wchar_t));
            } else if (!t.empty()) {
                int n = WideCharToMultiByte(cp, 0, t.data(), static_cast<int>(t.size()), nullptr, 0, nullptr,
                                            nullptr);
                in.resize(n > 0 ? static_cast<size_t>(n) : 0);
                if (n > 0)
                    WideCharToMultiByte(cp, 0, t.data(), static_cast<int>(t.size()),
                                        reinterpret_cast<char*>(in.data()), n, nullptr, nullptr);
            }
        } else {
            in = VariantBytes(arg(0));
        }
        // Writing overwrites from the position on and leaves it after the bytes.
        size_t end = position_ + in.size();
        if (end > bytes_.size())
            bytes_.resize(end);
        std::copy(in.begin(), in.end(), bytes_.begin() + static_cast<ptrdiff_t>(position_));
        position_ = end;
        return {};
    }
    if (Is(name, L"Read") || Is(name, L"ReadText")) {
        bool text = Is(name, L"ReadText");
        if (text != (type_ == adTypeText))
            WrongType();
        size_t available = bytes_.size() - position_;
        double wanted = args.empty() ? -1 : VariantNumber(arg(0));
        size_t count = wanted < 0 ? available : std::min(available, static_cast<size_t>(wanted));
        if (!text) {
            Bytes out(bytes_.begin() + static_cast<ptrdiff_t>(position_),
                      bytes_.begin() + static_cast<ptrdiff_t>(position_ + count));
            position_ += count;
            return out;
        }
        // ReadText(n) counts characters; read the rest and cut.
        const char* p = reinterpret_cast<const char*>(bytes_.data() + position_);
        std::wstring out;
        unsigned cp = CodePage();
        if (cp == 1200) {
            out.assign(reinterpret_cast<const wchar_t*>(p), available / sizeof(wchar_t));
        } else if (available) {
            int n = MultiByteToWideChar(cp, 0, p, static_cast<int>(available), nullptr, 0);
            out.resize(n > 0 ? static_cast<size_t>(n) : 0);
            if (n > 0)
                MultiByteToWideChar(cp, 0, p, static_cast<int>(available), out.data(), n);
        }
        if (wanted >= 0 && static_cast<size_t>(wanted) < out.size())
            out.resize(static_cast<size_t>(wanted));
        position_ = bytes_.size();
        return out;
    }
    if (Is(name, L"SaveToFile")) {
        std::wstring path = VariantText(arg(0));
        int32_t options =
            args.size() > 1 ? static_cast<int32_t>(VariantNumber(arg(1))) : adSaveCreateNotExist;
        if (options != adSaveCreateOverWrite && FileExists(path))
            throw RuntimeError(3004, L"写入文件失败。");
        try {
            WriteFileBytes(path, bytes_);
        } catch (const RuntimeError&) {
            throw RuntimeError(3004, L"写入文件失败。");
        }
        return {};
    }
    if (Is(name, L"LoadFromFile")) {
        try {
            bytes_ = ReadFileBytes(VariantText(arg(0)));
        } catch (const RuntimeError&) {
            throw RuntimeError(3002, L"文件不能被打开。");
        }
        position_ = 0;
        return {};
    }
    throw RuntimeError(kMemberNotSupported);
}

}  // namespace quill::forms
