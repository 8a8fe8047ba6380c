// The number of the run-time error a step raises, 0 when it raises none.
#pragma once

#include "forms/lang_error.h"

template <class Step>
int ErrorNumberOf(Step&& step)
{
    try {
        step();
        return 0;
    } catch (const forms::RuntimeError& e) {
        return e.Number();
    }
}
