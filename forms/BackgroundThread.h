// Work of its own on a thread of the system's, left to run to its end: the
// transfers and downloads that a wait or a window watches from outside.
#pragma once

#include <functional>

namespace quill::forms {

// Runs `work` on a new thread that nobody joins; throws std::system_error
// when the system makes no thread. The thread is the system's own, not one
// of the threads library's: under Wine, one of these started while another
// ended now and then never ran, and its transfer never ended.
void StartBackgroundThread(std::function<void()> work);

}  // namespace quill::forms
