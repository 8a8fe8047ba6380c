// The two conversions of single characters that the code page itself does,
// on Windows by the system and elsewhere by iconv with the same table.
#pragma once

#include <memory>

namespace quill::forms::cp936 {

class Converter {
public:
    Converter();
    ~Converter();
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The one or two code-page bytes of a UTF-16 unit from 0x80 up; 0 when
    // the code page has no character for it.
    int Encode(char16_t unit, unsigned char bytes[2]);
    // The UTF-16 unit of a lead and trail byte, or of a single byte from 0x80
    // when trail is -1; 0 when they make no character.
    char16_t Decode(unsigned char lead, int trail);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace quill::forms::cp936
