#pragma once
// Just enough JSON to read the reference service's control replies in tests.
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quill::test {

struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;  // UTF-8
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const std::string& key) const;
    const Json& operator[](size_t index) const;
    size_t size() const { return kind == Array ? items.size() : members.size(); }

    // Throws std::runtime_error on malformed input.
    static Json Parse(const std::string& utf8);
};

}  // namespace quill::test
