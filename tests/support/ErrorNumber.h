// The number of the run-time error a step raises, and exact date values:
// what the tables of the portable tests compare.
#pragma once

#include "forms/lang/Dates.h"
#include "forms/lang/Error.h"

namespace quill::test {

// The number of the run-time error a call raises, 0 when it raises none.
template <class Step>
int ErrorOf(Step&& step)
{
    try {
        step();
    } catch (const forms::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

// The date value of an exact date and time.
inline double DateAt(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return forms::MakeDate({year, month, day, hour, minute, second}).value();
}

}  // namespace quill::test
