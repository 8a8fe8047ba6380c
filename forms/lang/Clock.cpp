#include "forms/lang/Clock.h"

#include "forms/lang/Dates.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <ctime>
#include <stdexcept>

namespace quill::forms {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86400000;

// The overridden clocks: the wall clock as milliseconds since day 0 of the
// date values, and the monotonic count.
std::atomic<bool> g_overridden{false};
std::atomic<std::int64_t> g_wallMilliseconds{0};
std::atomic<std::int64_t> g_monotonicMilliseconds{0};

std::int64_t DateToMilliseconds(double date)
{
    const DateParts p = SplitDate(date);
    const double day = std::trunc(DateSerial(p.year, p.month, p.day));
    return static_cast<std::int64_t>(day) * kMillisecondsPerDay +
           ((p.hour * 60LL + p.minute) * 60 + p.second) * 1000;
}

// Milliseconds since day 0 of the local wall clock.
std::int64_t WallMilliseconds()
{
    if (g_overridden)
        return g_wallMilliseconds;
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto sinceSecond = now - std::chrono::system_clock::from_time_t(seconds);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    const double day = DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const long long second = (local.tm_hour * 60LL + local.tm_min) * 60 + std::min(local.tm_sec, 59);
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(sinceSecond).count();
    return static_cast<std::int64_t>(day) * kMillisecondsPerDay + second * 1000 + milliseconds;
}

}  // namespace

double Now()
{
    const std::int64_t ms = WallMilliseconds();
    const std::int64_t day = ms / kMillisecondsPerDay;
    const std::int64_t second = ms % kMillisecondsPerDay / 1000;
    return static_cast<double>(day) + static_cast<double>(second) / 86400.0;
}

double Today()
{
    return static_cast<double>(WallMilliseconds() / kMillisecondsPerDay);
}

float Timer()
{
    return static_cast<float>(WallMilliseconds() % kMillisecondsPerDay) / 1000.0f;
}

std::int64_t MonotonicMilliseconds()
{
    if (g_overridden)
        return g_monotonicMilliseconds;
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

ClockOverride::ClockOverride(double now)
{
    if (now < 0)
        throw std::invalid_argument("the clock starts on or after 1899-12-30");
    const std::int64_t wall = DateToMilliseconds(now);
    const std::int64_t monotonic = MonotonicMilliseconds();
    bool expected = false;
    if (!g_overridden.compare_exchange_strong(expected, true))
        throw std::logic_error("the clock is already overridden");
    g_monotonicMilliseconds = monotonic;
    g_wallMilliseconds = wall;
}

ClockOverride::~ClockOverride()
{
    g_overridden = false;
}

void ClockOverride::Advance(std::int64_t milliseconds)
{
    if (milliseconds < 0)
        throw std::invalid_argument("time does not run backwards");
    g_monotonicMilliseconds += milliseconds;
    g_wallMilliseconds += milliseconds;
}

void ClockOverride::SetNow(double now)
{
    if (now < 0)
        throw std::invalid_argument("the clock starts on or after 1899-12-30");
    g_wallMilliseconds = DateToMilliseconds(now);
}

}  // namespace quill::forms
