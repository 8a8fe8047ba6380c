// The main window as its list, platform and report pages and its list filter
// see it: the portable page steps run against the window's own controls, the
// session's values and the HTTP client through this adapter.
#pragma once

#include "workspace/Home.h"
#include "workspace/PageHost.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace quill::workspace {

// The window's list as the pages drive it.
class HomeList : public PageList {
public:
    explicit HomeList(HomeListView& list) : list_(list) {}
    void Clear() override { list_.Clear(); }
    std::int32_t ColumnCount() override { return list_.ColumnCount(); }
    void RemoveColumn(std::int32_t index) override { list_.RemoveColumn(index); }
    void AddColumn(const ListColumn& column) override;
    std::int32_t AddItem() override { return list_.AddItem(); }
    void ItemTag(std::int32_t row, std::int32_t tag) override { list_.ItemTag(row, tag); }
    void ItemText(std::int32_t row, std::int32_t column, std::wstring text) override
    {
        list_.ItemText(row, column, std::move(text));
    }
    void Redraw(bool on) override { list_.Redraw(on); }

private:
    HomeListView& list_;
};

class HomePages : public PageHost {
public:
    // Bound to the window as it is loaded now: once it is unloaded (a
    // logout, a close) DoEvents and RequestList report it, and the page
    // stops without touching it again.
    explicit HomePages(Home& home);

    // The longest a page keeps messages waiting while it adds rows, on the
    // program's clock.
    static constexpr std::int64_t kPumpIntervalMs = 20;

    PageList& List() override { return list_; }
    std::int32_t& ShownListKind() override { return home_.ShownListKind; }
    bool DoEvents() override;
    void ShowLoading(std::int16_t kind) override { home_.ShowLoading(kind); }
    void SetListCaption(const std::wstring& text) override;
    void SetChartLabelAngle(std::int32_t angle) override { home_.ChartLabelAngle = angle; }
    void SetChartItemCount(std::int32_t count) override { home_.ChartItemCount = count; }
    void ShowChart(int slot, ChartPlace place, const PageChart& chart) override;
    void LoadTlist(std::int32_t lines) override { home_.LoadTlist(lines); }
    void SetSummaryLine(int line, const std::wstring& caption, const std::wstring& value) override;
    void ShowRegions(unsigned regions) override;
    bool ActionBusy() override { return home_.ActionBusy; }
    void SetActionBusy(bool busy) override { home_.ActionBusy = busy; }
    std::wstring NextColor() override;
    const protocol::UserInfo& Info() override;
    const std::wstring& Section(protocol::AccountSnapshot::SectionIndex section) override;
    std::optional<std::wstring> RequestList(bool finished) override;
    std::wstring& ListCache(bool finished) override;
    std::vector<std::wstring>& ReplyRows() override;
    std::int32_t NowId() override { return home_.NowId; }
    FilterBoxes ReadFilterBoxes() override;
    void SetFilterKey(const std::wstring& text) override;
    void SetFilterEnd(const std::wstring& text) override;
    void EnableFilterButton(bool enabled) override;
    void Inform(const std::wstring& message) override;

private:
    bool Alive() const;

    Home& home_;
    std::uint64_t generation_;
    HomeList list_;
    std::optional<std::int64_t> lastPump_;  // none before the first
};

// The body of tab page 2 to 7 (the entry form's page 1 and the overview
// are the window's own).
PageEnd BuildHomePage(Home& home, std::int16_t index);

}  // namespace quill::workspace
