#pragma once
// Our stand-in for the "ADODB.Stream" automation object, which cannot be
// driven late-bound here: a byte stream that decodes its bytes as text in a
// named charset ("GB2312" and "GBK" are code page 936) and saves itself to a
// file. Members: Type (1 bytes, 2 text), Mode, Charset, Position, Size,
// State, EOS; Open, Close, Write, WriteText, Read, ReadText, SaveToFile,
// LoadFromFile.
#include "forms/Automation.h"

namespace quill::forms {

class AdodbStream : public Object {
public:
    Variant Get(const std::wstring& name, const std::vector<Variant>& args = {}) override;
    void Put(const std::wstring& name, const Variant& value) override;
    Variant Call(const std::wstring& name, const std::vector<Variant>& args = {}) override;

private:
    void RequireOpen() const;
    unsigned CodePage() const;

    int32_t type_ = 2;
    int32_t mode_ = 0;
    std::wstring charset_ = L"Unicode";
    bool open_ = false;
    Bytes bytes_;
    size_t position_ = 0;
};

}  // namespace quill::forms
