#include "forms/ChartControl.h"

#include "forms/ChartPainter.h"
#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"

#include <windows.h>

namespace quill::forms {

namespace {

bool SwitchedOff()
{
    wchar_t value[8]{};
    const DWORD n = GetEnvironmentVariableW(L"QUILL_NO_CHART_CONTROL", value, 8);
    return n > 0 && n < 8 && std::wstring_view(value) == L"1";
}

// The control's members by name, as a late-bound caller reaches them.
class ChartObject : public Object {
public:
    explicit ChartObject(std::shared_ptr<ChartControl*> control) : control_(std::move(control)) {}

    Variant Get(const std::wstring& name, const std::vector<Variant>& args) override
    {
        ChartControl& c = Control();
        if (TextEquals(name, L"Menu"))
            return c.Menu();
        if (TextEquals(name, L"ChartPath"))
            return c.ChartPath();
        if (TextEquals(name, L"ChartType"))
            return static_cast<int32_t>(c.ChartType());
        if (TextEquals(name, L"RenderChart"))
            return Call(name, args);
        throw RuntimeError(kMemberNotSupported);
    }
    void Put(const std::wstring& name, const Variant& value) override
    {
        ChartControl& c = Control();
        if (TextEquals(name, L"Menu"))
            c.Menu(VariantNumber(value) != 0);
        else if (TextEquals(name, L"ChartPath"))
            c.ChartPath(VariantText(value));
        else if (TextEquals(name, L"ChartType"))
            c.ChartType(ToInt16(VariantNumber(value)));
        else if (TextEquals(name, L"setDataXML"))
            c.setDataXML(VariantText(value));
        else
            throw RuntimeError(kMemberNotSupported);
    }
    Variant Call(const std::wstring& name, const std::vector<Variant>& args) override
    {
        if (!TextEquals(name, L"RenderChart") || !args.empty())
            throw RuntimeError(kMemberNotSupported);
        Control().RenderChart();
        return {};
    }

private:
    ChartControl& Control() const
    {
        if (!*control_)
            throw RuntimeError(kObjectNotSet);  // the control has ended
        return **control_;
    }
    std::shared_ptr<ChartControl*> control_;
};

}  // namespace

std::unique_ptr<Control> ChartControl::Make(Container& container, const ControlArgs& args)
{
    if (SwitchedOff())
        return nullptr;
    auto control = std::make_unique<ChartControl>();
    control->Create(container, args);
    return control;
}

ChartControl::ChartControl() : self_(std::make_shared<ChartControl*>(this))
{
    AutoRedraw = false;
    CanGetFocus = false;
}

ChartControl::~ChartControl()
{
    *self_ = nullptr;
}

void ChartControl::Create(Container& container, const ControlArgs& args)
{
    UserControl::Create(container, args, nullptr);
}

void ChartControl::UserControl_Terminate()
{
    *self_ = nullptr;
}

ObjectRef ChartControl::Object()
{
    return std::make_shared<ChartObject>(self_);
}

void ChartControl::ChartType(int16_t v)
{
    if (v != ColumnChart && v != PieChart)
        throw RuntimeError(kInvalidPropertyValue);
    chartType_ = v;
    RenderChart();
}

void ChartControl::setDataXML(std::wstring xml)
{
    dataXml_ = std::move(xml);
    chart_ = web::ReadChartText(dataXml_);
    hotSlice_ = -1;
    pie_.reset();
    RenderChart();
}

void ChartControl::RenderChart()
{
    if (hWnd())
        Refresh();
}

RECT ChartControl::ChartArea() const
{
    const int top = std::min(kHiddenBand, ScaleHeight());
    return RECT{0, top, ScaleWidth(), ScaleHeight()};
}

void ChartControl::UserControl_Paint()
{
    // The painter clears the chart area itself: only the band above it is left.
    const RECT area = ChartArea();
    const RECT band{0, 0, ScaleWidth(), area.top};
    gdi::BrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
    FillRect(hDC(), &band, white);
    ChartPainter(hDC(), chart_).Paint(area, Kind());
}

void ChartControl::UserControl_Resize()
{
    pie_.reset();
    RenderChart();
}

void ChartControl::UserControl_MouseMove(MouseArgs& e)
{
    if (Kind() != web::ChartKind::Pie)
        return;
    const RECT area = ChartArea();
    // The slices stay where they are until the chart or the size changes.
    if (!pie_)
        pie_ = ChartPainter(hDC(), chart_).Pie(area);
    const int slice =
        web::SliceAt(*pie_, static_cast<int>(e.X) - area.left, static_cast<int>(e.Y) - area.top);
    if (slice == hotSlice_)
        return;
    hotSlice_ = slice;
    Extender().ToolTipText(slice < 0 ? std::wstring() : chart_.sets[static_cast<size_t>(slice)].toolText);
}

}  // namespace quill::forms
