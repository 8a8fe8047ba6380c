#pragma once
// Events a control raises to its host: one callable member per event. The
// host assigns its handler; raising an event nobody handles does nothing.
// Arguments the handler may answer (KeyAscii, Cancel) are fields of an
// argument struct passed by reference.
#include "forms/Lifetime.h"
#include "forms/Trace.h"

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quill::forms {

template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event& operator=(Handler h)
    {
        handler_ = std::move(h);
        return *this;
    }
    // The handler is copied first: it may replace itself while it runs. It
    // counts as a running handler, so what it unloads outlives the raise.
    // The last arguments name the raising place for the trace; callers never
    // pass them.
    void operator()(Args... args, const char* raisedIn = __builtin_FUNCTION(),
                    const char* file = __builtin_FILE(), int line = __builtin_LINE()) const
    {
        if (trace::On())
            trace::Event(raisedIn, file, line);
        if (handler_) {
            HandlerScope scope;
            Handler h = handler_;
            h(std::forward<Args>(args)...);
        }
    }
    explicit operator bool() const { return static_cast<bool>(handler_); }

private:
    Handler handler_;
};

// Mouse buttons and shift state as the platform reports them to handlers.
enum : int16_t { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum : int16_t { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };

struct MouseArgs {
    int16_t Button = 0;
    int16_t Shift = 0;
    float X = 0;  // in the raising object's scale
    float Y = 0;
};

struct KeyArgs {
    int16_t KeyCode = 0;  // virtual-key code; 0 swallows the key
    int16_t Shift = 0;
};

struct KeyPressArgs {
    // Character code in the ANSI code page (a double-byte character is its
    // two bytes as a signed 16-bit value); 0 swallows the key.
    int16_t KeyAscii = 0;
};

struct CancelArgs {
    int16_t Cancel = 0;  // non-zero refuses
};

// Test seam: the names of events in the order they were raised, compared
// with an expected table.
class EventLog {
public:
    void Add(std::wstring entry) { entries_.push_back(std::move(entry)); }
    const std::vector<std::wstring>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

    // Records `name` whenever the event is raised.
    template <class... Args>
    void Record(Event<Args...>& event, std::wstring name)
    {
        event = [this, name](Args...) { Add(name); };
    }

private:
    std::vector<std::wstring> entries_;
};

}  // namespace quill::forms
