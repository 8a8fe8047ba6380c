#include "workspace/HomeLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quill::workspace {

namespace {

constexpr int kColumnPixels = 985;  // the content column
constexpr int kTabStep = 1670;
constexpr int kHeaderTop = 90;
constexpr int kLogoutTop = 600;
constexpr int kCaptionGap = 30;
constexpr int kListGap = 60;
constexpr int kEntryGap = 300;
constexpr int kLoadingDrop = 1500;
constexpr int kButtonGap = 450;
constexpr int kFirstButtonShift = 750;
constexpr int kWideChartItems = 20;  // project counts and detail rows from which a chart spans the window
constexpr int kWideMonthlyItems = 12;

// To the nearest whole twip, a half to the even one.
int Nearest(double v)
{
    if (!(v > INT_MIN && v < INT_MAX))
        return v > 0 ? INT_MAX : 0;
    return static_cast<int>(std::nearbyint(v));
}

int NotBelowZero(int v)
{
    return std::max(v, 0);
}

}  // namespace

Header LayOutHeader(const LayoutInput& in)
{
    Header h;
    h.ChartHeight = Nearest((in.H >= 11000 && in.NowId != DetailPage ? 300 : 200) * in.twipsPerPixelY);
    const double column = kColumnPixels * static_cast<double>(in.twipsPerPixelX);
    h.PubLeft = column >= in.W ? 15 : Nearest((in.W - column) / 2);
    h.tabs[0] = {h.PubLeft, kHeaderTop};
    for (size_t i = 1; i < h.tabs.size(); ++i)
        h.tabs[i] = {h.tabs[i - 1].left + kTabStep, kHeaderTop};
    h.update = {h.tabs[7].left + kTabStep, kHeaderTop};
    h.logout = {h.tabs[7].left + kTabStep, kLogoutTop};
    h.PubWidth = h.logout.left + in.buttonWidth - h.PubLeft;
    h.maininfo = {h.PubLeft, h.logout.top + in.buttonHeight + in.margin};
    h.maininfoR = {h.PubLeft + h.PubWidth - in.maininfoRWidth, h.maininfo.top};
    h.PubTop = h.maininfo.top + in.maininfoHeight + in.margin;
    if (in.loadingVisible)
        h.loading = Place{Nearest(in.W / 2.0 - in.loadingWidth / 2.0), h.PubTop + kLoadingDrop};
    return h;
}

PageRegions LayOutPage(const LayoutInput& in, const Header& h)
{
    PageRegions r;
    const int L = h.PubLeft, T = h.PubTop, PW = h.PubWidth, CH = h.ChartHeight, M = in.margin;
    const Rect column{L, T, PW, CH};
    // The summary panel under the chart, the caption under the panel.
    auto summaryAndCaption = [&](const Rect& chart) {
        r.summary = Rect{L, chart.Bottom() + M, PW, in.summaryHeight};
        r.caption = Place{Nearest(in.W / 2.0 - in.captionWidth / 2.0), r.summary->Bottom() + kCaptionGap};
        return r.caption->top + in.captionHeight;
    };
    auto list = [&](int top, int bottomGap) {
        if (in.H > 0)
            r.list = Rect{L, top, PW, NotBelowZero(in.H - (top + bottomGap))};
    };

    switch (in.NowId) {
    case OverviewPage: {
        r.showOverviewRegions = true;
        r.chart1 = column;
        const int captionBottom = summaryAndCaption(column);
        list(captionBottom + kListGap, 0);
        break;
    }
    case EntryPage:
    case EditPage:
        r.entry = Rect{L, T + kEntryGap, PW, 0};
        break;
    case CurrentProjectsPage:
    case FinishedProjectsPage: {
        const double count = in.NowId == CurrentProjectsPage ? in.currentProjects : in.finishedProjects;
        r.chart1 = count < kWideChartItems ? column : Rect{0, T, in.W > PW ? in.W : PW, CH};
        const int captionBottom = summaryAndCaption(*r.chart1);
        r.filter = Rect{L, captionBottom + M, PW, in.filterHeight};
        list(r.filter->Bottom(), kListGap);
        break;
    }
    case CurrentPlatformsPage:
    case FinishedPlatformsPage:
    case MonthlyReportPage:
    case YearlyReportPage: {
        if (in.NowId == CurrentPlatformsPage || in.NowId == FinishedPlatformsPage) {
            const int half = Nearest(PW / 2.0);
            r.chart1 = Rect{L, T, half, CH};
            r.chart2 = Rect{L + half, T, half, CH};
        } else if (in.NowId == MonthlyReportPage && in.ChartItemCount >= kWideMonthlyItems) {
            r.chart1 = Rect{0, T, in.W, CH};
        } else {
            r.chart1 = column;
        }
        const int captionBottom = summaryAndCaption(*r.chart1);
        list(captionBottom, kListGap);
        break;
    }
    case DetailPage: {
        r.chart1 = in.ChartItemCount < kWideChartItems ? column : Rect{0, T, in.W, CH};
        r.summary = Rect{L, r.chart1->Bottom() + M, PW, in.summaryHeight};
        r.buttonBar = Rect{L, r.summary->Bottom(), PW, in.buttonBarHeight};
        const auto& w = in.detailButtonWidths;
        // Each button is placed from the place its neighbour was given.
        std::array<std::optional<int>, 5> placed{};
        if (in.editButtonVisible) {
            placed[0] = Nearest(PW / 2.0 - 4.0 * w[0] + kFirstButtonShift);
            for (size_t i = 1; i < placed.size(); ++i)
                placed[i] = *placed[i - 1] + w[i - 1] + kButtonGap;
        } else {
            // A finished project: only delete and back; the others keep their places.
            placed[2] = Nearest(PW / 2.0 - w[2]);
            placed[4] = *placed[2] + w[2] + kButtonGap;
        }
        r.detailButtonLefts = placed;
        const int barBottom = r.buttonBar->Bottom();
        if (in.H - (barBottom + kListGap) > 0)
            r.list = Rect{L, barBottom, PW, NotBelowZero(in.H - barBottom)};
        break;
    }
    default:
        break;
    }
    return r;
}

Rect ChartControlPlace(int frameWidth, int frameHeight, float twipsPerPixelY, int hiddenBandPixels)
{
    const int band = Nearest(hiddenBandPixels * static_cast<double>(twipsPerPixelY));
    return Rect{0, -band, frameWidth, frameHeight + band};
}

Rect ChartBrowserPlace(int frameWidth, int frameHeight, float twipsPerPixelX, float twipsPerPixelY)
{
    return Rect{-Nearest(twipsPerPixelX), -Nearest(twipsPerPixelY), frameWidth, frameHeight};
}

}  // namespace quill::workspace
