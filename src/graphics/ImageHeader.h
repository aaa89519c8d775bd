// ImageHeader.h -- the six placement fields at offset 8 of every picture's content.
#pragma once

#include <cstdint>

#include "archive/Endian.h"

namespace wordlark::graphics {

inline constexpr std::uint32_t kImageHeaderOffset = 8;
inline constexpr std::uint32_t kImageHeaderSize = 24;

// A view of the stored header: x, y, dx, dy, width, height, each 32-bit signed little-endian.
// It reads and writes the content in place, so a position set through it is seen by every
// user of the same loaded content.
class ImageHeader {
public:
    ImageHeader() = default;
    explicit ImageHeader(std::uint8_t* bytes) : bytes_(bytes) {}

    bool valid() const { return bytes_ != nullptr; }

    std::int32_t x() const { return field(0); }
    std::int32_t y() const { return field(1); }
    std::int32_t dx() const { return field(2); }
    std::int32_t dy() const { return field(3); }
    std::int32_t width() const { return field(4); }
    std::int32_t height() const { return field(5); }

    void setX(std::int32_t value) { setField(0, value); }
    void setY(std::int32_t value) { setField(1, value); }

    // width x height when both are positive, else 0: the pixels the picture covers.
    std::int64_t area() const
    {
        return width() > 0 && height() > 0 ? std::int64_t{width()} * height() : 0;
    }

private:
    std::int32_t field(int index) const
    {
        return bytes_ ? static_cast<std::int32_t>(archive::readLe32(bytes_ + 4 * index)) : 0;
    }
    void setField(int index, std::int32_t value)
    {
        if (bytes_) {
            archive::writeLe32(bytes_ + 4 * index, static_cast<std::uint32_t>(value));
        }
    }

    std::uint8_t* bytes_ = nullptr;
};

}  // namespace wordlark::graphics
