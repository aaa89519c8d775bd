// fuzz_picture_export.cpp -- decodes arbitrary bytes as every kind of picture content heaptool
// exports, with and without a mask source.
#include <cstdint>
#include <string>

#include "heaptool/ContactSheet.h"
#include "heaptool/PictureDecoder.h"

using namespace wordlark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1) {
        return 0;
    }
    const std::uint8_t mode = data[0];
    const std::uint8_t* content = data + 1;
    const std::size_t length = size - 1;
    heaptool::DecodedPicture picture;
    std::string error;
    bool decoded = false;
    switch (mode % 4) {
        case 0:
            decoded =
                heaptool::PictureDecoder::palettised(content, length, mode & 4, &picture, &error);
            break;
        case 1:
            decoded = heaptool::PictureDecoder::direct(content, length, &picture, &error);
            break;
        default: {
            // A source smaller than most masks: the cut must stay inside it.
            platform::PngImage source(5, 3);
            decoded = heaptool::PictureDecoder::mask(
                content, length, mode % 4 == 2 ? &source : nullptr, &picture, &error);
            break;
        }
    }
    if (decoded && (mode & 8) && picture.image.rgba.size() <= (1u << 16)) {
        heaptool::ContactSheet sheet;
        sheet.add("fuzz", picture.image);
        (void)sheet.compose();
    }
    return 0;
}
