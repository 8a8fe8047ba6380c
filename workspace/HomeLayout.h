// Where the main window's layout pass puts the header and the regions of the
// page shown: the maths of Home.Form_Resize, apart from the window so that
// every figure can be checked. All values are twips. The pass never fails:
// a height that would come out negative is 0.
#pragma once

#include "workspace/PageIds.h"

#include <array>
#include <cstdint>
#include <optional>

namespace quill::workspace {

struct Place {
    int left = 0, top = 0;
};

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    int Bottom() const { return top + height; }
};

struct LayoutInput {
    int W = 0, H = 0;  // the window's inner size; 0 while it is minimised
    float twipsPerPixelX = 15, twipsPerPixelY = 15;
    std::int32_t NowId = NoPage;
    std::int32_t margin = 90;  // LayoutMargin
    // UserInfo items 8 and 9 by their leading number; 0 when missing.
    double currentProjects = 0, finishedProjects = 0;
    std::int32_t ChartItemCount = 0;
    bool loadingVisible = false;
    // The current sizes of the regions the pass places without sizing.
    int buttonWidth = 1365, buttonHeight = 420;  // update and logout buttons
    int maininfoHeight = 210;
    int maininfoRWidth = 0;
    int summaryHeight = 1095;  // Ole1, as LoadTlist sized it
    int captionWidth = 0, captionHeight = 240;
    int filterHeight = 735;     // Ole2
    int buttonBarHeight = 690;  // ole3
    int loadingWidth = 5145;
    bool editButtonVisible = true;  // Doedit: the project is not finished
    std::array<int, 5> detailButtonWidths{1365, 1365, 1365, 1365,
                                          1365};  // Doedit, Doover, Dodel, Dobad, DoBack
};

struct Header {
    std::int32_t ChartHeight = 0;
    std::int32_t PubLeft = 0, PubTop = 0, PubWidth = 0;
    std::array<Place, 8> tabs{};
    Place update, logout, maininfo, maininfoR;
    std::optional<Place> loading;  // only while the loading panel is visible
};

struct PageRegions {
    bool showOverviewRegions = false;  // page 0 makes chart 1, the summary panel and the list visible first
    std::optional<Rect> chart1, chart2;
    std::optional<Rect> summary;    // Ole1: left, top, width (its height stays)
    std::optional<Place> caption;   // CaptionL
    std::optional<Rect> filter;     // Ole2: left, top, width
    std::optional<Rect> entry;      // Addole: left, top, width
    std::optional<Rect> buttonBar;  // ole3: left, top, width
    // Doedit, Doover, Dodel, Dobad, DoBack; a button without a place keeps its own.
    std::optional<std::array<std::optional<int>, 5>> detailButtonLefts;
    std::optional<Rect> list;  // ListView
};

Header LayOutHeader(const LayoutInput& in);
// The regions of page in.NowId, below the header.
PageRegions LayOutPage(const LayoutInput& in, const Header& header);

// A chart inside its frame (frame width and height given): the chart
// control hides its top band above the frame's top edge; the browser hides
// its top and left border.
Rect ChartControlPlace(int frameWidth, int frameHeight, float twipsPerPixelY, int hiddenBandPixels);
Rect ChartBrowserPlace(int frameWidth, int frameHeight, float twipsPerPixelX, float twipsPerPixelY);

}  // namespace quill::workspace
