#include "tests/support/MiniJson.h"

#include <cstdlib>
#include <stdexcept>

namespace quill::test {
namespace {

const Json& NullJson()
{
    static const Json none;
    return none;
}

struct Reader {
    const std::string& s;
    size_t at = 0;

    [[noreturn]] void Fail(const char* what) const
    {
        throw std::runtime_error(std::string("json: ") + what + " at " + std::to_string(at));
    }
    void Skip()
    {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\n' || s[at] == '\r' || s[at] == '\t'))
            ++at;
    }
    bool Take(char c)
    {
        Skip();
        if (at < s.size() && s[at] == c) {
            ++at;
            return true;
        }
        return false;
    }
    void Expect(char c)
    {
        if (!Take(c))
            Fail("unexpected character");
    }
    static void AppendUtf8(std::string& out, unsigned cp)
    {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    unsigned Hex4()
    {
        if (at + 4 > s.size())
            Fail("short escape");
        unsigned v = unsigned(std::strtoul(s.substr(at, 4).c_str(), nullptr, 16));
        at += 4;
        return v;
    }
    std::string String()
    {
        Expect('"');
        std::string out;
        while (true) {
            if (at >= s.size())
                Fail("unterminated string");
            char c = s[at++];
            if (c == '"')
                return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at >= s.size())
                Fail("bad escape");
            char e = s[at++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                unsigned cp = Hex4();
                if (cp >= 0xD800 && cp < 0xDC00 && at + 1 < s.size() && s[at] == '\\' && s[at + 1] == 'u') {
                    at += 2;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (Hex4() - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default:
                out += e;
            }
        }
    }
    Json Value()
    {
        Skip();
        if (at >= s.size())
            Fail("missing value");
        Json v;
        char c = s[at];
        if (c == '{') {
            ++at;
            v.kind = Json::Object;
            if (Take('}'))
                return v;
            do {
                Skip();
                std::string key = String();
                Expect(':');
                v.members[key] = Value();
            } while (Take(','));
            Expect('}');
        } else if (c == '[') {
            ++at;
            v.kind = Json::Array;
            if (Take(']'))
                return v;
            do
                v.items.push_back(Value());
            while (Take(','));
            Expect(']');
        } else if (c == '"') {
            v.kind = Json::String;
            v.text = String();
        } else if (s.compare(at, 4, "true") == 0) {
            at += 4;
            v.kind = Json::Bool;
            v.boolean = true;
        } else if (s.compare(at, 5, "false") == 0) {
            at += 5;
            v.kind = Json::Bool;
        } else if (s.compare(at, 4, "null") == 0) {
            at += 4;
        } else {
            char* end = nullptr;
            v.kind = Json::Number;
            v.number = std::strtod(s.c_str() + at, &end);
            if (end == s.c_str() + at)
                Fail("bad number");
            at = size_t(end - s.c_str());
        }
        return v;
    }
};

}  // namespace

const Json& Json::operator[](const std::string& key) const
{
    auto it = members.find(key);
    return it == members.end() ? NullJson() : it->second;
}

const Json& Json::operator[](size_t index) const
{
    return index < items.size() ? items[index] : NullJson();
}

Json Json::Parse(const std::string& utf8)
{
    Reader r{utf8};
    Json v = r.Value();
    r.Skip();
    if (r.at != utf8.size())
        r.Fail("trailing text");
    return v;
}

}  // namespace quill::test
