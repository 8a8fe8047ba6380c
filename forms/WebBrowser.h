#pragma once
// The platform's web browser control as this program uses it, for machines
// without a browser engine. Navigate fetches an http or https page through
// the platform's HTTP stack on a worker thread and completes later, as a
// browser does, so the message loop never waits for it; Document then holds
// the page with its body element's markup. The control shows the page's
// readable text: headings, paragraphs, links as underlined text, pictures
// left out. Other addresses (files, programs) are not fetched: they show as
// a page that cannot be shown.
#include "forms/Control.h"
#include "forms/Events.h"
#include "forms/web/PageText.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quill::forms {

struct HtmlElement {
    std::wstring outerHTML;
};

struct HtmlDocument {
    std::wstring url;
    std::wstring title;
    HtmlElement body;
};

class WebBrowser : public Control {
public:
    WebBrowser();
    ~WebBrowser() override;
    void Create(Container& container, const ControlArgs& args);

    // Starts loading `url`; what an earlier navigation would still bring is
    // dropped.
    void Navigate(const std::wstring& url);
    // The page of the last navigation once it has arrived; nullptr before
    // the first navigation and while one runs.
    const HtmlDocument* Document() const { return busy_ || !document_ ? nullptr : document_.get(); }
    bool Busy() const { return busy_; }
    const std::wstring& LocationURL() const { return location_; }

    // Raised with the address once a navigation's page has arrived.
    Event<const std::wstring&> DocumentComplete;

    // What it shows.
    const web::PageContent& Page() const { return page_; }

    struct Fetch;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Terminating() override;

private:
    void Arrived(const Fetch& fetch);
    void Paint(HDC dc, const RECT& client) const;

    std::shared_ptr<Fetch> pending_;
    std::uint32_t navigation_ = 0;
    bool busy_ = false;
    std::wstring location_;
    std::unique_ptr<HtmlDocument> document_;
    web::PageContent page_;
};

}  // namespace quill::forms
