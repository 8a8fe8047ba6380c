#include "session/NoticeReader.h"

#include "forms/lang/Error.h"
#include "forms/lang/Numbers.h"
#include "forms/lang/Text.h"
#include "session/GetAttrValue.h"

#include <cmath>

namespace quill::session {
namespace {

// A number of the block, as a 32-bit integer; what does not read as one
// leaves the starting value.
std::int32_t NumberOf(std::wstring_view name, std::wstring_view block)
{
    std::int32_t value = 0;
    forms::ResumeNext([&] { value = forms::ToInt32(GetAttrValue(name, block)); });
    return value;
}

// Twips as whole numbers; a size from the page too large for the window's
// numbers stops at their limit instead of wrapping.
int Twips(double value)
{
    constexpr double limit = 1 << 30;
    return static_cast<int>(std::nearbyint(std::fmax(-limit, std::fmin(limit, value))));
}

}  // namespace

std::wstring NoticeBlock(std::wstring_view bodyHtml)
{
    const long set = forms::InStr(bodyHtml, L"[set]");
    if (set == 0)
        return {};
    const std::wstring fromSet = forms::Mid(bodyHtml, set);
    const long end = forms::InStr(fromSet, L"[/set]");
    if (end == 0)
        return {};
    return forms::Left(fromSet, end - 2);
}

Notice ReadNotice(std::wstring_view block)
{
    Notice notice;
    notice.type = NumberOf(L"type", block);
    notice.showtime = NumberOf(L"showtime", block);
    notice.title = GetAttrValue(L"title", block);
    notice.url = GetAttrValue(L"url", block);
    notice.width = NumberOf(L"width", block);
    notice.height = NumberOf(L"height", block);
    return notice;
}

bool IsWebAddress(std::wstring_view url)
{
    for (std::wstring_view scheme : {std::wstring_view(L"http://"), std::wstring_view(L"https://")})
        if (url.size() > scheme.size() && forms::TextEquals(url.substr(0, scheme.size()), scheme))
            return true;
    return false;
}

PopupPlace PlacePopup(int windowWidth, int windowHeight, int clientWidth, int clientHeight,
                      std::int32_t width, std::int32_t height, float twipsPerPixelX, float twipsPerPixelY,
                      int screenWidth, int screenHeight)
{
    PopupPlace place;
    place.width = Twips(windowWidth - clientWidth + double(width) * twipsPerPixelX);
    place.height = Twips(windowHeight - clientHeight + double(height) * twipsPerPixelY);
    place.left = Twips(double(screenWidth) - place.width - 150);
    place.top = Twips(double(screenHeight) - place.height - 660);
    return place;
}

}  // namespace quill::session
