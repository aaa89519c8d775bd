// PictureBuilder.h -- makes the content bytes of picture entries from pixels in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "heaptool/ArchiveWriter.h"

namespace wordlark::heaptool {

// The placement stored in a picture's header; width and height come from its pixels.
struct PicturePlacement {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
};

// RGBA8 pixels in memory: rows top to bottom, 4 bytes a pixel (r, g, b, a), no padding.
struct RgbaView {
    const std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
};

// 8-bit channels to RGB565 (each channel keeps its high bits), as the frame and captures do.
std::uint16_t rgb565(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// RGB565 back to 8-bit channels, each channel's high bits repeated into its low bits.
void rgb888(std::uint16_t colour, std::uint8_t* r, std::uint8_t* g, std::uint8_t* b);

class PictureBuilder {
public:
    // Bytes of the palettised layout (tag "gla0" or "fon0", and every animation frame):
    // tag, 4 zero bytes, header, 256 palette colours (missing ones 0x0000, extra ones
    // dropped), then width x height indices. indices must hold width x height bytes; missing
    // ones are written as 0.
    static std::vector<std::uint8_t> palettised(std::string_view tag,
                                                const PicturePlacement& placement, int width,
                                                int height,
                                                const std::vector<std::uint16_t>& palette,
                                                const std::vector<std::uint8_t>& indices);

    // Palettised bytes from RGBA pixels. Pixels with alpha 0 become palette colour 0x0000
    // (transparent in "gla0"); a visible colour that would come out as 0x0000 becomes 0x0020
    // (the darkest green step), so black stays visible. With more than 256 distinct colours
    // the picture is quantised (libimagequant). Alpha other than 0 counts as opaque.
    // False with a one-line reason in *error.
    static bool palettisedFromRgba(std::string_view tag, const PicturePlacement& placement,
                                   const RgbaView& image, std::vector<std::uint8_t>* content,
                                   std::string* error);

    // Bytes of a "fon6" picture: tag, 4 zero bytes, header, width x height RGB565 values.
    static std::vector<std::uint8_t> direct(const PicturePlacement& placement, int width,
                                            int height, const std::vector<std::uint16_t>& pixels);

    // "fon6" bytes from RGBA pixels (alpha ignored).
    static std::vector<std::uint8_t> directFromRgba(const PicturePlacement& placement,
                                                    const RgbaView& image);

    // Bytes of a "bitm" or "bit6" mask: tag, 4 zero bytes, header, row stride, the source
    // entry's name (cut to 15 characters, NUL padded to 16), then the mask rows. shape holds
    // one byte a pixel, non-zero inside the shape (stored as bit 0, drawn and hit). stride 0
    // means the smallest stride, (width + 7) / 8; a larger one pads rows with 0xFF bytes.
    static std::vector<std::uint8_t> mask(std::string_view tag, const PicturePlacement& placement,
                                          int width, int height,
                                          const std::vector<std::uint8_t>& shape,
                                          std::string_view sourceName, int stride = 0);

    // Shape bytes for mask() from RGBA pixels: a pixel with alpha 128 or more is inside.
    static std::vector<std::uint8_t> shapeFromRgba(const RgbaView& image);
};

// One record of an animation's frame table.
struct FrameRecordValues {
    std::uint32_t offset = 0;      // relative to the archive's data base
    std::uint32_t size = 0;        // unpacked bytes
    std::uint32_t storedSize = 0;  // stored bytes; equal to size when plain
};

// Adds an animation to an ArchiveWriter: each frame goes to the data area as a piece, then
// finish() adds the "ani0" entry holding the frame table.
class AnimationWriter {
public:
    explicit AnimationWriter(ArchiveWriter& archive) : archive_(archive) {}

    // Adds a frame (palettised bytes, e.g. from PictureBuilder::palettised) as a piece.
    void addFrame(std::vector<std::uint8_t> frame, Storage storage = Storage::Automatic);

    // Adds a record as given, pointing anywhere (for damaged tables in tests).
    void addRecord(const FrameRecordValues& record) { records_.push_back(record); }

    // The table entry's bytes: "ani0", 4 zero bytes, the count, the records.
    std::vector<std::uint8_t> table() const;

    // Adds the table entry under name.
    void finish(std::string_view name, std::string_view tag = "ani0",
                Storage storage = Storage::Automatic);

    const std::vector<FrameRecordValues>& records() const { return records_; }

private:
    ArchiveWriter& archive_;
    std::vector<FrameRecordValues> records_;
};

}  // namespace wordlark::heaptool
