// Numbered run-time errors and the two ways a handler lets them pass.
#pragma once

#include "forms/lang/TraceSwitch.h"

#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace quill::forms {

// The run-time error numbers that our code raises or that callers test for.
enum ErrorNumber : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kSubscriptOutOfRange = 9,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
    kBadFileNameOrNumber = 52,
    kFileNotFound = 53,
    kFileAlreadyOpen = 55,
    kDeviceIoError = 57,
    kFileAlreadyExists = 58,
    kInputPastEndOfFile = 62,
    kPermissionDenied = 70,
    kPathFileAccessError = 75,
    kPathNotFound = 76,
    kObjectNotSet = 91,
    kInvalidPropertyValue = 380,
    kClassNotAvailable = 429,
    kMemberNotSupported = 438,
};

// The description the runtime of a Chinese Windows gives for a number; numbers
// it has no text for get its text for an application-defined error.
std::wstring ErrorDescription(int number);

// A numbered run-time error. Handlers show Description() and Number().
class RuntimeError : public std::exception {
public:
    explicit RuntimeError(int number) : number_(number), description_(ErrorDescription(number)) {}
    RuntimeError(int number, std::wstring description) : number_(number), description_(std::move(description))
    {
    }

    int Number() const { return number_; }
    const std::wstring& Description() const { return description_; }
    const char* what() const noexcept override { return "run-time error"; }

private:
    int number_;
    std::wstring description_;
};

// Element `index` of an array; an index outside it raises 9, as the
// platform's arrays do.
template <class T>
const T& At(const std::vector<T>& items, long long index)
{
    if (index < 0 || static_cast<unsigned long long>(index) >= items.size())
        throw RuntimeError(kSubscriptOutOfRange);
    return items[static_cast<size_t>(index)];
}

// One step of a handler that runs with errors suppressed: a step that fails is
// skipped and the handler goes on. Returns whether the step ran to its end.
// The error is gone for the handler, not for the trace: with QUILL_TRACE on
// it is logged with the place of the step (the last arguments, which callers
// never pass).
template <class Step>
bool ResumeNext(Step&& step, const char* file = __builtin_FILE(), int line = __builtin_LINE()) noexcept
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const std::exception& error) {
        if (trace::On())
            trace::Resumed(error, file, line);
        return false;
    }
}

// The test of a conditional in a handler that runs with errors suppressed: a
// test that fails lets the first step of its "then" branch run next, so it
// counts as true. Traced as ResumeNext is.
template <class Test>
bool ResumeTest(Test&& test, const char* file = __builtin_FILE(), int line = __builtin_LINE()) noexcept
{
    try {
        return static_cast<bool>(std::forward<Test>(test)());
    } catch (const std::exception& error) {
        if (trace::On())
            trace::Resumed(error, file, line);
        return true;
    }
}

}  // namespace quill::forms
