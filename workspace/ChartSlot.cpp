#include "workspace/ChartSlot.h"

#include "workspace/ChartTemplate.h"
#include "workspace/HomeLayout.h"

#include "forms/App.h"
#include "forms/ChartControl.h"
#include "forms/Files.h"
#include "forms/lang/Ansi.h"
#include "forms/lang/Error.h"
#include "session/Session.h"

#include <windows.h>

namespace quill::workspace {

namespace {

// The step every show starts with: an empty chart text shows the slot's
// last one again; any other is kept as the last.
const std::wstring& TextToShow(const ChartSlot& slot, const std::wstring& given)
{
    if (!given.empty())
        slot.lastXml = given;
    return slot.lastXml;
}

void PlaceBrowser(const ChartSlot& slot)
{
    const Rect r =
        ChartBrowserPlace(slot.frame->Width(), slot.frame->Height(), session::CurrentSession().TwipsPerPixelX,
                          session::CurrentSession().TwipsPerPixelY);
    slot.browser->Move(r.left, r.top, r.width, r.height);
}

// The control over its frame, its blank top band pushed above the frame.
void PlaceControl(const ChartSlot& slot)
{
    const Rect r =
        ChartControlPlace(slot.frame->Width(), slot.frame->Height(), session::CurrentSession().TwipsPerPixelY,
                          forms::ChartControl::kHiddenBand);
    slot.control->Move(r.left, r.top, r.width, r.height);
}

// The template's text, or "" when it cannot be read; a missing template is
// not created.
std::wstring ReadTemplate()
{
    std::wstring text;
    forms::ResumeNext([&] {
        const forms::Bytes bytes = forms::ReadFileBytes(ChartTemplatePath());
        text = forms::AnsiToText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    });
    return text;
}

// The failure picture in the middle of the slot's frame, or hidden.
void ShowFailure(const ChartSlot& slot, bool shown)
{
    forms::ResumeNext([&] {
        if (shown)
            slot.failure->Move((slot.frame->Width() - slot.failure->Width()) / 2,
                               (slot.frame->Height() - slot.failure->Height()) / 2, slot.failure->Width(),
                               slot.failure->Height());
        slot.failure->Visible(shown);
    });
}

// Writes the page afresh; false when it could not be written whole, and no
// earlier page is left behind then.
bool WriteReport(const std::wstring& path, const std::wstring& page)
{
    if (path.empty())
        return false;
    forms::ResumeNext([&] { CreateDirectoryW(ReportFolder().c_str(), nullptr); });
    forms::ResumeNext([&] {
        if (forms::FileExists(path))
            forms::Kill(path);
    });
    if (forms::FileExists(path))
        return false;
    return forms::ResumeNext([&] {
        const std::string bytes = forms::TextToAnsi(page + L"\r\n");
        forms::WriteFileBytes(path, forms::Bytes(bytes.begin(), bytes.end()));
    });
}

}  // namespace

std::wstring ReportFolder()
{
    // No temporary folder gives no folder at all: a relative one would put
    // the pages into whatever folder is current.
    wchar_t temp[MAX_PATH + 1]{};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH)
        return {};
    std::wstring folder(temp, n);
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder + L"Quillmoor-" + std::to_wstring(GetCurrentProcessId());
}

std::wstring ReportPath(const wchar_t* reportName)
{
    const std::wstring folder = ReportFolder();
    return folder.empty() ? folder : folder + L"\\" + reportName;
}

std::wstring ChartTemplatePath()
{
    return forms::App::Path() + L"\\webchart.htm";
}

void ShowChart(const ChartSlot& slot, const ChartShow& show, std::int32_t labelAngle)
{
    ChartShow kept = show;
    try {
        kept.Sfxmldata = TextToShow(slot, show.Sfxmldata);
        slot.frame->Move(show.Sfleft, show.Sftop, show.Sfwidth, show.Sfheight);
        if (!slot.created) {
            slot.control.Add(forms::ChartControl::ProgId, slot.key, *slot.frame);
            slot.created = true;
        }
        forms::ObjectRef chart = slot.control.object();
        chart->Put(L"Menu", false);
        chart->Put(L"ChartPath", forms::App::Path() + L"\\js\\");
        PlaceControl(slot);
        chart->Put(L"ChartType", int32_t(show.Sftype == 0 ? forms::ChartControl::ColumnChart
                                                          : forms::ChartControl::PieChart));
        chart->Put(L"setDataXML", kept.Sfxmldata);
        slot.control->Visible(true);
        slot.frame->Visible(true);
        // The control shows this chart: a page or a failure an earlier show left must not cover it.
        forms::ResumeNext([&] { slot.browser->Visible(false); });
        ShowFailure(slot, false);
    } catch (const std::exception&) {
        ShowChartPage(slot, kept, labelAngle);
    }
}

void ShowChartPage(const ChartSlot& slot, ChartShow show, std::int32_t labelAngle)
{
    forms::ResumeNext([&] { show.Sfxmldata = TextToShow(slot, show.Sfxmldata); });
    forms::ResumeNext([&] { PlaceBrowser(slot); });
    // A control that showed an earlier chart of the slot would hide this one.
    forms::ResumeNext([&] {
        if (slot.control)
            slot.control->Visible(false);
    });
    const std::wstring path = ReportPath(slot.reportName);
    ChartPageSize size;
    size.type = show.Sftype;
    size.widthTwips = show.Sfwidth;
    size.heightTwips = show.Sfheight;
    size.twipsPerPixelX = session::CurrentSession().TwipsPerPixelX;
    size.twipsPerPixelY = session::CurrentSession().TwipsPerPixelY;
    size.labelAngle = labelAngle;
    const bool written = WriteReport(path, FillChartTemplate(ReadTemplate(), show.Sfxmldata, size));
    forms::ResumeNext([&] { slot.browser->Navigate(written ? path : std::wstring(L"about:blank")); });
    forms::ResumeNext([&] { slot.browser->Visible(written); });
    ShowFailure(slot, !written);
    forms::ResumeNext([&] { slot.frame->Visible(true); });
}

void PlaceChartContent(const ChartSlot& slot)
{
    forms::ResumeNext([&] {
        if (slot.created && slot.control) {
            PlaceControl(slot);
            slot.control.object()->Call(L"RenderChart");
        } else {
            PlaceBrowser(slot);
        }
    });
    forms::ResumeNext([&] {
        if (slot.failure->Visible())
            ShowFailure(slot, true);
    });
}

}  // namespace quill::workspace
