#pragma once
// The trace switch: with QUILL_TRACE=1 in the environment, the program logs
// to standard error, one line each, every message its windows and hooks
// receive, every event a control raises (forms/Trace.h) and every error a
// handler runs past (ResumeNext), for debugging under Wine, where no
// debugger shows the program's own view of itself.
#include <exception>

namespace quill::forms::trace {

// True when QUILL_TRACE is "1" (read once, at the first use).
bool On();

// One line, "[quill] " and the text, straight to the process's error handle.
void Line(const char* text);

// "error 13 resumed (Login.cpp:210): run-time error"
void Resumed(const std::exception& error, const char* file, int line) noexcept;

// The file's name without its folder, as the lines show it.
const char* FileName(const char* path);

}  // namespace quill::forms::trace
