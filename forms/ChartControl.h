#pragma once
// Our chart control, registered as "FusionChartsForVB.FusionCharts" because
// no chart control is installed on these machines. It takes exactly the
// members the main window sets (Menu, ChartPath, ChartType, setDataXML,
// RenderChart), reads the chart text as leniently as the program reads it
// elsewhere, and draws a column chart (ChartType 1) or a pie (4) with GDI. The
// top band of kHiddenBand pixels stays blank: its host places the control that
// far above its frame.
//
// Setting the environment variable QUILL_NO_CHART_CONTROL to 1 makes its
// creation fail with error 429, as on a machine without the control, so that
// the HTML charts can be exercised.
#include "forms/Automation.h"
#include "forms/UserControl.h"
#include "forms/web/ChartLayout.h"
#include "forms/web/ChartText.h"

#include <memory>
#include <optional>
#include <string>

namespace quill::forms {

class ChartControl : public UserControl, public ControlObject {
public:
    static constexpr wchar_t ProgId[] = L"FusionChartsForVB.FusionCharts";
    static constexpr int kHiddenBand = 18;
    enum : int16_t { ColumnChart = 1, PieChart = 4 };

    // The registry's factory: nullptr when the control is switched off.
    static std::unique_ptr<Control> Make(Container& container, const ControlArgs& args);

    ChartControl();
    ~ChartControl() override;
    void Create(Container& container, const ControlArgs& args);

    bool Menu() const { return menu_; }
    void Menu(bool v) { menu_ = v; }
    const std::wstring& ChartPath() const { return chartPath_; }
    void ChartPath(std::wstring v) { chartPath_ = std::move(v); }
    int16_t ChartType() const { return chartType_; }
    // 1 (column chart) or 4 (pie); any other value raises 380.
    void ChartType(int16_t v);
    const std::wstring& DataXML() const { return dataXml_; }
    void setDataXML(std::wstring xml);
    // Draws the chart again at the control's size.
    void RenderChart();

    ObjectRef Object() override;

    // What it shows, for its host's tests.
    const web::Chart& Chart() const { return chart_; }
    web::ChartKind Kind() const
    {
        return chartType_ == PieChart ? web::ChartKind::Pie : web::ChartKind::Column;
    }
    // The area the chart is drawn in: below the hidden band.
    RECT ChartArea() const;

protected:
    void UserControl_Paint() override;
    void UserControl_Resize() override;
    void UserControl_MouseMove(MouseArgs& e) override;
    void UserControl_Terminate() override;

private:
    bool menu_ = true;
    std::wstring chartPath_;
    int16_t chartType_ = ColumnChart;
    std::wstring dataXml_;
    web::Chart chart_;
    int hotSlice_ = -1;
    std::optional<web::PieLayout> pie_;  // the slices' places, kept for the pointer
    // The late-bound object holds this, not the control: it outlives the control harmlessly.
    std::shared_ptr<ChartControl*> self_;
};

}  // namespace quill::forms
