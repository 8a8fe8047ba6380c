// Small helpers of the language runtime's tests.
#pragma once

#include "forms/lang_dates.h"
#include "forms/lang_error.h"

#include <functional>

namespace forms::testing {

// The number of the run-time error a call raises, 0 when it raises none.
inline int ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

// The date value of an exact date and time.
inline double DateAt(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return MakeDate({year, month, day, hour, minute, second}).value();
}

}  // namespace forms::testing
