// What the list, platform and report pages and the list filter need of the
// main window while they build: its list, its chart slots, its panels, the
// session's values and a look at the message queue.
//
// The page steps themselves are portable code written against this
// interface, so their order, their texts and the way they stop are the same
// in the window and in the tests; the window implements it over its controls.
#pragma once

#include "workspace/ProjectRows.h"
#include "protocol/ServiceRecords.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quill::workspace {

// The window's list as the pages drive it.
class PageList {
public:
    virtual ~PageList() = default;
    virtual void Clear() = 0;
    virtual std::int32_t ColumnCount() = 0;
    virtual void RemoveColumn(std::int32_t index) = 0;
    // Added centred (TextAlign 2), not resizable, visible.
    virtual void AddColumn(const ListColumn& column) = 0;
    // Appends an empty row and returns its position.
    virtual std::int32_t AddItem() = 0;
    virtual void ItemTag(std::int32_t row, std::int32_t tag) = 0;
    // Taken by value: a text made for the cell moves into the list uncopied.
    virtual void ItemText(std::int32_t row, std::int32_t column, std::wstring text) = 0;
    virtual void Redraw(bool on) = 0;
};

struct ChartSet {
    std::wstring name, value, color;
    bool operator==(const ChartSet&) const = default;
};

// One chart as a page assembles it: a column chart of the lists and reports,
// or a pie of the platform pages (whose sets carry a tool tip as well).
struct PageChart {
    std::wstring caption;
    bool pie = false;
    std::vector<ChartSet> sets{};  // a page names its chart first, then adds a set per row it reads
};

// Where a page puts its chart before the layout pass places it for good.
enum class ChartPlace {
    Column,       // PubLeft, PubTop, PubWidth, ChartHeight
    WholeWindow,  // 0, PubTop, the window's inner width, ChartHeight
    HalfColumn,   // PubLeft, PubTop, half of PubWidth, ChartHeight
};

// The regions a finished page makes visible.
enum PageRegion : unsigned {
    SummaryPanel = 1,  // Ole1
    ChartFrame1 = 2,   // Flashole1
    ChartFrame2 = 4,   // Flashole2
    ListCaption = 8,   // CaptionL
    FilterPanel = 16,  // Ole2
    ListRegion = 32,   // ListView
};

// How a page body ended.
enum class PageEnd {
    Completed,      // the tab handler's common end follows
    RequestFailed,  // the failure picture is up and the busy flag cleared
    Abandoned,      // the window went away (logout, close) while messages ran
};

// The filter panel's boxes as the user left them.
struct FilterBoxes {
    std::wstring platform{};  // Combo1
    std::wstring account{};   // Combo2
    std::wstring key{};       // SXKey
    std::wstring start{};     // SXdateb
    std::wstring end{};       // SXdatee
    int dateKind = 0;         // Combo5: 0 value date, anything else due date
    bool nothing = false;     // a platform the box does not hold was asked for: no row passes
};

class PageHost {
public:
    virtual ~PageHost() = default;

    virtual PageList& List() = 0;
    virtual std::int32_t& ShownListKind() = 0;

    // Lets pending window messages run; the window may keep them waiting a
    // few milliseconds more, as pages ask once per row. False when the window
    // that the page is built for was closed or logged out meanwhile: the page
    // must then stop without touching anything of it.
    virtual bool DoEvents() = 0;

    virtual void ShowLoading(std::int16_t kind) = 0;
    virtual void SetListCaption(const std::wstring& text) = 0;
    virtual void SetChartLabelAngle(std::int32_t angle) = 0;
    virtual void SetChartItemCount(std::int32_t count) = 0;
    virtual void ShowChart(int slot, ChartPlace place, const PageChart& chart) = 0;
    virtual void LoadTlist(std::int32_t lines) = 0;
    virtual void SetSummaryLine(int line, const std::wstring& caption, const std::wstring& value) = 0;
    virtual void ShowRegions(unsigned regions) = 0;
    virtual bool ActionBusy() = 0;
    virtual void SetActionBusy(bool busy) = 0;
    // A chart colour: six upper-case hexadecimal digits.
    virtual std::wstring NextColor() = 0;

    // The session.
    virtual const protocol::UserInfo& Info() = 0;
    virtual const std::wstring& Section(protocol::AccountSnapshot::SectionIndex section) = 0;
    // The reply of "do=list&" or "do=overlist&" with the session's AuthQuery,
    // "" on failure; nothing when the window went away while the request
    // waited with messages running.
    virtual std::optional<std::wstring> RequestList(bool finished) = 0;
    virtual std::wstring& ListCache(bool finished) = 0;
    virtual std::vector<std::wstring>& ReplyRows() = 0;
    virtual std::int32_t NowId() = 0;

    // The filter panel.
    virtual FilterBoxes ReadFilterBoxes() = 0;
    virtual void SetFilterKey(const std::wstring& text) = 0;
    virtual void SetFilterEnd(const std::wstring& text) = 0;
    virtual void EnableFilterButton(bool enabled) = 0;
    virtual void Inform(const std::wstring& message) = 0;
};

}  // namespace quill::workspace
