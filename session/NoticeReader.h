// The notice window's portable reader (the window itself is Adweb): the
// service's notice, as its status page describes it: a block of
// name="value" attributes between "[set]" and "[/set]" in the page's body,
// asking for a pop-up page (type 1) or a yes/no question that opens a page
// (type 2), and where the pop-up goes. These are the window's rules, free of
// windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quill::session {

// GetWebstr's reading of the page body's markup: from the first "[set]"
// (included) up to two characters before the first "[/set]" after it (the
// character just before "[/set]" is dropped); "" when either is missing.
std::wstring NoticeBlock(std::wstring_view bodyHtml);

enum : std::int32_t { NoticePopup = 1, NoticeQuestion = 2 };

struct Notice {
    std::int32_t type = 0;      // NoticePopup, NoticeQuestion; anything else is no notice
    std::int32_t showtime = 0;  // seconds the pop-up stays; 0 until closed
    std::wstring title;         // the question's text
    std::wstring url;           // the page shown or opened
    std::int32_t width = 0;     // the pop-up's client area, pixels
    std::int32_t height = 0;
};

// The block's attributes, each read with GetAttrValue; a number that is
// missing or does not read as a 32-bit integer stays 0.
Notice ReadNotice(std::wstring_view block);

// The notice comes from a plain-HTTP page: only an http:// or https://
// address (any letter case) is navigated to or opened in the user's browser;
// a local path, a "file:" URL or a program is not.
bool IsWebAddress(std::wstring_view url);

// Where the pop-up goes, in twips: its window grows or shrinks so that the
// client area becomes width x height pixels, and sits 10 pixels (150 twips)
// from the screen's right edge and 44 pixels (660 twips) above its bottom.
struct PopupPlace {
    int left = 0, top = 0, width = 0, height = 0;
};
PopupPlace PlacePopup(int windowWidth, int windowHeight, int clientWidth, int clientHeight,
                      std::int32_t width, std::int32_t height, float twipsPerPixelX, float twipsPerPixelY,
                      int screenWidth, int screenHeight);

}  // namespace quill::session
