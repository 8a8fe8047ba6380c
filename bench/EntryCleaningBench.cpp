// The entry form's bracket cleaning in one pass against the replace repeated
// for every level of nesting that it took the place of, on texts of 100,000
// characters as they may be pasted into the platform or account box: one
// nested 50,000 deep, a text with a few brackets, and random brackets among
// letters. Rounds are interleaved; both sides must give the same text.
//     entry_cleaning_bench [rounds=5] [characters=100000]
// Build without sanitizers for meaningful numbers (see README).
#include "BenchRounds.h"
#include "tests/support/WithoutBracketsByPasses.h"
#include "workspace/EntryFields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct Text {
    const char* name;
    std::wstring text;
};

std::vector<Text> Texts(size_t length)
{
    std::wstring nested(length / 2, L'[');
    nested.append(length - length / 2, L']');

    std::wstring prose;
    while (prose.size() < length)
        prose += L"陆金所稳盈-安e 7[]期，年化8.4%，[[]]到期还本息|备注:";
    prose.resize(length);

    std::wstring random(length, L' ');
    std::mt19937 generator(7);
    const wchar_t alphabet[] = L"[[[]]]a陆";
    std::uniform_int_distribution<size_t> pick(0, std::size(alphabet) - 2);
    for (wchar_t& c : random)
        c = alphabet[pick(generator)];
    return {{"nested 50% deep", std::move(nested)},
            {"prose, a few brackets", std::move(prose)},
            {"random brackets", std::move(random)}};
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const size_t length = argc > 2 ? static_cast<size_t>(std::max(2, std::atoi(argv[2]))) : 100000;
    std::printf("%d rounds interleaved, %zu characters; ratio = median of the rounds' "
                "one pass / pass by pass (lowest-highest)\n\n",
                rounds, length);
    std::printf("%-24s %14s %14s   %s\n", "text", "one pass ms", "by passes ms", "ratio");
    for (const Text& t : Texts(length)) {
        std::wstring ours, reference;
        std::vector<double> oursSeconds, referenceSeconds;
        quill::bench::Interleaved(
            rounds, quill::bench::SecondsOf, [&] { ours = quill::workspace::WithoutBrackets(t.text); },
            [&] { reference = quill::test::WithoutBracketsByPasses(t.text); }, oursSeconds, referenceSeconds);
        if (ours != reference) {
            std::printf("%-24s the two sides differ\n", t.name);
            return 1;
        }
        std::printf("%-24s %14.3f %14.3f  ", t.name, quill::bench::Median(oursSeconds) * 1000,
                    quill::bench::Median(referenceSeconds) * 1000);
        // Three significant digits: the nested text's ratio is far below 0.01.
        const quill::bench::Ratio r = quill::bench::RatioOf(oursSeconds, referenceSeconds);
        std::printf("%.3g (%.3g-%.3g)\n", r.median, r.low, r.high);
    }
    return 0;
}
