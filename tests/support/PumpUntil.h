#pragma once
// Waiting for an event the code under test brings about later (a reply, a
// posted message, a page that arrives): messages are pumped until the
// condition holds. The limit only keeps a broken test from hanging; a test
// never relies on how soon the condition comes.
#include "forms/Pump.h"

#include <windows.h>

namespace quill::test {

template <class Condition>
bool PumpUntil(Condition&& condition, DWORD limitMs = 60000)
{
    const ULONGLONG start = GetTickCount64();
    while (!condition()) {
        if (GetTickCount64() - start > limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        forms::DoEvents();
    }
    return true;
}

}  // namespace quill::test
