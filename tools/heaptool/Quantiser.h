// Quantiser.h -- reduces an RGBA picture of more than 256 colours to a palette of 256.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "heaptool/PictureBuilder.h"

namespace wordlark::heaptool {

struct QuantisedColour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;
};

// At most 256 colours and one index a pixel, without dithering, for a picture whose pixels are
// opaque or wholly transparent. False with one line in *error. Quantiser.cpp does it with
// libimagequant; QuantiserNone, for builds without that library (Windows), always refuses.
bool quantise(const RgbaView& image, std::vector<QuantisedColour>* palette,
              std::vector<std::uint8_t>* indices, std::string* error);

}  // namespace wordlark::heaptool
