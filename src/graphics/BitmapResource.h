// BitmapResource.h -- a "bitm" or "bit6" mask: a one-bit shape cut out of another picture.
#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/ImageResource.h"

namespace wordlark::graphics {

// Holds no pixels of its own. Drawing copies the source picture's pixels where the mask bit
// is 0, at the coordinates they have in the source (its pixel at row Y, column X belongs at
// frame (X, Y)), moved by the shift. The hit test follows the mask where it lies, unshifted.
class BitmapResource : public ImageResource {
public:
    BitmapResource(std::string_view entryName, archive::Archive& archive);
    // Gives the source back.
    ~BitmapResource() override;

    // The inherited unload; the source is kept.
    void unload() override;
    // The shift: where the cut-out is drawn, not where the mask lies.
    void setPosition(std::int32_t x, std::int32_t y) override;
    void moveBy(std::int32_t dx, std::int32_t dy) override;
    // Loads only while the source is loaded; otherwise a later load tries again.
    void load() override;

    std::int32_t shiftX() const { return shiftX_; }
    std::int32_t shiftY() const { return shiftY_; }
    const ImageResource* source() const { return source_; }

protected:
    void runDrawRoutine(const platform::Surface& frame) override;
    bool runHitRoutine(std::int64_t x, std::int64_t y) override;

private:
    static constexpr std::uint32_t kStrideOffset = 32;
    static constexpr std::uint32_t kSourceNameOffset = 36;
    static constexpr std::uint32_t kMaskOffset = 52;

    // Whether the mask marks the pixel at (row, column) of the rectangle as part of the
    // shape; bits past the end of a row's stored bytes are not.
    bool inShape(std::int64_t row, std::int64_t column) const;

    ImageResource* source_ = nullptr;
    std::int32_t shiftX_ = 0;
    std::int32_t shiftY_ = 0;
    std::int32_t maskStride_ = 0;
    const std::uint8_t* maskBits_ = nullptr;
};

}  // namespace wordlark::graphics
