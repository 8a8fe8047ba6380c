// The rules by which the descriptor's entries become the rows of the file
// list and the download's progress.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quill::updater {

// The installed version is not older than the newest when its leading
// decimal number is at least as large ("1.10" reads as 1.1, older than 1.3;
// the service publishes no minor version of ten or more). Here and below, a
// leading number beyond the range of numbers ("1e999") raises 6 (overflow).
bool IsUpToDate(std::wstring_view currentVersion, std::wstring_view newest);

// Whether "checkfile" promises any entry (its leading number is 1 or more).
bool PromisesEntries(std::wstring_view checkfile);
// The number of entries to read: the leading number to the nearest whole
// one, halves to the even one ("2.5" gives 2); beyond a 16-bit count
// raises 6 (overflow).
std::int16_t EntryCount(std::wstring_view checkfile);

// One "file<n>" value split at "|": the relative path and the size text;
// further parts are ignored. A value without "|" raises 9.
struct DescriptorEntry {
    std::wstring path;
    std::wstring sizeText;
};
DescriptorEntry SplitEntry(std::wstring_view value);

// The size of an entry in bytes: a whole number from 0 to 2^53 (beyond
// which a size no longer tells one count from the next), written as decimal
// digits, blanks around them aside. Nothing for every other text: a sign, a
// point, an exponent, a hexadecimal form ("0x10", "&H10"), a word ("NaN",
// "inf"), digits with more after them ("12abc"), none at all, or a number
// above 2^53 however many digits it has. Such an entry is invalid.
std::optional<double> ByteCount(std::wstring_view sizeText);

// The size column: KB to one decimal place, halves to even, no trailing
// zeros ("1.5 KB" for 1536 bytes, "1 KB" for 1075); MB, GB or TB once the
// number takes five whole digits, so that no text is longer than the column
// shows ("9999.9 KB", then "9.8 MB").
std::wstring SizeText(double size);

// The progress after `done` of `rows` files, in percent to the nearest whole
// number, halves to even (3 of 8 gives 38, 1 of 8 gives 12).
std::int32_t ProgressValue(int done, int rows);

}  // namespace quill::updater
