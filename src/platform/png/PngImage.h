// PngImage.h -- read and write 8-bit RGBA PNG files (shots, picture tools, golden tests).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wordlark::platform {

// An image as rows of R, G, B, A bytes, top row first, no padding between rows.
struct PngImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgba;  // width * height * 4 bytes

    PngImage() = default;
    PngImage(std::int32_t w, std::int32_t h)
        : width(w),
          height(h),
          rgba(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4, 0)
    {
    }

    bool empty() const { return width <= 0 || height <= 0; }
    std::uint8_t* pixel(std::int32_t x, std::int32_t y)
    {
        return rgba.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                              static_cast<std::size_t>(x)) *
                                 4;
    }
    const std::uint8_t* pixel(std::int32_t x, std::int32_t y) const
    {
        return rgba.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                              static_cast<std::size_t>(x)) *
                                 4;
    }
};

// The largest width or height readPng accepts; larger files are refused rather than allocated.
inline constexpr std::int32_t kPngMaxSide = 16384;

// Reads any PNG (palette, grey, 16-bit, with or without alpha) converted to 8-bit RGBA.
// False, with a one-line reason in *error when given, for a missing, damaged or oversized file.
bool readPng(const std::string& path, PngImage& image, std::string* error = nullptr);

// The same from bytes in memory.
bool readPngMemory(const std::uint8_t* data, std::size_t size, PngImage& image,
                   std::string* error = nullptr);

// Writes the image as an 8-bit RGBA PNG. False with a reason when the file cannot be written.
bool writePng(const std::string& path, const PngImage& image, std::string* error = nullptr);

}  // namespace wordlark::platform
