#pragma once
// The platform's web browser control as far as this program uses it, for
// machines without a browser engine. Navigate fetches the page (http and
// https through a UrlFetch of its own; a local file from the disk) and
// completes later, as a browser does, so the message loop never waits for
// it. Document then holds the page, with its body element's markup. The
// control shows the page's readable text (headings, paragraphs, links
// underlined, pictures left out); a report page that carries a chart (see
// web/ReportData.h) is drawn as that chart, with the chart control's painter.
#include "forms/Control.h"
#include "forms/Events.h"
#include "forms/web/PageText.h"
#include "forms/web/ReportData.h"

#include <cstdint>
#include <memory>
#include <optional>
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

    // Starts loading `url`: "about:blank", an http or https address, a
    // "file:" URL or a file path. Whatever the previous navigation would
    // still bring is dropped.
    void Navigate(const std::wstring& url);
    // The page of the last navigation once it has arrived (a page saying it
    // cannot be shown when the address failed); nullptr before the first
    // navigation and while one runs.
    const HtmlDocument* Document() const { return busy_ || !document_ ? nullptr : document_.get(); }
    bool Busy() const { return busy_; }
    const std::wstring& LocationURL() const { return location_; }

    // Raised with the address once a navigation's page has arrived.
    Event<const std::wstring&> DocumentComplete;

    // What it shows, for its hosts' tests.
    const web::PageContent& Page() const { return page_; }
    const std::optional<web::ReportChart>& Chart() const { return chart_; }

    struct Fetch;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Terminating() override;

private:
    void Arrived(const Fetch& fetch);
    void Paint(HDC dc, const RECT& client) const;

    std::unique_ptr<Fetch> pending_;
    std::uint32_t navigation_ = 0;
    bool busy_ = false;
    std::wstring location_;
    std::unique_ptr<HtmlDocument> document_;
    web::PageContent page_;
    std::optional<web::ReportChart> chart_;
};

}  // namespace quill::forms
