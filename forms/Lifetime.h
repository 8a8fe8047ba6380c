#pragma once
// Object lifetime under re-entrancy. A handler may pump messages, show a
// message box or unload the window that owns the control that raised its
// event; an object that is released while any handler runs is kept until the
// outermost handler has returned.
#include <memory>

namespace quill::forms {

class Window;

// Marks a handler (a window procedure, an event handler) as running.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};

// True while any handler runs.
bool HandlerRunning();

// Ends an object: destroys its window now, then runs its termination and
// deletes it now, or, while a handler runs, once the outermost one returns.
void Release(std::unique_ptr<Window> object);

}  // namespace quill::forms
