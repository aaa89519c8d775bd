// PictureDecoder.h -- turns picture entry contents back into RGBA pixels, refusing damaged ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/png/PngImage.h"

namespace wordlark::heaptool {

// The six header integers every picture content carries at offset 8.
struct PictureHeaderValues {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct DecodedPicture {
    std::string contentTag;  // the first four content bytes, non-printing ones as '?'
    PictureHeaderValues header;
    platform::PngImage image;
    std::int32_t maskStride = 0;  // masks only
    std::string sourceName;       // masks only
};

class PictureDecoder {
public:
    enum class Kind { Palettised, Direct, Mask, Other };

    // By the content tag: "gla0" and "fon0" palettised, "fon6" direct, "bitm" and "bit6"
    // masks; anything else (or content shorter than a tag) Other.
    static Kind kindOf(const std::uint8_t* content, std::size_t size);

    // Every decoder refuses pictures over platform::kPngMaxSide on a side or 16 Mi pixels.

    // Palettised content (also an animation frame, whatever its first bytes). With
    // transparent set, pixels whose palette colour is 0x0000 get alpha 0; everything else is
    // opaque. False with a one-line reason when the content is shorter than its header says.
    static bool palettised(const std::uint8_t* content, std::size_t size, bool transparent,
                           DecodedPicture* picture, std::string* error);

    // "fon6" content, every pixel opaque.
    static bool direct(const std::uint8_t* content, std::size_t size, DecodedPicture* picture,
                       std::string* error);

    // Mask content: pixels of the shape are opaque and take the colour of source (an opaque
    // picture laid out in frame coordinates, may be null) at the same place; shape pixels the
    // source does not cover are grey. Pixels outside the shape, and columns a too narrow row
    // stride does not reach, are transparent.
    static bool mask(const std::uint8_t* content, std::size_t size,
                     const platform::PngImage* source, DecodedPicture* picture, std::string* error);
};

}  // namespace wordlark::heaptool
