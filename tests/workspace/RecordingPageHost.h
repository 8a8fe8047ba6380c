// A main window as the page steps see it, recording what they do: the list
// (with the control's refusals 31 and 33), the charts, the panels, the busy
// flag and every look at the message queue, which a test can use to act "while
// messages run" (a click, a logout).
#pragma once

#include "workspace/PageHost.h"

#include "forms/lang/Error.h"

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quill::workspace {

// A UserInfo of `count` items, each "0", with the given items set.
inline protocol::UserInfo UserInfoWith(std::map<int, std::wstring> items, int count = 19)
{
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        if (i)
            text += L"|";
        const auto it = items.find(i);
        text += it == items.end() ? L"0" : it->second;
    }
    return protocol::UserInfo(text);
}

class RecordingPageHost : public PageHost, public PageList {
public:
    struct Row {
        std::int32_t tag = 0;
        std::vector<std::wstring> cells;
    };
    struct ShownChart {
        ChartPlace place;
        PageChart chart;
    };

    // The list.
    std::vector<ListColumn> columns;
    std::vector<Row> rows;
    bool redraw = true;
    int clears = 0, columnsRemoved = 0, columnsAdded = 0;
    std::int32_t shownKind = -1;

    // The window.
    std::vector<std::int16_t> loading;
    std::wstring caption;
    std::int32_t angle = 12345;  // "left as it was"
    std::int32_t chartItemCount = -1;
    std::map<int, ShownChart> charts;
    std::int32_t tiles = -1;
    std::map<int, std::pair<std::wstring, std::wstring>> summary;
    unsigned regions = 0;
    bool busy = true;  // the tab handler sets it before a page body
    bool filterButtonEnabled = true;
    std::vector<std::wstring> informed;
    int colors = 0;

    // The session.
    protocol::UserInfo info = UserInfoWith({});
    std::map<int, std::wstring> sections;
    std::wstring reply;  // what the list request answers
    bool requestAbandons = false;
    std::vector<bool> requests;  // finished?
    std::wstring currentCache, finishedCache;
    std::vector<std::wstring> replyRows;
    std::int32_t page = 2;
    FilterBoxes boxes;

    // Messages: called at every look at the queue; false ends the page.
    int doEvents = 0;
    std::function<bool()> onDoEvents;

    // PageList
    void Clear() override
    {
        ++clears;
        rows.clear();
    }
    std::int32_t ColumnCount() override { return static_cast<std::int32_t>(columns.size()); }
    void RemoveColumn(std::int32_t index) override
    {
        if (!rows.empty())
            throw forms::RuntimeError(33);
        forms::At(columns, index);
        columns.erase(columns.begin() + index);
        ++columnsRemoved;
    }
    void AddColumn(const ListColumn& column) override
    {
        if (!rows.empty())
            throw forms::RuntimeError(33);
        columns.push_back(column);
        ++columnsAdded;
    }
    std::int32_t AddItem() override
    {
        if (columns.empty())
            throw forms::RuntimeError(31);
        rows.push_back({0, std::vector<std::wstring>(columns.size())});
        return static_cast<std::int32_t>(rows.size()) - 1;
    }
    void ItemTag(std::int32_t row, std::int32_t tag) override { RowAt(row).tag = tag; }
    void ItemText(std::int32_t row, std::int32_t column, std::wstring text) override
    {
        Row& r = RowAt(row);
        if (column < 0 || static_cast<size_t>(column) >= r.cells.size())
            throw forms::RuntimeError(9);
        r.cells[column] = std::move(text);
    }
    void Redraw(bool on) override { redraw = on; }

    // PageHost
    PageList& List() override { return *this; }
    std::int32_t& ShownListKind() override { return shownKind; }
    bool DoEvents() override
    {
        ++doEvents;
        return onDoEvents ? onDoEvents() : true;
    }
    void ShowLoading(std::int16_t kind) override { loading.push_back(kind); }
    void SetListCaption(const std::wstring& text) override { caption = text; }
    void SetChartLabelAngle(std::int32_t value) override { angle = value; }
    void SetChartItemCount(std::int32_t count) override { chartItemCount = count; }
    void ShowChart(int slot, ChartPlace place, const PageChart& chart) override
    {
        charts[slot] = {place, chart};
    }
    void LoadTlist(std::int32_t lines) override { tiles = lines; }
    void SetSummaryLine(int line, const std::wstring& c, const std::wstring& value) override
    {
        summary[line] = {c, value};
    }
    void ShowRegions(unsigned shown) override { regions |= shown; }
    bool ActionBusy() override { return busy; }
    void SetActionBusy(bool value) override { busy = value; }
    std::wstring NextColor() override
    {
        wchar_t text[8];
        swprintf(text, 8, L"%06X", ++colors);
        return text;
    }
    const protocol::UserInfo& Info() override { return info; }
    const std::wstring& Section(protocol::AccountSnapshot::SectionIndex section) override
    {
        return sections[section];
    }
    std::optional<std::wstring> RequestList(bool finished) override
    {
        requests.push_back(finished);
        if (requestAbandons)
            return std::nullopt;
        return reply;
    }
    std::wstring& ListCache(bool finished) override { return finished ? finishedCache : currentCache; }
    std::vector<std::wstring>& ReplyRows() override { return replyRows; }
    std::int32_t NowId() override { return page; }
    FilterBoxes ReadFilterBoxes() override { return boxes; }
    void SetFilterKey(const std::wstring& text) override { boxes.key = text; }
    void SetFilterEnd(const std::wstring& text) override { boxes.end = text; }
    void EnableFilterButton(bool enabled) override { filterButtonEnabled = enabled; }
    void Inform(const std::wstring& message) override { informed.push_back(message); }

    std::vector<std::wstring> Column(int column) const
    {
        std::vector<std::wstring> texts;
        for (const Row& row : rows)
            texts.push_back(row.cells.at(column));
        return texts;
    }

private:
    Row& RowAt(std::int32_t row)
    {
        if (row < 0 || static_cast<size_t>(row) >= rows.size())
            throw forms::RuntimeError(9);
        return rows[row];
    }
};

}  // namespace quill::workspace
