#pragma once
// What the image library's window tests share: a 32-bit canvas whose raw
// pixels (alpha included) are read back, BMP files built byte by byte,
// scratch files and ImageMagick as an outside reader.
#include "forms/Gdi.h"
#include "imaging/cImage32.h"
#include "imaging/modParsers.h"
#include "tests/support/Pump.h"
#include "tests/support/WholeFile.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quill::imaging::test {

// A top-down 32-bit DIB section in its own memory DC.
class Canvas {
public:
    Canvas(int width, int height, uint32_t fill = 0)
        : width_(width), height_(height), bitmap_(forms::gdi::TopDownDib(nullptr, width, height, bits_)),
          selected_(dc_, bitmap_)
    {
        Fill(fill);
    }
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Fill(uint32_t p)
    {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i)
            bits_[i] = p;
    }
    // Raw BGRA, (x, y) from the top-left.
    uint32_t At(int x, int y) const
    {
        GdiFlush();
        return bits_[y * width_ + x];
    }
    std::vector<uint32_t> Pixels() const
    {
        GdiFlush();
        return std::vector<uint32_t>(bits_, bits_ + width_ * height_);
    }

private:
    int width_, height_;
    uint32_t* bits_ = nullptr;
    forms::gdi::MemoryDc dc_{nullptr};
    forms::gdi::BitmapHandle bitmap_;
    forms::gdi::Selection selected_;
};

// A BMP file: file header, 40-byte information header, palette and rows
// exactly as given (in file order, padded by the caller).
inline std::vector<uint8_t> BmpFile(int32_t width, int32_t height, uint16_t bits,
                                    const std::vector<uint8_t>& rows,
                                    const std::vector<uint32_t>& palette = {})
{
    std::vector<uint8_t> f(54 + palette.size() * 4);
    f[0] = 'B';
    f[1] = 'M';
    WriteU32(&f[2], static_cast<uint32_t>(f.size() + rows.size()));
    WriteU32(&f[10], static_cast<uint32_t>(f.size()));
    WriteU32(&f[14], 40);
    WriteU32(&f[18], static_cast<uint32_t>(width));
    WriteU32(&f[22], static_cast<uint32_t>(height));
    WriteU16(&f[26], 1);
    WriteU16(&f[28], bits);
    WriteU32(&f[46], static_cast<uint32_t>(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i)
        WriteU32(&f[54 + i * 4], palette[i]);
    f.insert(f.end(), rows.begin(), rows.end());
    return f;
}

// A 32-bit BMP of the pixels (file order: bottom row first for a positive
// height).
inline std::vector<uint8_t> Bmp32(int32_t width, int32_t height, const std::vector<uint32_t>& pixels)
{
    std::vector<uint8_t> rows;
    for (uint32_t p : pixels)
        for (int i = 0; i < 4; ++i)
            rows.push_back(static_cast<uint8_t>(p >> (8 * i)));
    return BmpFile(width, height, 32, rows);
}

// The image's pixels, (x, y) from the top-left.
inline uint32_t PixelAt(const cImage32& image, int x, int y)
{
    GdiFlush();
    return image.BitsPointer()[(image.Height() - 1 - y) * image.Width() + x];
}

// An image of width x height filled by f(x, y) (from the top-left).
template <class F>
void Paint(cImage32& image, int width, int height, F f)
{
    image.InitializeDIB(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.BitsPointer()[(height - 1 - y) * width + x] = f(x, y);
}

// A file name in the Unix temporary folder (Wine's Z: drive), removed when
// the object ends.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& name)
        : unix_("/tmp/quill-imaging-" + std::to_string(GetCurrentProcessId()) + "-" + name)
    {
        for (char c : unix_)
            windows_ += static_cast<wchar_t>(c == '/' ? '\\' : c);
        windows_ = L"Z:" + windows_;
        Remove();
    }
    ~ScratchFile() { Remove(); }
    const std::wstring& Path() const { return windows_; }
    const std::string& UnixPath() const { return unix_; }
    void Remove() const
    {
        SetFileAttributesW(windows_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(windows_.c_str());
    }
    void Write(const std::vector<uint8_t>& bytes) const
    {
        HANDLE h = CreateFileW(windows_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
    std::vector<uint8_t> Read() const { return quill::test::ReadWholeFileBytes(windows_); }
    bool Exists() const { return GetFileAttributesW(windows_.c_str()) != INVALID_FILE_ATTRIBUTES; }

private:
    std::string unix_;
    std::wstring windows_;
};

// Runs a program of the Linux host and waits until it has written `size`
// bytes into `output` (Wine cannot wait for a host process itself); false
// when it could not be started or wrote nothing within a minute.
inline bool RunHostProgram(const std::string& commandLine, const ScratchFile& output, size_t size)
{
    std::wstring cmd(commandLine.begin(), commandLine.end());
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return quill::test::PumpUntil([&] { return output.Read().size() >= size; }, "the host program's output");
}

}  // namespace quill::imaging::test
