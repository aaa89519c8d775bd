// ImageResource.h -- a picture from the archive ("gla0", "fon0", "fon6"): load, draw, hit test.
#pragma once

#include <cstdint>
#include <string_view>

#include "archive/ArchiveObject.h"
#include "archive/FourCC.h"
#include "graphics/ImageHeader.h"
#include "platform/Surface.h"

namespace wordlark::archive {
class Archive;
}

namespace wordlark::graphics {

// Content layout shared by the palettised pictures and animation frames.
inline constexpr std::uint32_t kPaletteOffset = 32;
inline constexpr std::uint32_t kPaletteSize = 512;
inline constexpr std::uint32_t kIndexedPixelsOffset = kPaletteOffset + kPaletteSize;
inline constexpr std::uint32_t kDirectPixelsOffset = 32;

// What another picture needs to copy this one's pixels (a mask's source). Pixel i of the
// picture is pixels[i] through the palette, or the 16-bit value at pixels + 2 * i.
struct PixelSource {
    const std::uint8_t* palette = nullptr;  // 256 little-endian RGB565 colours, or null
    const std::uint8_t* pixels = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool direct = false;  // 16-bit pixels rather than palette indices
};

// The plain picture, and the base of the animation and the mask. Made unloaded by the
// archive's factory; load() fetches the shared content and picks the routines by the
// content's own tag. Drawing goes into the display's back buffer.
class ImageResource : public archive::ArchiveObject {
public:
    ImageResource(std::string_view entryName, archive::Archive& archive);
    ~ImageResource() override;

    // "Show" loads, "Hide" unloads, "SzPl" stores a value and "GzPl" returns it; any other
    // code does nothing and answers 0.
    virtual std::int32_t command(std::uint32_t code, std::int32_t value);

    // The commands the game gives its pictures, by name; each goes through command, so a
    // picture answers them as it answers the code. A still picture answers the frame ones
    // with 0 (see AnimationResource).
    // "Show": loads.
    void show() { command(archive::commandCode("Show"), 0); }
    // "Hide": unloads.
    void hide() { command(archive::commandCode("Hide"), 0); }
    // "Faze": makes `frame` current; -1 is the last.
    void selectFrame(std::int32_t frame) { command(archive::commandCode("Faze"), frame); }
    // "FGet": the current frame; -1 when it is the last.
    std::int32_t selectedFrame() { return command(archive::commandCode("FGet"), 0); }
    // "GetN": how many frames there are.
    std::int32_t countFrames() { return command(archive::commandCode("GetN"), 0); }
    // Draws as if placed at (x, y), then puts the stored placement back.
    virtual void drawAt(std::int32_t x, std::int32_t y);
    virtual void draw();
    // Gives the content back; stays loaded while another holder keeps it.
    void unload() override;
    // This picture when (x, y) hits it, else null; null while not loaded.
    virtual ImageResource* hitTest(std::int32_t x, std::int32_t y);
    // Sets the stored placement in the shared content; nothing while not loaded.
    virtual void setPosition(std::int32_t x, std::int32_t y);
    // Shifts every later drawing and hit test; kept across unloading.
    virtual void moveBy(std::int32_t dx, std::int32_t dy);
    virtual void load();

    // draw() into any 16-bit surface (the back buffer is one); nothing when not loaded.
    void drawTo(const platform::Surface& frame);

    // Where the picture lies in the frame: its top-left pixel and its size; all 0 while not
    // loaded.
    struct Bounds {
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
    };
    Bounds bounds() const;

    // The frame a drawing shows, for the record of a frame: 0 for a still picture.
    virtual std::int32_t drawnFrame() const { return 0; }

    bool isLoaded() const { return loaded_; }
    std::uint32_t tag() const { return tag_; }
    std::int32_t offsetX() const { return offsetX_; }
    std::int32_t offsetY() const { return offsetY_; }
    std::int32_t storedValue() const { return storedValue_; }
    // The stored header while loaded (an invalid view, reading 0, otherwise).
    ImageHeader header() const { return header_; }
    // The pixels while loaded with a palettised or 16-bit routine; empty otherwise.
    PixelSource pixelSource() const;

protected:
    enum class DrawRoutine { None, Opaque, Transparent, Direct, MaskedIndexed, MaskedDirect };
    enum class HitRoutine { None, Rectangle, PixelExact, Mask };

    // Run the chosen routines; the mask overrides them for its own kinds.
    virtual void runDrawRoutine(const platform::Surface& frame);
    virtual bool runHitRoutine(std::int64_t x, std::int64_t y);

    // Size of the named entry's unpacked content as the directory gives it (0 when none).
    std::uint32_t entrySize() const;
    // The named entry's shared content with its tag and size, when it holds at least
    // `minimumSize` bytes; otherwise the content is given back at once and the result is null.
    const std::uint8_t* fetchContent(std::uint32_t minimumSize, std::uint32_t& tag,
                                     std::uint32_t& size);
    // Top-left pixel of the picture in frame coordinates.
    std::int64_t left() const;
    std::int64_t top() const;
    void clearPicture();

    archive::Archive* archive_ = nullptr;
    const std::uint8_t* content_ = nullptr;
    DrawRoutine drawRoutine_ = DrawRoutine::None;
    HitRoutine hitRoutine_ = HitRoutine::None;
    std::uint32_t tag_ = 0;
    std::int32_t offsetX_ = 0;
    std::int32_t offsetY_ = 0;
    std::int32_t storedValue_ = 0;
    ImageHeader header_;
    const std::uint8_t* palette_ = nullptr;
    const std::uint8_t* pixels_ = nullptr;
    bool loaded_ = false;
};

}  // namespace wordlark::graphics
