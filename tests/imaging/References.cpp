#include "tests/imaging/References.h"

#include <png.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "tests/gif/GiflibReference.h"

namespace quill::imaging::test {

uint32_t PremultipliedPixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    if (a == 0)
        return 0;
    const auto times = [a](uint8_t v) { return uint32_t(v) * a / 255; };
    return (uint32_t(a) << 24) | (times(r) << 16) | (times(g) << 8) | times(b);
}

imaging::DecodedImage FromTopDownRgba(int width, int height, const std::vector<uint8_t>& rgba)
{
    imaging::DecodedImage image;
    image.Allocate(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
            image.pixels[size_t(height - 1 - y) * width + x] = PremultipliedPixel(p[0], p[1], p[2], p[3]);
        }
    }
    return image;
}

namespace {

struct PngMemory {
    const std::vector<uint8_t>* bytes;
    size_t pos;
};

void ReadPngMemory(png_structp png, png_bytep out, png_size_t n)
{
    auto* m = static_cast<PngMemory*>(png_get_io_ptr(png));
    if (m->bytes->size() - m->pos < n)
        png_error(png, "read past the data");
    std::memcpy(out, m->bytes->data() + m->pos, n);
    m->pos += n;
}

}  // namespace

bool LibpngDecode(const std::vector<uint8_t>& bytes, imaging::DecodedImage& out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PngMemory memory{&bytes, 0};
    std::vector<uint8_t> rgba;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &memory, ReadPngMemory);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int width = int(png_get_image_width(png, info));
    const int height = int(png_get_image_height(png, info));
    rgba.resize(size_t(width) * height * 4);
    rows.resize(size_t(height));
    for (int y = 0; y < height; ++y)
        rows[size_t(y)] = &rgba[size_t(y) * width * 4];
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    out = FromTopDownRgba(width, height, rgba);
    return true;
}

bool GiflibFirstFrame(const std::vector<uint8_t>& bytes, imaging::DecodedImage& out)
{
    gif::test::GiflibMemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, gif::test::GiflibReadFromMemory, &error);
    if (!gif)
        return false;
    bool done = false;
    bool ok = false;
    int transparent = -1;
    while (!done) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) != GIF_OK)
            break;
        if (type == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType* ext;
            if (DGifGetExtension(gif, &code, &ext) != GIF_OK)
                break;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
                transparent = (ext[1] & 1) ? ext[4] : -1;
            while (ext) {
                if (DGifGetExtensionNext(gif, &ext) != GIF_OK) {
                    done = true;
                    break;
                }
            }
        } else if (type == IMAGE_DESC_RECORD_TYPE) {
            done = true;
            if (DGifGetImageDesc(gif) != GIF_OK)
                break;
            const int w = gif->Image.Width, h = gif->Image.Height;
            const ColorMapObject* map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
            if (!map || w < 1 || h < 1)
                break;
            std::vector<GifPixelType> indices(size_t(w) * h);
            std::vector<int> order;
            if (gif->Image.Interlace) {
                const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
                for (int p = 0; p < 4; ++p)
                    for (int y = start[p]; y < h; y += step[p])
                        order.push_back(y);
            } else {
                for (int y = 0; y < h; ++y)
                    order.push_back(y);
            }
            bool lines = true;
            for (int y : order)
                lines = lines && DGifGetLine(gif, &indices[size_t(y) * w], w) == GIF_OK;
            if (!lines)
                break;
            std::vector<uint8_t> rgba(size_t(w) * h * 4);
            for (size_t i = 0; i < indices.size(); ++i) {
                const int index = indices[i];
                if (index == transparent)
                    continue;
                if (index < map->ColorCount) {
                    rgba[i * 4] = map->Colors[index].Red;
                    rgba[i * 4 + 1] = map->Colors[index].Green;
                    rgba[i * 4 + 2] = map->Colors[index].Blue;
                }
                rgba[i * 4 + 3] = 255;
            }
            out = FromTopDownRgba(w, h, rgba);
            ok = true;
        } else {
            break;
        }
    }
    DGifCloseFile(gif, &error);
    return ok;
}

bool ImageMagickAvailable()
{
    return access("/usr/bin/convert", X_OK) == 0;
}

bool ImageMagickDecode(const std::vector<uint8_t>& file, const std::string& extension, int index,
                       imaging::DecodedImage& out)
{
    char path[] = "/tmp/quill-imaging-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        return false;
    const bool written = write(fd, file.data(), file.size()) == ssize_t(file.size());
    close(fd);
    const std::string input = extension + ":" + path + "[" + std::to_string(index) + "]";
    // The real ImageMagick, not a stand-in that may sit earlier on the PATH.
    const std::string size = "/usr/bin/convert '" + input + "' -format '%w %h' info:";
    const std::string pixels = "/usr/bin/convert '" + input + "' -depth 8 rgba:-";
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
    if (written) {
        if (FILE* p = popen(size.c_str(), "r")) {
            if (std::fscanf(p, "%d %d", &width, &height) != 2)
                width = height = 0;
            pclose(p);
        }
        if (FILE* p = popen(pixels.c_str(), "r")) {
            uint8_t buffer[65536];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
                rgba.insert(rgba.end(), buffer, buffer + n);
            pclose(p);
        }
    }
    unlink(path);
    if (width < 1 || height < 1 || rgba.size() != size_t(width) * height * 4)
        return false;
    out = FromTopDownRgba(width, height, rgba);
    return true;
}

}  // namespace quill::imaging::test
