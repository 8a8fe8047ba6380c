#pragma once
// One request of the platform's XMLHTTP object, carried on a thread of its
// own. Wine's request object reads a reply's whole body inside one message
// it handles, however long that takes (minutes for a reply of a hundred
// megabytes): on the thread that waits for it, no window would answer and no
// time limit could end the wait. The waiting thread only reads what the
// transfer's thread copies out under its lock. It is not a UrlFetch: the
// session's and the updater's requests are that object's own (its method,
// headers, body, status and time limits), where a page or a picture only
// needs the bytes of an address.
#include "forms/Automation.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill::forms {

struct HttpRequestLine {
    std::wstring method, url;
    std::vector<std::pair<std::wstring, std::wstring>> headers;  // sent in this order
    std::optional<Variant> body;                                 // send() without one when empty
};

// What a finished transfer brought back.
struct HttpReply {
    bool complete = false;  // the object reached readyState 4 and its body was read
    int status = -1;        // the reply's HTTP status, -1 when it could not be read
    Bytes body;
    std::wstring contentLength, contentEncoding;  // the reply's headers, "" when absent
};

// What ended a wait for a transfer: Refused when its headers announced a
// length that the transfer's refusesLength refused (its body is not read).
enum class TransferWait { Done, GivenUp, Stalled, OutOfTime, Refused };

class HttpTransfer {
public:
    // makeRequest runs on the transfer's thread and creates the object there
    // (nothing, or a throw, makes the transfer end incomplete at once). With a
    // stall limit, a transfer that shows no sign of life for that long (see
    // HttpTransfer.cpp) is taken for a dead connection: Wait ends Stalled.
    // refusesLength is asked on the transfer's thread at its first look after
    // the reply's headers came, with its Content-Length ("" when it has
    // none): a length it refuses ends the transfer there, the rest of the
    // body unread. (Under Wine the headers come inside the message that
    // brings the body's first piece, and a body that comes at full speed is
    // read whole inside that one message: only a body that comes in pieces
    // is refused before its end.) A request whose connection every address
    // of its host refuses ends at once with no reply.
    HttpTransfer(std::function<ObjectRef()> makeRequest, HttpRequestLine request,
                 std::int64_t stallLimitMs = 0,
                 std::function<bool(std::wstring_view contentLength)> refusesLength = {});
    // A transfer still running is given up: its thread leaves the object as
    // it is, neither aborted nor released (the request object under Wine
    // goes on with its transfer after an abort, and one released before its
    // end crashes the process when the rest comes), and ends at its next
    // look; only a body read inside one long message keeps it until the
    // message ends.
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    // Waits with the windows alive: their messages are handled meanwhile, so
    // handlers can run inside it, other transfers' waits included; a wait
    // begun inside another runs to its own end before the other goes on (the
    // other's overrun is bounded by the inner one's limit). It ends once the transfer is
    // done, once giveUp (asked each round) says so, once it stalled, or once
    // limitMs have passed on the monotonic clock (the time of day starts
    // again at midnight and would let a wait begun before it go on for
    // ever); the limit holds for the whole transfer, the body's bytes
    // included. A transfer not done is still running: destroying it gives it
    // up.
    TransferWait Wait(std::int64_t limitMs, const std::function<bool()>& giveUp = {});
    // The reply's Content-Length as soon as the transfer's thread has seen its
    // headers ("" before, or when it has none), also once the transfer was
    // refused for it.
    std::wstring AnnouncedLength() const;
    // Once Wait ended Done.
    const HttpReply& Reply() const;

    struct State;

private:
    bool Done() const;
    bool Stalled() const;

    std::shared_ptr<State> state_;
};

// Transfers given up (see ~HttpTransfer) whose threads still run.
// Nothing refuses a request for them: each ends its thread at its next look,
// and what the platform keeps of it afterwards (a connection the server
// holds open, and its thread) is measured in bench/http_transfer_bench.
int GivenUpTransferCount();

}  // namespace quill::forms
