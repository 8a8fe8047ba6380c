#pragma once
// The list view's row pictures: images of the image library, loaded at the
// list's picture size and drawn at whatever size the list then has.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/cImage32.h"

namespace quill::listview {

class PictureList {
public:
    int32_t Count() const { return static_cast<int32_t>(images_.size()); }

    // Each appends an entry whether or not the picture could be read, and
    // answers whether it could.
    bool AddFile(const std::wstring& fileName, int32_t width, int32_t height);
    bool AddResource(const imaging::ResourceName& resIndex, const imaging::ResourceName& resSection,
                     int32_t width, int32_t height);

    // Draws picture `index` into the rectangle, alpha-blended and halftone
    // stretched; an index that is not in the list draws nothing.
    void Render(int32_t index, HDC dc, int32_t x, int32_t y, int32_t width, int32_t height) const;

private:
    imaging::cImage32& Append();

    std::vector<std::unique_ptr<imaging::cImage32>> images_;
};

}  // namespace quill::listview
