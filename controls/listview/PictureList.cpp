#include "controls/listview/PictureList.h"

namespace quill::listview {

imaging::cImage32& PictureList::Append()
{
    images_.push_back(std::make_unique<imaging::cImage32>());
    imaging::cImage32& image = *images_.back();
    // The list's pictures are read with their alpha and drawn by plain
    // stretching; each load sets the alpha flag for what it read.
    image.SetAlpha(true);
    image.HighQualityInterpolation(false);
    return image;
}

bool PictureList::AddFile(const std::wstring& fileName, int32_t width, int32_t height)
{
    return Append().LoadPicture_File(fileName, width, height, false);
}

bool PictureList::AddResource(const imaging::ResourceName& resIndex, const imaging::ResourceName& resSection,
                              int32_t width, int32_t height)
{
    return Append().LoadPicture_Resource(resIndex, resSection, nullptr, width, height, 0, 0);
}

void PictureList::Render(int32_t index, HDC dc, int32_t x, int32_t y, int32_t width, int32_t height) const
{
    if (index < 0 || index >= Count())
        return;
    images_[static_cast<size_t>(index)]->Render(dc, x, y, width, height, 0, 0, 0, 0, 100, true, true);
}

}  // namespace quill::listview
