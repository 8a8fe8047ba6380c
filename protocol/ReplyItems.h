// The items of one reply record, taken by position.
//
// A record keeps its items as the service sent them; each caller reads an
// item as received, strictly (the whole text must be a number or a date, else
// error 13) or leniently (its leading number, 0 when there is none), as its
// page prescribes. A position the record does not hold raises error 9, which
// the page's handler reports like any other failed reading.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill::protocol {

class ReplyItems {
public:
    ReplyItems() = default;
    // The items of a text split at every separator.
    ReplyItems(std::wstring_view text, std::wstring_view separator);

    int Count() const { return static_cast<int>(items_.size()); }
    const std::vector<std::wstring>& Items() const { return items_; }

    const std::wstring& Text(int position) const;
    double Strict(int position) const;
    double Lenient(int position) const;
    // A strict reading rounded to a 32-bit integer (halves to even; beyond the
    // range raises 6).
    std::int32_t StrictInt32(int position) const;
    // A date value (days since 1899-12-30); a text that is no date raises 13.
    double StrictDate(int position) const;

    bool operator==(const ReplyItems&) const = default;

private:
    std::vector<std::wstring> items_;
};

}  // namespace quill::protocol
