// The main window's two chart slots. Each shows its chart through the chart
// control, created in its frame at the first show, and whenever that fails,
// through the HTML page written from the template "webchart.htm" and shown
// in its browser. The report pages are written to a folder of this process
// under the user's temporary folder, never beside the program nor in the
// current folder: without a temporary folder the slot shows the failure
// picture.
#pragma once

#include "forms/AddedControl.h"
#include "forms/Frame.h"
#include "forms/Image.h"
#include "forms/Loaded.h"
#include "forms/WebBrowser.h"

#include <cstdint>
#include <string>

namespace quill::workspace {

// The arguments of ShowFlash and ShowWeb: place and size in twips inside
// the window's client area, the chart text and the chart type (0 column
// chart, 1 pie).
struct ChartShow {
    std::int32_t Sfleft = 0, Sftop = 0, Sfwidth = 0, Sfheight = 0;
    std::wstring Sfxmldata;
    std::int16_t Sftype = 0;
};

// The parts of one slot, held by the window under their own names.
struct ChartSlot {
    forms::Loaded<forms::Frame>& frame;         // Flashole1, Flashole2
    forms::AddedControl& control;               // Flash1, Flash2
    const wchar_t* key;                         // "Flashid1", "FlashID2"
    bool& created;                              // FlashOk1, FlashOk2
    std::wstring& lastXml;                      // Flash1xml, Flash2xml
    forms::Loaded<forms::WebBrowser>& browser;  // Flashweb1, Flashweb2
    const wchar_t* reportName;                  // "report1.html", "report2.html"
    forms::Loaded<forms::Image>& failure;       // Flashfail1, Flashfail2: the failure picture
};

// The chart through the control; any error on the way takes the HTML path.
void ShowChart(const ChartSlot& slot, const ChartShow& show, std::int32_t labelAngle);
// The HTML path: the report page written and shown in the browser. A step
// that fails is skipped; a page that cannot be written leaves the browser
// on an empty page, hidden behind the failure picture.
void ShowChartPage(const ChartSlot& slot, ChartShow show, std::int32_t labelAngle);
// After a layout pass has placed the frame: the control inside it drawn
// again, or the browser placed. Raises nothing.
void PlaceChartContent(const ChartSlot& slot);

// The folder of this process's report pages, and a page's full path; both
// "" when the user's temporary folder cannot be had.
std::wstring ReportFolder();
std::wstring ReportPath(const wchar_t* reportName);
// The chart template in the program folder.
std::wstring ChartTemplatePath();

}  // namespace quill::workspace
