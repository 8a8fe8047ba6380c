#pragma once
// One download on a thread of its own, for a window that must go on
// answering while it runs: the browser stand-in's pages and the animated
// picture's remote reads. The window hears of the end by UrlFetch::Message(),
// posted with the tag it gave; it then reads Result(). Ending the fetch
// stops its reading at the next chunk and lets the thread finish alone
// (joining it would hold the window for as long as the server is silent):
// the thread holds its own share of what it fills, and the window tells a
// late message apart by its tag.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

namespace quill::forms {

class UrlFetch {
public:
    enum class Source {
        // WinINet, always from the network and never kept in the cache, each
        // step bounded in time, the reply's Content-Type kept: an http or
        // https page, whose charset the type may name.
        Network,
        // The system's URL reader: any address it takes (a local path too),
        // and its cached copy when the network fails.
        NetworkOrCache,
    };

    struct Reply {
        bool whole = false;     // read to its end without an error, within the bound
        bool tooLarge = false;  // more came than the bound: `bytes` holds the bound's worth
        std::string bytes;
        std::string contentType;  // Source::Network only
    };

    // Starts reading `url`, at most `largest` bytes. Throws when no thread
    // can be started.
    UrlFetch(std::wstring url, Source source, std::size_t largest, HWND window, WPARAM tag);
    ~UrlFetch();
    UrlFetch(const UrlFetch&) = delete;
    UrlFetch& operator=(const UrlFetch&) = delete;

    // Posted to the window once the reply is there, with the fetch's tag.
    static UINT Message();

    bool Done() const;
    // The reply; read it only once Done().
    const Reply& Result() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

}  // namespace quill::forms
