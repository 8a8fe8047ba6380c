#pragma once
// Shell sort over any array, with a comparison that answers 1 when its first
// element belongs after its second. It is not stable: equal elements come out
// in the order its gaps and insertion steps leave them, which callers see, so
// those steps must stay as they are.
#include <cstdint>
#include <utility>

namespace quill::listview {

template <class Element, class Compare>
void ShellSortWithCallback(Element* base, int32_t n, Compare compare)
{
    if (n < 2)
        return;
    // The gaps 1, 4, 13, 40, ...; start from the first one above n.
    int64_t h = 0;
    while (h <= n)
        h = 3 * h + 1;
    do {
        h /= 3;
        for (int64_t i = h; i < n; ++i) {
            if (compare(base[i - h], base[i]) != 1)
                continue;
            Element buffer = std::move(base[i]);
            int64_t j = i;
            // A comparison that throws must not lose the element held aside.
            try {
                do {
                    base[j] = std::move(base[j - h]);
                    j -= h;
                } while (j - h >= 0 && compare(base[j - h], buffer) == 1);
            } catch (...) {
                base[j] = std::move(buffer);
                throw;
            }
            base[j] = std::move(buffer);
        }
    } while (h > 1);
}

}  // namespace quill::listview
