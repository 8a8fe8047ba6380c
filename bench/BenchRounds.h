#pragma once
// What the benchmarks share: the two sides are timed in interleaved rounds
// (the order swapped every round, so that neither always runs on a cache or
// a machine state the other left), and each comparison is reported as the
// median of the rounds' ratios with the lowest and highest of them, since
// this machine is shared and single rounds are noisy. Portable benchmarks
// time the thread's processor time, which other processes' load disturbs
// less than the wall clock; the window benchmarks time the wall clock, since
// their work happens in other processes too (the service, the display).
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#ifndef _WIN32
#include <time.h>
#endif

namespace quill::bench {

struct Ratio {
    double median = 0;
    double low = 0;
    double high = 0;
};

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Round by round: ours[i] / reference[i].
inline Ratio RatioOf(const std::vector<double>& ours, const std::vector<double>& reference)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < ours.size() && i < reference.size(); ++i)
        ratios.push_back(ours[i] / reference[i]);
    if (ratios.empty())
        return {};
    return {Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
            *std::max_element(ratios.begin(), ratios.end())};
}

#ifndef _WIN32
inline double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

inline double SecondsOf(const std::function<void()>& work)
{
    const double start = ThreadSeconds();
    work();
    return ThreadSeconds() - start;
}

#endif

// `rounds` rounds of both, interleaved; each side's round gives its own
// seconds (a side may make ready and clear away what it needs around its
// timed calls).
inline void InterleavedRounds(int rounds, const std::function<double()>& ours,
                              const std::function<double()>& reference, std::vector<double>& oursSeconds,
                              std::vector<double>& referenceSeconds)
{
    for (int r = 0; r < rounds; ++r) {
        if (r % 2) {
            referenceSeconds.push_back(reference());
            oursSeconds.push_back(ours());
        } else {
            oursSeconds.push_back(ours());
            referenceSeconds.push_back(reference());
        }
    }
}

// `rounds` rounds of both, interleaved, each timed by `seconds`; the
// seconds of each round.
using Timer = std::function<double(const std::function<void()>&)>;
inline void Interleaved(int rounds, const Timer& seconds, const std::function<void()>& ours,
                        const std::function<void()>& reference, std::vector<double>& oursSeconds,
                        std::vector<double>& referenceSeconds)
{
    InterleavedRounds(
        rounds, [&] { return seconds(ours); }, [&] { return seconds(reference); }, oursSeconds,
        referenceSeconds);
}

inline void PrintRatio(const Ratio& r)
{
    std::printf("%6.2f (%.2f-%.2f)", r.median, r.low, r.high);
}

}  // namespace quill::bench
